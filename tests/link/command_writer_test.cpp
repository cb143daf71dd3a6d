#include "link/command_writer.h"

#include <gtest/gtest.h>

#include <string>

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

}  // namespace
}  // namespace veltrano
