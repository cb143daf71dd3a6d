// The main window against the receiver simulator on a pseudo-terminal: the search
// finds a receiver that speaks at another rate and names the record file after it;
// Record stores exactly what the receiver sent after configuring it in order (on
// its TCP port too); the watchdog restarts a recording whose receiver fell silent
// for a while.
#include <gtest/gtest.h>

#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QInputDialog>
#include <QTimer>
#include <QThread>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "../decoding/test_frames.h"
#include "../link/pty_fixture.h"
#include "decoding/message_fan_out.h"
#include "decoding/nmea_kind.h"
#include "link/recording.h"
#include "link/serial_link.h"
#include "link/synchronisation.h"
#include "live_receiver.h"
#include "main_form_probe.h"
#include "mainwindow/app_context.h"
#include "mainwindow/main_form.h"
#include "receiver_log.h"
#include "sim_process.h"
#include "stream_check.h"
#include "test_protocols.h"

namespace veltrano::live {
namespace {

// ---- Synchronise ----

struct SearchCase {
  const char* name;
  P protocol;
  const char* selected;
  const char* receiverBaud;
  const char* foundBaud;  // BaudComboBox after the search
  // The commands the receiver understood, in order: it ignores those sent at other rates.
  std::vector<Bytes> understood;
};

void PrintTo(const SearchCase& c, std::ostream* out) { *out << c.name; }

class SynchroniseTest : public LiveReceiverTest, public ::testing::WithParamInterface<SearchCase> {};

TEST_P(SynchroniseTest, FindsTheReceiverAtItsRateAndNamesTheFileAfterIt) {
  const SearchCase& s = GetParam();
  SimProcess receiver;
  ASSERT_TRUE(
      receiver.start({"--protocol", optionName(s.protocol), "--baud", s.receiverBaud, "--rate", "5", "--sentences",
                      "GGA", "--device", "ABC12", "--firmware", "03.14", "--link", portLink(), "--log", log()}));
  select(s.protocol, s.selected, relativePort());
  app.transport.recordAfterSync = false;

  c().synchroButton->click();
  ASSERT_EQ(app.transport.transportState, S::SYNC);
  EXPECT_TRUE(test::serveUntil([&] { return app.transport.transportState != S::SYNC; }, kGuardMs));

  EXPECT_EQ(app.transport.transportState, S::STOP);
  EXPECT_EQ(c().infoLabel->text(), QStringLiteral("Connection Ok"));
  EXPECT_TRUE(c().deviceLabel->text().startsWith(QStringLiteral("ABC12 03.14")))
      << c().deviceLabel->text().toStdString();
  EXPECT_EQ(c().fileLabel->text().toStdString(), "ABC12_c" + portNumber + extension(s.protocol));
  EXPECT_EQ(c().baudComboBox->currentText().toStdString(), s.foundBaud);
  EXPECT_FALSE(c().synchroTimer->isActive());
  EXPECT_FALSE(app.serialLink->isOpen());
  grabIfAsked(form(), std::string("synchronised_") + s.name);

  // The identification request may go out again before its answer is in.
  std::vector<LoggedCommand> expected;
  for (const Bytes& command : s.understood)
    expected.push_back({hexOf(command), command == s.understood.back() ? "answered" : "accepted"});
  if (s.protocol != P::NMEA) expected[expected.size() - 2].verdict = "answered";
  std::vector<LoggedCommand> logged = readLog(log());
  while (logged.size() > expected.size() && logged.back() == expected.back()) logged.pop_back();
  EXPECT_EQ(logged, expected);
}

Bytes binrRateRequest(int32_t baud) {
  Bytes data{0x00};
  for (uint8_t b : le32(baud)) data.push_back(b);
  data.push_back(0x04);
  return test::binrFrame(0x0B, data);
}

Bytes binr2RateRequest(int32_t baud) {
  Bytes data{0x02, 0x00, 0x00};
  for (uint8_t b : le32(baud)) data.push_back(b);
  return binr2Command(data);
}

INSTANTIATE_TEST_SUITE_P(
    Protocols, SynchroniseTest,
    ::testing::Values(SearchCase{"Nmea", P::NMEA, "9600", "19200", "19200", {textBytes("$POVER*5E\r\n")}},
                      SearchCase{"Binr",
                                 P::BINR,
                                 "115200",
                                 "19200",
                                 "115200",
                                 {test::binrFrame(0x26, {}), binrRateRequest(115200), test::binrFrame(0x1B, {})}},
                      SearchCase{"Binr2",
                                 P::BINR2,
                                 "115200",
                                 "19200",
                                 "115200",
                                 {binr2RateRequest(115200), binr2Command({0x01, 0xC0, 0x01, 0x00, 0x00})}}),
    [](const ::testing::TestParamInfo<SearchCase>& info) { return std::string(info.param.name); });

// The receiver's identification ends the search inside the serial reader's hand-off;
// a recording that the watchdog stopped starts again from there.
TEST_F(LiveReceiverTest, FoundReceiverResumesARecording) {
  SimProcess receiver;
  ASSERT_TRUE(receiver.start({"--protocol", "binr2", "--baud", "115200", "--rate", "10", "--device", "ABC12",
                              "--reopen", "--link", portLink()}));
  select(P::BINR2, "115200", relativePort());
  app.transport.recordAfterSync = true;
  app.synchronisation->SynchroButtonClick(false);
  ASSERT_EQ(app.transport.transportState, S::SYNC);
  EXPECT_TRUE(test::serveUntil([&] { return app.transport.transportState != S::SYNC; }, kGuardMs));

  EXPECT_EQ(app.transport.transportState, S::REC);
  EXPECT_FALSE(app.transport.recordAfterSync);
  EXPECT_FALSE(c().synchroTimer->isActive());
  EXPECT_TRUE(c().watchTimer->isActive());
  const std::string name = "ABC12_c" + portNumber + "_20240501_100000.b2";
  EXPECT_EQ(c().fileLabel->text().toStdString(), name);
  EXPECT_TRUE(test::serveUntil([&] { return countOf(sim::readWholeFile(name), P::BINR2, 0x90) >= 3; }, kGuardMs));
  // The wait before recording, then the first of Record's configuration waits.
  const auto wait = std::find(events.begin(), events.end(), "sleep 500");
  ASSERT_NE(wait, events.end());
  ASSERT_GE(events.end() - wait, 2);
  EXPECT_EQ(wait[1], "sleep 50");
}

// ---- A port chosen by its path ----

struct PathCase {
  const char* name;
  bool fromCommandLine;  // else typed through "Other…"
  P protocol;
  int epochId;
};

void PrintTo(const PathCase& c, std::ostream* out) { *out << c.name; }

class PortPathTest : public LiveReceiverTest, public ::testing::WithParamInterface<PathCase> {};

// A pseudo-terminal's own path, typed in the port list or given with --port, is
// searched, named in the record name ("pts7") and recorded from.
TEST_P(PortPathTest, SynchronisesAndRecords) {
  const PathCase& p = GetParam();
  SimProcess receiver;
  ASSERT_TRUE(receiver.start({"--protocol", optionName(p.protocol), "--baud", "19200", "--rate", "10", "--sentences",
                              "GGA", "--device", "ABC12", "--firmware", "03.14", "--reopen"}));
  const QString path = QString::fromStdString(receiver.terminalPath());
  if (p.fromCommandLine) {
    form().setStartLink({path, 115200, p.protocol});
    form().show();
  } else {
    app.transport.receiverProtocol = p.protocol;
    c().protComboBox->setCurrentIndex(int(p.protocol));
    c().baudComboBox->setCurrentIndex(c().baudComboBox->findText(QStringLiteral("115200")));
    QTimer::singleShot(0, [path] {
      auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      dialog->setTextValue(path);
      dialog->accept();
    });
    c().portComboBox->showPopup();
    c().portComboBox->hidePopup();
    const int other = c().portComboBox->count() - 1;
    c().portComboBox->setCurrentIndex(other);
    emit c().portComboBox->activated(other);
  }
  EXPECT_EQ(form().portName(), path);
  EXPECT_EQ(c().protComboBox->currentIndex(), int(p.protocol));
  EXPECT_EQ(app.transport.receiverProtocol, p.protocol);
  EXPECT_EQ(c().baudComboBox->currentText(), QStringLiteral("115200"));

  app.transport.recordAfterSync = false;
  c().synchroButton->click();
  EXPECT_TRUE(test::serveUntil([&] { return app.transport.transportState != S::SYNC; }, kGuardMs));
  EXPECT_EQ(c().infoLabel->text(), QStringLiteral("Connection Ok"));
  const std::string port = "pts" + receiver.terminalPath().substr(receiver.terminalPath().rfind('/') + 1);
  EXPECT_EQ(c().fileLabel->text().toStdString(), "ABC12_c" + port + extension(p.protocol));

  c().recordButton->click();
  ASSERT_EQ(app.transport.transportState, S::REC);
  const std::string name = "ABC12_c" + port + "_20240501_100000" + extension(p.protocol);
  EXPECT_EQ(c().fileLabel->text().toStdString(), name);
  EXPECT_TRUE(test::serveUntil([&] { return countOf(sim::readWholeFile(name), p.protocol, p.epochId) >= 3; },
                               kGuardMs));
  c().stopButton->click();
  EXPECT_EQ(app.transport.transportState, S::STOP);
  EXPECT_EQ(cut(sim::readWholeFile(name), p.protocol).errors, 0);
}

INSTANTIATE_TEST_SUITE_P(Ways, PortPathTest,
                         ::testing::Values(PathCase{"TypedInThePortList", false, P::NMEA, int(NmeaKind::GGA)},
                                           PathCase{"GivenOnTheCommandLine", true, P::BINR2, 0x90}),
                         [](const ::testing::TestParamInfo<PathCase>& info) { return std::string(info.param.name); });

// ---- Protocol switching ----

struct SwitchCase {
  const char* name;
  P from, to;
};

void PrintTo(const SwitchCase& c, std::ostream* out) { *out << c.name; }

class ProtocolSwitchLiveTest : public LiveReceiverTest, public ::testing::WithParamInterface<SwitchCase> {};

// The receiver takes the switch command and speaks the chosen protocol, where a
// Synchronise then finds it.
TEST_P(ProtocolSwitchLiveTest, ReceiverSpeaksTheChosenProtocolAndIsFound) {
  const SwitchCase& s = GetParam();
  SimProcess receiver;
  ASSERT_TRUE(receiver.start({"--protocol", optionName(s.from), "--baud", "115200", "--rate", "5", "--device",
                              "ABC12", "--reopen", "--link", portLink(), "--log", log()}));
  select(s.from, "115200", relativePort());
  // The port stays open for the switch's wait, so that the receiver reads the command.
  realWaits = true;
  c().protComboBox->setCurrentIndex(int(s.to));
  emit c().protComboBox->activated(int(s.to));
  ASSERT_EQ(app.transport.receiverProtocol, s.to);
  EXPECT_TRUE(test::serveUntil([&] { return !readLog(log()).empty(); }, kGuardMs));
  const std::vector<LoggedCommand> logged = readLog(log());
  ASSERT_FALSE(logged.empty());
  EXPECT_NE(logged.front().verdict, "rejected");
  EXPECT_NE(logged.front().verdict, "unknown");

  app.transport.recordAfterSync = false;
  c().synchroButton->click();
  EXPECT_TRUE(test::serveUntil([&] { return app.transport.transportState != S::SYNC; }, kGuardMs));
  EXPECT_EQ(c().infoLabel->text(), QStringLiteral("Connection Ok"));
  EXPECT_TRUE(c().deviceLabel->text().startsWith(QStringLiteral("ABC12")));
}

INSTANTIATE_TEST_SUITE_P(Pairs, ProtocolSwitchLiveTest,
                         ::testing::Values(SwitchCase{"NmeaToBinr", P::NMEA, P::BINR},
                                           SwitchCase{"NmeaToBinr2", P::NMEA, P::BINR2},
                                           SwitchCase{"BinrToNmea", P::BINR, P::NMEA},
                                           SwitchCase{"BinrToBinr2", P::BINR, P::BINR2},
                                           SwitchCase{"Binr2ToBinr", P::BINR2, P::BINR},
                                           SwitchCase{"Binr2ToNmea", P::BINR2, P::NMEA}),
                         [](const ::testing::TestParamInfo<SwitchCase>& info) { return std::string(info.param.name); });

// ---- Record ----

struct RecordCase {
  const char* name;
  P protocol;
  bool debugData;
  // Record's commands and waits, then Stop's; the program notes the waits, the
  // receiver logs the commands.
  std::vector<std::string> events;
  // The commands as the receiver logged them, Stop's included.
  std::vector<LoggedCommand> logged;
  // The receiver is reached at its TCP port rather than its terminal.
  bool overTcp = false;
};

void PrintTo(const RecordCase& c, std::ostream* out) { *out << c.name; }

class RecordTest : public LiveReceiverTest, public ::testing::WithParamInterface<RecordCase> {};

TEST_P(RecordTest, StoresExactlyWhatTheConfiguredReceiverSent) {
  const RecordCase& r = GetParam();
  const std::vector<std::string> options = {"--protocol", optionName(r.protocol),
                                            "--baud",     "115200",
                                            "--rate",     "10",
                                            "--duration", "0.5",
                                            "--seed",     "7",
                                            "--device",   "ABC12"};
  std::vector<std::string> writeOptions = options;
  writeOptions.insert(writeOptions.end(), {"--write", scratch.file("sent")});
  ASSERT_TRUE(sim::runSimToCompletion(writeOptions));
  const Pieces sent = cut(sim::readWholeFile(scratch.file("sent")), r.protocol);
  ASSERT_GT(sent.pieces.size(), 5u);

  std::vector<std::string> liveOptions = options;
  liveOptions.insert(liveOptions.end(), {"--log", log()});
  if (r.overTcp) liveOptions.insert(liveOptions.end(), {"--tcp", "0"});
  SimProcess receiver;
  ASSERT_TRUE(receiver.start(liveOptions));
  select(r.protocol, "115200", receiver.terminalPath());
  c().rawDataCheckBox->setChecked(r.debugData);
  c().fileLabel->setCaption(QString::fromLatin1("rec") + QString::fromLatin1(extension(r.protocol)));

  c().recordButton->setEnabled(true);
  c().recordButton->click();
  ASSERT_EQ(app.transport.transportState, S::REC);
  const std::string name = std::string("rec_20240501_100000") + extension(r.protocol);
  EXPECT_EQ(c().fileLabel->text().toStdString(), name);
  // Every epoch of the run and the answer to the identification request.
  EXPECT_TRUE(test::serveUntil(
      [&] { return cut(sim::readWholeFile(name), r.protocol).pieces.size() >= sent.pieces.size() + 1; }, kGuardMs));
  grabIfAsked(form(), std::string("recording_") + r.name);
  // Stop waits before it closes the port, so that its closing commands reach the receiver.
  realWaits = true;
  c().stopButton->click();
  // The receiver has read everything once the terminal's other side is gone, and
  // once the commands are all in the log of a receiver that waits for the next client.
  int status = 0;
  if (r.overTcp) {
    EXPECT_TRUE(test::serveUntil([&] { return readLog(log()).size() >= r.logged.size(); }, kGuardMs));
  } else {
    EXPECT_TRUE(receiver.waitExit(kGuardMs, status));
  }

  const Pieces recorded = cut(sim::readWholeFile(name), r.protocol);
  EXPECT_EQ(recorded.errors, 0);
  std::vector<int> inserted;
  size_t matched = 0;
  for (size_t i = 0; i < recorded.pieces.size(); ++i) {
    if (matched < sent.pieces.size() && recorded.pieces[i] == sent.pieces[matched]) {
      ++matched;
    } else {
      inserted.push_back(recorded.ids[i]);
    }
  }
  EXPECT_EQ(matched, sent.pieces.size());
  EXPECT_EQ(inserted, std::vector<int>{identificationId(r.protocol)});
  EXPECT_EQ(recorded.rest, sent.rest);

  std::vector<std::string> waits;
  for (const std::string& e : r.events)
    if (e.rfind("sleep", 0) == 0) waits.push_back(e);
  EXPECT_EQ(events, waits);
  EXPECT_EQ(readLog(log()), r.logged);
  if (r.protocol != P::NMEA) {
    EXPECT_GT(std::filesystem::file_size("rec_20240501_100000.nme"), 0u);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Protocols, RecordTest,
    ::testing::Values(RecordCase{"Nmea", P::NMEA, false, {}, nmeaRecordLog()},
                      RecordCase{"Binr", P::BINR, false, binrRecordEvents(false), binrRecordLog(false)},
                      RecordCase{"BinrDebugData", P::BINR, true, binrRecordEvents(true), binrRecordLog(true)},
                      RecordCase{"Binr2", P::BINR2, false, binr2RecordEvents(false), binr2RecordLog(false)},
                      RecordCase{"Binr2DebugData", P::BINR2, true, binr2RecordEvents(true), binr2RecordLog(true)}),
    [](const ::testing::TestParamInfo<RecordCase>& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    OverTcp, RecordTest,
    ::testing::Values(RecordCase{"Nmea", P::NMEA, false, {}, {{hexOf(textBytes("$POVER*5E\r\n")), "answered"}}, true},
                      RecordCase{"Binr", P::BINR, false, binrRecordEvents(false), binrRecordLog(false), true},
                      RecordCase{"Binr2DebugData", P::BINR2, true, binr2RecordEvents(true), binr2RecordLog(true),
                                 true}),
    [](const ::testing::TestParamInfo<RecordCase>& info) { return std::string(info.param.name); });

// ---- The watchdog ----

struct ResumeCase {
  const char* name;
  P protocol;
  // How the receiver goes away and comes back, 0.6 s into the recording.
  std::vector<std::string> fault;
  // Search cycles that fail before it answers again.
  bool waitsForIt;
  // The receiver is reached at its TCP port rather than its terminal.
  bool overTcp = false;
};

void PrintTo(const ResumeCase& c, std::ostream* out) { *out << c.name; }

class ResumeTest : public LiveReceiverTest, public ::testing::WithParamInterface<ResumeCase> {};

// The watchdog stops a silent recording and searches until the receiver is back,
// however long that takes, then records into a new file.
TEST_P(ResumeTest, RecordingResumesIntoANewFileWhenTheReceiverIsBack) {
  const ResumeCase& r = GetParam();
  std::vector<std::string> options = {"--protocol", optionName(r.protocol), "--baud", "115200"};
  options.insert(options.end(), {"--rate", "10", "--device", "ABC12"});
  if (r.overTcp) {
    options.insert(options.end(), {"--tcp", "0"});
  } else {
    options.insert(options.end(), {"--reopen", "--link", portLink()});
  }
  if (r.protocol == P::NMEA) options.insert(options.end(), {"--sentences", "GGA"});
  options.insert(options.end(), r.fault.begin(), r.fault.end());
  SimProcess receiver;
  ASSERT_TRUE(receiver.start(options));
  const std::string port = r.overTcp ? receiver.terminalPath() : relativePort();
  select(r.protocol, "115200", port);
  const char* ext = extension(r.protocol);
  c().fileLabel->setCaption(QString::fromLatin1("rec") + QString::fromLatin1(ext));
  // Three silent ticks of 200 ms instead of three seconds.
  c().watchTimer->setInterval(200);
  c().recordButton->setEnabled(true);
  c().recordButton->click();
  ASSERT_EQ(app.transport.transportState, S::REC);

  const std::string first = std::string("rec_20240501_100000") + ext;
  const std::string second = "ABC12_c" + recordPortPart(port) + "_20240501_100100" + ext;
  bool waited = false;
  const int guardMs = r.waitsForIt ? 30000 : kGuardMs;
  EXPECT_TRUE(test::serveUntil(
      [&] {
        waited = waited || c().infoLabel->text() == QStringLiteral("Waiting for the receiver...");
        return std::filesystem::exists(second);
      },
      guardMs));
  EXPECT_EQ(waited, r.waitsForIt);
  EXPECT_EQ(app.transport.transportState, S::REC);
  EXPECT_EQ(c().fileLabel->text().toStdString(), second);
  EXPECT_FALSE(app.transport.recordAfterSync);
  const int epochId = r.protocol == P::NMEA ? int(NmeaKind::GGA) : r.protocol == P::BINR ? 0x88 : 0x90;
  EXPECT_TRUE(test::serveUntil([&] { return countOf(sim::readWholeFile(second), r.protocol, epochId) >= 5; },
                               kGuardMs));
  EXPECT_EQ(c().infoLabel->text(), QStringLiteral("Receive..."));
  c().stopButton->click();

  // The first file holds what came before the silence, the second what came after.
  const Bytes before = sim::readWholeFile(first);
  EXPECT_GE(countOf(before, r.protocol, epochId), 3);
  EXPECT_EQ(cut(before, r.protocol).errors, 0);
  EXPECT_EQ(cut(sim::readWholeFile(second), r.protocol).errors, 0);
  EXPECT_TRUE(c().deviceLabel->text().startsWith(QStringLiteral("ABC12")));
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ResumeTest,
    ::testing::Values(ResumeCase{"ShortSilence", P::NMEA, {"--silent-after", "0.6", "--silent-for", "1"}, false},
                      // Longer than two whole searches at the binary tick.
                      ResumeCase{"LongSilence", P::BINR, {"--silent-after", "0.6", "--silent-for", "10"}, true},
                      ResumeCase{"UnpluggedAndBack", P::NMEA, {"--unplug-after", "0.6", "--unplug-for", "3"}, true}),
    [](const ::testing::TestParamInfo<ResumeCase>& info) { return std::string(info.param.name); });

// A dropped connection is an unplugged adapter: the watchdog notices the silence
// and the search connects again; a server that went away is waited for.
INSTANTIATE_TEST_SUITE_P(
    OverTcp, ResumeTest,
    ::testing::Values(
        ResumeCase{"DroppedConnection", P::BINR2, {"--drop-after", "0.6"}, false, true},
        ResumeCase{"ShortSilence", P::NMEA, {"--silent-after", "0.6", "--silent-for", "1"}, false, true},
        ResumeCase{"ServerAwayAndBack", P::BINR, {"--unplug-after", "0.6", "--unplug-for", "3"}, true, true}),
    [](const ::testing::TestParamInfo<ResumeCase>& info) { return std::string(info.param.name); });

// The user's Stop ends a search that waits for a receiver that never comes back.
TEST_F(LiveReceiverTest, StopEndsTheWaitForAReceiverThatIsGone) {
  SimProcess receiver;
  ASSERT_TRUE(receiver.start({"--protocol", "nmea", "--baud", "115200", "--rate", "10", "--sentences", "GGA",
                              "--device", "ABC12", "--reopen", "--link", portLink(), "--unplug-after", "0.6",
                              "--unplug-for", "1000"}));
  select(P::NMEA, "115200", relativePort());
  c().fileLabel->setCaption(QStringLiteral("rec.nme"));
  c().watchTimer->setInterval(200);
  c().recordButton->setEnabled(true);
  c().recordButton->click();
  ASSERT_EQ(app.transport.transportState, S::REC);
  ASSERT_TRUE(test::serveUntil(
      [&] { return c().infoLabel->text() == QStringLiteral("Waiting for the receiver..."); }, kGuardMs));
  EXPECT_EQ(app.transport.transportState, S::SYNC);
  EXPECT_TRUE(c().stopButton->isEnabled());
  c().stopButton->click();
  EXPECT_EQ(app.transport.transportState, S::STOP);
  EXPECT_FALSE(app.transport.recordAfterSync);
  EXPECT_FALSE(app.serialLink->isOpen());
  // No later tick starts anything again.
  test::serveFor(1500);
  EXPECT_EQ(app.transport.transportState, S::STOP);
  EXPECT_FALSE(app.serialLink->isOpen());
}

}  // namespace
}  // namespace veltrano::live
