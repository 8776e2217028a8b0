#pragma once
// Random walks over a bitmap's pixels, the polylines the drawing benchmarks
// draw, and Qt's painter drawing them: the anchor those benchmarks are read
// against.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "platform/canvas_reference.h"

using TPixelWalks = std::vector<std::vector<platform::PixelPoint>>;

// count walks of vertices points each over width x height pixels, starting
// anywhere and stepping up to maxStep pixels along each axis; the same seed
// gives the same walks.
inline TPixelWalks RandomWalks(int count, int vertices, int width, int height, int maxStep, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> x0(0, width - 1), y0(0, height - 1), step(-maxStep, maxStep);
  TPixelWalks walks(static_cast<std::size_t>(count));
  for (auto& walk : walks) {
    int x = x0(random), y = y0(random);
    for (int i = 0; i < vertices; ++i) {
      walk.push_back({x, y});
      x = std::clamp(x + step(random), 0, width - 1);
      y = std::clamp(y + step(random), 0, height - 1);
    }
  }
  return walks;
}

// Times Qt's painter drawing the walks as one-pixel aliased black polylines
// on a bitmap of width x height.
inline void PaintWalksWithQt(benchmark::State& state, const TPixelWalks& walks, int width, int height) {
  std::vector<platform::PixelPoint> points;
  std::vector<std::int32_t> counts;
  for (const auto& walk : walks) {
    points.insert(points.end(), walk.begin(), walk.end());
    counts.push_back(static_cast<std::int32_t>(walk.size()));
  }
  auto bitmap = platform::Bitmap::Create(width, height);
  for (auto _ : state) platform::PaintPolylinesWithQt(*bitmap, points, counts, 0);
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(walks.size()));
}
