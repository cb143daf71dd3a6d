#pragma once
// The one entry point of every decoded byte, live or played back: hands
// each block to the fan-out's handler of the selected protocol, counts the bytes
// while playing or recording, tells the recording of each block and has the
// windows repainted once.
#include <cstdint>
#include <string>

#include "decoding/block_receiver.h"
#include "decoding/message_fan_out.h"
#include "decoding/transport_fields.h"

namespace veltrano {

// What the intake does with a whole block besides decoding it.
class IntakeSink {
 public:
  virtual ~IntakeSink() = default;
  // Every block received in REC, after receivedTotal counted it. The serial
  // reader has stored it in the record file already.
  virtual void blockRecorded(int32_t length) = 0;
  // The received total, after each block in PLAY, FF and REC; shown as
  // formatReceivedTotal writes it.
  virtual void showReceivedTotal(int64_t total) = 0;
  // After each block: the shown windows draw what the block changed.
  virtual void repaintWindows() = 0;
};

class StreamIntake : public BlockReceiver {
 public:
  StreamIntake(TransportFields& transport, MessageFanOut& fanOut, IntakeSink& sink)
      : transport_(transport), fanOut_(fanOut), sink_(sink) {}

  void receiveBlock(const uint8_t* bytes, int32_t length) override;
  // A line error reported by the serial reader.
  void countLineError() override { fanOut_.countError(); }

 private:
  TransportFields& transport_;
  MessageFanOut& fanOut_;
  IntakeSink& sink_;
};

// "%.1f kB", "%.1f MB" or "%.1f GB" of a byte count.
std::string formatReceivedTotal(int64_t total);

}  // namespace veltrano
