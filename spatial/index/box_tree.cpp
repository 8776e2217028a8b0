#include "spatial/index/box_tree.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr std::size_t kFanOut = 16;
// Boxes waiting beside the trees; a search reads each of them.
constexpr std::size_t kWaitLimit = 32;
// What home_ holds for an id in the waiting list, and for one in no tree.
constexpr std::uint32_t kWaiting = 0;
constexpr std::uint32_t kNowhere = 1;

bool Meets(const TBox& a, const TBox& b) {
  return a.MaxX >= b.MinX && a.MinX <= b.MaxX && a.MaxY >= b.MinY && a.MinY <= b.MaxY;
}

bool HasNaN(const TBox& b) { return std::isnan(b.MinX) || std::isnan(b.MinY) || std::isnan(b.MaxX) || std::isnan(b.MaxY); }

void Grow(TBox& into, const TBox& b) {
  into.MinX = std::min(into.MinX, b.MinX);
  into.MinY = std::min(into.MinY, b.MinY);
  into.MaxX = std::max(into.MaxX, b.MaxX);
  into.MaxY = std::max(into.MaxY, b.MaxY);
}

}  // namespace

TBoxTree::TBoxTree(std::vector<TBox> Boxes)
    : boxes_(std::move(Boxes)), home_(boxes_.size(), kNowhere), serial_(kNowhere) {
  std::vector<Entry> entries;
  for (std::size_t id = 0; id < boxes_.size(); ++id)
    if (!HasNaN(boxes_[id])) entries.push_back({boxes_[id], static_cast<std::uint32_t>(id)});
  // The first tree takes the rank its size would reach by filing.
  std::size_t rank = 0;
  while ((kWaitLimit << rank) < entries.size()) ++rank;
  ranks_.resize(rank + 1);
  ranks_[rank] = Pack(std::move(entries));
}

void TBoxTree::File(std::size_t Id, const TBox& Box) {
  if (Id >= boxes_.size()) {
    boxes_.resize(Id + 1, TBox{NAN, NAN, NAN, NAN});
    home_.resize(Id + 1, kNowhere);
  }
  boxes_[Id] = Box;
  if (home_[Id] != kWaiting) {
    home_[Id] = kWaiting;
    waiting_.push_back(static_cast<std::uint32_t>(Id));
  }
  if (waiting_.size() >= kWaitLimit) FlushWaiting();
}

void TBoxTree::FlushWaiting() {
  std::vector<Entry> entries;
  for (std::uint32_t id : waiting_) {
    // A box with a side that is no number meets nothing, and would upset the sort.
    if (HasNaN(boxes_[id]))
      home_[id] = kNowhere;
    else
      entries.push_back({boxes_[id], id});
  }
  waiting_.clear();
  // Like a carry in a binary counter: the new ids and every tree up to the
  // first free rank are packed as one tree of that rank.
  std::size_t rank = 0;
  for (; rank < ranks_.size() && !ranks_[rank].Entries.empty(); ++rank) {
    Packed& tree = ranks_[rank];
    for (const Entry& entry : tree.Entries)
      if (home_[entry.Id] == tree.Serial) entries.push_back(entry);
    tree = Packed{};
  }
  if (rank == ranks_.size()) ranks_.emplace_back();
  ranks_[rank] = Pack(std::move(entries));
}

TBoxTree::Packed TBoxTree::Pack(std::vector<Entry> Entries) {
  Packed tree;
  tree.Serial = ++serial_;
  for (const Entry& entry : Entries) home_[entry.Id] = tree.Serial;
  tree.Entries = std::move(Entries);
  std::vector<Entry>& entries = tree.Entries;
  if (entries.empty()) return tree;
  // Packed in vertical slices by left edge, each slice by lower edge, so that
  // a leaf holds boxes near one another.
  auto byLeft = [](const Entry& a, const Entry& b) { return a.Box.MinX < b.Box.MinX; };
  auto byBottom = [](const Entry& a, const Entry& b) { return a.Box.MinY < b.Box.MinY; };
  std::sort(entries.begin(), entries.end(), byLeft);
  const std::size_t leaves = (entries.size() + kFanOut - 1) / kFanOut;
  const auto slices = static_cast<std::size_t>(std::ceil(std::sqrt(static_cast<double>(leaves))));
  const std::size_t sliceSize = slices * kFanOut;
  for (std::size_t at = 0; at < entries.size(); at += sliceSize)
    std::sort(entries.begin() + static_cast<std::ptrdiff_t>(at),
              entries.begin() + static_cast<std::ptrdiff_t>(std::min(at + sliceSize, entries.size())), byBottom);
  // Each level groups kFanOut items of the level below under the box that
  // holds theirs; the leaves group the entries.
  auto nodesOver = [](const auto& items) {
    std::vector<Node> nodes;
    for (std::size_t at = 0; at < items.size(); at += kFanOut) {
      Node node{items[at].Box, static_cast<std::uint32_t>(at),
                static_cast<std::uint32_t>(std::min(kFanOut, items.size() - at))};
      for (std::size_t i = at + 1; i < at + node.Count; ++i) Grow(node.Box, items[i].Box);
      nodes.push_back(node);
    }
    return nodes;
  };
  tree.Levels.push_back(nodesOver(entries));
  while (tree.Levels.back().size() > 1) tree.Levels.push_back(nodesOver(tree.Levels.back()));
  return tree;
}

void TBoxTree::Search(const TBox& Rect, std::vector<std::size_t>& Found) const {
  for (std::uint32_t id : waiting_)
    if (Meets(boxes_[id], Rect)) Found.push_back(id);
  Work pending;
  for (const Packed& tree : ranks_)
    if (!tree.Entries.empty()) SearchPacked(tree, Rect, pending, Found);
}

void TBoxTree::SearchPacked(const Packed& Tree, const TBox& Rect, Work& Pending,
                            std::vector<std::size_t>& Found) const {
  Pending.assign(1, {Tree.Levels.size() - 1, 0});
  while (!Pending.empty()) {
    const auto [depth, index] = Pending.back();
    Pending.pop_back();
    const Node& node = Tree.Levels[depth][index];
    if (!Meets(node.Box, Rect)) continue;
    for (std::uint32_t i = node.First; i < node.First + node.Count; ++i) {
      if (depth > 0) {
        Pending.emplace_back(depth - 1, i);
      } else {
        // An id filed again since this tree was packed counts where it was
        // filed last, not here.
        const Entry& entry = Tree.Entries[i];
        if (Meets(entry.Box, Rect) && home_[entry.Id] == Tree.Serial) Found.push_back(entry.Id);
      }
    }
  }
}
