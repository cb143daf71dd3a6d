#pragma once
// Where the command writers put a framed command: the serial port, or anything
// else that takes the bytes of one frame in one call.
#include <cstdint>

namespace veltrano {

class PortWriter {
 public:
  virtual ~PortWriter() = default;
  // The number of bytes taken, or 0 when they could not be.
  virtual int writePort(const uint8_t* bytes, int count) = 0;
};

}  // namespace veltrano
