#pragma once
// The settings file as a front end that must not disturb it uses it: read whole into
// the serializer's objects, and written back with only one top-level block replaced,
// every other byte of the file kept as it is.

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
  bool SaveBlock(const std::string& name, const hovrak::TKELObject& object) const;

  // The block of the object as the file format writes it at top level.
  static std::string BlockBytes(const std::string& name, const hovrak::TKELObject& object);
  // bytes with the first top-level block named name (its open line up to its
  // matching close line, or to the end of the data when it is never closed)
  // replaced by block; block is appended when there is no such block. Bytes after a
  // Ctrl-Z are never read by the format and stay after it.
  static std::string ReplaceTopLevelBlock(const std::string& bytes, const std::string& name,
                                          const std::string& block);

 private:
  std::string path_;
};
