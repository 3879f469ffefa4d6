#pragma once
// A text file loaded whole into memory and written back in its own character code
// and line ends. TFile<char> takes the bytes unchanged; TFile<wchar_t> decodes them
// into UTF-16 units from the file's character code (given, or detected) and encodes
// them back on saving.

#include <string>

#include "text/CharCode.h"
#include "text/FileBase.h"
#include "text/FileReadOptions.h"

template <class C>
class TFile;

template <>
class TFile<char> : public TFileBase<char> {
 public:
  explicit TFile(std::string fileName) : TFileBase<char>(std::move(fileName)) {}

  // Success, OpenFailed or TooLarge; no detection and no checks.
  TFileOperationResult Load(TFileReadOptions options);
  // Writes Text with line ends restored; Success or OpenFailed. A failed save leaves
  // the file's previous contents.
  TFileOperationResult Save();
};

template <>
class TFile<wchar_t> : public TFileBase<wchar_t> {
 public:
  explicit TFile(std::string fileName, TCharCode charCode = TCharCode::Auto)
      : TFileBase<wchar_t>(std::move(fileName)), CharCode(charCode) {}

  // The code to read with (Auto: detect; loading replaces it by the code used) and
  // the code Save encodes with.
  TCharCode CharCode;

  // Success, OpenFailed, TooLarge, BinaryFile or CharCodeMismatch. After the last two
  // the decoded text is in Text all the same.
  TFileOperationResult Load(TFileReadOptions options);
  // Load after the read: detects, decodes and checks bytes already read from the file.
  TFileOperationResult LoadBytes(const std::string& raw, TFileReadOptions options);
  // Encodes Text per CharCode with line ends restored; Success or OpenFailed. A code
  // that names no encoding (Auto, Unknown) is OpenFailed and the file is left alone.
  TFileOperationResult Save();

  // Decodes raw bytes per code (SJIS, UTF16, EUC, JIS, UTF8, UTF8N). Returns false
  // when the bytes lack a BOM the code requires (text is decoded all the same) or for
  // any other code (text empty).
  static bool Decode(const std::string& bytes, TCharCode code, std::wstring& text);
  // Encodes text per code, BOM included where the code has one. Returns false, with
  // bytes empty, when the code names no encoding.
  static bool Encode(const std::wstring& text, TCharCode code, std::string& bytes);
};
