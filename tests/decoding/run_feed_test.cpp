// The decoders fed a run of bytes at a time give the same result at the same
// byte, and the same state after it, as fed byte by byte: on the bundled
// recordings, the real NMEA logs, damaged copies of them and streams built to
// stop a run at each of its limits.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "run_feed_sides.h"
#include "test_frames.h"

namespace veltrano {
namespace {

using test::Bytes;
namespace fs = std::filesystem;

const fs::path kSourceRoot = VELTRANO_SOURCE_DIR;

Bytes readBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in.good()) << path;
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes bytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

// Feeds the stream in pieces of the given sizes (cycled) and checks each run
// against the same bytes fed one by one. Returns how many results other than 0 came.
template <typename Side>
int compareFeeds(const Bytes& stream, const std::vector<size_t>& pieces, const std::string& name) {
  size_t next = 0;
  const FeedComparison c = compareRunFeed<Side>(stream, [&] { return pieces[next++ % pieces.size()]; });
  EXPECT_EQ(c.difference, "") << name;
  return c.results;
}

// A copy with a damaged byte every few dozen: replaced by one of the bytes that
// steer the decoder, by any byte, dropped, or doubled.
Bytes damaged(const Bytes& stream, const Bytes& steering, unsigned seed) {
  std::mt19937 random(seed);
  Bytes out;
  out.reserve(stream.size() + stream.size() / 16);
  for (uint8_t b : stream) {
    if (random() % 40 != 0) {
      out.push_back(b);
      continue;
    }
    switch (random() % 4) {
      case 0:
        out.push_back(steering[random() % steering.size()]);
        break;
      case 1:
        out.push_back(uint8_t(random()));
        break;
      case 2:
        break;
      default:
        out.insert(out.end(), {b, b});
        break;
    }
  }
  return out;
}

const std::vector<std::vector<size_t>> kPieceSizes = {
    {1}, {2, 3, 5}, {7, 64, 1}, {129, 130, 131}, {2048}, {32768}, {size_t(-1)},
};

template <typename Side>
void checkStreams(const std::vector<std::pair<std::string, Bytes>>& streams, const Bytes& steering) {
  for (const auto& [name, stream] : streams) {
    ASSERT_FALSE(stream.empty()) << name;
    for (const auto& pieces : kPieceSizes) EXPECT_GT(compareFeeds<Side>(stream, pieces, name), 0) << name;
    for (unsigned seed = 1; seed <= 3; ++seed)
      for (const auto& pieces : {kPieceSizes[1], kPieceSizes[5]})
        compareFeeds<Side>(damaged(stream, steering, seed), pieces, name + " damaged " + std::to_string(seed));
  }
}

TEST(RunFeed, NmeaAsByteByByte) {
  std::vector<std::pair<std::string, Bytes>> streams = {{"sample", readBytes(kSourceRoot / "samples/nmea-static.nme")}};
  for (const auto& entry : fs::directory_iterator(kSourceRoot / "tests/data/nmea"))
    if (entry.path().extension() == ".log") streams.emplace_back(entry.path().filename(), readBytes(entry.path()));
  const std::string gga = test::nmeaSentence("GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
  const std::string line129 = "$GPTXT," + std::string(120, 'x') + "\r\n";  // the line feed is character 129
  const std::string line130 = "$GPTXT," + std::string(121, 'x') + "\r\n";  // ... and 130: too long
  streams.emplace_back("limits", bytesOf(gga + line129 + gga + line130 + gga + std::string(300, 'y') + gga +
                                         "$GP$GPGGA,1*" + gga + "\n\n$\n" + gga.substr(0, 20) + gga));
  checkStreams<NmeaSide>(streams, bytesOf("$\n\r*,0A"));
}

TEST(RunFeed, BinrAsByteByByte) {
  Bytes limits = test::binrFrame(0x88, Bytes(69, 0x10));
  for (const Bytes& frame : {test::binrFrame(0x60, Bytes(10, 7)), test::binrFrame(0x42, Bytes(9000, 1)),
                             test::binrFrame(0x42, Bytes(BinrDecoder::kFrameCapacity - 2, 2)),
                             test::binrFrame(0x60, Bytes(10, 0x10), false), test::binrFrame(0x52, Bytes(14, 3))})
    limits.insert(limits.end(), frame.begin(), frame.end());
  checkStreams<BinrSide>({{"sample", readBytes(kSourceRoot / "samples/binr-static.dat")}, {"limits", limits}},
                         Bytes{0x10, 0x10, 0x03, 0xFF, 0x88});
}

TEST(RunFeed, Binr2AsByteByByte) {
  // A whole frame inside the body of one whose checksum fails, and a sync word
  // split over the end of a body.
  const Bytes inner = test::binr2Frame(0x80, Bytes{2, 0});
  Bytes outerPayload(40, 9);
  std::copy(inner.begin(), inner.end(), outerPayload.begin() + 10);
  Bytes limits = test::binr2Frame(0x90, outerPayload);
  limits.back() ^= 0x55;
  Bytes tailSync(20, 1);
  tailSync.insert(tailSync.end(), {0xA5, 0x5A, 0xB5});
  for (const Bytes& frame : {test::binr2Frame(0xB2, tailSync), Bytes{0x5B, 3, 0, 0x80, 2, 0, 0, 0},
                             test::binr2Frame(0xA0, Bytes(2046, 4)), test::binr2Frame(0xC0, Bytes(64, 'D'))})
    limits.insert(limits.end(), frame.begin(), frame.end());
  checkStreams<Binr2Side>({{"sample", readBytes(kSourceRoot / "samples/binr2-static.b2")}, {"limits", limits}},
                          Bytes{0xA5, 0x5A, 0xB5, 0x5B, 0x00, 0x08});
}

}  // namespace
}  // namespace veltrano
