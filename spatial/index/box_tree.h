#pragma once
// Boxes filed under small whole numbers, searched for those meeting a
// rectangle.  The boxes are packed into a static tree when it is built; a box
// filed or changed later waits in a list beside the tree until enough have
// come to build it again, so that filing stays cheap and a search looks at
// few boxes that do not meet.
#include <cstddef>
#include <cstdint>
#include <vector>

struct TBox {
  double MinX = 0, MinY = 0, MaxX = 0, MaxY = 0;
};

class TBoxTree {
 public:
  // Box i filed under i.
  explicit TBoxTree(std::vector<TBox> Boxes);

  // Files Id (a new one or one filed before) under Box; from then on only
  // this box counts for it.
  void File(std::size_t Id, const TBox& Box);
  // Appends to Found every id whose box meets Rect, edges included, in no
  // particular order; an id may come twice.  A box or a rectangle with a side
  // that is no number meets nothing.
  void Search(const TBox& Rect, std::vector<std::size_t>& Found) const;

 private:
  struct Node {
    TBox Box;
    std::uint32_t First;  // in the level below, or in entries_ for a leaf
    std::uint32_t Count;
  };
  void Build();

  std::vector<TBox> boxes_;                  // the box of each id
  std::vector<std::uint32_t> entries_;       // the ids the tree was built with, leaf by leaf
  std::vector<std::vector<Node>> levels_;    // leaves first; the last holds the root
  std::vector<std::uint32_t> pending_;       // ids filed since the tree was built
};
