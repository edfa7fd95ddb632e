#include "cli/output.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "cli/texts.h"
#include "compare/item_report.h"
#include "compare/texts.h"
#include "items/in_parallel.h"
#include "items/texts.h"

namespace cli {
namespace {

// Writes the document to `write` some 64 KB at a time, as it is made: the
// document is several times the size of the captures.
class JsonWriter {
 public:
  JsonWriter(Encoding encoding, const std::function<void(std::string_view)>& write)
      : encoding_(encoding), encode_(encoding), write_(write) {}

  void String(std::string_view gbk) {
    BeforeValue();
    Quoted(encode_(gbk));
    if (out_.size() >= 64 * 1024) Flush();
  }
  void OptionalString(const std::optional<std::string>& gbk) {
    if (gbk)
      String(*gbk);
    else
      Null();
  }
  void Null() { Raw("null"); }
  // A number or true/false, written as it is.
  void Raw(std::string_view literal) {
    BeforeValue();
    out_ += literal;
  }
  void Strings(const std::vector<std::string>& gbk) {
    Open('[');
    for (const std::string& s : gbk) String(s);
    Close(']');
  }
  void Key(std::string_view key) {
    BeforeValue();
    Quoted(key);
    out_ += ": ";
    afterKey_ = true;
  }
  void Open(char bracket) {
    BeforeValue();
    out_.push_back(bracket);
    first_.push_back(true);
  }
  void Close(char bracket) {
    out_.push_back(bracket);
    first_.pop_back();
  }
  // Rows as arrays of their cells after the row number.
  void Rows(const std::vector<ds::Row>& rows) {
    Open('[');
    for (const ds::Row& row : rows) {
      Open('[');
      for (size_t c = 1; c < row.CellCount(); ++c) String(row.Cell(c));
      Close(']');
    }
    Close(']');
  }
  void Finish() {
    out_ += "\n";
    Flush();
  }

 private:
  void BeforeValue() {
    if (afterKey_) {
      afterKey_ = false;
      return;
    }
    if (first_.empty()) return;
    if (!first_.back()) out_ += ", ";
    first_.back() = false;
  }
  void Quoted(std::string_view text) {
    out_.push_back('"');
    for (size_t i = 0; i < text.size(); ++i) {
      unsigned char c = static_cast<unsigned char>(text[i]);
      if (encoding_ == Encoding::kGbk && c >= 0x80) {
        // A GBK trail byte may be 0x5C; the character goes out whole. A byte
        // that starts no character must not take the quote or line break
        // after it along as its trail.
        size_t n = GbkCharLength(text, i);
        if (n == 0) {
          out_ += "\\ufffd";
        } else {
          out_.append(text.substr(i, n));
          i += n - 1;
        }
        continue;
      }
      switch (c) {
        case '"': out_ += "\\\""; break;
        case '\\': out_ += "\\\\"; break;
        case '\r': out_ += "\\r"; break;
        case '\n': out_ += "\\n"; break;
        case '\t': out_ += "\\t"; break;
        default:
          if (c < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out_ += escape;
          } else {
            out_.push_back(static_cast<char>(c));
          }
      }
    }
    out_.push_back('"');
  }

  void Flush() {
    write_(out_);
    out_.clear();
  }

  Encoding encoding_;
  OutputEncoder encode_;
  const std::function<void(std::string_view)>& write_;
  std::string out_;
  std::vector<bool> first_;
  bool afterKey_ = false;
};

// The colours of a report on a terminal: slot 1's side red and slot 2's
// green, as removed and added lines are in a diff; so the rows missing in
// slot 2 (slot 1's own) are red, and those missing in slot 1 green.
constexpr char kSgrBold[] = "\x1b[1m";
constexpr char kSgrSlot1[] = "\x1b[31m";
constexpr char kSgrSlot2[] = "\x1b[32m";
constexpr char kSgrDecoded[] = "\x1b[33m";
constexpr char kSgrReset[] = "\x1b[0m";

// Text report lines in one buffer: each line is written in GBK and put into
// the output encoding where it stands as soon as it ends, and the buffer goes
// out some 64 KB at a time. No second copy of the report is made.
class ReportText {
 public:
  // Each full buffer goes to `out`, which may take the string over.
  // `color`: lines are marked with the SGR sequences they are given.
  ReportText(Encoding encoding, const ds::Separators& separators, bool color, std::function<void(std::string&)> out)
      : encoding_(encoding), encode_(encoding), separators_(separators), color_(color), out_(std::move(out)) {}

  void Line(std::string_view gbk, const char* sgr = nullptr) {
    if (!sgr && gbk.size() > kPiece) return LongLine(gbk);
    size_t from = text_.size();
    text_ += gbk;
    EndLine(from, sgr);
  }
  // One item as the slot text writes it, on a line of its own.
  void Item(std::string_view prefix, std::string_view name, std::string_view value, const char* sgr = nullptr) {
    size_t from = text_.size();
    text_ += prefix;
    ds::AppendSlotTextItem(text_, name, value, separators_);
    EndLine(from, sgr);
  }
  void Heading(std::string_view title, std::string_view count = {}) {
    Line("== " + std::string(title) + (count.empty() ? "" : " (" + std::string(count) + ")") + " ==", kSgrBold);
  }
  void Finish() { Flush(); }

 private:
  static constexpr size_t kPiece = 64 * 1024;

  // A text of many lines (the duplicate notes) goes in pieces that end after
  // a LF: nothing the line's handling looks at reaches across one (a CR is
  // spelled only when no LF follows it, a lead byte takes the byte after it),
  // and no character of the code page holds one. Only the last piece loses
  // the line breaks it ends with and gets a line end.
  void LongLine(std::string_view gbk) {
    while (!gbk.empty() && (gbk.back() == '\n' || gbk.back() == '\r')) gbk.remove_suffix(1);
    while (gbk.size() > kPiece) {
      size_t lf = gbk.find('\n', kPiece);
      if (lf == std::string_view::npos) break;
      size_t from = text_.size();
      text_ += gbk.substr(0, lf + 1);
      Encode(from, SpellControls(from));
      Flush();
      gbk.remove_prefix(lf + 1);
    }
    size_t from = text_.size();
    text_ += gbk;
    EndLine(from, nullptr);
  }
  // Ends the line begun at `from`, without the line breaks it ended with.
  // Printed text uses the platform's own line ends. A line that ends on a
  // lead byte gives the code page its CR to take as the second byte, as
  // every line end once did, and its LF stays.
  void EndLine(size_t from, const char* sgr) {
    while (text_.size() > from && (text_.back() == '\n' || text_.back() == '\r')) text_.pop_back();
    Bytes bytes = SpellControls(from);
    if (color_ && sgr) Mark(from, sgr);
#ifdef _WIN32
    text_ += "\r\n";
#else
    if (text_.size() > from && ds::IsLeadByte(static_cast<unsigned char>(text_.back()))) {
      text_ += "\r\n";
      bytes.cr = true;
    } else {
      text_ += '\n';
    }
#endif
    Encode(from, bytes);
    if (text_.size() >= kPiece) Flush();
  }
  // What a line holds beyond printable ASCII, found in one look at its bytes.
  struct Bytes {
    bool wide = false;  // a byte above 0x7F
    bool cr = false;
  };
  // The GBK bytes from `from` on, in the output encoding. They end at a line
  // end, after which every character of the code page starts afresh.
  void Encode(size_t from, Bytes bytes) {
    if (bytes.wide && encoding_ == Encoding::kUtf8) {
      converted_.clear();
      encode_.Append(std::string_view(text_).substr(from), converted_);
      text_.resize(from);
      text_ += converted_;
    }
    // CR LF inside a line's own text becomes LF too.
#ifndef _WIN32
    if (bytes.cr) {
      // From one CR to the next, the bytes between move left in one piece.
      size_t kept = text_.find('\r', from);
      for (size_t at = kept; at < text_.size();) {
        bool paired = at + 1 < text_.size() && text_[at + 1] == '\n';
        if (!paired) text_[kept++] = '\r';
        size_t next = std::min(text_.find('\r', at + 1), text_.size());
        std::memmove(&text_[kept], text_.data() + at + 1, next - at - 1);
        kept += next - at - 1;
        at = next;
      }
      text_.resize(std::min(kept, text_.size()));
    }
#endif
  }
  // A capture's escape sequences must not reach the terminal (colours, a
  // new title, cursor moves): control bytes but TAB and line breaks, and
  // DEL, are written as "\x1b". None of them is ever a GBK trail byte; a
  // lead byte right before one starts no character and is spelled too, or
  // it would take the backslash as its second byte.
  Bytes SpellControls(size_t from) {
    auto acted = [](std::string_view t, size_t i) {
      unsigned char c = static_cast<unsigned char>(t[i]);
      if (c == 0x7F) return true;
      if (c >= 0x20 || c == '\t' || c == '\n') return false;
      return c != '\r' || i + 1 >= t.size() || t[i + 1] != '\n';
    };
    // Most lines are printable ASCII through and through: eight bytes at a
    // time, and byte by byte only through a word with a control byte or DEL.
    Bytes bytes;
    size_t first = from;
    bool spell = false;
    while (first < text_.size() && !spell) {
      if (first + 8 <= text_.size()) {
        constexpr uint64_t kOnes = 0x0101010101010101ull, kHigh = 0x8080808080808080ull;
        uint64_t word;
        std::memcpy(&word, text_.data() + first, sizeof word);
        bytes.wide |= (word & kHigh) != 0;
        uint64_t del = word ^ (0x7F * kOnes);
        if (!((((word - 0x20 * kOnes) & ~word) | ((del - kOnes) & ~del)) & kHigh)) {
          first += 8;
          continue;
        }
      }
      for (size_t stop = std::min(first + 8, text_.size()); first < stop; ++first) {
        unsigned char c = static_cast<unsigned char>(text_[first]);
        bytes.wide |= c >= 0x80;
        if (c >= 0x20 && c != 0x7F) continue;
        bytes.cr |= c == '\r';
        if ((spell = acted(text_, first))) break;
      }
    }
    if (first == text_.size()) return bytes;
    std::string line = text_.substr(from);
    text_.resize(from);
    for (size_t i = 0; i < line.size();) {
      size_t n = ds::CharLength(line, i);
      bool spell = n == 2 ? acted(line, i + 1) : acted(line, i);
      if (!spell) {
        text_.append(line, i, n);
        i += n;
        continue;
      }
      size_t end = i + n;
      for (; i < end; ++i) {
        char escape[8];
        std::snprintf(escape, sizeof escape, "\\x%02x", static_cast<unsigned char>(line[i]));
        text_ += escape;
      }
    }
    // Spelled out, the line keeps its bytes above 0x7F and CRs before LFs.
    for (size_t i = from; i < text_.size(); ++i) {
      bytes.wide |= static_cast<unsigned char>(text_[i]) >= 0x80;
      bytes.cr |= text_[i] == '\r';
    }
    return bytes;
  }
  // The capture's own escapes are spelled out by now: these are the only
  // ones on the line. A stray lead byte at its end takes a CR, not the ESC.
  void Mark(size_t from, const char* sgr) {
    size_t last = from;
    for (size_t i = from; i < text_.size(); i += ds::CharLength(text_, i)) last = i;
    if (last < text_.size() && ds::CharLength(text_, last) == 1 &&
        ds::IsLeadByte(static_cast<unsigned char>(text_[last])))
      text_ += '\r';
    text_.insert(from, sgr);
    text_ += kSgrReset;
  }
  void Flush() {
    if (!text_.empty()) out_(text_);
    text_.clear();
  }

  Encoding encoding_;
  OutputEncoder encode_;
  const ds::Separators& separators_;
  bool color_;
  std::function<void(std::string&)> out_;
  std::string text_;  // output bytes, then the GBK of the line being written
  std::string converted_;  // a line in UTF-8, kept for its room
};

// The rows right after parsing are let go once written: nothing after them
// needs them, and the item reports to come need room.
void WriteSlot(JsonWriter& j, SlotResult& slot) {
  j.Open('{');
  j.Key("parsed");
  j.Rows(slot.parsed);
  std::vector<ds::Row>().swap(slot.parsed);
  j.Key("report");
  j.OptionalString(slot.report);
  j.Key("notes");
  j.String(slot.notes);
  j.Key("rows");
  j.Rows(slot.rows.rows);
  j.Close('}');
}

void WriteDecoded(JsonWriter& j, std::string_view name, const ds::DecodedComparison& d) {
  j.Open('{');
  j.Key("name");
  j.String(name);
  const ds::DecodedValue* sides[2] = {&d.side1, &d.side2};
  for (int s = 0; s < 2; ++s) {
    std::string n = std::to_string(s + 1);
    j.Key("layers" + n);
    j.Open('[');
    for (ds::Layer l : sides[s]->layers) j.String(ds::LayerKey(l));
    j.Close(']');
    j.Key("text" + n);
    j.String(sides[s]->text);
    j.Key("notes" + n);
    j.Strings(sides[s]->notes);
  }
  j.Key("same_decoded");
  j.Raw(d.sameDecoded ? "true" : "false");
  j.Key("fields");
  j.Open('[');
  auto optional = [&j](const char* key, const std::string& gbk) {
    j.Key(key);
    if (gbk.empty())
      j.Null();
    else
      j.String(gbk);
  };
  for (const ds::FieldDifference& f : d.fields) {
    j.Open('{');
    j.Key("kind");
    j.String(f.kind == ds::FieldDifference::Kind::kOnlyIn1   ? "only_in_1"
             : f.kind == ds::FieldDifference::Kind::kOnlyIn2 ? "only_in_2"
                                                              : "different");
    j.Key("path");
    j.String(f.path);
    optional("value1", f.value1);
    optional("value2", f.value2);
    optional("date1", f.date1);
    optional("date2", f.date2);
    j.Close('}');
  }
  j.Close(']');
  j.Key("fields_left_out");
  j.Raw(std::to_string(d.fieldsLeftOut));
  j.Key("first_difference");
  if (d.first) {
    j.Open('{');
    j.Key("offset");
    j.Raw(std::to_string(d.first->offset));
    j.Key("excerpt1");
    j.String(d.first->excerpt1);
    j.Key("excerpt2");
    j.String(d.first->excerpt2);
    j.Close('}');
  } else {
    j.Null();
  }
  j.Close('}');
}

}  // namespace

std::string FormatJson(const SessionResult& r, bool httpMode, Encoding encoding) {
  std::string out;
  SessionResult copy = r;
  WriteJson(copy, httpMode, encoding, [&out](std::string_view piece) { out += piece; });
  return out;
}

void WriteJson(SessionResult& r, bool httpMode, Encoding encoding,
               const std::function<void(std::string_view)>& write) {
  JsonWriter j(encoding, write);
  j.Open('{');
  j.Key("mode");
  j.String(httpMode ? "http" : "cookies");
  j.Key("slot1");
  WriteSlot(j, r.slot1);
  j.Key("slot2");
  WriteSlot(j, r.slot2);
  j.Key("duplicates");
  j.OptionalString(r.duplicates);
  // A list entry is its row's name and value, and for a difference the
  // counterpart's value too: the row number it would have is not printed.
  auto items = [&j](const std::vector<int>& places, const std::vector<ds::Row>& rows) {
    j.Open('[');
    for (int place : places) {
      const ds::Row& row = rows[static_cast<size_t>(place)];
      j.Open('[');
      j.String(row.Cell(1));
      j.String(row.Cell(2));
      j.Close(']');
    }
    j.Close(']');
  };
  j.Key("missing_in_slot1");
  items(r.lists.missingInSlot1, r.slot2.rows.rows);
  j.Key("missing_in_slot2");
  items(r.lists.missingInSlot2, r.slot1.rows.rows);
  j.Key("different");
  j.Open('[');
  for (auto [row1, row2] : r.lists.different) {
    j.Open('[');
    j.String(r.Slot1Row(row1).Cell(1));
    j.String(r.Slot1Row(row1).Cell(2));
    j.String(r.Slot2Row(row2).Cell(2));
    j.Close(']');
  }
  j.Close(']');
  // Only with the options that ask for them, so that a plain run prints what
  // it always printed.
  if (r.decoding) {
    j.Key("decoded");
    j.Open('[');
    for (size_t i = 0; i < r.decoded.size(); ++i) WriteDecoded(j, r.Slot1Row(r.lists.different[i].first).Cell(1), r.decoded[i]);
    j.Close(']');
  }
  if (r.ignoring) {
    j.Key("ignored");
    j.Strings(r.ignored);
  }
  j.Key("summary");
  j.OptionalString(r.summary);
  j.Key("reports");
  j.Open('[');
  ForEachItemReport(r, [&j](const std::optional<ItemReportText>& report) {
    if (!report) {
      j.Null();
      return;
    }
    j.Open('{');
    j.Key("report");
    j.String(report->report);
    j.Key("content");
    j.String(report->content);
    j.Close('}');
  });
  j.Close(']');
  j.Close('}');
  j.Finish();
}

void WriteText(const SessionResult& r, Encoding encoding, const std::function<void(std::string_view)>& write,
               bool color) {
  // A long report is made in two halves on two cores: the first goes out as
  // it is made, the second waits in pieces until the first is through.
  std::vector<std::string> later;
  // The missing lists' lines are shared out so that both halves take about
  // as long: a difference writes two lines, and a duplicate note (in the
  // first half) costs about two, its words going through the code page.
  const std::vector<int>& missing1 = r.lists.missingInSlot1;
  const std::vector<int>& missing2 = r.lists.missingInSlot2;
  std::string_view notes = r.duplicates ? std::string_view(*r.duplicates) : std::string_view();
  size_t headCost = 2 * static_cast<size_t>(std::count(notes.begin(), notes.end(), '\n'));
  size_t missing = missing1.size() + missing2.size(), tailCost = missing + 2 * r.lists.different.size();
  size_t split = tailCost > headCost ? std::min(missing, (tailCost - headCost) / 2) : 0;  // missing lines ahead
  size_t split1 = std::min(split, missing1.size()), split2 = split - split1;
  // Slot 1's missing items are Slot 2's rows, and the other way round.
  auto items = [&](ReportText& out, const std::vector<int>& list, size_t from, size_t to) {
    bool inSlot1 = &list == &missing1;
    const std::vector<ds::Row>& rows = inSlot1 ? r.slot2.rows.rows : r.slot1.rows.rows;
    const char* sgr = inSlot1 ? kSgrSlot2 : kSgrSlot1;
    for (size_t i = from; i < to; ++i) {
      const ds::Row& row = rows[static_cast<size_t>(list[i])];
      out.Item({}, row.Cell(1), row.Cell(2), sgr);
    }
  };
  auto heading2 = [&](ReportText& out) { out.Heading(ds::texts::kTitleSlot2Missing, std::to_string(missing2.size())); };
  ReportText head(encoding, r.separators, color, [&write](std::string& piece) { write(piece); });
  // Copied at their size: the buffer they leave keeps its room for the next.
  ReportText tail(encoding, r.separators, color, [&later](std::string& piece) { later.emplace_back(piece); });
  auto writeHead = [&] {
    auto body = [&](std::string_view gbk) { head.Line(gbk.empty() ? std::string_view(texts::kNone) : gbk); };
    for (const SlotResult* slot : {&r.slot1, &r.slot2}) {
      head.Heading(std::string(slot == &r.slot1 ? ds::texts::kSlot1Label : ds::texts::kSlot2Label) +
                   texts::kParseHeading);
      if (!slot->source.empty()) head.Line(slot->source);
      body(slot->report.value_or(""));
    }
    head.Heading(texts::kDuplicatesHeading);
    body(r.duplicates.value_or(""));
    head.Heading(ds::texts::kTitleSlot1Missing, std::to_string(missing1.size()));
    items(head, missing1, 0, split1);
    if (split1 == missing1.size()) heading2(head);
    items(head, missing2, 0, split2);
  };
  auto writeTail = [&] {
    items(tail, missing1, split1, missing1.size());
    if (split1 < missing1.size()) heading2(tail);
    items(tail, missing2, split2, missing2.size());
    tail.Heading(ds::texts::kTitleDifferences, std::to_string(r.lists.different.size()));
    const std::string slot1Prefix = std::string(ds::texts::kSlot1Label) + " ";
    const std::string slot2Prefix = std::string(ds::texts::kSlot2Label) + " ";
    for (size_t index = 0; index < r.lists.different.size(); ++index) {
      const ds::Row& row = r.Slot1Row(r.lists.different[index].first);
      std::string_view name = row.Cell(1);
      tail.Item(slot1Prefix, name, row.Cell(2), kSgrSlot1);
      tail.Item(slot2Prefix, name, r.Slot2Row(r.lists.different[index].second).Cell(2), kSgrSlot2);
      if (index < r.decoded.size())
        for (const ds::Text& decoded : ds::DecodedComparisonLines(r.decoded[index]))
          tail.Line("  " + decoded, kSgrDecoded);
    }
    if (r.ignoring) {
      tail.Heading(texts::kIgnoredHeading, std::to_string(r.ignored.size()));
      for (const std::string& name : r.ignored) tail.Line(name);
    }
    if (r.summary) tail.Line(*r.summary);
  };
  size_t rows = r.lists.missingInSlot1.size() + r.lists.missingInSlot2.size() + r.lists.different.size();
  ds::InParallel(rows > ds::kParallelRows,
      [&] {
        writeHead();
        head.Finish();
      },
      [&] {
        writeTail();
        tail.Finish();
      });
  for (const std::string& piece : later) write(piece);
}

}  // namespace cli
