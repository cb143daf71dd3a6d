#include "util/square_wave.h"

namespace veltrano {

namespace {

constexpr int kSamplesPerMs = kToneSampleRate / 1000;
constexpr int kMaxFrequency = kToneSampleRate / 2;

}  // namespace

size_t squareWaveLength(int frequency, int durationMs) {
  if (frequency < 1 || frequency > kMaxFrequency) return 0;
  if (durationMs < 1 || size_t(durationMs) * kSamplesPerMs > kToneBufferSamples) return 0;
  return size_t(durationMs) * kSamplesPerMs;
}

size_t fillSquareWave(ToneBuffer& samples, int frequency, int durationMs) {
  const size_t length = squareWaveLength(frequency, durationMs);
  if (length == 0) return 0;
  const size_t halfPeriod = size_t(kMaxFrequency / frequency);
  for (size_t i = 0; i < length; ++i) samples[i] = (i / halfPeriod) % 2 == 1 ? kToneLevel : int16_t(-kToneLevel);
  return length;
}

}  // namespace veltrano
