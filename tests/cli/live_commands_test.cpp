// veltrano-cli sync and record against the receiver simulator on its
// pseudo-terminal: the search finds a receiver that speaks at another rate;
// a recording holds exactly what the simulator sent while the configuration
// and stop commands reach it in order, however the recording is ended; a
// receiver that goes quiet or away and comes back gives a second file; a full
// medium ends the recording with what fitted kept.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "cli_runner.h"
#include "decoding/transport_fields.h"
#include "receiver_log.h"
#include "sim_process.h"
#include "test_protocols.h"

namespace veltrano {
namespace {

using P = ReceiverProtocol;
using receiver_log::Bytes;
using sim::ChildProcess;
using sim::ScratchDir;
using sim::SimProcess;
using test::protocolOption;
using test::protocolTitle;
using test::recordExtension;

constexpr int kGuardMs = 30000;  // only a failing test waits this long

// A scratch folder with the simulated receiver's terminal linked in it, and the
// folder the recordings go into.
class LiveCli {
 protected:
  // A receiver ABC12 that speaks at 19200 baud, its commands logged and what it
  // sends copied, with the options `more`. At that rate an NMEA receiver sends
  // only what the line carries with room to spare, so that its answers come at once.
  bool startReceiver(P protocol, const std::vector<std::string>& more = {}) {
    std::vector<std::string> options = {"--protocol", protocolOption(protocol), "--baud", "19200", "--rate", "5"};
    options.insert(options.end(), {"--device", "ABC12", "--firmware", "03.14", "--reopen", "--link", port});
    options.insert(options.end(), {"--log", scratch.file("commands.log"), "--copy", scratch.file("sent")});
    if (protocol == P::NMEA) options.insert(options.end(), {"--sentences", "GGA,RMC"});
    options.insert(options.end(), more.begin(), more.end());
    return receiver.start(options);
  }
  std::vector<receiver_log::LoggedCommand> logged() const {
    return receiver_log::readLog(scratch.file("commands.log"));
  }
  // What the receiver sent to the n-th opening of its terminal.
  Bytes sentTo(int opening) const { return sim::readWholeFile(scratch.file("sent." + std::to_string(opening))); }

  ScratchDir scratch;
  const std::string port = scratch.file("gps7");
  const std::string dir = scratch.file("out");
  SimProcess receiver;
};

template <typename Case>
class LiveCliTest : public LiveCli, public ::testing::TestWithParam<Case> {};

// ---- sync ----

struct SyncCase {
  P protocol;
  const char* foundBaud;  // what sync prints: the rate the receiver speaks at afterwards
  // The first command the receiver understood: asked at its own rate to move to 115200.
  Bytes firstUnderstood;
};

void PrintTo(const SyncCase& c, std::ostream* out) { *out << protocolOption(c.protocol); }

class SyncTest : public LiveCliTest<SyncCase> {};

TEST_P(SyncTest, FindsTheReceiverAtAnotherRateThanTheOneGiven) {
  const SyncCase& s = GetParam();
  ASSERT_TRUE(startReceiver(s.protocol));

  const test::CliRun run =
      test::runCli(std::string("sync --port ") + port + " --protocol " + protocolOption(s.protocol) + " --baud 115200");
  EXPECT_EQ(run.status, 0);
  ASSERT_EQ(run.lines.size(), 1u) << run.output;
  const std::string& json = run.lines[0];
  EXPECT_EQ(test::jsonText(json, "port"), port);
  EXPECT_EQ(test::jsonText(json, "protocol"), protocolOption(s.protocol));
  EXPECT_EQ(test::jsonNumber(json, "baud"), std::stod(s.foundBaud));
  EXPECT_EQ(test::jsonText(json, "device").rfind("ABC12 03.14", 0), 0u) << json;
  EXPECT_NE(json.find("\"ok\":true"), std::string::npos) << json;
  ASSERT_FALSE(logged().empty());
  EXPECT_EQ(logged().front().hex, sim::hexOf(s.firstUnderstood));
}

// BINR2: move to `baud`.
Bytes binr2RateRequest(int32_t baud) {
  return receiver_log::binr2Command(
      {0x02, 0x00, 0x00, uint8_t(baud), uint8_t(baud >> 8), uint8_t(baud >> 16), uint8_t(baud >> 24)});
}

INSTANTIATE_TEST_SUITE_P(Protocols, SyncTest,
                         ::testing::Values(SyncCase{P::NMEA, "19200", receiver_log::textBytes("$POVER*5E\r\n")},
                                           SyncCase{P::BINR, "115200", test::binrFrame(0x26, {})},
                                           SyncCase{P::BINR2, "115200", binr2RateRequest(115200)}),
                         [](const ::testing::TestParamInfo<SyncCase>& info) {
                           return protocolTitle(info.param.protocol);
                         });

struct NoReceiverCase {
  const char* name;
  bool receiverMute;  // a simulator that never answers, else no port at all
};

void PrintTo(const NoReceiverCase& c, std::ostream* out) { *out << c.name; }

class NoReceiverTest : public LiveCliTest<NoReceiverCase> {};

TEST_P(NoReceiverTest, ExitsWithConnectionFailed) {
  if (GetParam().receiverMute) {
    ASSERT_TRUE(startReceiver(P::BINR, {"--silent-after", "0"}));
  }
  const std::string searched = GetParam().receiverMute ? port : "/nonexistent/tty0";
  const test::CliRun run = test::runCli("sync --port " + searched + " --protocol binr", true);
  EXPECT_EQ(run.status, 1);
  ASSERT_EQ(run.lines.size(), 2u) << run.output;
  EXPECT_NE(run.lines[0].find("\"device\":\"unknown\",\"ok\":false"), std::string::npos) << run.lines[0];
  EXPECT_EQ(run.lines[1], "veltrano-cli: Connection failed");
}

INSTANTIATE_TEST_SUITE_P(Receivers, NoReceiverTest,
                         ::testing::Values(NoReceiverCase{"NoPort", false}, NoReceiverCase{"MuteReceiver", true}),
                         [](const ::testing::TestParamInfo<NoReceiverCase>& info) { return info.param.name; });

// ---- record ----

// The recording equals what the simulator sent to that opening of its terminal,
// all but what it sent within `slack` bytes before the port was purged on
// opening, or after the reader stopped at the end.
::testing::AssertionResult sameAsSent(const Bytes& recorded, const Bytes& sent, size_t slack) {
  if (recorded.empty()) return ::testing::AssertionFailure() << "nothing recorded of " << sent.size() << " bytes";
  for (size_t head = 0; head <= slack && head + recorded.size() <= sent.size(); ++head) {
    if (!std::equal(recorded.begin(), recorded.end(), sent.begin() + long(head))) continue;
    const size_t tail = sent.size() - head - recorded.size();
    if (tail <= slack) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << tail << " bytes sent at the end are missing";
  }
  return ::testing::AssertionFailure() << "the " << recorded.size() << " bytes recorded are not the " << sent.size()
                                       << " sent";
}

// What the line carries in a tenth of a second at the rate the recording runs at:
// the one found for NMEA, the one the binary receivers were moved to.
size_t tenthOfASecond(P protocol) { return size_t((protocol == P::NMEA ? 19200 : 115200) / 100); }

// One JSON line of the record command.
struct Event {
  std::string event, kind, file, text;
  double bytes = 0;
};

Event eventOf(const std::string& line) {
  return {test::jsonText(line, "event"), test::jsonText(line, "kind"), test::jsonText(line, "file"),
          test::jsonText(line, "text"), test::jsonNumber(line, "bytes")};
}

// veltrano-cli record as a child process, its lines read as they come.
class RecordRun {
 public:
  bool start(const std::vector<std::string>& args) {
    std::vector<std::string> all = {"record"};
    all.insert(all.end(), args.begin(), args.end());
    return process_.startProgram(VELTRANO_CLI_PATH, all);
  }
  // Reads lines until one is `event` for `kind`; false when the time is up.
  bool waitFor(const std::string& event, const std::string& kind, int timeoutMs) {
    for (std::string line; process_.readLine(line, timeoutMs);) {
      events.push_back(eventOf(line));
      if (events.back().event == event && events.back().kind == kind) return true;
    }
    return false;
  }
  // Reads on for `ms` milliseconds, then sends `signal`.
  void signalAfter(int ms, int signal) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (std::string line; std::chrono::steady_clock::now() < until;)
      if (process_.readLine(line, 50)) events.push_back(eventOf(line));
    process_.sendSignal(signal);
  }
  // Reads the rest; the exit status, or -1 when it did not end in time.
  int finish(int timeoutMs) {
    for (std::string line; process_.readLine(line, timeoutMs);) events.push_back(eventOf(line));
    int status = 0;
    if (!process_.waitExit(timeoutMs, status)) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::vector<Event> filesOf(const std::string& kind) const {
    std::vector<Event> files;
    for (const Event& e : events)
      if (e.kind == kind) files.push_back(e);
    return files;
  }
  bool showed(const std::string& text) const {
    return std::any_of(events.begin(), events.end(), [&](const Event& e) { return e.text == text; });
  }

  std::vector<Event> events;

 private:
  ChildProcess process_;
};

// The file names of a recording: in the folder given, the receiver's name
// ABC12, "_c" and the port's part, the time stamp and the protocol's extension.
void expectRecordName(const std::string& file, const std::string& dir, P protocol) {
  const std::regex name("ABC12_c[^/]*_20[0-9]{6}_[0-9]{6}\\" + std::string(recordExtension(protocol)));
  EXPECT_EQ(std::filesystem::path(file).parent_path(), dir) << file;
  EXPECT_TRUE(std::regex_match(std::filesystem::path(file).filename().string(), name)) << file;
}

struct RecordCase {
  P protocol;
  int stopSignal;  // 0: --duration 5
  bool rawData;
};

void PrintTo(const RecordCase& c, std::ostream* out) { *out << protocolOption(c.protocol); }

class RecordTest : public LiveCliTest<RecordCase> {};

TEST_P(RecordTest, FileHoldsWhatTheConfiguredReceiverSent) {
  const RecordCase& r = GetParam();
  ASSERT_TRUE(startReceiver(r.protocol));

  RecordRun run;
  std::vector<std::string> args = {"--port", port, "--protocol", protocolOption(r.protocol), "--dir", dir};
  if (r.rawData) args.push_back("--raw-data");
  if (!r.stopSignal) args.insert(args.end(), {"--duration", "5"});
  ASSERT_TRUE(run.start(args));
  ASSERT_TRUE(run.waitFor("opened", "record", kGuardMs));
  if (r.stopSignal) run.signalAfter(5000, r.stopSignal);
  EXPECT_EQ(run.finish(kGuardMs), 0);

  EXPECT_TRUE(run.showed("Connection Ok"));
  const std::vector<Event> records = run.filesOf("record");
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].event, "opened");
  EXPECT_EQ(records[1].event, "closed");
  EXPECT_EQ(records[1].file, records[0].file);
  expectRecordName(records[0].file, dir, r.protocol);
  const Bytes recorded = sim::readWholeFile(records[0].file);
  EXPECT_EQ(records[1].bytes, double(recorded.size()));
  // Five seconds at five solutions a second; the search took the first opening.
  EXPECT_GT(recorded.size(), 2000u);
  EXPECT_TRUE(sameAsSent(recorded, sentTo(2), tenthOfASecond(r.protocol)));

  const std::vector<Event> conversions = run.filesOf("conversion");
  if (r.protocol == P::NMEA) {
    EXPECT_TRUE(conversions.empty());
  } else {
    ASSERT_EQ(conversions.size(), 2u);
    EXPECT_EQ(conversions[1].event, "closed");
    EXPECT_EQ(conversions[1].file, records[0].file.substr(0, records[0].file.rfind('.')) + ".nme");
    EXPECT_GT(conversions[1].bytes, 0);
    EXPECT_EQ(conversions[1].bytes, double(std::filesystem::file_size(conversions[1].file)));
  }

  // After the search's commands, Record's configuration and then Stop's commands, in order.
  const std::vector<receiver_log::LoggedCommand> expected = receiver_log::recordLog(r.protocol, r.rawData);
  const std::vector<receiver_log::LoggedCommand> all = logged();
  ASSERT_GT(all.size(), expected.size());
  EXPECT_EQ(std::vector(all.end() - long(expected.size()), all.end()), expected);
}

INSTANTIATE_TEST_SUITE_P(Protocols, RecordTest,
                         ::testing::Values(RecordCase{P::NMEA, 0, false}, RecordCase{P::BINR, SIGINT, false},
                                           RecordCase{P::BINR2, SIGTERM, true}),
                         [](const ::testing::TestParamInfo<RecordCase>& info) {
                           return protocolTitle(info.param.protocol);
                         });

// ---- A receiver that goes and comes back ----

struct ResumeCase {
  const char* name;
  P protocol;
  // How the receiver goes away, 3 s after the search first opened its terminal, and comes back.
  std::vector<std::string> fault;
};

void PrintTo(const ResumeCase& c, std::ostream* out) { *out << c.name; }

class ResumeTest : public LiveCliTest<ResumeCase> {};

TEST_P(ResumeTest, RecordingResumesIntoASecondFile) {
  const ResumeCase& r = GetParam();
  ASSERT_TRUE(startReceiver(r.protocol, r.fault));

  RecordRun run;
  ASSERT_TRUE(run.start({"--port", port, "--protocol", protocolOption(r.protocol), "--dir", dir}));
  ASSERT_TRUE(run.waitFor("opened", "record", kGuardMs));
  // However long the search takes until the receiver answers again.
  ASSERT_TRUE(run.waitFor("opened", "record", kGuardMs));
  run.signalAfter(2000, SIGTERM);
  EXPECT_EQ(run.finish(kGuardMs), 0);

  const std::vector<Event> records = run.filesOf("record");
  ASSERT_EQ(records.size(), 4u);
  const std::vector<std::string> order = {records[0].event, records[1].event, records[2].event, records[3].event};
  EXPECT_EQ(order, (std::vector<std::string>{"opened", "closed", "opened", "closed"}));
  EXPECT_EQ(records[1].file, records[0].file);
  EXPECT_EQ(records[3].file, records[2].file);
  EXPECT_NE(records[2].file, records[0].file);
  // The openings of the terminal: the first search, the first recording, the
  // search once the receiver was back, the second recording.
  for (const int file : {0, 1}) {
    SCOPED_TRACE(file);
    expectRecordName(records[2 * file].file, dir, r.protocol);
    const Bytes recorded = sim::readWholeFile(records[2 * file].file);
    EXPECT_EQ(records[2 * file + 1].bytes, double(recorded.size()));
    EXPECT_TRUE(sameAsSent(recorded, sentTo(2 + 2 * file), tenthOfASecond(r.protocol)));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ResumeTest,
    ::testing::Values(ResumeCase{"Silence", P::NMEA, {"--silent-after", "3", "--silent-for", "4"}},
                      ResumeCase{"Unplugged", P::BINR2, {"--unplug-after", "3", "--unplug-for", "3"}}),
    [](const ::testing::TestParamInfo<ResumeCase>& info) { return info.param.name; });

// ---- A receiver behind a serial-to-network server ----

class TcpRecordTest : public LiveCli, public ::testing::Test {};

// The address is a port like any other: no folder is put before it, the file is
// named after host and port, and it holds what the server sent.
TEST_F(TcpRecordTest, RecordsFromATcpPort) {
  SimProcess server;
  ASSERT_TRUE(server.start({"--protocol", "binr", "--baud", "19200", "--rate", "5", "--device", "ABC12", "--firmware",
                            "03.14", "--tcp", "0", "--copy", scratch.file("sent")}));
  const std::string url = server.terminalPath();
  ASSERT_EQ(url.rfind("tcp://127.0.0.1:", 0), 0u) << url;
  const std::string portPart = "127-0-0-1-" + url.substr(url.rfind(':') + 1);

  RecordRun run;
  ASSERT_TRUE(run.start({"--port", url, "--protocol", "binr", "--dir", dir, "--duration", "3"}));
  ASSERT_TRUE(run.waitFor("opened", "record", kGuardMs));
  EXPECT_EQ(run.finish(kGuardMs), 0);

  const std::vector<Event> records = run.filesOf("record");
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[1].event, "closed");
  expectRecordName(records[0].file, dir, P::BINR);
  EXPECT_EQ(std::filesystem::path(records[0].file).filename().string().rfind("ABC12_c" + portPart + "_", 0), 0u)
      << records[0].file;
  const Bytes recorded = sim::readWholeFile(records[0].file);
  EXPECT_EQ(records[1].bytes, double(recorded.size()));
  EXPECT_GT(recorded.size(), 1000u);
  // The search was the first connection, the recording the second.
  EXPECT_TRUE(sameAsSent(recorded, sentTo(2), tenthOfASecond(P::BINR)));
}

// ---- A full medium ----

class FullMediumTest : public LiveCli, public ::testing::Test {};

TEST_F(FullMediumTest, AFullDiskEndsTheRecordingKeepingWhatFitted) {
  ASSERT_TRUE(startReceiver(P::NMEA));
  // Files of at most 2 blocks (1 or 2 KiB by the shell's block); the signal of a
  // write beyond is ignored, so the write comes back short.
  const test::CliRun run = test::runCommand("trap '' XFSZ; ulimit -f 2; exec " + std::string(VELTRANO_CLI_PATH) +
                                            " record --port " + port + " --dir " + dir + " 2>&1");
  EXPECT_EQ(run.status, 1);
  ASSERT_FALSE(run.lines.empty());
  EXPECT_EQ(run.lines.back(), "veltrano-cli: Disk is full");
  std::vector<Event> records;
  bool diskFull = false;
  for (const std::string& line : run.lines) {
    const Event e = eventOf(line);
    if (e.kind == "record") records.push_back(e);
    diskFull = diskFull || e.text == "Disk is full";
  }
  EXPECT_TRUE(diskFull);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[1].event, "closed");
  const Bytes recorded = sim::readWholeFile(records[1].file);
  EXPECT_EQ(records[1].bytes, double(recorded.size()));
  EXPECT_GE(recorded.size(), 1024u);
  const Bytes sent = sentTo(2);
  ASSERT_GT(sent.size(), recorded.size());
  // What fitted is what came first, from the opening on.
  const size_t slack = tenthOfASecond(P::NMEA);
  EXPECT_TRUE(sameAsSent(recorded, Bytes(sent.begin(), sent.begin() + long(recorded.size() + slack)), slack));
}

// A standard output that takes nothing is reported once; the recording goes on
// to its end regardless.
TEST_F(FullMediumTest, AFullStandardOutputKeepsTheRecording) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  ASSERT_TRUE(startReceiver(P::BINR));
  const test::CliRun run =
      test::runCliInto("record --port " + port + " --protocol binr --dir " + dir + " --duration 2 --stats",
                       "/dev/full");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.output, "veltrano-cli: cannot write standard output: No space left on device\n");
  std::vector<std::filesystem::path> records;
  for (const auto& entry : std::filesystem::directory_iterator(dir))
    if (entry.path().extension() == ".dat") records.push_back(entry.path());
  ASSERT_EQ(records.size(), 1u);
  EXPECT_TRUE(sameAsSent(sim::readWholeFile(records[0]), sentTo(2), tenthOfASecond(P::BINR)));
  ASSERT_FALSE(logged().empty());
  EXPECT_EQ(logged().back().hex, receiver_log::binr(0x0E));
}

}  // namespace
}  // namespace veltrano
