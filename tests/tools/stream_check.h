#pragma once
// Runs a byte stream through the project's decoder of one protocol and keeps what
// came out: the id (NMEA kind) of each message with the offset of its last byte,
// and the rejected frames.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "decoding/binr2_decoder.h"
#include "decoding/binr_decoder.h"
#include "decoding/nmea_assembler.h"
#include "sim/sim_protocol.h"

namespace veltrano::sim {

class StreamCheck {
 public:
  explicit StreamCheck(SimProtocol protocol);

  // Result of one byte: a message id or NMEA kind, -1 for a rejected frame, 0.
  int push(uint8_t b);
  void feed(const std::vector<uint8_t>& bytes, size_t from = 0);

  int count(int id) const;
  int messages() const { return int(ids.size()); }
  int errors() const { return rejected; }
  // Offset (counted over all bytes fed) just past message i.
  const std::vector<size_t>& messageEnds() const { return ends; }

  const NmeaAssembler& nmea() const { return nmeaAssembler; }
  const BinrState& binr() const { return binrState; }
  const Binr2State& binr2() const { return binr2State; }

 private:
  SimProtocol protocol;
  NmeaAssembler nmeaAssembler;
  BinrState binrState;
  BinrDecoder binrDecoder{binrState};
  Binr2State binr2State;
  Binr2Decoder binr2Decoder{binr2State};
  std::vector<int> ids;
  std::vector<size_t> ends;
  size_t offset = 0;
  int rejected = 0;
};

}  // namespace veltrano::sim
