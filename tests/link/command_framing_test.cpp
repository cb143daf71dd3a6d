#include "link/command_framing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "decoding/binr2_decoder.h"
#include "decoding/binr_decoder.h"
#include "decoding/crc16.h"

namespace veltrano {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes binrFrame(uint8_t id, const Bytes& data, bool withCrc = true) {
  uint8_t frame[kCommandFrameSize];
  const int length = buildBinrFrame(id, data.data(), int(data.size()), withCrc, frame);
  return Bytes(frame, frame + length);
}

Bytes binr2Frame(const Bytes& data) {
  uint8_t frame[kCommandFrameSize];
  const int length = buildBinr2Frame(data.data(), int(data.size()), frame);
  return Bytes(frame, frame + length);
}

std::string nmeaCommand(std::string_view text) {
  char command[kNmeaCommandSize];
  const int length = buildNmeaCommand(text, command);
  return std::string(command, size_t(length));
}

struct BinrExample {
  uint8_t id;
  Bytes data;
  Bytes wire;
};

class BinrExampleFrames : public ::testing::TestWithParam<BinrExample> {};

TEST_P(BinrExampleFrames, AreBuiltByteForByte) {
  EXPECT_EQ(binrFrame(GetParam().id, GetParam().data), GetParam().wire);
}

INSTANTIATE_TEST_SUITE_P(
    CommandFraming, BinrExampleFrames,
    ::testing::Values(BinrExample{0x1B, {}, {0x10, 0x1B, 0x10, 0xFF, 0x5A, 0xA3, 0x10, 0x03}},
                      BinrExample{0x0C, {0x01}, {0x10, 0x0C, 0x01, 0x10, 0xFF, 0x4C, 0x55, 0x10, 0x03}},
                      // The rate 921600 carries a 0x10, which is doubled and counted twice.
                      BinrExample{0x0B,
                                  {0x00, 0x00, 0x10, 0x0E, 0x00, 0x04},
                                  {0x10, 0x0B, 0x00, 0x00, 0x10, 0x10, 0x0E, 0x00, 0x04, 0x10, 0xFF, 0xD7, 0x92,
                                   0x10, 0x03}}));

TEST(CommandFraming, Binr2ExampleFrame) {
  EXPECT_EQ(binr2Frame({0x01, 0xC0, 0x01, 0x00, 0x00}),
            (Bytes{0xA5, 0x5A, 0xB5, 0x5B, 0x05, 0x00, 0x01, 0xC0, 0x01, 0x00, 0x00, 0xC5, 0x2E}));
}

TEST(CommandFraming, NmeaCommandsCarryChecksumAndLineEnd) {
  EXPECT_EQ(nmeaCommand("$POVER"), "$POVER*5E\r\n");
  EXPECT_EQ(nmeaCommand("$PORZA,0,0,3"), "$PORZA,0,0,3*49\r\n");
  EXPECT_EQ(nmeaCommand("$PORZA,0,0,4"), "$PORZA,0,0,4*4E\r\n");
  EXPECT_EQ(nmeaCommand("$"), "$*00\r\n");
}

TEST(CommandFraming, BinrWithoutCrcTrailer) {
  EXPECT_EQ(binrFrame(0x0C, {0x10}, false), (Bytes{0x10, 0x0C, 0x10, 0x10, 0x10, 0x03}));
}

TEST(CommandFraming, BinrCrcBytesAreNotStuffed) {
  // Find commands whose CRC holds a DLE or an ETX; the trailer carries them as they are.
  int found = 0;
  for (int id = 0; id < 256; ++id) {
    if (id == 0x03 || id == 0x10 || id == 0xFF) continue;  // no frame can begin with these
    for (int value = 0; value < 256; ++value) {
      const uint16_t crc = binrCrcUpdate(binrCrcUpdate(0, uint8_t(id)), uint8_t(value));
      const uint8_t low = uint8_t(crc & 0xFF);
      const uint8_t high = uint8_t(crc >> 8);
      if (value == 0x10 || (low != 0x10 && high != 0x10 && low != 0x03 && high != 0x03)) continue;
      const Bytes frame = binrFrame(uint8_t(id), {uint8_t(value)});
      ASSERT_EQ(frame, (Bytes{0x10, uint8_t(id), uint8_t(value), 0x10, 0xFF, low, high, 0x10, 0x03}));
      ++found;
    }
  }
  EXPECT_GT(found, 0);
}

TEST(CommandFraming, BinrFramesPassTheDecoder) {
  BinrState state{};
  BinrDecoder decoder(state);
  // Ids the decoder does not check for length; data full of DLEs and ETXs.
  const std::vector<std::pair<uint8_t, Bytes>> commands = {
      {0x1B, {}},
      {0x0B, {0x00, 0x00, 0x10, 0x0E, 0x00, 0x04}},
      {0x0E, {0x10, 0x10, 0x03, 0x10, 0xFF, 0x10}},
      {0x26, Bytes(60, 0x10)},
  };
  for (const auto& [id, data] : commands) {
    int result = 0;
    for (uint8_t b : binrFrame(id, data)) result = decoder.pushBinrByte(b);
    EXPECT_EQ(result, id) << "id " << int(id);
  }
}

TEST(CommandFraming, Binr2FramesPassTheDecoder) {
  Binr2State state{};
  Binr2Decoder decoder(state);
  const std::vector<Bytes> commands = {
      {0x01, 0xC0, 0x01, 0x00, 0x00},
      {0x02, 0x00, 0x00, 0x00, 0x10, 0x0E, 0x00},
      {0x02, 0x00, 0x04, 0x00, 0x00, 0x00, 0x00},
  };
  for (const Bytes& data : commands) {
    uint8_t result = 0;
    for (uint8_t b : binr2Frame(data)) result = decoder.pushBinr2Byte(b);
    EXPECT_EQ(result, data[0]);
  }
}

struct SizeCase {
  const char* name;
  int plainBytes;
  int dleBytes;
  bool withCrc;
  int expectedLength;  // 0: refused
};

class BinrFrameSize : public ::testing::TestWithParam<SizeCase> {};

TEST_P(BinrFrameSize, RefusesStuffedDataBeyondTheBuffer) {
  const SizeCase& c = GetParam();
  Bytes data(size_t(c.plainBytes), 0x55);
  data.insert(data.end(), size_t(c.dleBytes), 0x10);
  uint8_t frame[kCommandFrameSize];
  EXPECT_EQ(buildBinrFrame(0x0E, data.data(), int(data.size()), c.withCrc, frame), c.expectedLength);
}

INSTANTIATE_TEST_SUITE_P(CommandFraming, BinrFrameSize,
                         ::testing::Values(SizeCase{"plain120", 120, 0, true, 128},
                                           SizeCase{"plain121", 121, 0, true, 0},
                                           SizeCase{"dle60", 0, 60, true, 128},
                                           SizeCase{"dle61", 0, 61, true, 0},
                                           SizeCase{"plain119dle1", 119, 1, true, 0},
                                           SizeCase{"plain118dle1", 118, 1, true, 128},
                                           SizeCase{"plain120NoCrc", 120, 0, false, 124},
                                           SizeCase{"dle61NoCrc", 0, 61, false, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

// A frame with one of these ids would read as the end of a frame, a DLE of
// the data or the CRC trailer; every other id is framed.
TEST(CommandFraming, BinrIdsThatCannotBeginAFrameAreRefused) {
  uint8_t frame[kCommandFrameSize];
  const uint8_t data[1] = {0x55};
  for (int id = 0; id < 256; ++id) {
    const bool refused = id == 0x03 || id == 0x10 || id == 0xFF;
    for (const bool withCrc : {true, false})
      EXPECT_EQ(buildBinrFrame(uint8_t(id), data, 1, withCrc, frame) == 0, refused) << "id " << id;
  }
}

TEST(CommandFraming, NegativeCountsAreRefused) {
  uint8_t frame[kCommandFrameSize];
  const uint8_t data[1] = {0};
  EXPECT_EQ(buildBinrFrame(0x1B, data, -1, true, frame), 0);
  EXPECT_EQ(buildBinr2Frame(data, -1, frame), 0);
}

TEST(CommandFraming, Binr2SizeLimits) {
  const Bytes data(kMaxBinr2Data + 1, 0x10);
  uint8_t frame[kCommandFrameSize];
  EXPECT_EQ(buildBinr2Frame(data.data(), kMaxBinr2Data, frame), kCommandFrameSize);
  EXPECT_EQ(frame[4], kMaxBinr2Data);
  EXPECT_EQ(frame[5], 0);
  EXPECT_EQ(buildBinr2Frame(data.data(), kMaxBinr2Data + 1, frame), 0);
  EXPECT_EQ(buildBinr2Frame(data.data(), 0, frame), 8);
}

TEST(CommandFraming, NmeaSizeLimits) {
  const std::string longest = "$" + std::string(kMaxNmeaCommandText - 1, 'A');
  EXPECT_EQ(nmeaCommand(longest).size(), size_t(kMaxNmeaCommandText + 5));
  char command[kNmeaCommandSize];
  EXPECT_EQ(buildNmeaCommand(longest + "A", command), 0);
}

}  // namespace
}  // namespace veltrano
