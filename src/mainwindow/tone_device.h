#pragma once
// The wave output of the alerts: one audio sink (8000 samples per second, mono,
// 16 bit) kept open for the program's lifetime, playing square-wave tones from
// one fixed buffer of one second.
#include <QAudioDevice>
#include <QBuffer>
#include <QByteArray>
#include <memory>

#include "util/square_wave.h"

class QAudioSink;

namespace veltrano {

class ToneDevice {
 public:
  // `output`: the device the tones play on; a null device leaves them silent.
  explicit ToneDevice(QAudioDevice output);
  ~ToneDevice();
  ToneDevice(const ToneDevice&) = delete;
  ToneDevice& operator=(const ToneDevice&) = delete;

  // Opens the sink on the device; without a device, or one that cannot play
  // the format, it stays closed and every tone is silent.
  void openToneDevice();
  void closeToneDevice();
  bool isOpen() const { return sink_ != nullptr; }

  // Starts a tone and returns at once; it plays in the background. A tone
  // still playing is cut short by the new one. A tone that cannot be played
  // (see squareWaveLength) leaves the one playing alone.
  void playTone(int frequency, int durationMs);

 private:
  const QAudioDevice output_;
  ToneBuffer samples_{};
  // The part of samples_ in use, as the sink reads it: no copy of the samples.
  QByteArray tone_;
  QBuffer source_;
  // Declared last, so that it goes before the buffer it reads.
  std::unique_ptr<QAudioSink> sink_;
};

}  // namespace veltrano
