// Feeds arbitrary bytes to the BINR2 decoder and checks what every consumer relies on:
// the satellite count fits its table, the device texts end inside their arrays, the
// corrected time lies inside a week, and a reset decoder decodes like a fresh one.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "decoding/binr2_decoder.h"

namespace {

template <size_t N>
bool terminated(const char (&text)[N]) {
  return std::memchr(text, 0, N) != nullptr;
}

void check(bool ok) {
  if (!ok) std::abort();
}

void checkState(const veltrano::Binr2State& s) {
  check(s.satsInView.satCount <= veltrano::Binr2SatsInView::kMaxSats);
  check(terminated(s.deviceId.deviceName) && terminated(s.deviceId.versionMajor) &&
        terminated(s.deviceId.versionMinor) && terminated(s.deviceId.deviceExtra));
  const veltrano::CorrectedTime t = veltrano::correctedTime(s);
  check(t.seconds >= 0.0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  veltrano::Binr2State fresh;
  veltrano::Binr2Decoder freshDecoder(fresh);
  // The reused decoder first sees the input backwards, then is reset.
  static veltrano::Binr2State reused;
  static veltrano::Binr2Decoder reusedDecoder(reused);
  for (size_t i = size; i > 0; --i) reusedDecoder.pushBinr2Byte(data[i - 1]);
  reusedDecoder.resetBinr2Decoder();
  reused = veltrano::Binr2State{};

  std::vector<uint8_t> freshIds, reusedIds;
  for (size_t i = 0; i < size; ++i) {
    if (const uint8_t id = freshDecoder.pushBinr2Byte(data[i])) {
      freshIds.push_back(id);
      checkState(fresh);
    }
    if (const uint8_t id = reusedDecoder.pushBinr2Byte(data[i])) reusedIds.push_back(id);
  }
  check(freshIds == reusedIds);
  check(fresh == reused);
  return 0;
}
