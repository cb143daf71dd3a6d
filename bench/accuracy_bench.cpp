// The accuracy figures' own cost, apart from the playbacks that feed them: the
// errors of a day of solutions at 1 Hz and at 10 Hz, added one by one and read
// off as CEP50, CEP95, 2DRMS and the largest, in a sample of one number each.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstddef>
#include <random>
#include <vector>

#include "util/accuracy_figures.h"
#include "util/formatters.h"

namespace veltrano {
namespace {

struct Position {
  double latitude, longitude;
};

std::vector<Position> scatter(size_t count) {
  std::mt19937_64 random(7);
  std::normal_distribution<double> metres(0, 2);
  std::vector<Position> positions(count);
  for (Position& p : positions)
    p = {0.97 + metres(random) / kMeridianNumerator, 0.66 + metres(random) / (std::cos(0.97) * kSemiMajorAxis)};
  return positions;
}

void BM_HorizontalFigures(benchmark::State& state) {
  const std::vector<Position> positions = scatter(size_t(state.range(0)));
  const PositionCentre centre{0.97, 0.66, 150};
  ErrorSample errors(positions.size());
  AccuracyFigures figures;
  for (auto _ : state) {
    errors.clear();
    for (const Position& p : positions) errors.add(horizontalError(p.latitude, p.longitude, centre));
    readHorizontalFigures(errors, figures);
    benchmark::DoNotOptimize(figures);
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * state.range(0));
  state.counters["bytes_per_solution"] = double(sizeof(double));
}
BENCHMARK(BM_HorizontalFigures)->Arg(86400)->Arg(864000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace veltrano
