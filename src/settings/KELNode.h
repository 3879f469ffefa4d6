#pragma once
// One node of a KEL tree, the line-oriented text format of the settings file:
// named text values and named child nodes, both kept in insertion order, both
// allowed to repeat under one name (that is how lists are stored).

#include <cstddef>
#include <list>
#include <string>
#include <unordered_map>
#include <vector>

#include <boost/shared_ptr.hpp>

namespace hovrak {

class TKELObject;

class TKELNode {
 public:
  struct TDatum {
    std::string Name;
    std::string Value;
  };
  struct TNodeInfo {
    std::string Name;
    boost::shared_ptr<TKELNode> Node;
  };

  TKELNode() = default;
  // Releases the subtree without recursion, so a deeply nested tree read from a
  // hand-edited file cannot exhaust the stack.
  ~TKELNode();
  TKELNode(const TKELNode&) = delete;
  TKELNode& operator=(const TKELNode&) = delete;
  TKELNode(TKELNode&&) = default;
  TKELNode& operator=(TKELNode&&) = default;

  // Reads and parses a file into this node. False, with the node unchanged, when
  // the file cannot be opened or read or is not a regular file.
  bool LoadFile(const std::string& path);
  // Writes the node as the top level of a file with CR LF line ends. The file is
  // replaced whole (temporary file, flush to disk, rename): on any failure the
  // result is false and an existing file stays as it was.
  bool SaveFile(const std::string& path) const;

  // Parses file bytes (CR LF or LF line ends, Ctrl-Z ends the data) into this node,
  // replacing its content. Never fails: malformed lines are skipped. The result says
  // whether the bytes read cleanly: false when the reader had to skip or guess (a
  // line of stray text, text after an open or close mark, a close line with nothing
  // open, a block never closed, blocks nested more than 64 deep, which are left out
  // with all they hold), so that the tree no longer says what the file says.
  bool LoadFromBytes(const std::string& bytes);
  // The bytes SaveFile writes. Line feeds and Ctrl-Z bytes inside names and values
  // are left out, since the format has no way to carry them.
  std::string SaveToBytes() const;

  // Takes the first value of that name out of the node. False, out untouched, when
  // there is none.
  bool GetValue(const std::string& name, std::string& value);
  void AddValue(const std::string& name, const std::string& value);

  // Takes the first child of that name out of the node; empty when there is none.
  boost::shared_ptr<TKELNode> GetChild(const std::string& name);
  // Appends a new empty child and returns it.
  TKELNode& AddChild(const std::string& name);
  std::size_t CountChildren(const std::string& name) const;

  // Takes the first child of that name and lets the object read it. False, object
  // untouched, when there is none.
  bool ReadChild(const std::string& name, TKELObject& object);
  // Appends a new child and lets the object write itself into it.
  void WriteChild(const std::string& name, const TKELObject& object);

  // The values and the children, in list order. They change only through the
  // operations above, which keep the lookup index in step with them.
  const std::list<TDatum>& Data() const { return data_; }
  const std::list<TNodeInfo>& Children() const { return children_; }

 private:
  // Where the entries of each name stand in a list, in list order, consumed from the
  // front. Built on the first lookup in a long list, so that taking a long list's
  // entries one by one costs no rescan of the entries before them; short lists are
  // scanned.
  template <class Iterator>
  struct TNameIndex {
    struct TEntries {
      std::vector<Iterator> Items;
      std::size_t Head = 0;
    };
    std::unordered_map<std::string, TEntries> ByName;
    bool Built = false;
  };

  std::list<TDatum> data_;
  std::list<TNodeInfo> children_;
  TNameIndex<std::list<TDatum>::iterator> dataIndex_;
  TNameIndex<std::list<TNodeInfo>::iterator> childIndex_;
};

}  // namespace hovrak
