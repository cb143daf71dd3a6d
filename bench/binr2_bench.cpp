// Decoding speed of a BINR2 stream as a 1 Hz multi-system receiver sends it.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "decoding/binr2_decoder.h"
#include "decoding/crc16.h"

namespace veltrano {
namespace {

using Bytes = std::vector<uint8_t>;

void putU16(Bytes& out, uint16_t v) { out.insert(out.end(), {uint8_t(v), uint8_t(v >> 8)}); }
void putU32(Bytes& out, uint32_t v) {
  putU16(out, uint16_t(v));
  putU16(out, uint16_t(v >> 16));
}

// Sync word, length, id and payload, CRC of id and payload.
void putFrame(Bytes& out, uint8_t id, const Bytes& payload) {
  out.insert(out.end(), {0xA5, 0x5A, 0xB5, 0x5B});
  putU16(out, uint16_t(payload.size() + 1));
  uint16_t crc = binrCrcUpdate(0, id);
  out.push_back(id);
  for (uint8_t b : payload) {
    out.push_back(b);
    crc = binrCrcUpdate(crc, b);
  }
  putU16(out, crc);
}

// One second of output: navigation solution, 25 satellites in view of GPS, GLONASS
// and Galileo, the used and rejected masks and the time information.
void putSecond(Bytes& out, uint32_t second) {
  Bytes p;
  putU32(p, 345600000 + second * 1000);
  p.insert(p.end(), 4, 0);
  putU16(p, 2290);
  p.push_back(0);
  p.insert(p.end(), 4, 0);
  putU32(p, 556789012 + second % 50);
  putU32(p, 376543210 - second % 40);
  putU32(p, 15000 + second % 30);
  putU16(p, 1500);
  putU16(p, 12);
  putU16(p, 15);
  p.insert(p.end(), 2, 0);
  putU32(p, second % 7);
  putU32(p, -(second % 5));
  p.insert(p.end(), 4, 0);
  p.insert(p.end(), {9, 14, 0, 0x01, 0x16, 0, 0, 10, 8, 4, 0});
  putFrame(out, kBinr2NavSolution, p);

  Bytes sats;
  for (uint8_t i = 0; i < 25; ++i) {
    const uint8_t system = i < 11 ? 2 : i < 19 ? 1 : 4;
    sats.insert(sats.end(), {system, uint8_t(i + 1), 0});
    putU16(sats, uint16_t(50 + i * 30 + second % 3));
    putU16(sats, uint16_t((i * 143 + second) % 3600));
    putU16(sats, uint16_t(250 + i * 8));
  }
  putFrame(out, kBinr2SatsInView, sats);

  Bytes masks = {0x0B, 0x0B};
  putU32(masks, 0x000000FF);
  putU32(masks, 0x00000100);
  putU32(masks, 0x000007FF);
  putU32(masks, 0);
  putU32(masks, 0x0000003F);
  putU32(masks, 0);
  putU32(masks, 0x00000040);
  putU32(masks, 0);
  putFrame(out, kBinr2SatMasks, masks);

  Bytes time(27, 0);
  time[0] = 0x40;
  time[26] = 18;
  putFrame(out, kBinr2TimeInfo, time);
}

void Binr2Stream(benchmark::State& state) {
  Bytes stream;
  for (uint32_t second = 0; stream.size() < 4 * 1024 * 1024; ++second) putSecond(stream, second);
  Binr2State records;
  Binr2Decoder decoder(records);
  unsigned frames = 0;
  for (auto _ : state) {
    if (state.range(0) == 0) {
      for (uint8_t b : stream) frames += decoder.pushBinr2Byte(b) != 0;
    } else {
      uint8_t id;
      for (size_t at = 0; at < stream.size(); frames += id != 0)
        at += decoder.pushBinr2Bytes(stream.data() + at, stream.size() - at, id);
    }
    benchmark::DoNotOptimize(frames);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(stream.size()));
  state.counters["frames"] = benchmark::Counter(frames, benchmark::Counter::kAvgIterations);
}
// runs:0 byte by byte, as the program's fan-out feeds it; runs:1 a run at a time.
BENCHMARK(Binr2Stream)->ArgName("runs")->Arg(0)->Arg(1);

}  // namespace
}  // namespace veltrano
