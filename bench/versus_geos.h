#pragma once
// A benchmark of ours beside GEOS on the same input in the same run: each
// iteration times one run of either by the processor time it takes, and
// ours is the iteration's time.  The mean of each and their ratio become
// counters.
#include <benchmark/benchmark.h>

#include <ctime>
#include <string>

class TVersusGeos {
 public:
  template <class Ours, class Geos>
  void Run(benchmark::State& state, Ours ours, Geos geos) {
    double started = Seconds();
    ours();
    const double run = Seconds() - started;
    ours_ += run;
    started = Seconds();
    geos();
    geos_ += Seconds() - started;
    state.SetIterationTime(run);
  }

  void Count(benchmark::State& state, const std::string& ours, const std::string& geos) const {
    const double runs = static_cast<double>(state.iterations());
    state.counters[ours + "_s"] = ours_ / runs;
    state.counters[geos + "_s"] = geos_ / runs;
    state.counters[ours + "_to_geos"] = ours_ / geos_;
  }

 private:
  static double Seconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

  double ours_ = 0;
  double geos_ = 0;
};
