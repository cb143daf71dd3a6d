#pragma once
// The display sink of the receive-path targets: the Statistic window's filter
// on every solution, set as the option bits say (bit 0 DIFF, 1 OBS, 2 3D, 3 the
// DOP limits 1.5 and 2.5), with the counts and the mean longitude checked.
#include <cmath>
#include <cstdint>

#include "decoding/fan_out_sinks.h"
#include "decoding/statistic_filter.h"
#include "receive_path.h"
#include "util/formatters.h"
#include "util/position_statistics.h"

namespace veltrano::fuzz {

class StatisticSink : public NoDisplay {
 public:
  explicit StatisticSink(uint8_t options) {
    StatisticSettings& s = filter_.settings;
    s.diffOnly = options & 1;
    s.obs = options & 2;
    s.threeDOnly = options & 4;
    s.maxHdop = DopLimit::fromText(options & 8 ? "1.5" : "0.0");
    s.maxVdop = DopLimit::fromText(options & 8 ? "2.5" : "0.0");
  }

  void showSolution(const Fix& fix, const SolutionSatellites*) override {
    const int32_t before = filter_.nCount();
    const bool accepted = filter_.update(fix);
    ++solutions_;
    FUZZ_CHECK(filter_.nallCount() == solutions_);
    FUZZ_CHECK(filter_.nanomCount() <= filter_.nallCount());
    FUZZ_CHECK(filter_.nCount() == before + (accepted ? 1 : 0));
    FUZZ_CHECK(!(std::fabs(filter_.meanLon()) > kPi));  // kept in [-pi, pi]; NaN passes
  }

 private:
  PositionStatistics statistics_;
  StatisticFilter filter_{statistics_};
  int64_t solutions_ = 0;
};

}  // namespace veltrano::fuzz
