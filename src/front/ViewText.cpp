#include "front/ViewText.h"

#include <limits>

#include "shared/MessageTable.h"
#include "text/Conversions.h"
#include "text/Utf8Scan.h"

namespace hovrak {

namespace {

constexpr std::int32_t kNoLimit = std::numeric_limits<std::int32_t>::max();

// Characters a plain-text editor takes for paragraph breaks (the paragraph
// separator and the two frame marks of Qt's documents): they would come back as
// line ends.
bool EditorCannotHold(wchar_t c) { return c == 0x2029 || c == 0xFDD0 || c == 0xFDD1; }

// Text loaded with its line ends as read: to LF line ends, and whether saving with
// the kind found gives the same line ends back.
template <class C>
bool NormalizeKeeping(TFileBase<C>& file) {
  std::basic_string<C> text = file.Text;
  file.NewLine = TFileBase<C>::NormalizeNewLines(text);
  std::basic_string<C> buffer;
  const bool same = TFileBase<C>::RestoreNewLines(text, file.NewLine, buffer) == file.Text;
  file.Text = std::move(text);
  file.LineEndsKept = false;
  return same;
}

}  // namespace

std::string ViewReadOnlyText(TViewReadOnly reason) {
  switch (reason) {
    case TViewReadOnly::No: break;
    case TViewReadOnly::HasCrMark: return MessageTable(TMsg::ViewHasCrMark);
    case TViewReadOnly::EditorCannotHold: return MessageTable(TMsg::ViewEditorCannotHold);
    case TViewReadOnly::NotUtf8: return MessageTable(TMsg::ViewNotUtf8);
    case TViewReadOnly::NotReversible: return MessageTable(TMsg::ViewNotReversible);
    case TViewReadOnly::MixedLineEnds: return MessageTable(TMsg::ViewMixedLineEnds);
  }
  return std::string();
}

TViewReadOnly WideToView(const std::wstring& text, std::wstring& shown) {
  TViewReadOnly reason = TViewReadOnly::No;
  shown.assign(text);
  for (wchar_t& c : shown) {
    if (c == L'\r') {
      c = kViewCrMark;
    } else if (c == kViewCrMark) {
      if (reason == TViewReadOnly::No) reason = TViewReadOnly::HasCrMark;
    } else if (EditorCannotHold(c)) {
      reason = TViewReadOnly::EditorCannotHold;
    }
  }
  return reason;
}

TViewReadOnly NarrowToView(const std::string& bytes, std::wstring& shown, TNarrowShown& how) {
  if (ClassifyUtf8(bytes.data(), bytes.size()) == TUtf8Form::Malformed) {
    how = TNarrowShown::Cp932;
    std::wstring decoded = cp932_bytes_to_unicode(bytes.data(), bytes.size());
    WideToView(decoded, shown);
    return TViewReadOnly::NotUtf8;
  }
  how = TNarrowShown::Utf8;
  return WideToView(utf8_to_unicode(bytes.data(), bytes.size()), shown);
}

std::wstring ViewToWide(const std::wstring& shown) {
  std::wstring text(shown);
  for (wchar_t& c : text) {
    if (c == kViewCrMark) c = L'\r';
  }
  return text;
}

std::string ViewToNarrow(const std::wstring& shown) { return unicode_to_utf8(ViewToWide(shown)); }

TViewLoad LoadForView(TFile<wchar_t>& file) {
  TViewLoad load;
  std::string raw;
  load.Result = TFileBase<wchar_t>::ReadRawBytes(file.FileName, kNoLimit, raw, &file.Identity, &file.LastError);
  if (load.Result != TFileOperationResult::Success) {
    file.Text.clear();
    return load;
  }
  TFileReadOptions options;
  options.maxSize = kNoLimit;
  options.keepLineEnds = true;
  load.Result = file.LoadBytes(raw, options);
  // Saving encodes the whole text again: bytes the code cannot give back (a BOM
  // missing, undecodable sequences) would change where the user typed nothing.
  std::string again;
  const bool reversible = TFile<wchar_t>::Encode(file.Text, file.CharCode, again) && again == raw;
  const bool lineEnds = NormalizeKeeping(file);
  load.ReadOnly = WideToView(file.Text, load.Shown);
  if (load.ReadOnly == TViewReadOnly::No && !reversible) load.ReadOnly = TViewReadOnly::NotReversible;
  if (load.ReadOnly == TViewReadOnly::No && !lineEnds) load.ReadOnly = TViewReadOnly::MixedLineEnds;
  return load;
}

TViewLoad LoadForView(TFile<char>& file) {
  TViewLoad load;
  TFileReadOptions options;
  options.maxSize = kNoLimit;
  options.keepLineEnds = true;
  load.Result = file.Load(options);
  if (load.Result != TFileOperationResult::Success) {
    file.Text.clear();
    return load;
  }
  const bool lineEnds = NormalizeKeeping(file);
  load.ReadOnly = NarrowToView(file.Text, load.Shown, load.How);
  if (load.ReadOnly == TViewReadOnly::No && !lineEnds) load.ReadOnly = TViewReadOnly::MixedLineEnds;
  return load;
}

TFileOperationResult SaveFromView(TFile<wchar_t>& file, const std::wstring& shown) {
  file.Text = ViewToWide(shown);
  return file.Save();
}

TFileOperationResult SaveFromView(TFile<char>& file, const std::wstring& shown) {
  file.Text = ViewToNarrow(shown);
  return file.Save();
}

}  // namespace hovrak
