#include "link/command_writer.h"

#include <gtest/gtest.h>

#include <string>

#include "../decoding/test_frames.h"
#include "link/serial_link.h"
#include "pty_fixture.h"

namespace veltrano {
namespace {

class CommandWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pty.isOpen());
    ASSERT_TRUE(link.openPort(QString::fromStdString(pty.path()), 115200, true, false));
    writer.showSentCommand = [this](std::string_view text) { shown.push_back(std::string(text)); };
  }

  test::PseudoTerminal pty;
  test::PatternReceiver receiver;
  SerialLink link{receiver};
  bool binrCommandCrc = true;
  CommandWriter writer{link, binrCommandCrc};
  std::vector<std::string> shown;
};

TEST_F(CommandWriterTest, SendsEachFrameInOneWrite) {
  const uint8_t rate[] = {0x00, 0x00, 0x10, 0x0E, 0x00, 0x04};
  const uint8_t binr2[] = {0x01, 0xC0, 0x01, 0x00, 0x00};
  writer.writeBinrCommand(0x1B, nullptr, 0);
  writer.writeBinrCommand(0x0B, rate, 6);
  writer.writeBinr2Command(binr2, 5);
  writer.writeNmeaCommand("$POVER");
  EXPECT_EQ(pty.readMaster(1000),
            std::string("\x10\x1B\x10\xFF\x5A\xA3\x10\x03"
                        "\x10\x0B\x00\x00\x10\x10\x0E\x00\x04\x10\xFF\xD7\x92\x10\x03"
                        "\xA5\x5A\xB5\x5B\x05\x00\x01\xC0\x01\x00\x00\xC5\x2E"
                        "$POVER*5E\r\n",
                        8 + 15 + 13 + 11));
  EXPECT_EQ(shown, std::vector<std::string>{"POVER"});
}

TEST_F(CommandWriterTest, BinrTrailerFollowsTheFlag) {
  binrCommandCrc = false;
  writer.writeBinrCommand(0x0E, nullptr, 0);
  binrCommandCrc = true;
  writer.writeBinrCommand(0x1B, nullptr, 0);
  EXPECT_EQ(pty.readMaster(1000), std::string("\x10\x0E\x10\x03\x10\x1B\x10\xFF\x5A\xA3\x10\x03", 12));
}

TEST_F(CommandWriterTest, OversizedCommandsAreNotSent) {
  const std::vector<uint8_t> dles(61, 0x10);
  writer.writeBinrCommand(0x0E, dles.data(), 61);
  writer.writeBinr2Command(dles.data(), kMaxBinr2Data + 1);
  writer.writeNmeaCommand("$" + std::string(kMaxNmeaCommandText, 'A'));
  writer.writeNmeaCommand("$");
  EXPECT_EQ(pty.readMaster(1000), "$*00\r\n");
  EXPECT_EQ(shown, std::vector<std::string>{""});
}


// What a step list puts on the line, read at each wait: frames and waits in order.
struct StepsCase {
  const char* name;
  ReceiverProtocol protocol;
  CommandSteps ProtocolProfile::*steps;
  bool debugData;
  std::vector<std::string> expected;
};

std::string frame(const test::Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }
std::string binr(uint8_t id, const test::Bytes& data = {}) { return frame(test::binrFrame(id, data)); }
std::string binr2(const test::Bytes& data) {
  return frame(test::binr2Frame(data[0], test::Bytes(data.begin() + 1, data.end())));
}

TEST_F(CommandWriterTest, ProtocolStepsGoOutInOrderWithTheirWaits) {
  // 921600 = 00 10 0E 00 little-endian: the rate is stuffed like any other data.
  const StepsCase cases[] = {
      {"nmea start", ReceiverProtocol::NMEA, &ProtocolProfile::startRecording, true, {"$POVER*5E\r\n"}},
      {"nmea rate request", ReceiverProtocol::NMEA, &ProtocolProfile::requestRate, false, {}},
      {"binr rate request", ReceiverProtocol::BINR, &ProtocolProfile::requestRate, false,
       {binr(0x26) + binr(0x0B, {0x00, 0x00, 0x10, 0x0E, 0x00, 0x04})}},
      {"binr2 rate request", ReceiverProtocol::BINR2, &ProtocolProfile::requestRate, false,
       {binr2({0x02, 0x00, 0x00, 0x00, 0x10, 0x0E, 0x00})}},
      {"binr identify", ReceiverProtocol::BINR, &ProtocolProfile::identify, false, {binr(0x1B)}},
      {"binr2 identify", ReceiverProtocol::BINR2, &ProtocolProfile::identify, false,
       {binr2({0x01, 0xC0, 0x01, 0x00, 0x00})}},
      {"binr start",
       ReceiverProtocol::BINR,
       &ProtocolProfile::startRecording,
       false,
       {binr(0x0E) + binr(0x1B), "wait 200", binr(0xA0, {0x03, 0x01}), "wait 200", binr(0xA0, {0x03, 0x04}),
        "wait 200", binr(0xA0, {0x03, 0x02}), "wait 200", binr(0xA0, {0x03, 0x05}), "wait 200",
        binr(0xA0, {0x03, 0x03}), "wait 200", binr(0xA0, {0x03, 0x06}), "wait 200",
        binr(0x21, {0x01}) + binr(0x27, {0x01}) + binr(0x35, {0x01}) + binr(0x24, {0x01})}},
      {"binr stop with debug data", ReceiverProtocol::BINR, &ProtocolProfile::stopRecording, true,
       {binr(0x0E) + binr(0x0C, {0x00})}},
      {"binr stop", ReceiverProtocol::BINR, &ProtocolProfile::stopRecording, false, {binr(0x0E)}},
      {"binr2 start with debug data",
       ReceiverProtocol::BINR2,
       &ProtocolProfile::startRecording,
       true,
       {"wait 50", binr2({0x01, 0x00, 0xFF, 0x00, 0x00}), "wait 50", binr2({0x01, 0xC0, 0x01, 0x00, 0x00}),
        "wait 50", binr2({0x01, 0x90, 0x02, 0x01, 0x00}), "wait 50", binr2({0x01, 0xA1, 0x02, 0x01, 0x00}),
        "wait 50", binr2({0x01, 0xB2, 0x03, 0x58, 0x02}), "wait 50", binr2({0x01, 0xA0, 0x03, 0x0A, 0x00}),
        "wait 50", binr2({0x01, 0xF0, 0x03, 0x01, 0x00})}},
      {"binr2 stop", ReceiverProtocol::BINR2, &ProtocolProfile::stopRecording, false,
       {binr2({0x01, 0x00, 0xFF, 0x00, 0x00})}},
  };
  for (const StepsCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> line;
    const auto drain = [&] {
      const std::string bytes = pty.readMaster(100);
      if (!bytes.empty()) line.push_back(bytes);
    };
    const ProtocolProfile& profile = protocolProfile(c.protocol);
    writer.sendSteps(c.protocol, profile.*c.steps, c.debugData, 921600, [&](int ms) {
      drain();
      line.push_back("wait " + std::to_string(ms));
    });
    drain();
    EXPECT_EQ(line, c.expected);
  }
}

}  // namespace
}  // namespace veltrano
