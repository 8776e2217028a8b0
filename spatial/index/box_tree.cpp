#include "spatial/index/box_tree.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr std::size_t kFanOut = 16;

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

TBoxTree::TBoxTree(std::vector<TBox> Boxes) : boxes_(std::move(Boxes)) { Build(); }

void TBoxTree::File(std::size_t Id, const TBox& Box) {
  if (Id >= boxes_.size()) boxes_.resize(Id + 1, TBox{NAN, NAN, NAN, NAN});
  boxes_[Id] = Box;
  pending_.push_back(static_cast<std::uint32_t>(Id));
  // A search reads every waiting box, a build sorts them all: waiting up to
  // the root of the count keeps both near n log n over many files.
  const auto limit = static_cast<std::size_t>(std::sqrt(static_cast<double>(boxes_.size())));
  if (pending_.size() > std::max<std::size_t>(32, limit)) Build();
}

void TBoxTree::Build() {
  pending_.clear();
  entries_.clear();
  levels_.clear();
  // A box with a side that is no number meets nothing, and would upset the sort.
  for (std::size_t id = 0; id < boxes_.size(); ++id)
    if (!HasNaN(boxes_[id])) entries_.push_back(static_cast<std::uint32_t>(id));
  if (entries_.empty()) return;
  // Packed in vertical slices by left edge, each slice by lower edge, so that
  // a leaf holds boxes near one another.
  auto byLeft = [&](std::uint32_t a, std::uint32_t b) { return boxes_[a].MinX < boxes_[b].MinX; };
  auto byBottom = [&](std::uint32_t a, std::uint32_t b) { return boxes_[a].MinY < boxes_[b].MinY; };
  std::sort(entries_.begin(), entries_.end(), byLeft);
  const std::size_t leaves = (entries_.size() + kFanOut - 1) / kFanOut;
  const auto slices = static_cast<std::size_t>(std::ceil(std::sqrt(static_cast<double>(leaves))));
  const std::size_t sliceSize = slices * kFanOut;
  for (std::size_t at = 0; at < entries_.size(); at += sliceSize)
    std::sort(entries_.begin() + static_cast<std::ptrdiff_t>(at),
              entries_.begin() + static_cast<std::ptrdiff_t>(std::min(at + sliceSize, entries_.size())), byBottom);
  std::vector<Node> level;
  for (std::size_t at = 0; at < entries_.size(); at += kFanOut) {
    Node node{boxes_[entries_[at]], static_cast<std::uint32_t>(at),
              static_cast<std::uint32_t>(std::min(kFanOut, entries_.size() - at))};
    for (std::size_t i = at + 1; i < at + node.Count; ++i) Grow(node.Box, boxes_[entries_[i]]);
    level.push_back(node);
  }
  levels_.push_back(std::move(level));
  while (levels_.back().size() > 1) {
    const std::vector<Node>& below = levels_.back();
    std::vector<Node> above;
    for (std::size_t at = 0; at < below.size(); at += kFanOut) {
      Node node{below[at].Box, static_cast<std::uint32_t>(at),
                static_cast<std::uint32_t>(std::min(kFanOut, below.size() - at))};
      for (std::size_t i = at + 1; i < at + node.Count; ++i) Grow(node.Box, below[i].Box);
      above.push_back(node);
    }
    levels_.push_back(std::move(above));
  }
}

void TBoxTree::Search(const TBox& Rect, std::vector<std::size_t>& Found) const {
  for (std::uint32_t id : pending_)
    if (Meets(boxes_[id], Rect)) Found.push_back(id);
  if (levels_.empty()) return;
  // The tree's boxes are those it was built with; a box filed since then is
  // tested above, and its entry here against the same latest box.
  std::vector<std::pair<std::size_t, std::uint32_t>> work{{levels_.size() - 1, 0}};
  while (!work.empty()) {
    const auto [depth, index] = work.back();
    work.pop_back();
    const Node& node = levels_[depth][index];
    if (!Meets(node.Box, Rect)) continue;
    for (std::uint32_t i = node.First; i < node.First + node.Count; ++i) {
      if (depth > 0) {
        work.emplace_back(depth - 1, i);
      } else if (Meets(boxes_[entries_[i]], Rect)) {
        Found.push_back(entries_[i]);
      }
    }
  }
}
