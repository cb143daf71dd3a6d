#pragma once
// Splits a BINR2 byte stream into frames (sync A5 5A B5 5B, 16-bit length, body of
// message id and payload, CRC-16 of the body) and hands every frame whose CRC matches
// to the message dispatch. Two machines read the same bytes: the frameReader reads and
// keeps the frame, the resyncMachine already hunts for the next sync word inside it, so
// a frame that starts inside a bad or truncated frame is not lost and no byte is read twice.
#include <cstddef>
#include <cstdint>

#include "decoding/binr2_state.h"

namespace veltrano {

class Binr2Decoder {
 public:
  static constexpr uint32_t binr2SyncWord = 0x5BB55AA5;
  static constexpr uint16_t kMaxLength = 2047;  // longest valid body
  static constexpr uint16_t kFrameBufferSize = kMaxLength + 2;

  explicit Binr2Decoder(Binr2State& state);

  // Id of the frame that this byte completed and whose checksum matched, else 0.
  uint8_t pushBinr2Byte(uint8_t b);
  // Feeds bytes up to and including the first one that completes a frame, or all of
  // them; returns how many it took and puts the id of the frame, or 0, in `id`. The
  // same as pushBinr2Byte on each: a body, and the bytes hunted for a sync word,
  // go in one step while nothing else watches them.
  size_t pushBinr2Bytes(const uint8_t* bytes, size_t length, uint8_t& id);
  // Back to the start-up state; the state records stay as they are.
  void resetBinr2Decoder();

 private:
  enum class Phase : uint8_t { Idle, Hunting, ReadingLength, ReadingBody, ReadingChecksum };

  struct Machine {
    Phase state = Phase::Hunting;
    uint32_t syncRegister = 0;
    uint16_t declaredLength = 0;
    uint16_t runningCrc = 0;
    uint16_t receivedChecksum = 0;
    // Length bytes read while ReadingLength, body bytes after.
    uint16_t byteCount = 0;
  };

  void takeOver();
  uint8_t stepResyncMachine(uint8_t b);
  uint16_t nextSequencePosition() const;
  void moveToFront(uint16_t from, uint16_t count);

  size_t takeRun(const uint8_t* bytes, size_t length);

  static bool huntSync(Machine& m, uint8_t b);
  static void readLength(Machine& m, uint8_t b);

  Binr2State& binr2State;
  Machine frameReader;
  Machine resyncMachine{Phase::Idle};
  // The frameReader's body bytes in arrival order, after a checksum mismatch also
  // its two checksum bytes.
  uint8_t frameBuffer[kFrameBufferSize]{};
  // Where the resyncMachine's body begins in the sequence of bytes the frameReader
  // keeps in frameBuffer.
  uint16_t bodyStart = 0;
};

}  // namespace veltrano
