// Decoding speed of a BINR stream as a 1 Hz multi-system receiver sends it.
#include <benchmark/benchmark.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <vector>

#include "decoding/binr_decoder.h"
#include "decoding/crc16.h"

namespace veltrano {
namespace {

using Bytes = std::vector<uint8_t>;

void putU16(Bytes& out, uint16_t v) { out.insert(out.end(), {uint8_t(v), uint8_t(v >> 8)}); }
void putU32(Bytes& out, uint32_t v) { putU16(out, uint16_t(v)); putU16(out, uint16_t(v >> 16)); }
void putU64(Bytes& out, uint64_t v) { putU32(out, uint32_t(v)); putU32(out, uint32_t(v >> 32)); }
void putF32(Bytes& out, float v) { putU32(out, std::bit_cast<uint32_t>(v)); }
void putF64(Bytes& out, double v) { putU64(out, std::bit_cast<uint64_t>(v)); }
void putExtended(Bytes& out, double v) {  // positive values only
  int e = 0;
  const double m = std::frexp(v, &e);
  putU64(out, v == 0 ? 0 : uint64_t(std::ldexp(m, 64)));
  putU16(out, v == 0 ? 0 : uint16_t(e - 1 + 16383));
}

// DLE id payload DLE 0xFF crc-lo crc-hi DLE ETX, with every payload 0x10 doubled.
void putFrame(Bytes& out, uint8_t id, const Bytes& payload) {
  out.push_back(0x10);
  uint16_t crc = 0;
  auto put = [&](uint8_t b) {
    out.push_back(b);
    crc = binrCrcUpdate(crc, b);
  };
  put(id);
  for (uint8_t b : payload) {
    put(b);
    if (b == 0x10) put(b);
  }
  out.insert(out.end(), {0x10, 0xFF, uint8_t(crc), uint8_t(crc >> 8), 0x10, 0x03});
}

// One second of output: navigation solution, DOP, status and 20 satellites in view.
void putSecond(Bytes& out, int second) {
  Bytes p;
  putF64(p, 0.9707 + second * 1e-9);
  putF64(p, 0.6545 - second * 1e-9);
  putF64(p, 157.25 + (second % 16) * 0.0625);
  putF32(p, 1.5f);
  putExtended(p, 345600000.0 + second * 1000.0);
  putU16(p, 2290);
  putF64(p, 0.01 * (second % 7));
  putF64(p, -0.02 * (second % 5));
  putF64(p, 0.0);
  putF32(p, 0.0f);
  p.push_back(0x01);
  putFrame(out, 0x88, p);

  p.clear();
  p.insert(p.end(), {9, 7});
  putF32(p, 0.9f);
  putF32(p, 1.4f);
  putFrame(out, 0x60, p);

  p.assign({0x10, 0x06, 0x00, 0x40});
  putU32(p, 0x0004D6A5);
  putU32(p, 0x00C38010);
  putU32(p, 0);
  p.insert(p.end(), {12, 0, 0, 0, 0, 70, 0, 0, 0, 0});
  putFrame(out, 0x93, p);

  p.clear();
  for (int j = 0; j < 20; ++j) {
    const uint8_t system = j < 10 ? 1 : j < 18 ? 2 : 4;
    p.insert(p.end(), {system, uint8_t(j < 18 ? j + 1 : 120 + j), 0, uint8_t(5 + 4 * j)});
    putU16(p, uint16_t((j * 37 + second) % 360));
    p.push_back(uint8_t(30 + (j * 7 + second) % 20));
  }
  putFrame(out, 0x52, p);
}

void BM_BinrDecoder(benchmark::State& bench) {
  Bytes stream;
  for (int second = 0; stream.size() < 4u << 20; ++second) putSecond(stream, second);
  BinrState state;
  BinrDecoder decoder(state);
  int64_t messages = 0;
  for (auto _ : bench) {
    if (bench.range(0) == 0) {
      for (uint8_t b : stream) messages += decoder.pushBinrByte(b) > 0;
    } else {
      int result;
      for (size_t at = 0; at < stream.size(); messages += result > 0)
        at += decoder.pushBinrBytes(stream.data() + at, stream.size() - at, result);
    }
    benchmark::DoNotOptimize(state);
  }
  if (messages == 0) bench.SkipWithError("no message decoded");
  bench.SetBytesProcessed(int64_t(bench.iterations()) * int64_t(stream.size()));
  bench.counters["messages"] = benchmark::Counter(double(messages), benchmark::Counter::kIsRate);
}
// runs:0 byte by byte, as the program's fan-out feeds it; runs:1 a run at a time.
BENCHMARK(BM_BinrDecoder)->ArgName("runs")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace veltrano
