#pragma once
// Where the serial reader and the playback thread deliver bytes, on the main thread.
#include <cstdint>

namespace veltrano {

class BlockReceiver {
 public:
  virtual ~BlockReceiver() = default;
  // A batch of received bytes, in the order they arrived.
  virtual void receiveBlock(const uint8_t* bytes, int32_t length) = 0;
  // The port reported a line error (framing, overrun, parity).
  virtual void countLineError() = 0;
};

}  // namespace veltrano
