#include "JapaneseTree.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "JapaneseCorpus.h"
#include "text/Conversions.h"

namespace fs = std::filesystem;

namespace {

std::string Encode(const std::wstring& text, int kind) {
  switch (kind) {
    case 0: return hovrak::unicode_to_sjis_cp932(text);
    case 1: return hovrak::unicode_to_euc(text);
    case 2: return hovrak::euc_to_jis(hovrak::unicode_to_euc(text));
    case 3: return hovrak::unicode_to_utf8(text);
    case 4: return "\xEF\xBB\xBF" + hovrak::unicode_to_utf8(text);
    default: {
      std::string out = "\xFF\xFE";
      for (wchar_t c : text) {
        out.push_back(static_cast<char>(c & 0xFF));
        out.push_back(static_cast<char>((c >> 8) & 0xFF));
      }
      return out;
    }
  }
}

}  // namespace

TJapaneseTree::TJapaneseTree(int files, std::size_t fileUnits) : files_(files) {
  std::string tmpl = (fs::temp_directory_path() / "mirun-tree-XXXXXX").string();
  if (!mkdtemp(tmpl.data())) std::abort();
  root_ = tmpl;
  for (int i = 0; i < files; ++i) {
    std::wstring text = MakeJapaneseText(fileUnits, static_cast<unsigned>(i + 1));
    // Files keep CR LF line ends, as most Japanese documents do.
    std::wstring crlf;
    crlf.reserve(text.size() + text.size() / 20);
    for (wchar_t c : text) {
      if (c == L'\n') crlf.push_back(L'\r');
      crlf.push_back(c);
    }
    const fs::path folder = fs::path(root_) / ("dir" + std::to_string(i / 100));
    fs::create_directories(folder);
    const std::string bytes = Encode(crlf, i % 6);
    std::ofstream(folder / ("doc" + std::to_string(i) + ".txt"), std::ios::binary) << bytes;
    bytes_ += bytes.size();
  }
}

TJapaneseTree::~TJapaneseTree() {
  std::error_code ec;
  fs::remove_all(root_, ec);
}
