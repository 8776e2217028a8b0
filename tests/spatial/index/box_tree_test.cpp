#include "spatial/index/box_tree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

bool Meets(const TBox& a, const TBox& b) {
  return a.MaxX >= b.MinX && a.MinX <= b.MaxX && a.MaxY >= b.MinY && a.MinY <= b.MaxY;
}

std::vector<std::size_t> Sorted(std::vector<std::size_t> ids) {
  std::sort(ids.begin(), ids.end());
  ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
  return ids;
}

// Every search finds exactly the ids whose latest box meets the rectangle,
// whatever was filed since the tree was built and however often it was
// built again.
TEST(BoxTreeTest, ASearchFindsExactlyTheLatestBoxesThatMeetTheRectangle) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  constexpr double kInf = std::numeric_limits<double>::infinity();
  const struct {
    const char* name;
    int count;     // boxes at the start
    int files;     // boxes filed afterwards
    double span;   // largest side of a box within the 0..100 square
    unsigned seed;
    int freshEvery;  // every so many files is a new id; 0: none is
    int pool;        // the ids re-filed are drawn from this many first ones; 0: from all
    int checkEvery;  // a round of searches after every so many files
  } rows[] = {
      {"empty tree, boxes filed later", 0, 60, 5, 1, 2, 0, 25},
      {"one box", 1, 0, 5, 2, 2, 0, 25},
      {"small boxes, no files", 3000, 0, 2, 3, 2, 0, 25},
      {"small boxes, files past several rebuilds", 3000, 1500, 2, 4, 2, 0, 25},
      {"boxes as large as the square", 500, 200, 100, 5, 2, 0, 25},
      {"points and segments of no width", 800, 100, 0, 6, 2, 0, 25},
      {"every box re-filed several times, searches between", 2000, 9000, 3, 7, 0, 0, 45},
      {"a few boxes re-filed over and over into every tree", 300, 6000, 10, 8, 0, 5, 7},
      {"new ids only, a search after every file", 0, 400, 10, 9, 1, 0, 1},
      {"re-files and new ids mixed, a search after every file", 50, 700, 10, 10, 3, 0, 1},
  };
  for (const auto& row : rows) {
    std::mt19937 random(row.seed);
    std::uniform_real_distribution<double> place(0, 100), side(0, row.span);
    auto randomBox = [&] {
      const double x = place(random), y = place(random);
      // A third of the boxes are segments along one axis.
      const int shape = static_cast<int>(random() % 3);
      return TBox{x, y, x + (shape == 1 ? 0 : side(random)), y + (shape == 2 ? 0 : side(random))};
    };
    std::vector<TBox> boxes;
    for (int i = 0; i < row.count; ++i) boxes.push_back(randomBox());
    // Boxes no search may find, and one that every search finds.
    if (row.count > 10) {
      boxes[3] = {kNaN, 0, 1, 1};
      boxes[7] = {-kInf, -kInf, kInf, kInf};
    }
    TBoxTree tree(boxes);
    std::vector<TBox> latest = boxes;
    auto check = [&](const char* when) {
      for (int query = 0; query < 40; ++query) {
        TBox rect = randomBox();
        if (query == 0) rect = {kNaN, kNaN, kNaN, kNaN};
        if (query == 1) rect = {-1, -1, 101, 101};
        std::vector<std::size_t> expected, found;
        for (std::size_t id = 0; id < latest.size(); ++id)
          if (Meets(latest[id], rect)) expected.push_back(id);
        tree.Search(rect, found);
        ASSERT_EQ(Sorted(found), expected) << row.name << ", " << when << ", query " << query;
      }
    };
    check("as built");
    for (int f = 0; f < row.files; ++f) {
      const bool fresh = (row.freshEvery > 0 && f % row.freshEvery == 0) || latest.empty();
      const std::size_t drawn = row.pool > 0 ? std::min<std::size_t>(row.pool, latest.size()) : latest.size();
      const std::size_t id = fresh ? latest.size() + random() % 3 : random() % drawn;
      if (id >= latest.size()) latest.resize(id + 1, TBox{kNaN, kNaN, kNaN, kNaN});
      // Refiled boxes shrink or move; a few become no number.
      latest[id] = f % 17 == 5 ? TBox{0, kNaN, 0, 0} : randomBox();
      tree.File(id, latest[id]);
      if (f % row.checkEvery == 0) check("while filing");
    }
    check("after filing");
  }
}

}  // namespace
