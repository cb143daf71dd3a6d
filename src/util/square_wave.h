#pragma once
// The alert tone's samples: a square wave of signed 16-bit samples at 8000
// samples per second, written into one buffer of one second that every tone
// shares.
#include <array>
#include <cstddef>
#include <cstdint>

namespace veltrano {

inline constexpr int kToneSampleRate = 8000;
inline constexpr size_t kToneBufferSamples = 8000;
inline constexpr int16_t kToneLevel = 32767;

using ToneBuffer = std::array<int16_t, kToneBufferSamples>;

// The samples a tone of `durationMs` takes: 8 per millisecond; 0 for a tone
// that cannot be played: no duration, one beyond the buffer's second, or a
// frequency outside 1 to 4000 Hz.
size_t squareWaveLength(int frequency, int durationMs);

// Writes the tone into the start of `samples` and returns its length
// (squareWaveLength); the rest of the buffer is left as it was. Each half
// period is 4000 / frequency samples (truncated), the first one low: sample i
// is +32767 when i / (4000 / frequency) is odd and -32767 when it is even.
size_t fillSquareWave(ToneBuffer& samples, int frequency, int durationMs);

}  // namespace veltrano
