// Feeds arbitrary bytes to the BINR decoder and checks what must hold after every byte.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "decoding/binr_decoder.h"

namespace {

bool recordsConsistent(const veltrano::BinrState& s) {
  return s.status.excludedCount <= veltrano::BinrStatus::kMaxExcluded &&
         s.satsInView.satCount <= veltrano::BinrSatsInView::kMaxSats &&
         std::memchr(s.version.versionText, '\0', sizeof s.version.versionText) != nullptr;
}

bool storesRecord(int result) {
  return result == 0x88 || result == 0x90 || result == 0x60 || result == 0x70 || result == 0x93 || result == 0x52;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static veltrano::BinrState state;
  static veltrano::BinrDecoder decoder(state);
  state = veltrano::BinrState{};
  decoder.resetBinrDecoder();
  // Byte images, so that a NaN in a record still compares equal to itself.
  static veltrano::BinrState before;
  std::memcpy(&before, &state, sizeof state);
  // Three passes without a reset so that inputs of the fuzzer's length limit can still
  // grow a frame to the decoder's capacity.
  for (size_t i = 0; i < 3 * size; ++i) {
    const int result = decoder.pushBinrByte(data[i % size]);
    if (result < -1 || result > 255) std::abort();
    if (!recordsConsistent(state)) std::abort();
    // Only a completed message of a stored id may change the records.
    if (storesRecord(result)) {
      std::memcpy(&before, &state, sizeof state);
    } else if (std::memcmp(&before, &state, sizeof state) != 0) {
      std::abort();
    }
  }
  return 0;
}
