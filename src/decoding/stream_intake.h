#pragma once
// The one entry point of every decoded byte, live or played back: dispatches
// each byte to the handler of the selected protocol, counts the bytes while
// playing or recording, hands the raw block to the recording and repaints once.
#include <cstdint>
#include <string>

#include "decoding/transport_fields.h"

namespace veltrano {

// What the intake calls out to; the main window provides it.
class IntakeTarget {
 public:
  virtual ~IntakeTarget() = default;
  virtual void handleNmeaByte(uint8_t b) = 0;
  virtual void handleBinrByte(uint8_t b) = 0;
  virtual void handleBinr2Byte(uint8_t b) = 0;
  virtual void recordBlock(const uint8_t* bytes, int32_t length) = 0;
  virtual void showReceivedBytes(const std::string& text) = 0;
  virtual void showErrorCount(const std::string& text) = 0;
  virtual void repaintWindows() = 0;
};

class StreamIntake {
 public:
  StreamIntake(TransportFields& transport, IntakeTarget& target) : transport_(transport), target_(target) {}

  void receiveBlock(const uint8_t* bytes, int32_t length);

  // A line error reported by the serial reader.
  void countLineError();

 private:
  TransportFields& transport_;
  IntakeTarget& target_;
};

// "%.1f kB", "%.1f MB" or "%.1f GB" of a byte count.
std::string formatReceivedTotal(int64_t total);

}  // namespace veltrano
