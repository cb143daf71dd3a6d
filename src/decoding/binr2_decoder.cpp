#include "decoding/binr2_decoder.h"

#include <algorithm>
#include <cstring>

#include "decoding/crc16.h"

namespace veltrano {

namespace {

// The sync register after `b` has been shifted in at the top.
uint32_t shiftIn(uint32_t syncRegister, uint8_t b) { return (syncRegister >> 8) | (uint32_t(b) << 24); }

// The sync register after the bytes up to and including index `last`.
uint32_t registerAfter(uint32_t syncRegister, const uint8_t* bytes, size_t last) {
  for (size_t i = last >= 3 ? last - 3 : 0; i <= last; ++i) syncRegister = shiftIn(syncRegister, bytes[i]);
  return syncRegister;
}

// Index of the first byte that completes the sync word in a register that holds
// `syncRegister` before the bytes, or `length` when none does.
size_t syncEnd(uint32_t syncRegister, const uint8_t* bytes, size_t length) {
  constexpr uint8_t kLastSyncByte = Binr2Decoder::binr2SyncWord >> 24;
  for (size_t at = 0; at < length; ++at) {
    const auto* last = static_cast<const uint8_t*>(std::memchr(bytes + at, kLastSyncByte, length - at));
    if (last == nullptr) return length;
    at = size_t(last - bytes);
    if (registerAfter(syncRegister, bytes, at) == Binr2Decoder::binr2SyncWord) return at;
  }
  return length;
}

}  // namespace

Binr2Decoder::Binr2Decoder(Binr2State& state) : binr2State(state) {}

size_t Binr2Decoder::pushBinr2Bytes(const uint8_t* bytes, size_t length, uint8_t& id) {
  size_t at = 0;
  while (at < length) {
    at += takeRun(bytes + at, length - at);
    if (at == length) break;
    id = pushBinr2Byte(bytes[at++]);
    if (id != 0) return at;
  }
  id = 0;
  return length;
}

// Takes the leading bytes that change nothing but the frameReader's body and the
// sync registers: a body while the resyncMachine rests or hunts, or a hunt while
// it rests, up to the byte that would complete a sync word. Returns how many.
size_t Binr2Decoder::takeRun(const uint8_t* bytes, size_t length) {
  Machine& r = frameReader;
  Machine& m = resyncMachine;
  const bool resyncHunts = m.state == Phase::Hunting;
  if (!resyncHunts && m.state != Phase::Idle) return 0;
  if (r.state == Phase::ReadingBody) {
    size_t run = std::min(size_t(r.declaredLength - r.byteCount), length);
    if (resyncHunts) run = syncEnd(m.syncRegister, bytes, run);
    if (run == 0) return 0;
    std::memcpy(frameBuffer + r.byteCount, bytes, run);
    r.runningCrc = binrCrcUpdate(r.runningCrc, bytes, run);
    r.byteCount = uint16_t(r.byteCount + run);
    if (resyncHunts) m.syncRegister = registerAfter(m.syncRegister, bytes, run - 1);
    return run;
  }
  if (r.state == Phase::Hunting && !resyncHunts) {
    const size_t run = syncEnd(r.syncRegister, bytes, length);
    if (run > 0) r.syncRegister = registerAfter(r.syncRegister, bytes, run - 1);
    return run;
  }
  return 0;
}

void Binr2Decoder::resetBinr2Decoder() {
  frameReader = Machine{};
  resyncMachine = Machine{Phase::Idle};
  bodyStart = 0;
}

bool Binr2Decoder::huntSync(Machine& m, uint8_t b) {
  m.syncRegister = (m.syncRegister >> 8) | (uint32_t(b) << 24);
  if (m.syncRegister != binr2SyncWord) return false;
  m.byteCount = 0;
  m.runningCrc = 0;
  m.receivedChecksum = 0;
  m.state = Phase::ReadingLength;
  return true;
}

void Binr2Decoder::readLength(Machine& m, uint8_t b) {
  if (m.byteCount == 0) {
    m.declaredLength = b;
    m.byteCount = 1;
    return;
  }
  m.declaredLength = uint16_t(m.declaredLength | (b << 8));
  if (m.declaredLength > kMaxLength) {
    m.state = Phase::Hunting;
    return;
  }
  m.byteCount = 0;
  m.runningCrc = 0;
  m.state = Phase::ReadingBody;
}

// Where the byte after the current one lands in the sequence the frameReader keeps:
// its next body byte, or a checksum byte, which is kept after a mismatch.
uint16_t Binr2Decoder::nextSequencePosition() const {
  switch (frameReader.state) {
    case Phase::ReadingBody:
      return frameReader.byteCount;
    case Phase::ReadingChecksum:
      return uint16_t(frameReader.byteCount + 1);
    default:  // the current byte was the last checksum byte of a mismatched frame
      return uint16_t(frameReader.byteCount + 2);
  }
}

// Front-to-back, so the source may overlap the front of the buffer.
void Binr2Decoder::moveToFront(uint16_t from, uint16_t count) {
  for (uint16_t i = 0; i < count; ++i) frameBuffer[i] = frameBuffer[from + i];
}

// The frameReader continues the frame the resyncMachine is following. Only a body
// has bytes to move: in Hunting and ReadingLength the counter and bodyStart may
// still describe an earlier frame.
void Binr2Decoder::takeOver() {
  frameReader = resyncMachine;
  if (frameReader.state == Phase::ReadingBody || frameReader.state == Phase::ReadingChecksum)
    moveToFront(bodyStart, frameReader.byteCount);
}

uint8_t Binr2Decoder::pushBinr2Byte(uint8_t b) {
  if (frameReader.state == Phase::Hunting && resyncMachine.state != Phase::Idle) takeOver();

  Machine& r = frameReader;
  switch (r.state) {
    case Phase::Hunting:
      // The resyncMachine sees this same byte below. Its register starts empty so
      // it cannot take this sync word for its own: else, once both machines hold the
      // same register (after a bad frame), it would follow this very frame and miss
      // any frame that begins inside it.
      if (huntSync(r, b)) {
        resyncMachine.state = Phase::Hunting;
        resyncMachine.syncRegister = 0;
      }
      break;
    case Phase::ReadingLength:
      readLength(r, b);
      break;
    case Phase::ReadingBody:
      if (r.byteCount == r.declaredLength) {
        r.receivedChecksum = b;
        r.state = Phase::ReadingChecksum;
      } else {
        frameBuffer[r.byteCount++] = b;
        r.runningCrc = binrCrcUpdate(r.runningCrc, b);
      }
      break;
    case Phase::ReadingChecksum:
      r.receivedChecksum = uint16_t(r.receivedChecksum | (b << 8));
      r.state = Phase::Hunting;
      if (r.receivedChecksum == r.runningCrc) {
        resyncMachine.state = Phase::Idle;
        return dispatchBinr2Frame(binr2State, frameBuffer, r.declaredLength);
      }
      frameBuffer[r.byteCount] = uint8_t(r.receivedChecksum);
      frameBuffer[r.byteCount + 1] = b;
      break;
    case Phase::Idle:  // only the resyncMachine rests
      break;
  }
  return stepResyncMachine(b);
}

uint8_t Binr2Decoder::stepResyncMachine(uint8_t b) {
  Machine& m = resyncMachine;
  switch (m.state) {
    case Phase::Idle:
      break;
    case Phase::Hunting:
      huntSync(m, b);
      break;
    case Phase::ReadingLength:
      readLength(m, b);
      if (m.state == Phase::ReadingBody) bodyStart = nextSequencePosition();
      break;
    case Phase::ReadingBody:
      if (m.byteCount == m.declaredLength) {
        m.receivedChecksum = b;
        m.state = Phase::ReadingChecksum;
      } else {
        ++m.byteCount;
        m.runningCrc = binrCrcUpdate(m.runningCrc, b);
      }
      break;
    case Phase::ReadingChecksum:
      m.receivedChecksum = uint16_t(m.receivedChecksum | (b << 8));
      if (m.receivedChecksum == m.runningCrc) {
        // A whole frame inside the frameReader's frame: the outer frame is abandoned.
        moveToFront(bodyStart, m.byteCount);
        frameReader.byteCount = m.byteCount;
        frameReader.state = Phase::Hunting;
        m.state = Phase::Idle;
        return dispatchBinr2Frame(binr2State, frameBuffer, m.declaredLength);
      }
      m.byteCount = 0;
      m.state = Phase::Hunting;
      break;
  }
  return 0;
}

}  // namespace veltrano
