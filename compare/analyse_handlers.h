// Window handlers of the comparison: the Analyse action, and the events of
// the five lists that show reports and fill the content box.
#pragma once

namespace app {
class MainWindow;
}

namespace compare {

void RunAnalyse(app::MainWindow& window);

// Item lists (side 1 or 2).
void OnItemListRowChanged(app::MainWindow& window, int side);
void OnItemListFocus(app::MainWindow& window, int side);
void OnItemListBlur(app::MainWindow& window, int side);

// Missing lists (1: the Slot 1 missing list).
void OnMissingListFocus(app::MainWindow& window, int which);
void OnMissingListClick(app::MainWindow& window, int which);

// Difference list.
void OnDifferenceRow(app::MainWindow& window);
void OnDifferenceListFocus(app::MainWindow& window);
void OnDifferenceListDoubleClick(app::MainWindow& window);

}  // namespace compare
