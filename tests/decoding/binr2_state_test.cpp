#include "decoding/binr2_state.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace veltrano {
namespace {

using Bytes = std::vector<uint8_t>;

// Dispatches a body made of the id and the payload.
uint8_t dispatch(Binr2State& state, uint8_t id, const Bytes& payload) {
  Bytes body = {id};
  body.insert(body.end(), payload.begin(), payload.end());
  return dispatchBinr2Frame(state, body.data(), uint16_t(body.size()));
}

void putLe(Bytes& p, size_t offset, uint64_t value, size_t size) {
  for (size_t i = 0; i < size; ++i) p[offset + i] = uint8_t(value >> (8 * i));
}

Bytes navPayload(uint32_t timeOfWeek, uint16_t week, uint8_t timeScale) {
  Bytes p(58, 0);
  putLe(p, 0, timeOfWeek, 4);
  putLe(p, 8, week, 2);
  p[10] = timeScale;
  return p;
}

Bytes timeInfoPayload(bool leapSecondsValid, uint8_t leapSeconds) {
  Bytes p(27, 0);
  p[0] = leapSecondsValid ? 0x40 : 0xBF;  // only bit 6 counts
  p[26] = leapSeconds;
  return p;
}

TEST(Binr2State, StartsZeroAndDispatchReturnsTheId) {
  Binr2State state;
  EXPECT_TRUE(state == Binr2State{});
  EXPECT_EQ(state.navSolution.latitude, 0);
  EXPECT_EQ(state.satsInView.satCount, 0);
  EXPECT_EQ(state.deviceId.deviceName[0], '\0');

  EXPECT_EQ(dispatch(state, 0x42, {1, 2, 3}), 0x42);
  EXPECT_TRUE(state == Binr2State{}) << "an unknown id copies nothing";
  EXPECT_EQ(dispatchBinr2Frame(state, nullptr, 0), 0) << "an empty body has no id";
  EXPECT_TRUE(state == Binr2State{});

  EXPECT_EQ(dispatch(state, kBinr2Ack, {0x02, 0x77}), kBinr2Ack);
  EXPECT_EQ(state.ack.ackedCommand, 0x02);
  EXPECT_EQ(dispatch(state, kBinr2MsgB5, {9, 8, 7}), kBinr2MsgB5);
  EXPECT_EQ(state.msgB5[0], 9);
  EXPECT_EQ(state.msgB5[2], 7);
  EXPECT_EQ(state.msgB5[3], 0);
}

TEST(Binr2State, NavSolutionFieldsAreLittleEndianAtTheirOffsets) {
  Bytes p(58, 0);
  putLe(p, 0, 123456789, 4);
  putLe(p, 8, 2301, 2);
  p[10] = 4;
  putLe(p, 15, uint32_t(556789012), 4);
  putLe(p, 19, uint32_t(-376543210), 4);
  putLe(p, 23, 15000, 4);
  putLe(p, 27, 1500, 2);
  putLe(p, 29, 30, 2);
  putLe(p, 31, 40, 2);
  putLe(p, 35, uint32_t(-250), 4);
  putLe(p, 39, 1000, 4);
  p[47] = 12;
  p[48] = 101;
  p[50] = 0x29;
  p[51] = 0x86;
  p[54] = 7;
  p[55] = 5;
  p[56] = 3;
  Binr2State state;
  ASSERT_EQ(dispatch(state, kBinr2NavSolution, p), kBinr2NavSolution);
  const Binr2NavSolution& n = state.navSolution;
  EXPECT_EQ(n.timeOfWeek, 123456789u);
  EXPECT_EQ(n.week, 2301);
  EXPECT_EQ(n.timeScale, 4);
  EXPECT_EQ(n.latitude, 556789012);
  EXPECT_DOUBLE_EQ(n.latitude * 1e-7, 55.6789012);
  EXPECT_EQ(n.longitude, -376543210);
  EXPECT_EQ(n.ellipsoidHeight, 15000);
  EXPECT_EQ(n.geoidSeparation, 1500);
  EXPECT_DOUBLE_EQ((n.ellipsoidHeight - n.geoidSeparation) / 100.0, 135.0);
  EXPECT_DOUBLE_EQ(n.geoidSeparation / 100.0, 15.0);
  EXPECT_EQ(n.errorComponent1, 30);
  EXPECT_EQ(n.errorComponent2, 40);
  EXPECT_EQ(n.velocityNorth, -250);
  EXPECT_EQ(n.velocityEast, 1000);
  EXPECT_EQ(n.hdop, 12);
  EXPECT_EQ(n.vdop, 101);
  EXPECT_EQ(n.statusFlags1, 0x29);
  EXPECT_EQ(n.statusFlags2, 0x86);
  EXPECT_EQ(n.gpsUsed, 7);
  EXPECT_EQ(n.glonassUsed, 5);
  EXPECT_EQ(n.galileoUsed, 3);

  putLe(p, 27, uint16_t(-1500), 2);
  dispatch(state, kBinr2NavSolution, p);
  EXPECT_EQ(state.navSolution.geoidSeparation, -1500);
}

TEST(Binr2State, ShortPayloadLeavesTheRestOfTheRecord) {
  Binr2State state;
  Bytes full(58);
  for (size_t i = 0; i < full.size(); ++i) full[i] = uint8_t(0x80 + i);
  dispatch(state, kBinr2NavSolution, full);
  const Binr2NavSolution before = state.navSolution;

  // 17 bytes: the time, the week and the low half of the latitude.
  Bytes part(17, 0x00);
  dispatch(state, kBinr2NavSolution, part);
  const Binr2NavSolution& n = state.navSolution;
  EXPECT_EQ(n.timeOfWeek, 0u);
  EXPECT_EQ(n.week, 0);
  EXPECT_EQ(uint32_t(n.latitude), uint32_t(before.latitude) & 0xFFFF0000u);
  EXPECT_EQ(n.longitude, before.longitude);
  EXPECT_EQ(n.galileoUsed, before.galileoUsed);
  EXPECT_EQ(0, std::memcmp(n.raw + 17, before.raw + 17, 58 - 17));

  dispatch(state, kBinr2TimeInfo, timeInfoPayload(true, 18));
  dispatch(state, kBinr2TimeInfo, {0x00});
  EXPECT_FALSE(state.timeInfo.leapSecondsValid);
  EXPECT_EQ(state.timeInfo.leapSeconds, 18);
}

TEST(Binr2State, LongPayloadKeepsWhatFits) {
  Binr2State state;
  Bytes big(300);
  for (size_t i = 0; i < big.size(); ++i) big[i] = uint8_t(i + 1);
  const Binr2State untouched = state;
  for (uint8_t id : {kBinr2Ack, kBinr2NavSolution, kBinr2TimeInfo, kBinr2MsgB5, kBinr2DeviceId}) {
    EXPECT_EQ(dispatch(state, id, big), id);
  }
  EXPECT_EQ(state.ack.raw[1], 2);
  EXPECT_EQ(state.navSolution.raw[57], 58);
  EXPECT_EQ(state.timeInfo.leapSeconds, 27);
  EXPECT_EQ(state.msgB5[9], 10);
  EXPECT_EQ(state.deviceId.raw[63], 64);
  EXPECT_TRUE(state.satsInView == untouched.satsInView);
  EXPECT_TRUE(state.satMasks == untouched.satMasks);
}

TEST(Binr2State, CorrectedTime) {
  struct Case {
    uint32_t timeOfWeek;
    uint16_t week;
    uint8_t timeScale;
    bool leapSecondsValid;
    uint8_t leapSeconds;
    double seconds;
    int32_t correctedWeek;
  } cases[] = {
      {10000, 1800, 0, true, 16, 604794.0, 1799},  // into the previous week
      {10000, 1800, 1, true, 16, 10.0, 1800},      // time scale 1 is exempt
      {10000, 1800, 4, true, 16, 10.0, 1800},      // and so is 4
      {10000, 1800, 2, false, 16, 10.0, 1800},     // leap seconds not valid
      {16000, 1800, 3, true, 16, 0.0, 1800},       // exactly the start of the week
      {20500, 1800, 0, true, 16, 4.5, 1800},
      {10000, 0, 0, true, 18, 604792.0, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.timeOfWeek) + " scale " + std::to_string(c.timeScale));
    Binr2State state;
    dispatch(state, kBinr2NavSolution, navPayload(c.timeOfWeek, c.week, c.timeScale));
    dispatch(state, kBinr2TimeInfo, timeInfoPayload(c.leapSecondsValid, c.leapSeconds));
    const CorrectedTime t = correctedTime(state);
    EXPECT_DOUBLE_EQ(t.seconds, c.seconds);
    EXPECT_EQ(t.week, c.correctedWeek);
  }
}

TEST(Binr2State, SatMasksFollowTheirFlags) {
  constexpr uint32_t kOld32 = 0xEEEEEEEE;
  constexpr uint64_t kOld64 = 0xEEEEEEEEEEEEEEEE;
  struct Case {
    std::string name;
    Bytes payload;
    Binr2SatMasks expected;
  } cases[] = {
      {"gps used only, 6 bytes",
       {0x02, 0x00, 0x11, 0x22, 0x33, 0x44},
       {0x02, 0x00, kOld32, kOld32, 0x44332211, kOld32, kOld64, kOld64}},
      {"glonass, gps and galileo used, galileo rejected, 26 bytes",
       {0x0B, 0x08, 1, 0, 0, 0x80, 2, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0x90, 4, 0, 0, 0, 0, 0, 0, 0},
       {0x0B, 0x08, 0x80000001, kOld32, 0x00000002, kOld32, 0x9000000000000003, 0x0000000000000004}},
      {"every mask, 34 bytes, in flag order",
       {0x0B, 0x0B, 1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 4, 0, 0, 0, 5, 0, 0, 0, 0, 0, 0, 0, 6, 0, 0, 0, 0, 0, 0, 0},
       {0x0B, 0x0B, 1, 2, 3, 4, 5, 6}},
      {"other flag bits add no fields",
       {0xF6, 0x04, 0x11, 0x22, 0x33, 0x44},
       {0xF6, 0x04, kOld32, kOld32, 0x44332211, kOld32, kOld64, kOld64}},
      {"mask bytes beyond a short payload keep their values",
       {0x03, 0x00, 0x11, 0x22, 0x33, 0x44, 0x55},
       {0x03, 0x00, 0x44332211, kOld32, 0xEEEEEE55, kOld32, kOld64, kOld64}},
      {"one byte keeps the rejected flags", {0x01}, {0x01, 0x0B, kOld32, kOld32, kOld32, kOld32, kOld64, kOld64}},
      {"empty payload changes nothing", {}, {0x0B, 0x0B, kOld32, kOld32, kOld32, kOld32, kOld64, kOld64}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Binr2State state;
    state.satMasks = {0x0B, 0x0B, kOld32, kOld32, kOld32, kOld32, kOld64, kOld64};
    EXPECT_EQ(dispatch(state, kBinr2SatMasks, c.payload), kBinr2SatMasks);
    EXPECT_TRUE(state.satMasks == c.expected);
  }
}

Bytes satRecord(uint8_t system, uint8_t number, uint16_t elevation, uint16_t azimuth, uint16_t snr) {
  Bytes r(9, 0);
  r[0] = system;
  r[1] = number;
  r[2] = 0x5A;
  putLe(r, 3, elevation, 2);
  putLe(r, 5, azimuth, 2);
  putLe(r, 7, snr, 2);
  return r;
}

TEST(Binr2State, SatsInViewCountsWholeRecords) {
  Binr2State state;
  Bytes three;
  for (int i = 0; i < 3; ++i) {
    const Bytes r = satRecord(uint8_t(0x0A + i), uint8_t(10 + i), uint16_t(450 + i), uint16_t(3599 - i), uint16_t(421 + i));
    three.insert(three.end(), r.begin(), r.end());
  }
  dispatch(state, kBinr2SatsInView, three);
  EXPECT_EQ(state.satsInView.satCount, 3);
  const Binr2SatInView third = state.satsInView.sat[2];
  EXPECT_EQ(third.system, 0x0C);
  EXPECT_EQ(third.number, 12);
  EXPECT_EQ(third.elevation, 452);
  EXPECT_EQ(third.azimuth, 3597);
  EXPECT_EQ(third.snr, 423);

  // 19 bytes: two records and the first byte of a third.
  Bytes nineteen = satRecord(2, 5, 100, 200, 300);
  const Bytes second = satRecord(1, 7, 10, 20, 30);
  nineteen.insert(nineteen.end(), second.begin(), second.end());
  nineteen.push_back(0x04);
  dispatch(state, kBinr2SatsInView, nineteen);
  EXPECT_EQ(state.satsInView.satCount, 2);
  EXPECT_EQ(state.satsInView.sat[0].number, 5);
  EXPECT_EQ(state.satsInView.sat[1].snr, 30);
  EXPECT_EQ(state.satsInView.sat[2].system, 0x04);
  EXPECT_EQ(state.satsInView.sat[2].number, third.number);
  EXPECT_EQ(state.satsInView.sat[2].snr, third.snr);

  dispatch(state, kBinr2SatsInView, {});
  EXPECT_EQ(state.satsInView.satCount, 0);

  Bytes tooMany;
  for (int i = 0; i < 70; ++i) {
    const Bytes r = satRecord(2, uint8_t(i + 1), 0, 0, 0);
    tooMany.insert(tooMany.end(), r.begin(), r.end());
  }
  dispatch(state, kBinr2SatsInView, tooMany);
  EXPECT_EQ(state.satsInView.satCount, Binr2SatsInView::kMaxSats);
  EXPECT_EQ(state.satsInView.sat[63].number, 64);
}

TEST(Binr2State, DeviceIdTexts) {
  struct Case {
    std::string name;
    Bytes payload;
    std::string deviceName, versionMajor, versionMinor, deviceExtra;
  } cases[] = {
      {"four terminated texts",
       {0x01, 'N', 'V', '0', '8', 'C', 0, '1', '2', 0, '0', '7', 0, 'C', 'S', 'M', 0},
       "NV08C", "12", "07", "CSM"},
      {"a text without its NUL runs into the next", {0x01, 'A', 'B', 'C', 'D', 'E', 'F', '3', 0}, "ABCDEF3", "3", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Binr2State state;
    dispatch(state, kBinr2DeviceId, c.payload);
    EXPECT_EQ(std::string(state.deviceId.deviceName), c.deviceName);
    EXPECT_EQ(std::string(state.deviceId.versionMajor), c.versionMajor);
    EXPECT_EQ(std::string(state.deviceId.versionMinor), c.versionMinor);
    EXPECT_EQ(std::string(state.deviceId.deviceExtra), c.deviceExtra);
  }

  // No NUL anywhere: every text ends with the record.
  Binr2State state;
  dispatch(state, kBinr2DeviceId, Bytes(64, 'x'));
  EXPECT_EQ(std::string(state.deviceId.deviceName), std::string(63, 'x'));
  EXPECT_EQ(std::string(state.deviceId.versionMajor), std::string(57, 'x'));
  EXPECT_EQ(std::string(state.deviceId.versionMinor), std::string(54, 'x'));
  EXPECT_EQ(std::string(state.deviceId.deviceExtra), std::string(51, 'x'));

  // A shorter message overwrites only its own length.
  dispatch(state, kBinr2DeviceId, {0x00, 'A', 0});
  EXPECT_EQ(std::string(state.deviceId.deviceName), "A");
  EXPECT_EQ(std::string(state.deviceId.deviceExtra), std::string(51, 'x'));
}

}  // namespace
}  // namespace veltrano
