#include "decoding/binr_decoder.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "decoding/crc16.h"

namespace veltrano {
namespace {

using Bytes = std::vector<uint8_t>;

// Little-endian payload writer.
struct Payload {
  Bytes bytes;
  Payload& u8(uint8_t v) { bytes.push_back(v); return *this; }
  Payload& u16(uint16_t v) { return u8(uint8_t(v)).u8(uint8_t(v >> 8)); }
  Payload& u32(uint32_t v) { return u16(uint16_t(v)).u16(uint16_t(v >> 16)); }
  Payload& u64(uint64_t v) { return u32(uint32_t(v)).u32(uint32_t(v >> 32)); }
  Payload& f32(float v) { return u32(std::bit_cast<uint32_t>(v)); }
  Payload& f64(double v) { return u64(std::bit_cast<uint64_t>(v)); }
  Payload& fill(size_t count, uint8_t v) { bytes.insert(bytes.end(), count, v); return *this; }
  Payload& raw(const Bytes& b) { bytes.insert(bytes.end(), b.begin(), b.end()); return *this; }
  // x87 80-bit extended of a finite double.
  Payload& extended(double v) {
    uint64_t mantissa = 0;
    uint16_t signAndExponent = 0;
    if (v != 0) {
      int e = 0;
      const double m = std::frexp(std::fabs(v), &e);  // m in [0.5, 1)
      mantissa = uint64_t(std::ldexp(m, 64));
      signAndExponent = uint16_t(e - 1 + 16383);
    }
    if (std::signbit(v)) signAndExponent |= 0x8000;
    return u64(mantissa).u16(signAndExponent);
  }
};

uint16_t crcOf(const Bytes& bytes) {
  uint16_t crc = 0;
  for (uint8_t b : bytes) crc = binrCrcUpdate(crc, b);
  return crc;
}

// The id and the payload as they stand on the wire, every 0x10 doubled.
Bytes wireBody(uint8_t id, const Bytes& payload) {
  Bytes out{id};
  for (uint8_t b : payload) {
    out.push_back(b);
    if (b == 0x10) out.push_back(b);
  }
  return out;
}

Bytes frame(uint8_t id, const Bytes& payload) {
  Bytes out{0x10};
  const Bytes body = wireBody(id, payload);
  out.insert(out.end(), body.begin(), body.end());
  out.insert(out.end(), {0x10, 0x03});
  return out;
}

// Frame with the CRC trailer; the trailer's CRC is the correct one unless given.
Bytes frameWithCrc(uint8_t id, const Bytes& payload, std::optional<uint16_t> trailerCrc = {}) {
  Bytes out{0x10};
  const Bytes body = wireBody(id, payload);
  const uint16_t crc = trailerCrc.value_or(crcOf(body));
  out.insert(out.end(), body.begin(), body.end());
  out.insert(out.end(), {0x10, 0xFF, uint8_t(crc), uint8_t(crc >> 8), 0x10, 0x03});
  return out;
}

Bytes concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

struct Event {
  size_t index;
  int result;
  bool operator==(const Event&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Event& e) {
  return os << "{byte " << e.index << ": " << e.result << "}";
}

// Feeds a block; returns the non-zero results with the stream position of their byte.
std::vector<Event> feed(BinrDecoder& decoder, const Bytes& bytes, size_t offset = 0) {
  std::vector<Event> events;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const int r = decoder.pushBinrByte(bytes[i]);
    EXPECT_GE(r, -1);
    EXPECT_LE(r, 255);
    if (r != 0) events.push_back({offset + i, r});
  }
  return events;
}

std::vector<int> results(BinrDecoder& decoder, const Bytes& bytes) {
  std::vector<int> out;
  for (const Event& e : feed(decoder, bytes)) out.push_back(e.result);
  return out;
}

// Decoder with its own state; the state is big enough to keep off the stack.
struct Receiver {
  std::unique_ptr<BinrState> state = std::make_unique<BinrState>();
  BinrDecoder decoder{*state};
};

struct NavValues {
  double latitude, longitude, height;
  float rmsError;
  double timeOfWeek;
  int16_t week;
  double velocityNorth, velocityEast, velocityUp;
  float unused;
  uint8_t solutionStatus;
};

Bytes navPayload(const NavValues& v) {
  return Payload{}
      .f64(v.latitude).f64(v.longitude).f64(v.height).f32(v.rmsError)
      .extended(v.timeOfWeek).u16(uint16_t(v.week))
      .f64(v.velocityNorth).f64(v.velocityEast).f64(v.velocityUp).f32(v.unused)
      .u8(v.solutionStatus).bytes;
}

void expectNav(const BinrNavSolution& s, const NavValues& v) {
  EXPECT_EQ(s.latitude, v.latitude);
  EXPECT_EQ(s.longitude, v.longitude);
  EXPECT_EQ(s.height, v.height);
  EXPECT_EQ(s.rmsError, v.rmsError);
  EXPECT_EQ(s.timeOfWeek, v.timeOfWeek);
  EXPECT_EQ(s.week, v.week);
  EXPECT_EQ(s.velocityNorth, v.velocityNorth);
  EXPECT_EQ(s.velocityEast, v.velocityEast);
  EXPECT_EQ(s.velocityUp, v.velocityUp);
  EXPECT_EQ(s.solutionStatus, v.solutionStatus);
}

// Two navigation solutions that differ in every field.
const NavValues kNavA{0.9707, 0.6545, 157.25, 2.5f, 345600123.0, 2290, 0.125, -0.5, 0.03125, 9.0f, 0x29};
const NavValues kNavB{-0.5, -2.75, -12.5, 0.75f, 17.5, -1, 3.0, 4.0, -1.0, 1.0f, 0x80};

Bytes dopPayload(int8_t gps, int8_t glonass, float hdop, float vdop) {
  return Payload{}.u8(uint8_t(gps)).u8(uint8_t(glonass)).f32(hdop).f32(vdop).bytes;
}

Bytes versionPayload(const std::string& text) {
  Payload p;
  p.u8(0x42);
  for (size_t i = 0; i < 75; ++i) p.u8(i < text.size() ? uint8_t(text[i]) : 0);
  return p.bytes;
}

struct SatValues {
  uint8_t system, number;
  int8_t elevation;
  uint16_t azimuth;
  uint8_t snr;
};

Bytes satsPayload(const std::vector<SatValues>& sats) {
  Payload p;
  for (const SatValues& s : sats) p.u8(s.system).u8(s.number).u8(0xEE).u8(uint8_t(s.elevation)).u16(s.azimuth).u8(s.snr);
  return p.bytes;
}

// A payload that fails no rule of the frame level, for the length tests.
Bytes filler(size_t n) { return Bytes(n, 0x01); }

TEST(BinrDecoder, NavSolutionFrameFillsEveryFieldAtEtx) {
  for (bool withCrc : {false, true}) {
    SCOPED_TRACE(withCrc ? "with CRC trailer" : "without CRC trailer");
    Receiver rx;
    const Bytes payload = navPayload(kNavA);
    ASSERT_EQ(payload.size(), 69u);
    const Bytes bytes = withCrc ? frameWithCrc(0x88, payload) : frame(0x88, payload);
    EXPECT_EQ(feed(rx.decoder, bytes), (std::vector<Event>{{bytes.size() - 1, 0x88}}));
    expectNav(rx.state->navSolution, kNavA);
  }
}

TEST(BinrDecoder, ExtendedTimeOfWeekConvertsToDouble) {
  struct Case {
    const char* name;
    uint64_t mantissa;
    uint16_t signAndExponent;
    double expected;
  };
  const Case cases[] = {
      {"zero", 0, 0, 0.0},
      {"one", 0x8000000000000000ull, 0x3FFF, 1.0},
      {"minus two and a half", 0xA000000000000000ull, 0xC000, -2.5},
      {"time of week", 0x9000000000000000ull, 0x401A, 9.0 * (1 << 24)},
      {"mantissa beyond double precision rounds to nearest", 0x8000000000000401ull, 0x3FFF, 1.0 + 0x1p-52},
      {"mantissa just below half an ulp rounds down", 0x80000000000003FFull, 0x3FFF, 1.0},
      {"denormal far below double range", 1, 0, 0.0},
      {"infinity", 0x8000000000000000ull, 0x7FFF, INFINITY},
      {"minus infinity", 0x8000000000000000ull, 0xFFFF, -INFINITY},
      {"beyond double range", 0x8000000000000000ull, 0x7FFE, INFINITY},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Receiver rx;
    Bytes payload = navPayload(kNavA);
    const Bytes time = Payload{}.u64(c.mantissa).u16(c.signAndExponent).bytes;
    std::copy(time.begin(), time.end(), payload.begin() + 28);
    ASSERT_EQ(results(rx.decoder, frameWithCrc(0x88, payload)), std::vector<int>{0x88});
    EXPECT_EQ(rx.state->navSolution.timeOfWeek, c.expected);
  }
  Receiver rx;
  Bytes payload = navPayload(kNavA);
  const Bytes nan = Payload{}.u64(0xC000000000000000ull).u16(0x7FFF).bytes;
  std::copy(nan.begin(), nan.end(), payload.begin() + 28);
  ASSERT_EQ(results(rx.decoder, frame(0x88, payload)), std::vector<int>{0x88});
  EXPECT_TRUE(std::isnan(rx.state->navSolution.timeOfWeek));
}

TEST(BinrDecoder, PayloadLengthRules) {
  struct Case {
    uint8_t id;
    size_t n;
    int expected;  // result at DLE ETX; 0 for none
  };
  const Case cases[] = {
      {0x88, 68, -1}, {0x88, 69, 0x88}, {0x88, 70, -1},
      {0x90, 68, -1}, {0x90, 69, 0x90}, {0x90, 70, -1},
      {0x60, 9, -1},  {0x60, 10, 0x60}, {0x60, 11, -1},
      {0x70, 75, -1}, {0x70, 76, 0x70}, {0x70, 77, -1},
      {0x93, 0, -1},  {0x93, 15, -1},   {0x93, 16, 0x93}, {0x93, 20, -1}, {0x93, 21, 0x93}, {0x93, 22, -1},
      {0x52, 0, 0x52}, {0x52, 6, -1},   {0x52, 7, 0x52},  {0x52, 8, -1},  {0x52, 14, 0x52},
      {0x02, 0, 0x02}, {0x02, 37, 0x02}, {0x50, 3, 0x50}, {0xFE, 1, 0xFE}, {0x01, 0, 0x01},
      {0x00, 0, 0},   {0x00, 12, 0},
  };
  const BinrState untouched{};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "id 0x" << std::hex << int(c.id) << std::dec << ", " << c.n << " bytes");
    Receiver rx;
    const Bytes bytes = frameWithCrc(c.id, filler(c.n));
    const std::vector<Event> expected =
        c.expected == 0 ? std::vector<Event>{} : std::vector<Event>{{bytes.size() - 1, c.expected}};
    EXPECT_EQ(feed(rx.decoder, bytes), expected);
    const bool stored = c.expected > 0 && (c.id == 0x88 || c.id == 0x90 || c.id == 0x60 || c.id == 0x70 ||
                                           c.id == 0x93 || (c.id == 0x52 && c.n > 0));
    EXPECT_EQ(*rx.state == untouched, !stored);
  }
}

TEST(BinrDecoder, DoubledDleIsStoredOnceButEntersCrcTwice) {
  const Bytes payload = dopPayload(0x10, 4, 1.5f, 2.25f);
  const Bytes body = wireBody(0x60, payload);
  const uint16_t unstuffedCrc = crcOf(concat({{0x60}, payload}));
  ASSERT_NE(crcOf(body), unstuffedCrc);

  Receiver rx;
  EXPECT_EQ(results(rx.decoder, frameWithCrc(0x60, payload)), std::vector<int>{0x60});
  EXPECT_EQ(rx.state->dop.gpsUsed, 0x10);
  EXPECT_EQ(rx.state->dop.glonassUsed, 4);
  EXPECT_EQ(rx.state->dop.gpsUsed + rx.state->dop.glonassUsed, 20);
  EXPECT_EQ(rx.state->dop.hdop, 1.5f);
  EXPECT_EQ(rx.state->dop.vdop, 2.25f);

  Receiver other;
  EXPECT_EQ(results(other.decoder, frameWithCrc(0x60, payload, unstuffedCrc)), std::vector<int>{-1});
}

TEST(BinrDecoder, CrcTrailer) {
  // A payload whose CRC has a 0x10 byte: the trailer bytes are sent unstuffed.
  Bytes dleCrcPayload;
  for (unsigned v = 0; v < 65536; ++v) {
    const Bytes candidate = dopPayload(int8_t(v), int8_t(v >> 8), 1.0f, 1.0f);
    const uint16_t crc = crcOf(wireBody(0x60, candidate));
    if (uint8_t(crc) == 0x10 || crc >> 8 == 0x10) {
      dleCrcPayload = candidate;
      break;
    }
  }
  ASSERT_FALSE(dleCrcPayload.empty());

  const Bytes goodPayload = dopPayload(7, 3, 0.9f, 1.4f);
  const uint16_t goodCrc = crcOf(wireBody(0x60, goodPayload));
  struct Case {
    const char* name;
    Bytes payload;
    std::optional<uint16_t> crc;
    bool accepted;
  };
  const Case cases[] = {
      {"correct", goodPayload, {}, true},
      {"correct with a DLE byte in the CRC", dleCrcPayload, {}, true},
      {"wrong low byte", goodPayload, uint16_t(goodCrc ^ 0x0001), false},
      {"wrong high byte", goodPayload, uint16_t(goodCrc ^ 0x8000), false},
  };
  const Bytes next = frame(0x88, navPayload(kNavB));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Receiver rx;
    const Bytes bytes = frameWithCrc(0x60, c.payload, c.crc);
    // The mismatch shows at the high CRC byte and the 10 03 after it is ignored.
    const std::vector<Event> expected = c.accepted ? std::vector<Event>{{bytes.size() - 1, 0x60}}
                                                   : std::vector<Event>{{bytes.size() - 3, -1}};
    EXPECT_EQ(feed(rx.decoder, bytes), expected);
    EXPECT_EQ(rx.state->dop == BinrDop{}, !c.accepted);
    EXPECT_EQ(results(rx.decoder, next), std::vector<int>{0x88});
  }
}

TEST(BinrDecoder, DleHandlingOutsideAndInsideFrames) {
  const Bytes nav = navPayload(kNavA);
  Bytes noDlePayload = filler(69);
  struct Case {
    const char* name;
    Bytes bytes;
    std::vector<int> expected;
  };
  const Case cases[] = {
      {"doubled DLE before a frame is ignored", concat({{0x10, 0x10}, frame(0x88, nav)}), {0x88}},
      {"doubled DLE followed by an id does not start a frame",
       concat({{0x10, 0x10, 0x88}, noDlePayload, {0x10, 0x03}}), {}},
      {"DLE ETX and DLE 0xFF outside a frame start nothing",
       concat({{0x10, 0x03, 0x10, 0xFF, 0x88}, noDlePayload, {0x10, 0x03}}), {}},
      {"junk between frames", concat({{0x41, 0x03, 0xFF}, frame(0x88, nav), {0x00, 0x55}, frame(0x02, {})}),
       {0x88, 0x02}},
      {"doubled DLE followed by 03 inside a frame is data",
       concat({{0x10, 0x60, 0x10, 0x10, 0x03}, filler(8), {0x10, 0x03}}), {0x60}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Receiver rx;
    EXPECT_EQ(results(rx.decoder, c.bytes), c.expected);
  }
}

TEST(BinrDecoder, LoneDleInsideFrameIsDropped) {
  // 10 60 | 10 05 ... | 10 03: the DLE before 05 is dropped, 05 is the first payload byte.
  Receiver rx;
  const Bytes bytes = concat({{0x10, 0x60, 0x10}, dopPayload(5, 0, 1.0f, 2.0f), {0x10, 0x03}});
  EXPECT_EQ(results(rx.decoder, bytes), std::vector<int>{0x60});
  EXPECT_EQ(rx.state->dop.gpsUsed, 5);
  EXPECT_EQ(rx.state->dop.glonassUsed, 0);
  EXPECT_EQ(rx.state->dop.vdop, 2.0f);
}

TEST(BinrDecoder, FrameReachingCapacityIsRejected) {
  // id + 8190 payload bytes fit; the 8192nd stored byte rejects the frame.
  for (size_t n : {size_t(8190), size_t(8191), size_t(9000)}) {
    SCOPED_TRACE(n);
    Receiver rx;
    const Bytes bytes = frame(0x41, Bytes(n, 0x55));
    const std::vector<Event> expected =
        n < 8191 ? std::vector<Event>{{bytes.size() - 1, 0x41}} : std::vector<Event>{{8192, -1}};
    EXPECT_EQ(feed(rx.decoder, bytes), expected);
    EXPECT_EQ(results(rx.decoder, frame(0x60, dopPayload(1, 2, 3.0f, 4.0f))), std::vector<int>{0x60});
  }
}

TEST(BinrDecoder, SecondNavSolutionReplacesEveryField) {
  for (uint8_t secondId : {uint8_t(0x88), uint8_t(0x90)}) {
    SCOPED_TRACE(int(secondId));
    Receiver rx;
    EXPECT_EQ(results(rx.decoder, concat({frame(0x88, navPayload(kNavA)), frameWithCrc(secondId, navPayload(kNavB))})),
              (std::vector<int>{0x88, secondId}));
    expectNav(rx.state->navSolution, kNavB);
    EXPECT_LT(rx.state->navSolution.week, 0);
  }
}

TEST(BinrDecoder, StatusHeaderMasksAndExcludedSatellites) {
  const Bytes payload = Payload{}
                            .u8(0x81).u8(0x86).u8(0x77).u8(0xC0)
                            .u32(0x00000010).u32(0x80000001).u32(0x12345678)
                            .u8(5).raw({1, 2, 3, 4})
                            .u8(70).raw({0x10, 0x10, 0, 0xFF})
                            .u8(165).raw({9, 8, 7, 6})
                            .bytes;
  Receiver rx;
  EXPECT_EQ(results(rx.decoder, frameWithCrc(0x93, payload)), std::vector<int>{0x93});
  const BinrStatus& s = rx.state->status;
  EXPECT_TRUE(std::equal(payload.begin(), payload.begin() + 16, s.header));
  EXPECT_EQ(s.statusFlags1, 0x81);
  EXPECT_EQ(s.statusFlags2, 0x86);
  EXPECT_EQ(s.statusFlags3, 0xC0);
  EXPECT_EQ(s.gpsUsedMask, 0x00000010u);
  EXPECT_EQ(s.glonassUsedMask, 0x80000001u);
  EXPECT_EQ(s.galileoUsedMask, 0x12345678u);
  ASSERT_EQ(s.excludedCount, 3);
  const uint8_t ids[] = {5, 70, 165};
  const uint8_t values[3][4] = {{1, 2, 3, 4}, {0x10, 0x10, 0, 0xFF}, {9, 8, 7, 6}};
  for (int j = 0; j < 3; ++j) {
    EXPECT_EQ(s.excludedId[j], ids[j]);
    EXPECT_EQ(0, std::memcmp(s.excludedValue[j], values[j], 4)) << j;
  }

  // A shorter message overwrites the whole record.
  EXPECT_EQ(results(rx.decoder, frame(0x93, filler(16))), std::vector<int>{0x93});
  EXPECT_EQ(s.excludedCount, 0);
  EXPECT_EQ(s.excludedId[0], 0);
  EXPECT_EQ(s.gpsUsedMask, 0x01010101u);
}

TEST(BinrDecoder, SatellitesInView) {
  const std::vector<SatValues> sats{{1, 7, 45, 0x0123, 44}, {2, 16, -3, 359, 0x10}, {8, 36, 90, 0, 0}};
  Receiver rx;
  EXPECT_EQ(results(rx.decoder, frameWithCrc(0x52, satsPayload(sats))), std::vector<int>{0x52});
  const BinrSatsInView& v = rx.state->satsInView;
  ASSERT_EQ(v.satCount, 3);
  for (size_t j = 0; j < sats.size(); ++j) {
    SCOPED_TRACE(j);
    EXPECT_EQ(v.sat[j].system, sats[j].system);
    EXPECT_EQ(v.sat[j].number, sats[j].number);
    EXPECT_EQ(v.sat[j].elevation, sats[j].elevation);
    EXPECT_EQ(v.sat[j].azimuth, sats[j].azimuth);
    EXPECT_EQ(v.sat[j].snr, sats[j].snr);
  }

  // An empty message leaves no satellites in view.
  EXPECT_EQ(results(rx.decoder, frame(0x52, {})), std::vector<int>{0x52});
  EXPECT_EQ(v, BinrSatsInView{});
}

TEST(BinrDecoder, VersionTextIsNulTerminated) {
  const struct {
    std::string sent;
    std::string stored;
  } cases[] = {
      {"ABCDE 01.23", "ABCDE 01.23"},
      {std::string(75, 'x'), std::string(75, 'x')},
      {"", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sent);
    Receiver rx;
    EXPECT_EQ(results(rx.decoder, frameWithCrc(0x70, versionPayload(c.sent))), std::vector<int>{0x70});
    EXPECT_EQ(std::string(rx.state->version.versionText), c.stored);
  }
}

TEST(BinrDecoder, RecordsBeyondCapacityKeepTheFirst64) {
  for (size_t count : {size_t(64), size_t(65), size_t(70), size_t(1170)}) {
    SCOPED_TRACE(count);
    Payload status;
    status.fill(16, 0);
    std::vector<SatValues> sats;
    for (size_t j = 0; j < count; ++j) {
      status.u8(uint8_t(j)).u32(uint32_t(j * 3));
      sats.push_back({1, uint8_t(j + 1), int8_t(j % 90), uint16_t(j), uint8_t(j)});
    }
    Receiver rx;
    EXPECT_EQ(results(rx.decoder, concat({frame(0x93, status.bytes), frame(0x52, satsPayload(sats))})),
              (std::vector<int>{0x93, 0x52}));
    const BinrState& s = *rx.state;
    ASSERT_EQ(s.status.excludedCount, 64);
    ASSERT_EQ(s.satsInView.satCount, 64);
    for (int j : {0, 1, 63}) {
      EXPECT_EQ(s.status.excludedId[j], j);
      EXPECT_EQ(s.status.excludedValue[j][0], uint8_t(j * 3));
      EXPECT_EQ(s.satsInView.sat[j].number, j + 1);
      EXPECT_EQ(s.satsInView.sat[j].azimuth, j);
    }
  }
}

TEST(BinrDecoder, RejectedFrameKeepsPreviousRecords) {
  const Bytes all = concat({frame(0x88, navPayload(kNavA)), frame(0x60, dopPayload(5, 4, 1.1f, 1.7f)),
                            frame(0x70, versionPayload("ABCDE 01.23")),
                            frame(0x93, Payload{}.fill(16, 0x33).u8(5).u32(1).bytes),
                            frame(0x52, satsPayload({{1, 3, 10, 20, 30}}))});
  const Bytes nav = navPayload(kNavB);
  const Bytes badNavCrc = frameWithCrc(0x88, nav, uint16_t(crcOf(wireBody(0x88, nav)) + 1));
  struct Case {
    const char* name;
    Bytes bytes;
  };
  const Case cases[] = {
      {"0x88 of 68 bytes", frame(0x88, Bytes(nav.begin(), nav.end() - 1))},
      {"0x90 of 70 bytes", frame(0x90, concat({nav, {0}}))},
      {"0x88 with a wrong CRC", badNavCrc},
      {"0x60 of 9 bytes", frame(0x60, filler(9))},
      {"0x70 of 75 bytes", frame(0x70, filler(75))},
      {"0x93 of 20 bytes", frame(0x93, filler(20))},
      {"0x52 of 8 bytes", frame(0x52, filler(8))},
      {"0x52 reaching the frame limit", frame(0x52, filler(8191))},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Receiver rx;
    ASSERT_EQ(results(rx.decoder, all), (std::vector<int>{0x88, 0x60, 0x70, 0x93, 0x52}));
    const BinrState before = *rx.state;
    EXPECT_EQ(results(rx.decoder, c.bytes), std::vector<int>{-1});
    EXPECT_TRUE(*rx.state == before);
  }
}

TEST(BinrDecoder, ResetForgetsPartialFrame) {
  const Bytes whole = frame(0x60, dopPayload(5, 4, 1.1f, 1.7f));
  for (size_t cut = 1; cut + 2 < whole.size(); ++cut) {
    SCOPED_TRACE(cut);
    Receiver rx;
    EXPECT_EQ(results(rx.decoder, Bytes(whole.begin(), whole.begin() + cut)), std::vector<int>{});
    rx.decoder.resetBinrDecoder();
    // The rest is outside a frame now; its DLE ETX completes nothing.
    EXPECT_EQ(results(rx.decoder, Bytes(whole.begin() + cut, whole.end())), std::vector<int>{});
    EXPECT_EQ(rx.state->dop, BinrDop{});
    EXPECT_EQ(results(rx.decoder, whole), std::vector<int>{0x60});
  }
}

TEST(BinrDecoder, BlocksSplitAnywhereGiveTheSameResults) {
  const Bytes stream = concat({
      {0x55, 0x10, 0x10},
      frameWithCrc(0x88, navPayload(kNavA)),
      frame(0x60, dopPayload(0x10, 4, 1.1f, 1.7f)),
      frameWithCrc(0x93, Payload{}.fill(16, 0x10).u8(70).u32(0x10101010).bytes),
      frameWithCrc(0x52, satsPayload({{1, 16, 10, 0x1010, 30}, {2, 3, -5, 200, 40}}), 0x1234),
      frame(0x88, filler(68)),
      frameWithCrc(0x52, satsPayload({{1, 16, 10, 0x1010, 30}, {2, 3, -5, 200, 40}})),
      frame(0x02, {}),
      frameWithCrc(0x90, navPayload(kNavB)),
  });
  Receiver whole;
  const std::vector<Event> expected = feed(whole.decoder, stream);
  ASSERT_EQ(expected.size(), 8u);
  for (size_t first = 0; first <= stream.size(); ++first) {
    for (size_t second : {first, std::min(first + 1, stream.size()), std::min(first + 7, stream.size())}) {
      Receiver rx;
      std::vector<Event> events = feed(rx.decoder, Bytes(stream.begin(), stream.begin() + first));
      for (const auto& [from, to] : {std::pair{first, second}, std::pair{second, stream.size()}}) {
        const std::vector<Event> more = feed(rx.decoder, Bytes(stream.begin() + from, stream.begin() + to), from);
        events.insert(events.end(), more.begin(), more.end());
      }
      ASSERT_EQ(events, expected) << "blocks end at " << first << " and " << second;
      ASSERT_TRUE(*rx.state == *whole.state) << "blocks end at " << first << " and " << second;
    }
  }
}

}  // namespace
}  // namespace veltrano
