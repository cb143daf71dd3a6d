// veltrano-cli send against the Control window, driven by the window's own table
// of commands: in every protocol the bytes the tool prints with --hex are the
// bytes the window puts on the line, what the window refuses the tool refuses,
// and the receiver simulator takes every command the tool sends.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QLineEdit>
#include <cstdlib>
#include <string>
#include <vector>

#include "../cli/cli_runner.h"
#include "control_command_cases.h"
#include "control_form_fixture.h"
#include "receiver_log.h"
#include "sim_process.h"

namespace veltrano {
namespace {

using namespace control_cases;

// `word` as one word of a shell command line.
std::string quoted(const std::string& word) {
  std::string out = "'";
  for (char c : word) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

struct HexRun {
  int status = -1;
  std::string bytes;  // as they would go on the line
};

// What veltrano-cli send --hex prints for the command `words` in `protocol`.
HexRun cliHex(P protocol, const std::string& words) {
  const test::CliRun run = test::runCli(std::string("send --hex --protocol ") + protocolOption(protocol) + " " + words);
  HexRun hex{run.status, {}};
  if (run.lines.size() == 1)
    for (const char* at = run.lines[0].c_str(); *at;) {
      char* end = nullptr;
      hex.bytes += char(std::strtoul(at, &end, 16));
      if (end == at) break;
      at = end;
    }
  return hex;
}

// The window's bytes are the table's, and the tool's are the window's; where the
// window sends nothing the tool refuses the command.
void expectSameAsWindow(const std::string& window, const std::string& expected, const HexRun& cli) {
  EXPECT_EQ(window, expected);
  EXPECT_EQ(cli.bytes, window);
  EXPECT_EQ(cli.status, window.empty() ? 2 : 0);
}

class SendCliCommandTest : public ControlFormTest, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(SendCliCommandTest, PrintsTheBytesTheWindowSends) {
  const CommandCase& k = GetParam();
  select(k.protocol);
  k.set(c);
  (c.*k.button)->click();
  expectSameAsWindow(sent(), k.line, cliHex(k.protocol, k.cli));
}

INSTANTIATE_TEST_SUITE_P(Buttons, SendCliCommandTest, ::testing::ValuesIn(commandCases()),
                         [](const ::testing::TestParamInfo<CommandCase>& info) {
                           return std::string(info.param.name);
                         });

class SendCliFreeTextTest : public ControlFormTest, public ::testing::WithParamInterface<FreeTextCase> {};

TEST_P(SendCliFreeTextTest, PrintsTheBytesTheWindowSends) {
  const FreeTextCase& k = GetParam();
  select(k.protocol, S::STOP);
  c.sendEdit->setText(QString::fromStdString(k.text));
  c.sendButton->click();
  expectSameAsWindow(sent(), k.line, cliHex(k.protocol, "text " + quoted(k.text)));
}

INSTANTIATE_TEST_SUITE_P(Texts, SendCliFreeTextTest, ::testing::ValuesIn(freeTextCases()),
                         [](const ::testing::TestParamInfo<FreeTextCase>& info) {
                           return std::string(info.param.name);
                         });

// Commands no row of the window can send, and what the window has no line for.
TEST(SendCliArgumentsTest, RefusesWhatTheWindowCannotSend) {
  const struct {
    P protocol;
    const char* words;
  } refused[] = {{P::BINR, "reboot"},
                 {P::BINR, "restart hot"},
                 {P::BINR, "restart cold warm"},
                 {P::BINR, "elevation 91"},
                 {P::BINR, "elevation -1"},
                 {P::BINR, "elevation 5x"},
                 {P::BINR, "max-rms 205"},
                 {P::BINR, "max-rms 1010"},
                 {P::BINR, "filter 10"},
                 {P::BINR, "filter 2.55"},
                 {P::BINR, "filter ,5"},
                 {P::BINR, "pvt-rate 3"},
                 {P::BINR, "pvt-rate 0"},
                 {P::BINR, "sat-system gps galileo"},
                 {P::BINR, "sat-system none gps"},
                 {P::BINR, "pvt-set 3d"},
                 {P::BINR, "text"},
                 {P::BINR, "text 0C 00"},
                 {P::BINR2, "text 0C00"},
                 {P::NMEA, "max-rms 100"},
                 {P::NMEA, "pvt-set none"}};
  for (const auto& r : refused) {
    SCOPED_TRACE(r.words);
    const HexRun cli = cliHex(r.protocol, r.words);
    EXPECT_EQ(cli.status, 2);
    EXPECT_EQ(cli.bytes, "");
  }
}

// The receiver simulator takes every command the tool sends in its protocol,
// each from a new run of the tool.
class SendCliReceiverTest : public ::testing::TestWithParam<P> {};

TEST_P(SendCliReceiverTest, ReceiverAcceptsEveryCommand) {
  const P protocol = GetParam();
  sim::ScratchDir scratch;
  const std::string log = scratch.file("commands.log");
  sim::SimProcess receiver;
  ASSERT_TRUE(receiver.start({"--protocol", protocolOption(protocol), "--baud", "115200", "--reopen", "--log", log}));

  std::vector<receiver_log::LoggedCommand> expected;
  for (const CommandCase& k : commandCases()) {
    if (k.protocol != protocol || k.line.empty()) continue;
    SCOPED_TRACE(k.name);
    const test::CliRun run = test::runCli(std::string("send --port ") + receiver.terminalPath() + " --protocol " +
                                          protocolOption(protocol) + " " + k.cli);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "");
    expected.push_back({sim::hexOf(Bytes(k.line.begin(), k.line.end())), "accepted"});
  }
  // The receiver logs the last command as it reads it; it was on the line before the tool ended.
  std::vector<receiver_log::LoggedCommand> logged;
  for (int tries = 0; tries < 500 && logged.size() < expected.size(); ++tries) {
    usleep(10000);
    logged = receiver_log::readLog(log);
  }
  EXPECT_EQ(logged, expected);
}

INSTANTIATE_TEST_SUITE_P(Protocols, SendCliReceiverTest, ::testing::Values(P::NMEA, P::BINR, P::BINR2),
                         protocolTestName);

}  // namespace
}  // namespace veltrano
