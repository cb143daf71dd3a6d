#pragma once
// Splits a BINR byte stream into frames (DLE id payload [DLE 0xFF crc-lo crc-hi] DLE ETX),
// removes the doubled DLEs, checks the CRC trailer and the payload length of the known
// messages and copies their payloads into BinrState.
#include <cstddef>
#include <cstdint>

#include "decoding/binr_state.h"
#include "decoding/crc16.h"

namespace veltrano {

class BinrDecoder {
 public:
  static constexpr uint32_t kFrameCapacity = 8192;

  explicit BinrDecoder(BinrState& state);

  // 0: nothing completed (or a frame of id 0); 1..255: id of a frame that ended and
  // passed its checks; -1: a frame was rejected (CRC, too long, wrong payload length).
  int pushBinrByte(uint8_t b) {
    // Most bytes are plain payload inside a frame; they take this short path inline.
    if (b != kDle && !dleSeen && crcTrailerState == 0 && inFrame && frameLength + 1 < kFrameCapacity) {
      crc = binrCrcUpdate(uint16_t(crc), b);
      frameBuffer[frameLength++] = b;
      return 0;
    }
    return decodeByte(b);
  }
  // Feeds bytes up to and including the first one whose result is not 0, or all of
  // them; returns how many it took and puts the result of the last one in `result`.
  // The same as pushBinrByte on each: runs of plain payload are copied and checked
  // in one step.
  size_t pushBinrBytes(const uint8_t* bytes, size_t length, int& result);
  // Forgets a partial frame; the state records stay as they are.
  void resetBinrDecoder();

 private:
  static constexpr uint8_t kDle = 0x10;
  static constexpr uint8_t kEtx = 0x03;
  static constexpr uint8_t kCrcMark = 0xFF;

  int decodeByte(uint8_t b);
  int storeDataByte(uint8_t b);
  int checkMessage();

  BinrState& state;
  // The 16-bit CRC of the frame so far. Held in 32 bits: the processor forwards a
  // 32-bit field from one byte to the next much faster than a 16-bit one.
  uint32_t crc = 0;
  uint16_t receivedCrc = 0;
  bool dleSeen = false;
  bool inFrame = false;
  uint8_t crcTrailerState = 0;  // 0 none, 1 low byte next, 2 high byte next
  uint32_t frameLength = 0;
  uint8_t frameBuffer[kFrameCapacity]{};  // id followed by the unstuffed payload
};

}  // namespace veltrano
