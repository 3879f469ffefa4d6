#pragma once
// The settings file as a front end that must not disturb it uses it: read whole into
// the serializer's objects, and written back with only one top-level block replaced,
// every other byte of the file kept as it is. A file that does not read cleanly is
// rewritten whole from what could be read, its old bytes kept beside it.

#include <string>

#include "settings/KELObject.h"

class TSettingsFile {
 public:
  explicit TSettingsFile(std::string path) : path_(std::move(path)) {}

  const std::string& Path() const { return path_; }

  // True when the path names an existing file (of any kind).
  bool Exists() const;
  // Reads the file and lets the object read the tree. False, object untouched, when
  // the file cannot be read or is not a regular file.
  bool Load(hovrak::TKELObject& object);
  // Re-reads the file as it is now (empty when missing), replaces its first
  // top-level block named name by the object's content, or appends such a block,
  // and saves it safely. False when saving failed; the file then stays as it was.
  //
  // When the file does not read back cleanly (a block never closed, a stray close
  // line, lines the reader skips), replacing bytes in it could put the block where
  // it is never read. The file is then written whole from the tree that could be
  // read, with the block replaced in it, and the old bytes go to "<path>.bad"
  // first (replacing an older one); the new file reads cleanly.
  bool SaveBlock(const std::string& name, const hovrak::TKELObject& object) const;
  // SaveBlock with the reason of a failure: 0, or an errno value.
  int WriteBlock(const std::string& name, const hovrak::TKELObject& object) const;

  // Reads a settings file whole: 0, ENOENT when it is missing, EISDIR or EINVAL when
  // it is a folder or another file that is not a regular file, else an errno value.
  static int ReadBytes(const std::string& path, std::string& bytes);

  // The block of the object as the file format writes it at top level.
  static std::string BlockBytes(const std::string& name, const hovrak::TKELObject& object);
  // bytes with the first top-level block named name (its open line up to its
  // matching close line, or to the end of the data when it is never closed)
  // replaced by block; block is appended when there is no such block. Bytes after a
  // Ctrl-Z are never read by the format and stay after it.
  static std::string ReplaceTopLevelBlock(const std::string& bytes, const std::string& name, const std::string& block);

 private:
  std::string path_;

  // Writes bytes to a new file at path with the given permission bits, synced to
  // disk; an older file of that name is replaced. 0, or an errno value.
  static int KeepBrokenCopy(const std::string& path, const std::string& bytes, unsigned mode);
};
