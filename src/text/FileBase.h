#pragma once
// Common part of the narrow and wide text files: the path, the line-end convention
// and the text, with the raw read and the line-end handling both forms share.

#include <cstdint>
#include <string>
#include <utility>

#include "platform/FileIdentity.h"
#include "text/FileOperationResult.h"
#include "text/NewLineKind.h"

namespace hovrak {
class TSaveGroup;
}

template <class C>
class TFileBase {
 public:
  using TText = std::basic_string<C>;

  explicit TFileBase(std::string fileName) : FileName(std::move(fileName)) {}
  virtual ~TFileBase() = default;
  TFileBase(const TFileBase&) = delete;
  TFileBase& operator=(const TFileBase&) = delete;

  // The path given at construction, passed to the OS unchanged.
  const std::string FileName;
  // The convention found by the last load; CrLf until then.
  TNewLineKind NewLine = TNewLineKind::CrLf;
  // The whole contents, every line end a single '\n' (unless LineEndsKept).
  TText Text;
  // Text holds the line ends as the file had them (the load was asked to keep them);
  // saving then writes it as it stands.
  bool LineEndsKept = false;
  // The state of the file when the last load read it.
  hovrak::TFileIdentity Identity;
  // Save only while the file is still in the state Identity records: a save that
  // finds it changed writes nothing and returns ModifiedSinceSearch.
  bool SaveOnlyIfUnchanged = false;
  // Where a save joins a group of saves (not owned; null: it ends on its own). Success
  // then only says the new bytes are staged; the group's commit tells the rest.
  hovrak::TSaveGroup* Group = nullptr;
  // The largest file a save writes: the largest a load reads back (2 GiB - 1). A
  // save of more is refused with EFBIG. Tests lower it.
  static std::size_t MaxSaveSize;

  // The system error behind the last failed load or save (0: none known), and the
  // path of a complete copy of the old bytes that a failed in-place save left.
  int LastError = 0;
  std::string RescuePath;
  // After a successful save: the state of the file as written, taken from the file
  // itself, and the content hash of the bytes written.
  hovrak::TFileIdentity WrittenIdentity;
  std::uint64_t WrittenHash = 0;

  // Reads the whole regular file at path into bytes. OpenFailed when it cannot be
  // opened or read or is not a regular file (a FIFO or device could block or never
  // end), TooLarge when it holds more than maxSize bytes; bytes is empty then.
  // identity, when given, receives the state of the file that was read, and error
  // the system error of a failure.
  static TFileOperationResult ReadRawBytes(const std::string& path, std::int32_t maxSize, std::string& bytes,
                                           hovrak::TFileIdentity* identity = nullptr, int* error = nullptr);

  // The convention NormalizeNewLines would find, without changing the text.
  static TNewLineKind FindNewLineKind(const TText& text);

  // Finds the convention from the first CR or LF and rewrites text to LF line ends:
  // Lf leaves it (stray CRs stay), Cr turns every CR into LF, CrLf drops every CR.
  static TNewLineKind NormalizeNewLines(TText& text);

  // The text with line ends restored per kind. Lf returns text itself; the other
  // kinds build the result in buffer and return it.
  static const TText& RestoreNewLines(const TText& text, TNewLineKind kind, TText& buffer);
};

extern template class TFileBase<char>;
extern template class TFileBase<wchar_t>;
