// A small modal window that asks for one line of a list (OK, Cancel, Enter,
// Esc, double-click), behind a hook so tests can answer it from a script.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace ui {

struct ChoiceRequest {
  std::string title;              // GBK, as every text here
  std::vector<std::string> lines;
  int selected = 0;               // offered first
  std::string okText, cancelText;
  std::string extraText;  // a third button, when not empty
  std::string saveText = {};  // a button that saves what the list comes from, when not empty
};

// The index chosen, -1 when the window was left without a choice,
// kChoseExtra for the third button or kChoseSave for the save button.
constexpr int kChoseExtra = -2;
constexpr int kChoseSave = -3;
int ChooseFromList(HWND owner, const ChoiceRequest& request);

// While set, ChooseFromList asks the hook instead of showing the window.
using ChoiceHook = std::function<int(const ChoiceRequest&)>;
void SetChoiceHook(ChoiceHook hook);

}  // namespace ui
