#pragma once
// One file as a search worker leaves it for the run's thread: how its read ended, the
// code it was read in, its places in order, and the file's bytes and decoded text,
// which those places may borrow from until they are handed on.

#include <memory>
#include <string>

#include "place/PlaceList.h"
#include "platform/FileIdentity.h"
#include "text/CharCode.h"
#include "text/File.h"
#include "text/FileOperationResult.h"

template <class C>
struct TSearchedFile {
  // Success, OpenFailed (with the system's Error) or TooLarge.
  TFileOperationResult Read = TFileOperationResult::Success;
  int Error = 0;
  // The code the bytes are read in, for the run's OnFileRead; WellFormed: detection
  // found every byte well-formed UTF-8.
  TCharCode Code = TCharCode::ASCII;
  bool WellFormed = false;
  // The bytes as read; held apart so that their address stays when the result moves.
  std::unique_ptr<std::string> Bytes = std::make_unique<std::string>();
  // The bytes before their line ends were made uniform (a narrow search does that in
  // place), kept only when OnFileRead must see them and they differ.
  std::unique_ptr<std::string> RawBytes;
  // The decoded text of a wide search that had to decode the file.
  std::unique_ptr<TFile<wchar_t>> Decoded;
  // Searched: the file was searched ahead and Places holds its places in order (Hit:
  // at least one). Not searched: the run's thread searches the bytes itself, its
  // places going straight to the run's list (a file with too many places to hold).
  bool Searched = false;
  TPlaceList<C> Places;
  bool Hit = false;
  // The file's state taken right before it was read (when the run checks times).
  hovrak::TFileIdentity State;
  bool Stamped = false;

  // The bytes OnFileRead is told of.
  const std::string& ReadBytes() const { return RawBytes ? *RawBytes : *Bytes; }
};
