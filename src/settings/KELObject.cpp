#include "settings/KELObject.h"

#include "settings/KELNode.h"

namespace hovrak {

TKELObject::~TKELObject() = default;

bool TKELObject::LoadFromFile(const std::string& path) {
  TKELNode tree;
  if (!tree.LoadFile(path)) return false;
  Read(tree);
  return true;
}

bool TKELObject::SaveToFile(const std::string& path) const {
  TKELNode tree;
  Write(tree);
  return tree.SaveFile(path);
}

}  // namespace hovrak
