#pragma once
// The text the view window's editor holds for a loaded file, and the way back.
// The editor keeps lines apart itself and cannot hold a CR as a character, so a CR
// the loaded text keeps (a stray one in an LF file) is shown as a visible mark and
// becomes a CR again on saving. A file whose untouched parts would not be written
// back byte for byte is loaded read-only, with the reason.

#include <string>

#include "front/ViewSelection.h"
#include "text/File.h"

namespace hovrak {

// The mark that stands for a CR in the editor: SYMBOL FOR CARRIAGE RETURN.
constexpr wchar_t kViewCrMark = 0x240D;

enum class TViewReadOnly {
  No,
  HasCrMark,         // the text holds the mark itself: a saved mark would turn into a CR
  EditorCannotHold,  // a character the editor takes for a paragraph break
  NotUtf8,           // ASCII mode: the bytes are not UTF-8 and are only shown decoded
  NotReversible,     // the decoded text does not encode back to the file's bytes
  MixedLineEnds,     // line ends that saving would turn into the first one's kind
};

// Why the view is read-only, as the status bar says it (UTF-8); "" for No.
std::string ViewReadOnlyText(TViewReadOnly reason);

// Text with LF line ends to the editor's text: every CR becomes the mark.
TViewReadOnly WideToView(const std::wstring& text, std::wstring& shown);
// Narrow bytes with LF line ends to the editor's text: decoded as UTF-8 when they
// are UTF-8, else as code page 932 and read-only.
TViewReadOnly NarrowToView(const std::string& bytes, std::wstring& shown, TNarrowShown& how);
// The editor's text (LF line ends) back into the file's text: marks become CRs.
std::wstring ViewToWide(const std::wstring& shown);
std::string ViewToNarrow(const std::wstring& shown);

struct TViewLoad {
  TFileOperationResult Result = TFileOperationResult::Success;
  std::wstring Shown;  // the editor's text
  TViewReadOnly ReadOnly = TViewReadOnly::No;
  TNarrowShown How = TNarrowShown::Utf8;
};

// Loads the file for the view without a code check or size limit: Text gets LF line
// ends and NewLine the file's kind, as for a search; Shown the editor's text. Any
// result but OpenFailed leaves the text loaded. A wide file's CharCode is the code
// to read with (Auto detects).
TViewLoad LoadForView(TFile<wchar_t>& file);
TViewLoad LoadForView(TFile<char>& file);
// Puts the editor's text into the file and saves it in the file's own code and
// line ends.
TFileOperationResult SaveFromView(TFile<wchar_t>& file, const std::wstring& shown);
TFileOperationResult SaveFromView(TFile<char>& file, const std::wstring& shown);

}  // namespace hovrak
