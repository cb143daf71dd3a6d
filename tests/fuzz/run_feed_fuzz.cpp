// Feeds arbitrary bytes to a decoder a run at a time, in pieces whose sizes the
// input picks, and the same bytes one by one to a twin; aborts when a result,
// the byte it comes at, or the state after it differs. The first byte picks the
// protocol (NMEA, BINR, BINR2), the second the piece sizes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "../decoding/run_feed_sides.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const std::vector<uint8_t> stream(data + 2, data + size);
  uint32_t pieces = data[1] * 2654435761u + 1;
  auto nextPiece = [&] {
    pieces = pieces * 1103515245u + 12345u;
    return size_t(1 + (pieces >> 16) % 300);
  };
  veltrano::FeedComparison comparison;
  switch (data[0] % 3) {
    case 0:
      comparison = veltrano::compareRunFeed<veltrano::NmeaSide>(stream, nextPiece);
      break;
    case 1:
      comparison = veltrano::compareRunFeed<veltrano::BinrSide>(stream, nextPiece);
      break;
    default:
      comparison = veltrano::compareRunFeed<veltrano::Binr2Side>(stream, nextPiece);
      break;
  }
  if (!comparison.difference.empty()) std::abort();
  return 0;
}
