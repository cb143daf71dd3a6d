#include "mainwindow/tone_device.h"

#include <gtest/gtest.h>

#include <QAudioDevice>

namespace veltrano {
namespace {

// Without an audio device the tone device stays closed: every tone, playable
// or not, is silent and returns at once, and closing and opening again change
// nothing.
TEST(ToneDevice, NoDeviceIsSilent) {
  ToneDevice tones{QAudioDevice()};
  tones.openToneDevice();
  EXPECT_FALSE(tones.isOpen());
  const struct {
    int frequency, durationMs;
  } tonesPlayed[] = {{1000, 100}, {500, 50}, {1000, 1000}, {1000, 1001}, {0, 100}};
  for (const auto& tone : tonesPlayed) {
    tones.playTone(tone.frequency, tone.durationMs);
    EXPECT_FALSE(tones.isOpen()) << tone.frequency << " Hz, " << tone.durationMs << " ms";
  }
  tones.closeToneDevice();
  tones.openToneDevice();
  EXPECT_FALSE(tones.isOpen());
}

}  // namespace
}  // namespace veltrano
