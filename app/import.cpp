#include "app/import.h"

#include "app/masking.h"
#include "app/message_boxes.h"
#include "app/texts.h"
#include "cookies/jar_text.h"
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

// The HAR entry to take: asked when there is a choice, or when the other
// slot holds a HAR too and the two can be compared whole; nullopt when the
// question was left unanswered, ui::kChoseExtra for the whole comparison.
// A second HAR dropped beside another is that comparison without a question.
std::optional<int> ChosenEntry(const ImportView& v, const ds::Capture& capture,
                               const std::vector<ds::JarVerdict>& verdicts, bool dropped) {
  bool wholeToo = capture.kind == ds::CaptureKind::kHar && v.hars.slot[static_cast<int>(ds::Other(v.slot))];
  if (wholeToo && dropped) return ui::kChoseExtra;
  if (capture.entries.size() < 2 && !wholeToo) return static_cast<int>(capture.defaultEntry);
  ui::ChoiceRequest request;
  request.title = ds::texts::kHarChoiceTitle;
  for (size_t i = 0; i < capture.entries.size(); ++i)
    request.lines.push_back(verdicts.empty() ? ds::EntryCaption(capture.entries[i])
                                             : ds::ChooserLine(capture.entries[i], verdicts[i]));
  request.selected = static_cast<int>(capture.defaultEntry);
  request.okText = ds::texts::kChoiceOk;
  request.cancelText = ds::texts::kChoiceCancel;
  if (wholeToo) request.extraText = texts::kCompareAllRequests;
  if (capture.kind == ds::CaptureKind::kHar) request.saveText = texts::kSaveSanitisedButton;
  int chosen = ui::ChooseFromList(v.owner, request);
  if (chosen == ui::kChoseExtra || chosen == ui::kChoseSave) return chosen;
  if (chosen < 0 || static_cast<size_t>(chosen) >= capture.entries.size()) return std::nullopt;
  return chosen;
}

// Lines under what the import's own analysis wrote in the report box.
void AppendToReport(const ImportView& v, const ds::Text& lines) {
  if (lines.empty()) return;
  std::string report = v.reportBox.GetText();
  if (!report.empty() && !report.ends_with("\r\n")) report += "\r\n";
  v.reportBox.SetText(report + lines);
}

// Nothing for a request the store agrees with and that no rule touched.
ds::Text CookieFindings(const ds::JarVerdict& verdict) {
  if (verdict.differences.empty() && verdict.withheld.empty() && verdict.rejected.empty()) return {};
  return ds::JarBlockForWindow(verdict);
}

// The slot's HAR for a whole comparison and a sanitised copy; nothing kept
// of another kind of capture.
void KeepHar(const ImportView& v, ds::Capture& capture, const ds::CaptureText& source, const std::wstring& fileName) {
  int slot = static_cast<int>(v.slot);
  bool har = capture.kind == ds::CaptureKind::kHar;
  v.hars.slot[slot] = har ? std::make_shared<const std::vector<ds::HarEntry>>(std::move(capture.entries)) : nullptr;
  v.hars.text[slot] = har ? std::make_shared<const std::string>(source.utf8) : nullptr;
  v.hars.name[slot] = har ? fileName : std::wstring();
}

// `whole`: the text replaces the box's, else the selection. `fileName`: the
// dropped file's, without its folder; empty for the clipboard.
void Import(const ImportView& v, AppState& state, const ds::CaptureText& source, bool whole,
            const std::wstring& fileName) {
  ds::Capture capture = ds::ReadCapture(source, ds::CaptureFormat::kAuto, state.mode);
  if (capture.error) return Refuse(v, *capture.error);
  // A HAR's requests against the cookie store a browser would have kept.
  std::vector<ds::JarVerdict> verdicts;
  if (capture.kind == ds::CaptureKind::kHar) verdicts = ds::ReplayCookies(capture.entries);
  std::optional<int> entry = ChosenEntry(v, capture, verdicts, whole);
  if (!entry) return;
  if (*entry == ui::kChoseSave)
    return SaveSanitisedHar(v.owner, state, source.utf8, SanitisedName(fileName.empty() ? L"HAR.har" : fileName));
  if (*entry == ui::kChoseExtra) {
    KeepHar(v, capture, source, fileName);
    return v.compareSessions();
  }
  ds::SlotText slot = ds::SlotTextOf(capture, source, state.mode, state.separators, static_cast<size_t>(*entry));
  if (slot.error) return Refuse(v, *slot.error);
  // A file's lone LFs break lines in the box as a paste's CR LFs do.
  ds::Text slotText = ds::WindowsLineBreaks(std::move(slot.text));
  // An empty text would leave the list as it was and look like an import.
  if (slotText.empty()) return Refuse(v, ds::NothingToImport(capture.kind, state.mode));
  // What came in, not what the list holds: a paste may land among items, and
  // a text the parser refuses leaves the old rows standing.
  size_t count = ds::ParseSlotText(slotText, state.separators, {state.mode, v.slot}).rows.size();
  state.ImportTarget(v.slot) = ds::ExportTargetOf(ds::OriginOf(capture, static_cast<size_t>(*entry)));
  if (whole)
    v.input.SetText(slotText);
  else
    v.input.ReplaceSelection(slotText);
  // Where the items came from when not from the request itself.
  ds::Text note = ds::ResponseCookiesNote(capture, state.mode, static_cast<size_t>(*entry));
  AppendToReport(v, note.empty() ? note : note + "\r\n");
  if (!verdicts.empty()) AppendToReport(v, CookieFindings(verdicts[static_cast<size_t>(*entry)]));
  KeepHar(v, capture, source, fileName);
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
  size_t slash = path.find_last_of(L"\\/");
  Import(v, state, decoded.text, true, slash == std::wstring::npos ? path : path.substr(slash + 1));
}

std::wstring SanitisedName(const std::wstring& fileName) {
  size_t dot = fileName.find_last_of(L'.');
  std::wstring stem = dot == std::wstring::npos || dot == 0 ? fileName : fileName.substr(0, dot);
  return stem + ui::ToWide(texts::kSanitisedSuffix).text + L".har";
}

void PasteRecognised(const ImportView& v, AppState& state) {
  ds::CaptureText clipboard;
  clipboard.origin = ds::CaptureText::Origin::kClipboard;
  clipboard.utf8 = ui::GetClipboardUtf8(v.owner);
  if (!clipboard.utf8.empty()) Import(v, state, clipboard, false, {});  // nothing to paste, as Ctrl+V
}

}  // namespace app
