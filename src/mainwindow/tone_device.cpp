#include "mainwindow/tone_device.h"

#include <QAudioFormat>
#include <QAudioSink>

namespace veltrano {

ToneDevice::ToneDevice(QAudioDevice output) : output_(std::move(output)) { source_.setBuffer(&tone_); }

ToneDevice::~ToneDevice() = default;

void ToneDevice::openToneDevice() {
  if (sink_ || output_.isNull()) return;
  QAudioFormat format;
  format.setSampleRate(kToneSampleRate);
  format.setChannelCount(1);
  format.setSampleFormat(QAudioFormat::Int16);
  if (!output_.isFormatSupported(format)) return;
  sink_ = std::make_unique<QAudioSink>(output_, format);
  sink_->setVolume(1.0);
}

void ToneDevice::closeToneDevice() {
  sink_.reset();
  source_.close();
}

void ToneDevice::playTone(int frequency, int durationMs) {
  if (!sink_ || squareWaveLength(frequency, durationMs) == 0) return;
  // Once stopped, the sink reads the buffer no more: only then is it rewritten.
  sink_->stop();
  source_.close();
  const size_t length = fillSquareWave(samples_, frequency, durationMs);
  tone_.setRawData(reinterpret_cast<const char*>(samples_.data()), qsizetype(length * sizeof(int16_t)));
  source_.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
  sink_->start(&source_);
}

}  // namespace veltrano
