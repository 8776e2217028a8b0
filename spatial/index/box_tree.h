#pragma once
// Boxes filed under small whole numbers, searched for those meeting a
// rectangle.  A box filed or changed waits in a short list; when the list is
// full it is packed into a static tree, and two trees of the same rank are
// packed again into one of the next rank, so the ranks follow a binary
// counter.  Each filing thus takes part in a number of packings that grows
// with the logarithm of the files, and a search asks as few trees.  An entry
// counts only in the tree where its id was filed last; the others are
// dropped when their tree is packed again.
#include <cstddef>
#include <cstdint>
#include <utility>
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
    std::uint32_t First;  // in the level below, or in Entries for a leaf
    std::uint32_t Count;
  };
  struct Entry {
    TBox Box;  // as it was when packed, the latest while the entry is current
    std::uint32_t Id;
  };
  struct Packed {
    std::uint32_t Serial = 0;                 // what home_ holds for the ids current here
    std::vector<Entry> Entries;               // leaf by leaf
    std::vector<std::vector<Node>> Levels;    // leaves first; the last holds the root
  };
  using Work = std::vector<std::pair<std::size_t, std::uint32_t>>;
  Packed Pack(std::vector<Entry> Entries);
  void FlushWaiting();
  void SearchPacked(const Packed& Tree, const TBox& Rect, Work& Pending, std::vector<std::size_t>& Found) const;

  std::vector<TBox> boxes_;                  // the latest box of each id
  std::vector<std::uint32_t> home_;          // the serial of the tree (or the waiting list) each id was filed in last
  std::vector<Packed> ranks_;                // a tree of rank r, or none where its Entries are empty
  std::vector<std::uint32_t> waiting_;       // ids filed since the last packing, each once
  std::uint32_t serial_;                     // the last serial given to a tree
};
