#include "cli/JsonFormat.h"

#include <cmath>
#include <cstdio>

#include "cli/JsonText.h"
#include "place/AbstractPlace.h"

namespace {

// {"secs":S,"nanos":N,"human":"0.012345s"}, as ripgrep gives a duration.
void AppendDuration(std::string& out, double seconds) {
  if (!(seconds >= 0)) seconds = 0;
  const auto secs = static_cast<long long>(seconds);
  const auto nanos = static_cast<long long>(std::llround((seconds - static_cast<double>(secs)) * 1e9)) % 1000000000;
  char human[40];
  std::snprintf(human, sizeof human, "%.6fs", seconds);
  out += "{\"secs\":" + std::to_string(secs) + ",\"nanos\":" + std::to_string(nanos) + ",\"human\":\"" + human + "\"}";
}

}  // namespace

void TJsonFormat::AppendPath(std::string& out) const {
  out += "\"path\":";
  hovrak::AppendJsonData(out, path_);
}

void TJsonFormat::FileBegin(const std::string& path, const TFileFacts* facts, std::string& out) {
  path_ = path;
  fileMatches_ = fileLines_ = 0;
  ++files_;
  out += "{\"type\":\"begin\",\"data\":{";
  AppendPath(out);
  if (facts) {
    out += ",\"encoding\":";
    hovrak::AppendJsonString(out, facts->CodeName());
    out += ",\"line_end\":";
    hovrak::AppendJsonString(out, facts->LineEndName());
  }
  out += "}}\n";
}

void TJsonFormat::Place(const TAbstractPlace& place, std::string& out) {
  const std::string before = place.GetPrevLineText();
  const std::string hit = place.GetText();
  const std::string after = place.GetNextLineText();
  std::string lines = before + hit + after;
  // The line's own end when the place's context reaches it; a line cut short by the
  // context limit, or the last line of a file without one, ends without.
  if (place.GetNextText().size() > after.size()) lines += '\n';
  ++fileMatches_;
  ++matches_;
  if (!match_.Open || match_.Line != place.Line || match_.Lines != lines) {
    FlushMatch(out);
    match_.Open = true;
    match_.Line = place.Line;
    match_.Lines = std::move(lines);
    ++fileLines_;
    ++lines_;
  }
  match_.Submatches.push_back(TSubmatch{hit, before.size(), before.size() + hit.size()});
}

void TJsonFormat::FlushMatch(std::string& out) {
  if (!match_.Open) return;
  out += "{\"type\":\"match\",\"data\":{";
  AppendPath(out);
  out += ",\"lines\":";
  hovrak::AppendJsonData(out, match_.Lines);
  out += ",\"line_number\":";
  out += lineNumbers_ ? std::to_string(static_cast<long long>(match_.Line) + 1) : "null";
  out += ",\"submatches\":[";
  bool first = true;
  for (const TSubmatch& sub : match_.Submatches) {
    if (!first) out += ',';
    first = false;
    out += "{\"match\":";
    hovrak::AppendJsonData(out, sub.Text);
    out += ",\"start\":" + std::to_string(sub.Start) + ",\"end\":" + std::to_string(sub.End) + '}';
  }
  out += "]}}\n";
  match_ = TMatch();
}

void TJsonFormat::FileEnd(std::string& out) {
  FlushMatch(out);
  out += "{\"type\":\"end\",\"data\":{";
  AppendPath(out);
  out += ",\"binary_offset\":null,\"stats\":{\"matched_lines\":" + std::to_string(fileLines_) +
         ",\"matches\":" + std::to_string(fileMatches_) + "}}}\n";
}

void TJsonFormat::End(const TSearchTotals& totals, std::string& out) {
  out += "{\"type\":\"summary\",\"data\":{\"elapsed_total\":";
  AppendDuration(out, totals.Seconds);
  out += ",\"stats\":{\"elapsed\":";
  AppendDuration(out, totals.Seconds);
  out += ",\"searches\":" + std::to_string(totals.Files) + ",\"searches_with_match\":" + std::to_string(files_) +
         ",\"bytes_searched\":" + std::to_string(totals.Bytes) + ",\"matched_lines\":" + std::to_string(lines_) +
         ",\"matches\":" + std::to_string(matches_) + "}}}\n";
}
