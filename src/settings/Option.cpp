#include "settings/Option.h"

#include "settings/KELNode.h"
#include "settings/KELString.h"

using hovrak::ReadValue;
using hovrak::WriteValue;

void TOption::Write(hovrak::TKELNode& node) const {
  WriteValue(node, "CharCode", CharCode);
  WriteValue(node, "Mode", Mode);
  WriteValue(node, "SubDir", SubDir);
  WriteValue(node, "CaseSensitive", CaseSensitive);
  WriteValue(node, "Escape", Escape);
  WriteValue(node, "ByLine", ByLine);
  WriteValue(node, "ShowLine", ShowLine);
  WriteValue(node, "CheckCharCode", CheckCharCode);
  WriteValue(node, "CheckTime", CheckTime);
  WriteValue(node, "MaxFileSize", MaxFileSize);
  WriteValue(node, "Editor", Editor);
  WriteValue(node, "EditorDefault", EditorDefault);
  WriteValue(node, "Backup", Backup);
  WriteValue(node, "Threads", Threads);
}

void TOption::Read(hovrak::TKELNode& node) {
  ReadValue(node, "CharCode", CharCode);
  ReadValue(node, "Mode", Mode);
  ReadValue(node, "SubDir", SubDir);
  ReadValue(node, "CaseSensitive", CaseSensitive);
  ReadValue(node, "Escape", Escape);
  ReadValue(node, "ByLine", ByLine);
  ReadValue(node, "ShowLine", ShowLine);
  ReadValue(node, "CheckCharCode", CheckCharCode);
  ReadValue(node, "CheckTime", CheckTime);
  // A negative limit would leave out every file; such a value keeps the one we have.
  std::int32_t maxFileSize = MaxFileSize;
  if (ReadValue(node, "MaxFileSize", maxFileSize) && maxFileSize >= 0) MaxFileSize = maxFileSize;
  ReadValue(node, "Editor", Editor);
  ReadValue(node, "EditorDefault", EditorDefault);
  ReadValue(node, "Backup", Backup);
  // Written by later versions only: an older file lacks it and keeps one per processor.
  std::int32_t threads = Threads;
  if (ReadValue(node, "Threads", threads) && threads >= 0 && threads <= kMaxThreads) Threads = threads;
}
