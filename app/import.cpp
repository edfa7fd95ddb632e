#include "app/import.h"

#include "app/message_boxes.h"
#include "export/exporters.h"
#include "import/capture.h"
#include "import/text_decode.h"
#include "import/texts.h"
#include "items/sentence.h"
#include "items/slot_parser.h"
#include "platform/codepage.h"
#include "platform/file_input.h"
#include "ui/clipboard.h"
#include "ui/list_choice.h"
#include "ui/text_convert.h"

namespace app {
namespace {

void Refuse(const ImportView& v, std::string_view text) { ShowRefusal(v.owner, text, ds::texts::kImportTitle); }

// The HAR entry to take: asked when there is a choice; nullopt when the
// question was left unanswered.
std::optional<size_t> ChosenEntry(const ImportView& v, const ds::Capture& capture) {
  if (capture.entries.size() < 2) return capture.defaultEntry;
  ui::ChoiceRequest request;
  request.title = ds::texts::kHarChoiceTitle;
  for (const ds::HarEntry& entry : capture.entries) request.lines.push_back(ds::EntryCaption(entry));
  request.selected = static_cast<int>(capture.defaultEntry);
  request.okText = ds::texts::kChoiceOk;
  request.cancelText = ds::texts::kChoiceCancel;
  int chosen = ui::ChooseFromList(v.owner, request);
  if (chosen < 0 || static_cast<size_t>(chosen) >= capture.entries.size()) return std::nullopt;
  return static_cast<size_t>(chosen);
}

// `whole`: the text replaces the box's, else the selection.
void Import(const ImportView& v, AppState& state, const ds::CaptureText& source, bool whole) {
  ds::Capture capture = ds::ReadCapture(source, ds::CaptureFormat::kAuto, state.mode);
  if (capture.error) return Refuse(v, *capture.error);
  std::optional<size_t> entry = ChosenEntry(v, capture);
  if (!entry) return;
  ds::SlotText slot = ds::SlotTextOf(capture, source, state.mode, state.separators, *entry);
  if (slot.error) return Refuse(v, *slot.error);
  // A file's lone LFs break lines in the box as a paste's CR LFs do.
  ds::Text slotText = ds::WindowsLineBreaks(std::move(slot.text));
  // An empty text would leave the list as it was and look like an import.
  if (slotText.empty()) return Refuse(v, ds::NothingToImport(capture.kind, state.mode));
  // What came in, not what the list holds: a paste may land among items, and
  // a text the parser refuses leaves the old rows standing.
  size_t count = ds::ParseSlotText(slotText, state.separators, {state.mode, v.slot}).rows.size();
  state.ImportTarget(v.slot) = ds::ExportTargetOf(ds::OriginOf(capture, *entry));
  if (whole)
    v.input.SetText(slotText);
  else
    v.input.ReplaceSelection(slotText);
  const char* kind = ds::CaptureKindName(capture.kind);
  v.statusBar.SetText(ds::FillIn(ds::texts::kImportedStatus, {{"kind", kind}, {"count", ds::ToText(static_cast<long long>(count))}}));
}

}  // namespace

void LoadDroppedFile(const ImportView& v, AppState& state, const std::wstring& path) {
  std::u16string units(path.begin(), path.end());
  ds::platform::FileContent file =
      ds::platform::ReadInputFile(ds::platform::FromUtf16(units, ds::platform::kCodePageUtf8));
  if (!file.error.empty()) {
    size_t slash = path.find_last_of(L"\\/");
    std::string name = ui::ToGbk(slash == std::wstring::npos ? path : path.substr(slash + 1)).text;
    return Refuse(v, ds::FillIn(ds::texts::kFileUnreadable, {{"name", name}}));
  }
  ds::DecodedCapture decoded = ds::DecodeCapture(std::move(file.bytes), false);
  if (decoded.badOffset) {
    std::string offset = ds::ToText(static_cast<long long>(*decoded.badOffset));
    return Refuse(v, ds::FillIn(decoded.nul ? ds::texts::kFileNul : ds::texts::kFileNotGbk, {{"offset", offset}}));
  }
  Import(v, state, decoded.text, true);
}

void PasteRecognised(const ImportView& v, AppState& state) {
  ds::CaptureText clipboard;
  clipboard.origin = ds::CaptureText::Origin::kClipboard;
  clipboard.utf8 = ui::GetClipboardUtf8(v.owner);
  if (!clipboard.utf8.empty()) Import(v, state, clipboard, false);  // nothing to paste, as Ctrl+V
}

}  // namespace app
