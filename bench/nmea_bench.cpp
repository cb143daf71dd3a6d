// Throughput of the NMEA assembler on what a 1 Hz multi-system receiver sends:
// GGA, RMC, one GSA per system and the GPGSV, GLGSV, GAGSV and BDGSV groups.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

#include "decoding/nmea_assembler.h"

namespace veltrano {
namespace {

void appendSentence(std::string& out, const char* body) {
  uint8_t sum = 0;
  for (const char* p = body; *p; ++p) sum ^= uint8_t(*p);
  char tail[8];
  std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
  out += '$';
  out += body;
  out += tail;
}

// One satellites-in-view group of `count` satellites numbered from `first`.
void appendGsvGroup(std::string& out, const char* address, int first, int count, int epoch) {
  const int sentences = (count + 3) / 4;
  for (int s = 0; s < sentences; ++s) {
    char body[128];
    int length = std::snprintf(body, sizeof body, "%s,%d,%d,%02d", address, sentences, s + 1, count);
    for (int k = s * 4; k < count && k < s * 4 + 4; ++k) {
      const int sat = first + k;
      length += std::snprintf(body + length, sizeof body - length, ",%02d,%02d,%03d,%02d", sat,
                              (sat * 7 + epoch / 60) % 90, (sat * 37 + epoch / 30) % 360, 20 + (sat + epoch) % 30);
    }
    appendSentence(out, body);
  }
}

std::string makeReceiverStream(size_t minimumSize) {
  std::string out;
  out.reserve(minimumSize + 4096);
  for (int epoch = 0; out.size() < minimumSize; ++epoch) {
    const int h = (epoch / 3600) % 24, m = (epoch / 60) % 60, s = epoch % 60;
    const double lat = 5540.123456 + (epoch % 97) * 1e-6, lon = 3731.654321 + (epoch % 89) * 1e-6;
    char body[128];
    std::snprintf(body, sizeof body, "GNGGA,%02d%02d%02d.00,%.6f,N,%.6f,E,1,24,0.6,%.1f,M,14.2,M,,", h, m, s, lat, lon,
                  182.0 + (epoch % 50) * 0.1);
    appendSentence(out, body);
    std::snprintf(body, sizeof body, "GNRMC,%02d%02d%02d.00,A,%.6f,N,%.6f,E,0.02,123.4,150324,,,A", h, m, s, lat, lon);
    appendSentence(out, body);
    appendSentence(out, "GNGSA,A,3,02,05,07,09,13,14,17,19,20,30,,,1.1,0.6,0.9,1");
    appendSentence(out, "GNGSA,A,3,65,66,72,73,80,81,,,,,,,1.1,0.6,0.9,2");
    appendSentence(out, "GNGSA,A,3,03,05,08,13,15,,,,,,,,1.1,0.6,0.9,3");
    appendSentence(out, "GNGSA,A,3,201,203,206,209,,,,,,,,,1.1,0.6,0.9,4");
    appendGsvGroup(out, "GPGSV", 1, 12, epoch);
    appendGsvGroup(out, "GLGSV", 65, 9, epoch);
    appendGsvGroup(out, "GAGSV", 1, 8, epoch);
    appendGsvGroup(out, "BDGSV", 1, 7, epoch);
  }
  return out;
}

void BM_NmeaAssembler(benchmark::State& state) {
  const std::string stream = makeReceiverStream(4u << 20);
  auto nmea = std::make_unique<NmeaAssembler>();
  int64_t sentences = 0, errors = 0;
  const auto* bytes = reinterpret_cast<const uint8_t*>(stream.data());
  auto count = [&](NmeaKind kind) {
    sentences += int(kind) > 0;
    errors += kind == NmeaKind::Error;
  };
  for (auto _ : state) {
    if (state.range(0) == 0) {
      for (size_t at = 0; at < stream.size(); ++at) count(nmea->pushNmeaChar(bytes[at]));
    } else {
      NmeaKind kind;
      for (size_t at = 0; at < stream.size(); count(kind)) at += nmea->pushNmeaChars(bytes + at, stream.size() - at, kind);
    }
    benchmark::DoNotOptimize(sentences);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(stream.size()));
  state.counters["sentences"] = benchmark::Counter(double(sentences), benchmark::Counter::kIsRate);
  state.counters["errors"] = double(errors);
}
// runs:0 byte by byte, as the program's fan-out feeds it; runs:1 a run at a time.
BENCHMARK(BM_NmeaAssembler)->ArgName("runs")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace veltrano
