#pragma once
// Base of every object that stores itself in a KEL tree, and through it in a file.

#include <string>

namespace hovrak {

class TKELNode;

class TKELObject {
 public:
  virtual ~TKELObject();
  // Fills the object from the node, consuming the entries it takes. A missing key
  // or a value that does not parse leaves the field as it was.
  virtual void Read(TKELNode& node) = 0;
  // Stores the object's fields into the node.
  virtual void Write(TKELNode& node) const = 0;

  // Reads the file into a tree and the tree into the object. False, object
  // untouched, when the file cannot be read.
  bool LoadFromFile(const std::string& path);
  // Writes the object into a tree and the tree into the file, replacing the file
  // whole. False when saving failed; an existing file then stays as it was.
  bool SaveToFile(const std::string& path) const;
};

}  // namespace hovrak
