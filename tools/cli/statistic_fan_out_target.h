#pragma once
// The fan-out's target for the statistics without windows: the Statistic
// window counts as shown, every other window as hidden, and the solutions go
// into the shared filter and accumulation. Writers, link and labels do nothing.
#include "decoding/headless_fan_out_target.h"
#include "decoding/receiver.h"
#include "util/statistic_filter.h"

namespace veltrano {

class StatisticFanOutTarget : public HeadlessFanOutTarget {
 public:
  StatisticFanOutTarget(const Receiver& receiver, StatisticFilter& filter) : receiver_(receiver), filter_(filter) {}

  bool statisticChecked() const override { return true; }
  void updateBinrStatistic() override { filter_.updateBinrStatistic(receiver_.binr); }
  void updateBinr2Statistic() override { filter_.updateBinr2Statistic(receiver_.binr2); }
  void updateNmeaStatistic() override { filter_.updateNmeaStatistic(receiver_.nmea); }

 private:
  const Receiver& receiver_;
  StatisticFilter& filter_;
};

}  // namespace veltrano
