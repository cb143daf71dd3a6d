#include "util/square_wave.h"

#include <gtest/gtest.h>

#include <string>

namespace veltrano {
namespace {

constexpr int16_t kUntouched = 7;
constexpr int16_t kLow = -32767;
constexpr int16_t kHigh = 32767;

struct ToneCase {
  int frequency;
  int durationMs;
  size_t samples;     // 0: the tone is not played and nothing is written
  size_t halfPeriod;  // samples per level
};

const ToneCase kToneCases[] = {
    {1000, 100, 800, 4},    // the watchdog's alert
    {500, 50, 400, 8},      // the Position window's alert
    {1000, 1000, 8000, 4},  // the whole buffer
    {4000, 10, 80, 1},      // the highest frequency: the level changes every sample
    {1, 1000, 8000, 4000},  // the lowest: half a second low, half a second high
    {3000, 1, 8, 1},        // 4000 / 3000 truncates to 1
    {600, 3, 24, 6},        // 4000 / 600 truncates to 6
    {700, 2, 16, 5},        // 4000 / 700 is 5: the last level is cut short after 1 sample
    {1000, 1001, 0, 0},     // longer than the buffer
    {1000, 0, 0, 0},       {1000, -1, 0, 0}, {0, 100, 0, 0}, {-500, 50, 0, 0}, {4001, 100, 0, 0},
};

// The tone is a run of levels, low first, alternating, each half a period long
// but the last, which may be cut short by the end of the tone; past the tone
// the buffer is as it was.
TEST(SquareWave, SamplesOfEachTone) {
  for (const ToneCase& c : kToneCases) {
    SCOPED_TRACE(std::to_string(c.frequency) + " Hz, " + std::to_string(c.durationMs) + " ms");
    ToneBuffer buffer;
    buffer.fill(kUntouched);
    EXPECT_EQ(squareWaveLength(c.frequency, c.durationMs), c.samples);
    ASSERT_EQ(fillSquareWave(buffer, c.frequency, c.durationMs), c.samples);

    size_t runStart = 0;
    int16_t level = kLow;
    for (size_t i = 0; i <= c.samples; ++i) {
      if (i < c.samples && buffer[i] == level) continue;
      const size_t run = i - runStart;
      if (i < c.samples) {
        ASSERT_EQ(run, c.halfPeriod) << "level ending at sample " << i;
        ASSERT_EQ(buffer[i], level == kLow ? kHigh : kLow) << "sample " << i;
        level = buffer[i];
        runStart = i;
      } else if (c.samples > 0) {
        EXPECT_GE(run, 1u);
        EXPECT_LE(run, c.halfPeriod);
      }
    }
    for (size_t i = c.samples; i < buffer.size(); ++i) ASSERT_EQ(buffer[i], kUntouched) << "sample " << i;
  }
}

// One period of the watchdog's tone lasts 1 ms: 4 samples low, 4 high.
TEST(SquareWave, OneMillisecondAtOneKilohertz) {
  ToneBuffer buffer{};
  ASSERT_EQ(fillSquareWave(buffer, 1000, 1), 8u);
  for (size_t i = 0; i < 8; ++i) EXPECT_EQ(buffer[i], i < 4 ? kLow : kHigh) << "sample " << i;
}

}  // namespace
}  // namespace veltrano
