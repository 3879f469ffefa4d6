#pragma once
// The file the places of one searched text came from, shared by those places so
// that each does not hold a copy of the name.

#include <memory>
#include <string>

class TPlaceFile {
 public:
  explicit TPlaceFile(std::string name) : Name(std::move(name)) {}
  virtual ~TPlaceFile() = default;

  const std::string Name;
};
