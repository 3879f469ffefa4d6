#pragma once
// Places as JSON lines in the shape of ripgrep's --json, which editors read: "begin"
// for each file with places (with Mirun's "encoding" and "line_end" of the file),
// one "match" per line with hits ("lines" the line as far as the place holds it,
// "line_number", "submatches" with byte offsets into that line), "end" per file and
// a closing "summary". Texts that are not UTF-8 (paths, or bytes read as they are)
// are given as {"bytes": BASE64}.

#include <cstdint>
#include <string>
#include <vector>

#include "cli/PlaceFormat.h"

class TJsonFormat : public TPlaceFormat {
 public:
  // lineNumbers: the places carry line numbers (else "line_number" is null).
  explicit TJsonFormat(bool lineNumbers) : lineNumbers_(lineNumbers) {}

  bool WantsFiles() const override { return true; }
  bool WantsFacts() const override { return true; }
  void FileBegin(const std::string& path, const TFileFacts* facts, std::string& out) override;
  void Place(const TAbstractPlace& place, std::string& out) override;
  void FileEnd(std::string& out) override;
  void End(const TSearchTotals& totals, std::string& out) override;

 private:
  struct TSubmatch {
    std::string Text;
    std::size_t Start = 0, End = 0;
  };
  // The match being gathered: hits on one line come as one "match".
  struct TMatch {
    bool Open = false;
    std::int32_t Line = 0;
    std::string Lines;
    std::vector<TSubmatch> Submatches;
  };

  void FlushMatch(std::string& out);
  void AppendPath(std::string& out) const;

  bool lineNumbers_;
  std::string path_;
  TMatch match_;
  std::int64_t fileMatches_ = 0, fileLines_ = 0;
  std::int64_t files_ = 0, matches_ = 0, lines_ = 0;
};
