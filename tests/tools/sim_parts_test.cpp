// The simulator's command parsers, its answers to commands, its time and
// number encodings, and its plain noise.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "sim/binr2_command_parser.h"
#include "sim/binr_command_parser.h"
#include "sim/binr_writer.h"
#include "sim/frame_queue.h"
#include "sim/geodesy.h"
#include "sim/gnss_time.h"
#include "sim/nmea_command_parser.h"
#include "sim/output_buffer.h"
#include "sim/scenario.h"
#include "sim/sim_options.h"
#include "sim/sim_receiver.h"
#include "stream_check.h"
#include "util/formatters.h"

namespace veltrano::sim {
namespace {

std::unique_ptr<CommandParser> parserFor(SimProtocol protocol) {
  switch (protocol) {
    case SimProtocol::Nmea: return std::make_unique<NmeaCommandParser>();
    case SimProtocol::Binr: return std::make_unique<BinrCommandParser>();
    case SimProtocol::Binr2: return std::make_unique<Binr2CommandParser>();
  }
  return nullptr;
}

std::vector<uint8_t> bytesOf(const char* text) { return std::vector<uint8_t>(text, text + std::strlen(text)); }

struct ParseCase {
  const char* name;
  SimProtocol protocol;
  std::vector<uint8_t> bytes;
  bool checksumOk;
  uint8_t id;
  std::vector<uint8_t> data;
  const char* text;
};

class CommandParserTest : public testing::TestWithParam<ParseCase> {};

TEST_P(CommandParserTest, FindsTheCommandAndChecksItsChecksum) {
  const ParseCase& c = GetParam();
  auto parser = parserFor(c.protocol);
  int completed = 0;
  for (size_t i = 0; i < c.bytes.size(); ++i) {
    if (!parser->push(c.bytes[i])) continue;
    ++completed;
    const Command& command = parser->command();
    EXPECT_EQ(command.checksumOk, c.checksumOk);
    EXPECT_EQ(command.id, c.id);
    EXPECT_EQ(std::vector<uint8_t>(command.data, command.data + command.dataLength), c.data);
    EXPECT_EQ(command.text, c.text);
    // The raw bytes are the command's own, framing included, ending at this byte.
    ASSERT_LE(command.rawLength, i + 1);
    EXPECT_EQ(std::vector<uint8_t>(command.raw, command.raw + command.rawLength),
              std::vector<uint8_t>(c.bytes.begin() + long(i + 1 - command.rawLength), c.bytes.begin() + long(i + 1)));
  }
  EXPECT_EQ(completed, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CommandParserTest,
    testing::Values(
        ParseCase{"BinrNoData", SimProtocol::Binr, {0x10, 0x1B, 0x10, 0xFF, 0x5A, 0xA3, 0x10, 0x03}, true, 0x1B, {}, ""},
        ParseCase{"BinrStuffedRate",
                  SimProtocol::Binr,
                  {0x55, 0x10, 0x0B, 0x00, 0x00, 0x10, 0x10, 0x0E, 0x00, 0x04, 0x10, 0xFF, 0xD7, 0x92, 0x10, 0x03},
                  true,
                  0x0B,
                  {0x00, 0x00, 0x10, 0x0E, 0x00, 0x04},
                  ""},
        ParseCase{"BinrBadCrc",
                  SimProtocol::Binr,
                  {0x10, 0x0C, 0x01, 0x10, 0xFF, 0x4C, 0x56, 0x10, 0x03},
                  false,
                  0x0C,
                  {0x01},
                  ""},
        ParseCase{"BinrWithoutTrailer", SimProtocol::Binr, {0x10, 0x10, 0x10, 0x26, 0x10, 0x03}, true, 0x26, {}, ""},
        ParseCase{"Binr2Identification",
                  SimProtocol::Binr2,
                  {0x00, 0xA5, 0x5A, 0xB5, 0x5B, 0x05, 0x00, 0x01, 0xC0, 0x01, 0x00, 0x00, 0xC5, 0x2E},
                  true,
                  0x01,
                  {0xC0, 0x01, 0x00, 0x00},
                  ""},
        ParseCase{"Binr2BadCrc",
                  SimProtocol::Binr2,
                  {0xA5, 0x5A, 0xB5, 0x5B, 0x05, 0x00, 0x01, 0xC0, 0x01, 0x00, 0x00, 0xC5, 0x2F},
                  false,
                  0x01,
                  {0xC0, 0x01, 0x00, 0x00},
                  ""},
        ParseCase{"NmeaVersionRequest", SimProtocol::Nmea, bytesOf("x\r\n$POVER*5E\r\n"), true, 0, {}, "$POVER"},
        ParseCase{"NmeaBadChecksum", SimProtocol::Nmea, bytesOf("$POVER*5F\r\n"), false, 0, {}, "$POVER"},
        ParseCase{"NmeaRestartAtDollar", SimProtocol::Nmea, bytesOf("$GP$PORZA,0,0,3*49\r\n"), true, 0, {},
                  "$PORZA,0,0,3"}),
    [](const testing::TestParamInfo<ParseCase>& info) { return std::string(info.param.name); });

struct AnswerCase {
  const char* name;
  SimProtocol protocol;
  std::vector<uint8_t> bytes;
  const char* verdict;
  int replyId;  // message id or NMEA kind of the reply; 0 for none
  bool changes;
  int32_t baud;
  SimProtocol target;
};

class ReceiverAnswerTest : public testing::TestWithParam<AnswerCase> {};

TEST_P(ReceiverAnswerTest, AnswersAndSettles) {
  const AnswerCase& c = GetParam();
  SimOptions options;
  options.protocol = c.protocol;
  options.baud = 19200;
  SimReceiver receiver(options);
  auto parser = parserFor(c.protocol);
  OutputBuffer reply(4096, 16);
  int handled = 0;
  CommandOutcome outcome;
  for (uint8_t b : c.bytes)
    if (parser->push(b)) {
      outcome = receiver.handleCommand(parser->command(), reply);
      ++handled;
    }
  ASSERT_EQ(handled, 1);
  EXPECT_STREQ(outcome.verdict, c.verdict);
  StreamCheck check(c.protocol);
  check.feed(std::vector<uint8_t>(reply.data(), reply.data() + reply.size()));
  EXPECT_EQ(check.errors(), 0);
  if (c.replyId == 0) {
    EXPECT_EQ(check.messages(), 0);
  } else {
    EXPECT_EQ(check.messages(), 1);
    EXPECT_EQ(check.count(c.replyId), 1);
  }
  EXPECT_EQ(outcome.changesSettings, c.changes);
  if (c.changes) {
    EXPECT_EQ(outcome.baud, c.baud);
    EXPECT_EQ(outcome.protocol, c.target);
    receiver.apply(outcome);
    EXPECT_EQ(receiver.baud(), c.baud);
    EXPECT_EQ(receiver.protocol(), c.target);
  }
}

std::vector<uint8_t> binrFrame(uint8_t id, std::vector<uint8_t> data) {
  std::vector<uint8_t> f = {0x10, id};
  uint16_t crc = binrCrcUpdate(0, id);
  for (uint8_t b : data) {
    f.push_back(b);
    crc = binrCrcUpdate(crc, b);
    if (b == 0x10) {
      f.push_back(b);
      crc = binrCrcUpdate(crc, b);
    }
  }
  f.insert(f.end(), {0x10, 0xFF, uint8_t(crc), uint8_t(crc >> 8), 0x10, 0x03});
  return f;
}

std::vector<uint8_t> binr2Frame(std::vector<uint8_t> body) {
  std::vector<uint8_t> f = {0xA5, 0x5A, 0xB5, 0x5B, uint8_t(body.size()), uint8_t(body.size() >> 8)};
  uint16_t crc = 0;
  for (uint8_t b : body) crc = binrCrcUpdate(crc, b);
  f.insert(f.end(), body.begin(), body.end());
  f.push_back(uint8_t(crc));
  f.push_back(uint8_t(crc >> 8));
  return f;
}

INSTANTIATE_TEST_SUITE_P(
    Commands, ReceiverAnswerTest,
    testing::Values(
        AnswerCase{"NmeaVersion", SimProtocol::Nmea, bytesOf("$POVER*5E\r\n"), "answered", 14, false, 0,
                   SimProtocol::Nmea},
        AnswerCase{"NmeaToBinr", SimProtocol::Nmea, bytesOf("$PORZA,0,0,3*49\r\n"), "accepted", 0, true, 19200,
                   SimProtocol::Binr},
        AnswerCase{"NmeaToBinr2", SimProtocol::Nmea, bytesOf("$PORZA,0,0,4*4E\r\n"), "accepted", 0, true, 19200,
                   SimProtocol::Binr2},
        AnswerCase{"NmeaControl", SimProtocol::Nmea, bytesOf("$PKON1,0,10,,,0000,A*5B\r\n"), "accepted", 0, false, 0,
                   SimProtocol::Nmea},
        AnswerCase{"NmeaBadChecksum", SimProtocol::Nmea, bytesOf("$POVER*00\r\n"), "bad-checksum", 0, false, 0,
                   SimProtocol::Nmea},
        AnswerCase{"BinrVersion", SimProtocol::Binr, binrFrame(0x1B, {}), "answered", 0x70, false, 0,
                   SimProtocol::Binr},
        AnswerCase{"BinrRate", SimProtocol::Binr, binrFrame(0x0B, {0x00, 0x00, 0x10, 0x0E, 0x00, 0x04}), "answered",
                   0x50, true, 921600, SimProtocol::Binr},
        AnswerCase{"BinrOddRate", SimProtocol::Binr, binrFrame(0x0B, {0x00, 0x39, 0x30, 0x00, 0x00, 0x04}),
                   "rejected", 0, false, 0, SimProtocol::Binr},
        AnswerCase{"BinrToNmea", SimProtocol::Binr, binrFrame(0x0B, {0, 0, 0, 0, 0, 0x02}), "answered", 0x50, true,
                   19200, SimProtocol::Nmea},
        AnswerCase{"BinrToBinr2", SimProtocol::Binr, binrFrame(0x0B, {0, 0, 0, 0, 0, 0x05}), "answered", 0x50, true,
                   19200, SimProtocol::Binr2},
        AnswerCase{"BinrRecordingSetup", SimProtocol::Binr, binrFrame(0xA0, {0x03, 0x01}), "accepted", 0, false, 0,
                   SimProtocol::Binr},
        AnswerCase{"BinrUnknown", SimProtocol::Binr, binrFrame(0x42, {}), "unknown", 0, false, 0, SimProtocol::Binr},
        AnswerCase{"Binr2Identification", SimProtocol::Binr2, binr2Frame({0x01, 0xC0, 0x01, 0x00, 0x00}), "answered",
                   0xC0, false, 0, SimProtocol::Binr2},
        AnswerCase{"Binr2Rate", SimProtocol::Binr2, binr2Frame({0x02, 0x00, 0x00, 0x00, 0xC2, 0x01, 0x00}),
                   "answered", 0x80, true, 115200, SimProtocol::Binr2},
        AnswerCase{"Binr2ToBinr", SimProtocol::Binr2, binr2Frame({0x02, 0x00, 0x02, 0, 0, 0, 0}), "answered", 0x80,
                   true, 19200, SimProtocol::Binr},
        AnswerCase{"Binr2ToNmea", SimProtocol::Binr2, binr2Frame({0x02, 0x00, 0x04, 0, 0, 0, 0}), "answered", 0x80,
                   true, 19200, SimProtocol::Nmea},
        AnswerCase{"Binr2Configuration", SimProtocol::Binr2, binr2Frame({0x04, 0x04, 0, 0, 0, 0, 0, 0, 0x14, 0x00}),
                   "accepted", 0, false, 0, SimProtocol::Binr2}),
    [](const testing::TestParamInfo<AnswerCase>& info) { return std::string(info.param.name); });

TEST(ReceiverAnswerTest, IdentifiesItselfWithTheConfiguredNameInEachProtocol) {
  SimOptions options;
  options.device = "ABC12";
  options.firmware = "03.14";
  SimReceiver binr(options);
  OutputBuffer reply(4096, 16);
  BinrCommandParser binrParser;
  for (uint8_t b : binrFrame(0x1B, {}))
    if (binrParser.push(b)) binr.handleCommand(binrParser.command(), reply);
  StreamCheck binrCheck(SimProtocol::Binr);
  binrCheck.feed(std::vector<uint8_t>(reply.data(), reply.data() + reply.size()));
  EXPECT_STREQ(binrCheck.binr().version.versionText, "ABC12 03.14");

  reply.clear();
  Binr2CommandParser binr2Parser;
  for (uint8_t b : binr2Frame({0x01, 0xC0, 0x01, 0x00, 0x00}))
    if (binr2Parser.push(b)) binr.handleCommand(binr2Parser.command(), reply);
  StreamCheck binr2Check(SimProtocol::Binr2);
  binr2Check.feed(std::vector<uint8_t>(reply.data(), reply.data() + reply.size()));
  EXPECT_STREQ(binr2Check.binr2().deviceId.deviceName, "ABC12");
  EXPECT_STREQ(binr2Check.binr2().deviceId.versionMajor, "03");
  EXPECT_STREQ(binr2Check.binr2().deviceId.versionMinor, "14");

  reply.clear();
  NmeaCommandParser nmeaParser;
  for (uint8_t b : bytesOf("$POVER*5E\r\n"))
    if (nmeaParser.push(b)) binr.handleCommand(nmeaParser.command(), reply);
  StreamCheck nmeaCheck(SimProtocol::Nmea);
  nmeaCheck.feed(std::vector<uint8_t>(reply.data(), reply.data() + reply.size()));
  const NmeaFieldTable& ver = nmeaCheck.nmea().stored(NmeaKind::VER);
  ASSERT_EQ(nmeaCheck.count(int(NmeaKind::VER)), 1);
  EXPECT_STREQ(ver.field[2], "ABC12");
  EXPECT_STREQ(ver.field[3], "0314");
}

TEST(OutputBufferTest, AFrameThatDoesNotFitIsDroppedWhole) {
  OutputBuffer out(8, 4);
  out.put(reinterpret_cast<const uint8_t*>("abc"), 3);
  out.endFrame();
  out.put(reinterpret_cast<const uint8_t*>("defghij"), 7);
  out.endFrame();
  out.put(reinterpret_cast<const uint8_t*>("xy"), 2);
  out.endFrame();
  ASSERT_EQ(out.frameCount(), 2u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(out.data()), out.size()), "abcxy");
  EXPECT_EQ(out.frameEnd(0), 3u);
  EXPECT_EQ(out.frameEnd(1), 5u);
}

TEST(FrameQueueTest, HandsOutWholeFramesInOrderAndRefusesWhatDoesNotFit) {
  FrameQueue queue(10, 8);
  OutputBuffer out(16, 4);
  const auto frames = [&](std::initializer_list<const char*> texts) {
    out.clear();
    for (const char* t : texts) {
      out.put(reinterpret_cast<const uint8_t*>(t), std::strlen(t));
      out.endFrame();
    }
    return queue.pushFrames(out);
  };
  ASSERT_TRUE(frames({"1234", "56"}));
  EXPECT_FALSE(frames({"abcde"}));  // 6 + 5 > 10: nothing is taken
  EXPECT_EQ(queue.size(), 6u);
  std::string sent;
  const auto take = [&](size_t n) {
    if (!queue.frontStarted()) queue.startFront(false);
    sent.append(reinterpret_cast<const char*>(queue.frontData()), n);
    queue.consume(n);
  };
  take(3);
  EXPECT_TRUE(queue.frontStarted());
  EXPECT_EQ(queue.frontRemaining(), 1u);
  ASSERT_TRUE(frames({"abcde"}));  // room once the taken bytes are moved out
  take(1);
  EXPECT_FALSE(queue.frontStarted());
  take(2);
  take(5);
  EXPECT_TRUE(queue.empty());
  EXPECT_EQ(sent, "123456abcde");
}

TEST(ExtendedEncodingTest, MatchesTheX87Format) {
  static_assert(sizeof(long double) >= 10, "x87 extended precision expected");
  for (double v : {0.0, 1.0, -3.5, 45296789.6, 604799999.0, 1e-3}) {
    uint8_t bytes[10];
    encodeExtended(v, bytes);
    long double x = 0;
    std::memcpy(&x, bytes, 10);
    EXPECT_EQ(double(x), v);
  }
}

TEST(GnssTimeTest, StartTimeComesBackAsTheSameUtcDateAndTime) {
  int64_t gps = 0;
  ASSERT_TRUE(parseUtcStart("2024-05-01T10:20:30", gps));
  const CalendarTime t = utcCalendar(gps);
  EXPECT_EQ(t.year, 2024);
  EXPECT_EQ(t.month, 5);
  EXPECT_EQ(t.day, 1);
  EXPECT_EQ(t.hour, 10);
  EXPECT_EQ(t.minute, 20);
  EXPECT_EQ(t.second, 30);
  // The week number, counted from the first rollover, dates the same day for the
  // program's own formatter.
  const int64_t utc = gps - kLeapSeconds * 1000;
  EXPECT_EQ(formatWeekDate(int32_t(millisOfWeek(utc) / 1000), weekOf(utc)), "01.05.24");
  EXPECT_EQ(millisOfWeek(utc) % 86400000, (10 * 3600 + 20 * 60 + 30) * 1000);
}

TEST(GnssTimeTest, RefusesMalformedStartTimes) {
  int64_t gps = 0;
  for (const char* text : {"", "2024-05-01", "2024-13-01T00:00:00", "2024-05-01T24:00:00", "2024/05/01T10:00:00",
                           "2024-05-01T10:00:0x"})
    EXPECT_FALSE(parseUtcStart(text, gps)) << text;
}

TEST(PlainNoiseTest, OptionTakesTwoStandardDeviations) {
  const struct {
    const char* value;
    bool ok;
    double h, v;
  } cases[] = {{"2,3", true, 2, 3},    {"0.5,0", true, 0.5, 0}, {"2", false, -1, -1},
               {"2,x", false, -1, -1}, {"-1,2", false, -1, -1}, {"2,1001", false, -1, -1}};
  for (const auto& c : cases) {
    std::string program = "veltrano-sim", option = "--noise", value = c.value;
    char* argv[] = {program.data(), option.data(), value.data()};
    SimOptions options;
    std::string error;
    EXPECT_EQ(parseSimOptions(3, argv, options, error), c.ok) << c.value;
    EXPECT_EQ(options.noiseHorizontal, c.h) << c.value;
    EXPECT_EQ(options.noiseVertical, c.v) << c.value;
  }
}

// Plain noise is white: of the set deviations about the true position, with
// no wander carried from one epoch to the next.
TEST(PlainNoiseTest, OffsetsAreWhiteWithTheSetDeviations) {
  SimOptions options;
  options.noiseHorizontal = 2;
  options.noiseVertical = 3;
  Scenario scenario(options);
  const double lat = options.latitude * kPi / 180, lon = options.longitude * kPi / 180;
  constexpr int kEpochs = 20000;
  double sum[3] = {}, squares[3] = {}, lagged[3] = {}, previous[3] = {};
  Epoch epoch;
  for (int i = 0; i < kEpochs; ++i) {
    scenario.computeEpoch(epoch);
    const double offset[3] = {(epoch.latitude - lat) * metresPerRadianNorth(lat, options.height),
                              (epoch.longitude - lon) * metresPerRadianEast(lat, options.height),
                              epoch.height - options.height};
    for (int k = 0; k < 3; ++k) {
      sum[k] += offset[k];
      squares[k] += offset[k] * offset[k];
      lagged[k] += offset[k] * previous[k];
      previous[k] = offset[k];
    }
  }
  EXPECT_EQ(epoch.sigmaNorth, 2);
  EXPECT_EQ(epoch.sigmaUp, 3);
  const double expected[3] = {2, 2, 3};
  for (int k = 0; k < 3; ++k) {
    SCOPED_TRACE(k);
    const double deviation = std::sqrt(squares[k] / kEpochs);
    EXPECT_NEAR(sum[k] / kEpochs, 0, 0.1);
    EXPECT_NEAR(deviation / expected[k], 1, 0.03);
    // The correlation of neighbouring epochs; the model's wander would make it near 1.
    EXPECT_NEAR(lagged[k] / squares[k], 0, 0.05);
  }
}

}  // namespace
}  // namespace veltrano::sim
