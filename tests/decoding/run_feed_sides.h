#pragma once
// The decoders of each protocol fed two ways, byte by byte and a run at a time,
// and the check that both give the same result at the same byte and the same
// state after it. Used by the decoder tests and the run-feed fuzz target.
#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "decoding/receiver.h"

namespace veltrano {

// One decoder with its state, fed one way; result 0 is "nothing".
struct NmeaSide {
  std::unique_ptr<NmeaAssembler> nmea = std::make_unique<NmeaAssembler>();
  int byte(uint8_t b) { return int(nmea->pushNmeaChar(b)); }
  size_t run(const uint8_t* bytes, size_t length, int& result) {
    NmeaKind kind;
    const size_t used = nmea->pushNmeaChars(bytes, length, kind);
    result = int(kind);
    return used;
  }
  bool sameState(const NmeaSide& other) const {
    const NmeaAssembler &a = *nmea, &b = *other.nmea;
    if (std::memcmp(&a.fields(), &b.fields(), sizeof(NmeaFieldTable)) != 0) return false;
    for (int kind = int(NmeaKind::GGA); kind <= int(NmeaKind::VER); ++kind)
      if (std::memcmp(&a.stored(NmeaKind(kind)), &b.stored(NmeaKind(kind)), sizeof(NmeaFieldTable)) != 0) return false;
    return a.ggaCount == b.ggaCount && a.rmcCount == b.rmcCount && a.gnsCount == b.gnsCount &&
           a.glgsvCount == b.glgsvCount;
  }
};

struct BinrSide {
  std::unique_ptr<Receiver> rx = std::make_unique<Receiver>();
  int byte(uint8_t b) { return rx->binrDecoder.pushBinrByte(b); }
  size_t run(const uint8_t* bytes, size_t length, int& result) {
    return rx->binrDecoder.pushBinrBytes(bytes, length, result);
  }
  bool sameState(const BinrSide& other) const { return sameRecords(rx->binr, other.rx->binr); }
  // As operator== but a NaN equals the same NaN; the padding, which a copy of a
  // record need not keep, is left out.
  static bool sameRecords(const BinrState& a, const BinrState& b) {
    auto navBits = [](const BinrNavSolution& n) {
      return std::array<uint64_t, 10>{bits(n.latitude),      bits(n.longitude),    bits(n.height),
                                      bits(n.rmsError),      bits(n.timeOfWeek),   uint64_t(n.week),
                                      bits(n.velocityNorth), bits(n.velocityEast), bits(n.velocityUp),
                                      n.solutionStatus};
    };
    auto dopBits = [](const BinrDop& d) {
      return std::array<uint64_t, 4>{uint64_t(d.gpsUsed), uint64_t(d.glonassUsed), bits(d.hdop), bits(d.vdop)};
    };
    return navBits(a.navSolution) == navBits(b.navSolution) && dopBits(a.dop) == dopBits(b.dop) &&
           a.version == b.version && a.status == b.status && a.satsInView == b.satsInView;
  }
  static uint64_t bits(double value) { return std::bit_cast<uint64_t>(value); }
  static uint64_t bits(float value) { return std::bit_cast<uint32_t>(value); }
};

struct Binr2Side {
  std::unique_ptr<Receiver> rx = std::make_unique<Receiver>();
  int byte(uint8_t b) { return rx->binr2Decoder.pushBinr2Byte(b); }
  size_t run(const uint8_t* bytes, size_t length, int& result) {
    uint8_t id;
    const size_t used = rx->binr2Decoder.pushBinr2Bytes(bytes, length, id);
    result = id;
    return used;
  }
  bool sameState(const Binr2Side& other) const { return rx->binr2 == other.rx->binr2; }
};

struct FeedComparison {
  int results = 0;         // results other than 0
  std::string difference;  // empty when both ways agree
};

// Feeds the stream in pieces of the sizes `nextPiece` gives, each piece by runs
// until it is used up, and every run's bytes one by one to a twin.
template <typename Side, typename NextPiece>
FeedComparison compareRunFeed(const std::vector<uint8_t>& stream, NextPiece&& nextPiece) {
  Side byByte, byRun;
  FeedComparison c;
  auto differ = [&](size_t at, const std::string& what) {
    c.difference = "at byte " + std::to_string(at) + ": " + what;
    return c;
  };
  for (size_t offset = 0; offset < stream.size();) {
    const size_t pieceEnd = offset + std::min(stream.size() - offset, size_t(nextPiece()));
    while (offset < pieceEnd) {
      int result = 0;
      const size_t used = byRun.run(stream.data() + offset, pieceEnd - offset, result);
      if (used == 0 || used > pieceEnd - offset)
        return differ(offset, "a run took " + std::to_string(used) + " of " + std::to_string(pieceEnd - offset));
      if (result == 0 && offset + used != pieceEnd) return differ(offset + used, "a run stopped with nothing");
      for (size_t k = 0; k < used; ++k) {
        const int expected = byByte.byte(stream[offset + k]);
        const int got = k + 1 == used ? result : 0;
        if (expected != got)
          return differ(offset + k, std::to_string(expected) + " one by one, " + std::to_string(got) + " in a run");
      }
      offset += used;
      c.results += result != 0;
      if (result != 0 && !byByte.sameState(byRun)) return differ(offset, "the states differ");
    }
  }
  if (!byByte.sameState(byRun)) return differ(stream.size(), "the states differ at the end");
  return c;
}

}  // namespace veltrano
