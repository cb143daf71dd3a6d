#pragma once
// The program's decoding path of fast playback without windows or link: the
// same stream intake and per-message fan-out, in FF, with the sinks a
// subcommand serves. Each file starts from freshly reset decoders.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "decoding/fan_out_sinks.h"
#include "decoding/message_fan_out.h"
#include "decoding/receiver.h"
#include "decoding/stream_intake.h"

namespace veltrano {

class HeadlessPlayback : private IntakeSink {
 public:
  static constexpr size_t kSliceSize = 2048;  // one hand-off of fast playback

  HeadlessPlayback(DisplaySink& display, ConversionSink& conversion)
      : fanOut_(*receiver_, transport_, display, conversion), intake_(transport_, fanOut_, *this) {
    transport_.transportState = TransportState::FF;
  }

  Receiver& receiver() { return *receiver_; }

  void startFile(ReceiverProtocol protocol) {
    receiver_->resetDecoders();
    transport_.receiverProtocol = protocol;
  }

  // A chunk read from the recording, handed over in slices as fast playback does.
  void playChunk(const uint8_t* bytes, size_t length) {
    for (size_t at = 0; at < length; at += kSliceSize)
      intake_.receiveBlock(bytes + at, int32_t(std::min(kSliceSize, length - at)));
  }

 private:
  void blockRecorded(int32_t) override {}
  void showReceivedTotal(int64_t) override {}
  void repaintWindows() override {}

  std::unique_ptr<Receiver> receiver_ = std::make_unique<Receiver>();
  TransportFields transport_;
  MessageFanOut fanOut_;
  StreamIntake intake_;
};

}  // namespace veltrano
