#include "decoding/binr2_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "decoding/crc16.h"

namespace veltrano {
namespace {

using Bytes = std::vector<uint8_t>;

const Bytes kSync = {0xA5, 0x5A, 0xB5, 0x5B};

uint16_t crcOf(const Bytes& body) {
  uint16_t crc = 0;
  for (uint8_t b : body) crc = binrCrcUpdate(crc, b);
  return crc;
}

Bytes header(uint16_t length) {
  Bytes h = kSync;
  h.push_back(uint8_t(length));
  h.push_back(uint8_t(length >> 8));
  return h;
}

Bytes checksumOf(const Bytes& body, uint16_t crcError = 0) {
  const uint16_t crc = crcOf(body) ^ crcError;
  return {uint8_t(crc), uint8_t(crc >> 8)};
}

// A whole frame; a non-zero crcError spoils its checksum.
Bytes frameOf(const Bytes& body, uint16_t crcError = 0) {
  Bytes f = header(uint16_t(body.size()));
  f.insert(f.end(), body.begin(), body.end());
  const Bytes crc = checksumOf(body, crcError);
  f.insert(f.end(), crc.begin(), crc.end());
  return f;
}

// The raw record the payload of a message id lands in; empty for ids without one.
Bytes rawRecord(const Binr2State& s, uint8_t id) {
  auto bytes = [](const auto& raw) { return Bytes(std::begin(raw), std::end(raw)); };
  switch (id) {
    case kBinr2Ack: return bytes(s.ack.raw);
    case kBinr2NavSolution: return bytes(s.navSolution.raw);
    case kBinr2TimeInfo: return bytes(s.timeInfo.raw);
    case kBinr2MsgB5: return bytes(s.msgB5);
    case kBinr2DeviceId: return bytes(s.deviceId.raw);
    default: return {};
  }
}

struct Expected {
  size_t end;  // index of the byte that completes the frame
  uint8_t id;
  Bytes payload;
};

// A byte stream built from pieces, with the frames it must yield.
struct Stream {
  Bytes bytes;
  std::vector<Expected> expected;

  Stream& raw(const Bytes& b) {
    bytes.insert(bytes.end(), b.begin(), b.end());
    return *this;
  }
  Stream& good(const Bytes& body) {
    raw(frameOf(body));
    expected.push_back({bytes.size() - 1, body[0], Bytes(body.begin() + 1, body.end())});
    return *this;
  }
  Stream& bad(const Bytes& body) { return raw(frameOf(body, 0x0101)); }
};

Bytes filler(size_t n, uint8_t seed) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = uint8_t(seed + 7 * i);
  return b;
}

void expectFrames(const Stream& s) {
  Binr2State state;
  Binr2Decoder decoder(state);
  size_t next = 0;
  for (size_t i = 0; i < s.bytes.size(); ++i) {
    const uint8_t id = decoder.pushBinr2Byte(s.bytes[i]);
    if (id == 0) continue;
    ASSERT_LT(next, s.expected.size()) << "unexpected id " << int(id) << " at byte " << i;
    const Expected& e = s.expected[next++];
    EXPECT_EQ(i, e.end);
    EXPECT_EQ(id, e.id);
    const Bytes record = rawRecord(state, id);
    const size_t n = std::min(record.size(), e.payload.size());
    EXPECT_EQ(Bytes(record.begin(), record.begin() + n), Bytes(e.payload.begin(), e.payload.begin() + n));
  }
  EXPECT_EQ(next, s.expected.size());
}

const Bytes kNav = {0x90, 0x01, 0x02};
const Bytes kB5 = {0xB5, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
const Bytes kAck = {0x80, 0x02, 0x00};

TEST(Binr2Decoder, MinimalFrameCompletesAtItsLastChecksumByte) {
  const uint16_t crc = crcOf(kNav);
  const Bytes bytes = {0xA5, 0x5A, 0xB5, 0x5B, 0x03, 0x00, 0x90, 0x01, 0x02, uint8_t(crc), uint8_t(crc >> 8)};
  Binr2State state;
  Binr2Decoder decoder(state);
  for (size_t i = 0; i + 1 < bytes.size(); ++i) EXPECT_EQ(decoder.pushBinr2Byte(bytes[i]), 0) << i;
  EXPECT_EQ(decoder.pushBinr2Byte(bytes.back()), 0x90);
  EXPECT_EQ(state.navSolution.raw[0], 0x01);
  EXPECT_EQ(state.navSolution.raw[1], 0x02);
}

TEST(Binr2Decoder, FramesOfStreams) {
  struct Case {
    std::string name;
    Stream stream;
  };
  Bytes longBody = filler(2047, 3);
  longBody[0] = kBinr2MsgB5;
  Bytes outerWithInner = {kBinr2NavSolution, 1, 2, 3};
  const Bytes inner = frameOf(kAck);
  outerWithInner.insert(outerWithInner.end(), inner.begin(), inner.end());
  Bytes outerWithSync = {kBinr2MsgB5, 1, 2};
  outerWithSync.insert(outerWithSync.end(), {0xA5, 0x5A, 0xB5, 0x5B, 0x00, 0x09, 4, 5});

  const Case cases[] = {
      {"back to back", Stream().good(kNav).good(kB5).good(kAck)},
      {"wrong checksum, then a good frame", Stream().bad(kNav).good(kB5)},
      {"garbage and broken sync words between frames",
       Stream().raw({0x00, 0xA5, 0x5A, 0xB5, 0x00, 0xA5, 0x5A, 0x5B}).good(kNav).raw({0xB5, 0x5B, 0xFF}).good(kB5)},
      {"length 0x0800 goes back to hunting", Stream().raw(header(0x0800)).good(kNav)},
      {"length 0xFFFF goes back to hunting", Stream().raw(header(0xFFFF)).raw({1, 2, 3}).good(kNav)},
      {"longest body, 2047 bytes", Stream().good(longBody).good(kAck)},
      {"zero length frame is ignored", Stream().raw(frameOf({})).good(kNav)},
      {"unknown id is still returned", Stream().good({0x42, 1, 2, 3}).good({0x01})},
      {"sync word inside the length field", Stream().raw(kSync).good(kNav)},
      {"sync word at the end of a bad frame", Stream().raw(header(6)).raw({0x33, 0x44}).good(kB5)},
      {"complete frame inside a good frame wins, outer abandoned",
       Stream()
           .raw(header(uint16_t(outerWithInner.size())))
           .raw({kBinr2NavSolution, 1, 2, 3})
           .good(kAck)
           .raw(checksumOf(outerWithInner))
           .good(kNav)},
      {"sync word inside a good frame without a frame behind it", Stream().good(outerWithSync).good(kNav)},
      // After the bad frame both machines hold the same sync register; the
      // resyncMachine must still hunt inside the truncated frame.
      {"bad frame, truncated frame, complete frame", Stream().bad(kNav).raw(header(5)).raw({0x90, 0x05}).good(kB5)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    expectFrames(c.stream);
  }
}

// A complete frame that starts at every offset inside a frame whose length claims
// more bytes than were sent: decoded when the outer checksum fails (takeover) and
// when it ends first (found inside), with any outer length.
TEST(Binr2Decoder, FrameInsideTruncatedFrameIsDecodedAtEveryOffset) {
  const Bytes shortInner = {kBinr2MsgB5, 9, 8, 7, 6, 5};
  const Bytes longInner = filler(40, 0x61);
  for (const uint16_t outerLength : {1, 8, 40, 2047}) {
    for (const Bytes* innerBody : {&shortInner, &longInner}) {
      const size_t innerSize = frameOf(*innerBody).size();
      const size_t lastOffset = std::min<size_t>(outerLength + 4, 60);
      for (size_t offset = 0; offset <= lastOffset; ++offset) {
        SCOPED_TRACE("outer " + std::to_string(outerLength) + ", inner " + std::to_string(innerSize) + ", offset " +
                     std::to_string(offset));
        Bytes body = filler(offset, 0x11);
        if (!body.empty()) body[0] = kBinr2NavSolution;
        expectFrames(Stream().raw(header(outerLength)).raw(body).good(*innerBody).good(kNav));
      }
    }
  }
}

// A frame whose body begins with the last checksum byte of a longest frame puts the
// resyncMachine's body start at the very end of the buffer; after it, the
// resyncMachine still holds that start while it hunts in a later bad frame.
TEST(Binr2Decoder, FrameBehindLongestBadFrameLeavesNoStaleMove) {
  Bytes outer = filler(2043, 0x20);
  outer.insert(outer.end(), kSync.begin(), kSync.end());
  Bytes innerBody = filler(40, 0x0A);
  innerBody[0] = kBinr2NavSolution;
  const uint16_t innerLength = uint16_t(innerBody.size());
  ASSERT_NE(crcOf(outer), innerLength);  // the length field must spoil the outer checksum
  Stream s;
  s.raw(header(2047)).raw(outer).raw({uint8_t(innerLength), uint8_t(innerLength >> 8)}).raw(innerBody);
  s.raw(checksumOf(innerBody));
  s.expected.push_back({s.bytes.size() - 1, kBinr2NavSolution, Bytes(innerBody.begin() + 1, innerBody.end())});
  s.bad(kAck).good(kB5).good(kNav);
  expectFrames(s);
}

TEST(Binr2Decoder, ResetDropsThePartialFrame) {
  const Bytes f = frameOf(kNav);
  Binr2State state;
  Binr2Decoder decoder(state);
  for (size_t i = 0; i + 1 < f.size(); ++i) decoder.pushBinr2Byte(f[i]);
  decoder.resetBinr2Decoder();
  EXPECT_EQ(decoder.pushBinr2Byte(f.back()), 0);
  EXPECT_EQ(state.navSolution.raw[0], 0);
  uint8_t last = 0;
  for (uint8_t b : f) last = decoder.pushBinr2Byte(b);
  EXPECT_EQ(last, 0x90);
}

struct Event {
  size_t end;
  uint8_t id;
  Binr2State state;
  bool operator==(const Event&) const = default;
};

// Feeds the stream in blocks split at the given points, each block from a buffer of
// its own that is overwritten afterwards, as the intake hands them over.
std::vector<Event> feedInBlocks(const Bytes& stream, const std::vector<size_t>& cuts) {
  Binr2State state;
  Binr2Decoder decoder(state);
  std::vector<Event> events;
  size_t begin = 0;
  std::vector<size_t> ends = cuts;
  ends.push_back(stream.size());
  for (size_t end : ends) {
    Bytes block(stream.begin() + begin, stream.begin() + end);
    for (size_t i = 0; i < block.size(); ++i) {
      if (const uint8_t id = decoder.pushBinr2Byte(block[i])) events.push_back({begin + i, id, state});
    }
    std::fill(block.begin(), block.end(), 0xA5);
    begin = end;
  }
  return events;
}

TEST(Binr2Decoder, MixedStreamGivesTheSameFramesSplitAnywhere) {
  Bytes sats = {kBinr2SatsInView};
  const Bytes satBytes = filler(27, 0x40);
  sats.insert(sats.end(), satBytes.begin(), satBytes.end());
  Stream s;
  s.raw({0x13, 0xA5, 0x5A}).good(kNav).raw(header(0x0800)).good(sats).bad(kB5);
  s.raw(header(30)).raw({0x90, 0x01}).good(kAck).raw(filler(9, 0x77)).good({kBinr2SatMasks, 0x02, 0x00, 1, 2, 3, 4});
  s.raw(frameOf({})).good({kBinr2DeviceId, 0, 'N', 'V', '0', '8', 'C', 0, '1', 0, '2', 0, 'X', 0});
  s.raw(kSync).good(kB5).raw({0xA5});
  expectFrames(s);

  const std::vector<Event> whole = feedInBlocks(s.bytes, {});
  ASSERT_EQ(whole.size(), s.expected.size());
  for (size_t cut = 1; cut < s.bytes.size(); ++cut) {
    SCOPED_TRACE("cut at " + std::to_string(cut));
    EXPECT_TRUE(feedInBlocks(s.bytes, {cut}) == whole);
  }
  std::vector<size_t> everyByte;
  for (size_t cut = 1; cut < s.bytes.size(); ++cut) everyByte.push_back(cut);
  EXPECT_TRUE(feedInBlocks(s.bytes, everyByte) == whole);
}

}  // namespace
}  // namespace veltrano
