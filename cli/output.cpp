#include "cli/output.h"

#include <algorithm>
#include <cstdio>

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

// Text report lines, written in GBK and put into the output encoding some
// 64 KB at a time, so the report is never held whole in both encodings.
class ReportText {
 public:
  // Each encoded piece goes to `out` as soon as it is made.
  ReportText(Encoding encoding, const ds::Separators& separators, std::function<void(std::string&&)> out)
      : encode_(encoding), separators_(separators), out_(std::move(out)) {}

  void Line(std::string_view gbk) {
    size_t from = gbk_.size();
    gbk_ += gbk;
    EndLine(from);
  }
  // One item as the slot text writes it, on a line of its own.
  void Item(std::string_view prefix, std::string_view name, std::string_view value) {
    size_t from = gbk_.size();
    gbk_ += prefix;
    ds::AppendSlotTextItem(gbk_, name, value, separators_);
    EndLine(from);
  }
  void Heading(std::string_view title, std::string_view count = {}) {
    Line("== " + std::string(title) + (count.empty() ? "" : " (" + std::string(count) + ")") + " ==");
  }
  void Finish() { Flush(); }

 private:
  // Ends the line begun at `from`, without the line breaks it ended with.
  // Printed text uses the platform's own line ends. A line that ends on a
  // lead byte gives the code page its CR to take as the second byte, as
  // every line end once did, and its LF stays.
  void EndLine(size_t from) {
    while (gbk_.size() > from && (gbk_.back() == '\n' || gbk_.back() == '\r')) gbk_.pop_back();
    SpellControls(from);
#ifdef _WIN32
    gbk_ += "\r\n";
#else
    gbk_ += gbk_.size() > from && ds::IsLeadByte(static_cast<unsigned char>(gbk_.back())) ? "\r\n" : "\n";
#endif
    if (gbk_.size() >= 64 * 1024) Flush();
  }
  // A capture's escape sequences must not reach the terminal (colours, a
  // new title, cursor moves): control bytes but TAB and line breaks, and
  // DEL, are written as "\x1b". None of them is ever a GBK trail byte; a
  // lead byte right before one starts no character and is spelled too, or
  // it would take the backslash as its second byte.
  void SpellControls(size_t from) {
    auto acted = [](std::string_view t, size_t i) {
      unsigned char c = static_cast<unsigned char>(t[i]);
      if (c == 0x7F) return true;
      if (c >= 0x20 || c == '\t' || c == '\n') return false;
      return c != '\r' || i + 1 >= t.size() || t[i + 1] != '\n';
    };
    size_t first = from;
    while (first < gbk_.size() && !acted(gbk_, first)) ++first;
    if (first == gbk_.size()) return;
    std::string line = gbk_.substr(from);
    gbk_.resize(from);
    for (size_t i = 0; i < line.size();) {
      size_t n = ds::CharLength(line, i);
      bool spell = n == 2 ? acted(line, i + 1) : acted(line, i);
      if (!spell) {
        gbk_.append(line, i, n);
        i += n;
        continue;
      }
      size_t end = i + n;
      for (; i < end; ++i) {
        char escape[8];
        std::snprintf(escape, sizeof escape, "\\x%02x", static_cast<unsigned char>(line[i]));
        gbk_ += escape;
      }
    }
  }
  void Flush() {
    std::string piece = encode_(gbk_);
    gbk_.clear();
    // CR LF inside a line's own text becomes LF too; a piece ends at a line end.
#ifndef _WIN32
    if (piece.find('\r') != std::string::npos) {
      size_t kept = 0;
      for (size_t i = 0; i < piece.size(); ++i)
        if (!(piece[i] == '\r' && i + 1 < piece.size() && piece[i + 1] == '\n')) piece[kept++] = piece[i];
      piece.resize(kept);
    }
#endif
    if (!piece.empty()) out_(std::move(piece));
  }

  OutputEncoder encode_;
  const ds::Separators& separators_;
  std::function<void(std::string&&)> out_;
  std::string gbk_;
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

void WriteDecoded(JsonWriter& j, const ds::Row& row, const ds::DecodedComparison& d) {
  j.Open('{');
  j.Key("name");
  j.String(row.Cell(1));
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
  j.Key("missing_in_slot1");
  j.Rows(r.lists.missingInSlot1);
  j.Key("missing_in_slot2");
  j.Rows(r.lists.missingInSlot2);
  j.Key("different");
  j.Rows(r.lists.different);
  // Only with the options that ask for them, so that a plain run prints what
  // it always printed.
  if (r.decoding) {
    j.Key("decoded");
    j.Open('[');
    for (size_t i = 0; i < r.decoded.size(); ++i) WriteDecoded(j, r.lists.different[i], r.decoded[i]);
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

void WriteText(const SessionResult& r, Encoding encoding, const std::function<void(std::string_view)>& write) {
  // A long report is made in two halves on two cores: the first goes out as
  // it is made, the second waits in pieces until the first is through.
  std::vector<std::string> later;
  // The missing lists' lines are shared out so that both halves take about
  // as long: a difference writes two lines, and a duplicate note (in the
  // first half) costs about two, its words going through the code page.
  const std::vector<ds::Row>& missing1 = r.lists.missingInSlot1;
  const std::vector<ds::Row>& missing2 = r.lists.missingInSlot2;
  std::string_view notes = r.duplicates ? std::string_view(*r.duplicates) : std::string_view();
  size_t headCost = 2 * static_cast<size_t>(std::count(notes.begin(), notes.end(), '\n'));
  size_t missing = missing1.size() + missing2.size(), tailCost = missing + 2 * r.lists.different.size();
  size_t split = tailCost > headCost ? std::min(missing, (tailCost - headCost) / 2) : 0;  // missing lines ahead
  size_t split1 = std::min(split, missing1.size()), split2 = split - split1;
  auto items = [](ReportText& out, const std::vector<ds::Row>& list, size_t from, size_t to) {
    for (size_t i = from; i < to; ++i) out.Item({}, list[i].Cell(1), list[i].Cell(2));
  };
  auto heading2 = [&](ReportText& out) { out.Heading(ds::texts::kTitleSlot2Missing, std::to_string(missing2.size())); };
  ReportText head(encoding, r.separators, [&write](std::string&& piece) { write(piece); });
  ReportText tail(encoding, r.separators, [&later](std::string&& piece) { later.push_back(std::move(piece)); });
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
    for (const ds::Row& row : r.lists.different) {
      tail.Item(slot1Prefix, row.Cell(1), row.Cell(2));
      tail.Item(slot2Prefix, row.Cell(1), row.Cell(3));
      size_t index = static_cast<size_t>(&row - r.lists.different.data());
      if (index < r.decoded.size())
        for (const ds::Text& decoded : ds::DecodedComparisonLines(r.decoded[index])) tail.Line("  " + decoded);
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
