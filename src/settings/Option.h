#pragma once
// The search and replace options that persist between runs, stored as the
// "Option" block of the settings file.

#include <cstdint>
#include <string>

#include "settings/KELObject.h"
#include "settings/SearchMode.h"
#include "text/CharCode.h"

class TOption : public hovrak::TKELObject {
 public:
  static constexpr std::int32_t kDefaultMaxFileSize = 50 * 1048576;

  // Character code assumed for searched and replaced files; Auto detects per file.
  TCharCode CharCode = TCharCode::Auto;
  TSearchMode Mode = TSearchMode::Normal;
  // Also search the subfolders of a target folder.
  bool SubDir = false;
  bool CaseSensitive = true;
  // Expand escape sequences such as \n and \t in the entered strings.
  bool Escape = false;
  // Search each line on its own.
  bool ByLine = false;
  // Keep and show the line numbers of the hits.
  bool ShowLine = true;
  // Before replacing: the file decodes and re-encodes in its character code.
  bool CheckCharCode = true;
  // Before replacing: the file has not changed since the search.
  bool CheckTime = true;
  // Files larger than this many bytes are left out of the search.
  std::int32_t MaxFileSize = kDefaultMaxFileSize;
  // Command line of the external editor with the placeholders %p, %l and %c.
  std::string Editor;
  // A double click on a result opens the external editor instead of the viewer.
  bool EditorDefault = false;
  // Copy each file into the backup store before replacing it.
  bool Backup = true;
  // Threads a search reads and searches files on; 0: one per processor.
  std::int32_t Threads = 0;
  static constexpr std::int32_t kMaxThreads = 256;

  // One value per field, in the order above, each under the field's name.
  void Write(hovrak::TKELNode& node) const override;
  // Takes each key once in the same order; a missing key or a value that does not
  // read as its kind (a negative MaxFileSize, Threads outside 0..kMaxThreads) leaves the field as it was.
  void Read(hovrak::TKELNode& node) override;
};
