// Record on a pseudo-terminal: the time-stamped and never reused name, what
// Record sets up, every byte in the file as soon as the reader has it, and the
// ways a recording ends on a full or vanished medium.
#include "link/recording.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QTemporaryDir>
#include <QThread>
#include <filesystem>
#include <string>
#include <vector>

#include "../link/forbidden_port.h"
#include "../link/pty_fixture.h"
#include "link/serial_link.h"
#include "displays/snr_form.h"
#include "displays/visual_form.h"
#include "mainwindow/app_context.h"
#include "mainwindow/display_router.h"
#include "mainwindow/main_form.h"
#include "main_form_probe.h"
#include "sim_process.h"

namespace veltrano {
namespace {

using S = TransportState;
using sim::readWholeFile;
using sim::ScratchDir;

const QDateTime kStart(QDate(2024, 5, 1), QTime(10, 0, 0));

std::vector<uint8_t> pattern(size_t count, uint64_t from = 0) {
  std::vector<uint8_t> bytes(count);
  for (size_t i = 0; i < count; ++i) bytes[i] = test::patternByte(from + i);
  return bytes;
}

// Descriptors of this process that refer to `path`.
int descriptorsOn(const std::string& path) {
  int count = 0;
  std::error_code ignored;
  const auto target = std::filesystem::canonical(path, ignored);
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    if (std::filesystem::read_symlink(entry.path(), ignored) == target) ++count;
  }
  return count;
}

// ---- The time-stamped name ----

struct NameCase {
  const char* before;
  QDateTime at;
  const char* after;
};

void PrintTo(const NameCase& c, std::ostream* out) { *out << c.before; }

class RecordNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(RecordNameTest, InsertsOrReplacesTheStampBeforeTheFirstDot) {
  EXPECT_EQ(stampedRecordName(QString::fromLatin1(GetParam().before), GetParam().at).toStdString(),
            GetParam().after);
}

const QDateTime kMarch(QDate(2014, 3, 1), QTime(10, 15, 0));
const QDateTime kLater(QDate(2014, 3, 1), QTime(10, 20, 5));

INSTANTIATE_TEST_SUITE_P(
    Names, RecordNameTest,
    ::testing::Values(NameCase{"rgfile.dat", kMarch, "rgfile_20140301_101500.dat"},
                      NameCase{"rgfile_20140301_101500.dat", kLater, "rgfile_20140301_102005.dat"},
                      NameCase{"a.nme", kMarch, "a_20140301_101500.nme"},
                      NameCase{"_20140301_101500.b2", kLater, "_20140301_102005.b2"},
                      NameCase{"ABC12_c3.tar.gz", kMarch, "ABC12_c3_20140301_101500.tar.gz"},
                      // 16 characters before the dot that do not begin with "_20" are kept.
                      NameCase{"old_19990101_000000.nme", kMarch, "old_19990101_000000_20140301_101500.nme"},
                      NameCase{"x_2014030.nme", kMarch, "x_2014030_20140301_101500.nme"},
                      NameCase{"track", kMarch, "track_20140301_101500"},
                      NameCase{"track_20140301_101500", kLater, "track_20140301_102005"},
                      NameCase{".nme", QDateTime(QDate(2099, 12, 31), QTime(23, 59, 59)), "_20991231_235959.nme"}));

// ---- Record on a pseudo-terminal ----

class RecordingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pty.isOpen());
    QDir::setCurrent(QString::fromStdString(scratch.path()));
    setPort(pty.path());
    app.sleepMs = [](int) {};
    app.recording->currentTime = [this] { return kStart.addSecs(60 * clockReads++); };
  }
  void TearDown() override {
    form().StopButtonClick(true);
    QDir::setCurrent(previousDirectory);
  }

  TMainForm& form() { return *app.mainForm; }
  MainFormControls c() { return test::probeControls(form()); }
  void setPort(const std::string& path) {
    c().portComboBox->clear();
    c().portComboBox->addItem(QString::fromStdString(path) + QStringLiteral("  - test"));
  }
  // Records into `name` with its stamp; returns the stamped name.
  std::string record(const char* name) {
    c().fileLabel->setCaption(QString::fromLatin1(name));
    app.recording->RecordButtonClick(true);
    return c().fileLabel->text().toStdString();
  }
  // The receiver sends `bytes`; the main thread serves the reader until it has them.
  void receive(const std::vector<uint8_t>& bytes) {
    const int64_t before = app.transport.receivedTotal;
    ASSERT_EQ(::write(pty.master(), bytes.data(), bytes.size()), ssize_t(bytes.size()));
    test::serveUntil(
        [&] {
          return app.transport.transportState != S::REC ||
                 app.transport.receivedTotal >= before + int64_t(bytes.size());
        },
        10000);
  }

  QString previousDirectory = QDir::currentPath();
  ScratchDir scratch;
  test::PseudoTerminal pty;
  AppContext app;
  int clockReads = 0;
};

TEST_F(RecordingTest, StartsFromAFreshFileAndAClearedDisplay) {
  std::vector<std::string> calls;
  QObject::connect(app.recording.get(), &Recording::started, [&] { calls.push_back("started"); });
  QObject::connect(app.visualForm.get(), &TVisualForm::plotReset, [&] { calls.push_back("plot"); });
  app.statistics.count = 4;
  app.transport.receivedTotal = 5000;
  app.transport.errorCount = 7;
  app.transport.noDataTicks = 2;
  app.transport.recordAfterSync = true;
  c().errorBytesLabel->setCaption(QStringLiteral("7"));
  app.snrForm->redrawSnrChart(std::vector<SatelliteInView>{{kSatGps, 5, 45}});
  {
    std::FILE* old = std::fopen("rgfile_20240501_100000.nme", "wb");
    std::fputs("an older recording", old);
    std::fclose(old);
  }

  // A file of the same name is never replaced: the new one is numbered.
  const std::string name = record("rgfile.nme");
  EXPECT_EQ(name, "rgfile_20240501_100000_2.nme");
  EXPECT_EQ(readWholeFile("rgfile_20240501_100000.nme").size(), 18u);
  EXPECT_EQ(app.transport.transportState, S::REC);
  EXPECT_TRUE(app.serialLink->isOpen());
  EXPECT_EQ(std::filesystem::file_size(name), 0u);
  EXPECT_EQ(app.transport.receivedTotal, 0);
  EXPECT_EQ(app.transport.errorCount, 0);
  EXPECT_EQ(app.transport.noDataTicks, 0);
  EXPECT_FALSE(app.transport.recordAfterSync);
  EXPECT_EQ(c().receiveBytesLabel->text(), QStringLiteral("0 kB"));
  EXPECT_EQ(c().errorBytesLabel->text(), QStringLiteral("0"));
  EXPECT_EQ(c().infoLabel->text(), QStringLiteral("Wait..."));
  EXPECT_TRUE(c().watchTimer->isActive());
  EXPECT_EQ(calls, (std::vector<std::string>{"plot", "started"}));
  EXPECT_EQ(app.statistics.count, 0);
  TSNRForm emptySnr;
  emptySnr.clearSnrChart();
  EXPECT_TRUE(app.snrForm->chart() == emptySnr.chart());
  for (QWidget* off : {static_cast<QWidget*>(c().synchroButton), static_cast<QWidget*>(c().ejectButton),
                       static_cast<QWidget*>(c().playButton), static_cast<QWidget*>(c().rewindButton),
                       static_cast<QWidget*>(c().pauseButton), static_cast<QWidget*>(c().recordButton),
                       static_cast<QWidget*>(c().protComboBox), static_cast<QWidget*>(c().portComboBox),
                       static_cast<QWidget*>(c().baudComboBox), static_cast<QWidget*>(c().rawDataCheckBox)})
    EXPECT_FALSE(off->isEnabled()) << off->objectName().toStdString();
  EXPECT_TRUE(c().stopButton->isEnabled());
  EXPECT_TRUE(c().controlCheckBox->isEnabled());
  // NMEA: the version request and nothing else.
  EXPECT_EQ(pty.readMaster(1000), "$POVER*5E\r\n");

  receive(pattern(300));
  EXPECT_EQ(c().infoLabel->text(), QStringLiteral("Receive..."));
  form().StopButtonClick(true);
  EXPECT_EQ(descriptorsOn(name), 0);
  EXPECT_FALSE(app.serialLink->isOpen());
  EXPECT_EQ(readWholeFile(name), pattern(300));

  // Recording again replaces the stamp and its number, never doubles them.
  EXPECT_EQ(record(name.c_str()), "rgfile_20240501_100100.nme");
  EXPECT_EQ(app.transport.transportState, S::REC);
}

// Record, Stop, Record within one second: two files, each with its own bytes.
TEST_F(RecordingTest, RecordingsOfTheSameSecondKeepTheirOwnFiles) {
  app.recording->currentTime = [] { return kStart; };
  std::vector<std::string> names;
  for (uint64_t run = 0; run < 3; ++run) {
    names.push_back(record(names.empty() ? "rec.nme" : names.back().c_str()));
    ASSERT_EQ(app.transport.transportState, S::REC);
    receive(pattern(500, run * 500));
    form().StopButtonClick(true);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"rec_20240501_100000.nme", "rec_20240501_100000_2.nme",
                                             "rec_20240501_100000_3.nme"}));
  for (uint64_t run = 0; run < 3; ++run) EXPECT_EQ(readWholeFile(names[run]), pattern(500, run * 500)) << run;
}

TEST_F(RecordingTest, IsRefusedOutsideStop) {
  form().setTransportState(S::PLAY);
  EXPECT_EQ(record("rec.nme"), "rec.nme");
  EXPECT_EQ(app.transport.transportState, S::PLAY);
  EXPECT_FALSE(std::filesystem::exists("rec_20240501_100000.nme"));
  EXPECT_FALSE(app.serialLink->isOpen());
  form().setTransportState(S::STOP);
}

struct FailureCase {
  const char* name;
  const char* fileName;  // as FileLabel shows it before Record
  const char* port;      // empty: the pseudo-terminal
  const char* baud;
  bool fileLeft;         // the empty record file stays on disk
  const char* message;   // in InfoLabel afterwards
};

void PrintTo(const FailureCase& c, std::ostream* out) { *out << c.name; }

class RecordFailureTest : public RecordingTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(RecordFailureTest, StaysInStop) {
  const FailureCase& f = GetParam();
  if (*f.port) setPort(f.port);
  c().baudComboBox->setEditable(true);
  c().baudComboBox->setEditText(QString::fromLatin1(f.baud));
  c().infoLabel->setCaption(QStringLiteral("earlier text"));
  const std::string name = record(f.fileName);
  EXPECT_EQ(app.transport.transportState, S::STOP);
  EXPECT_FALSE(app.serialLink->isOpen());
  EXPECT_EQ(c().infoLabel->text().toStdString(), f.message);
  EXPECT_EQ(std::filesystem::exists(name), f.fileLeft);
  if (f.fileLeft) {
    EXPECT_EQ(std::filesystem::file_size(name), 0u);
    EXPECT_EQ(descriptorsOn(name), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Failures, RecordFailureTest,
    ::testing::Values(FailureCase{"FileNotCreated", "missing/rec.nme", "", "115200", false,
                                  "Cannot create missing/rec_20240501_100000.nme: No such file or directory"},
                      // sysfs takes no new files, not even from root.
                      FailureCase{"DirectoryNotWritable", "/sys/rec.nme", "", "115200", false,
                                  "Cannot create /sys/rec_20240501_100000.nme: Permission denied"},
                      FailureCase{"PortMissing", "rec.nme", "/nonexistent/tty0", "115200", true, "Connection failed"},
                      FailureCase{"RateNotANumber", "rec.nme", "", "custom", true, "Connection failed"},
                      // Nothing listens on port 1 of the loopback.
                      FailureCase{"ConnectionRefused", "rec.nme", "tcp://127.0.0.1:1", "115200", true,
                                  "Cannot connect to 127.0.0.1:1: Connection refused"},
                      FailureCase{"TcpSourceMalformed", "rec.nme", "tcp://127.0.0.1:", "115200", true,
                                  "\"tcp://127.0.0.1:\" is not tcp://HOST:PORT: no port after the host"}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

// A port the user may not open is named; the empty record file stays as with any
// port that does not open.
TEST_F(RecordingTest, APortWithoutPermissionIsNamed) {
  const QTemporaryDir dir;
  const std::string port = test::forbiddenPort(dir.path().toStdString());
  if (port.empty()) GTEST_SKIP() << "as root, and no file here refuses root";
  setPort(port);
  record("rec.nme");
  EXPECT_EQ(app.transport.transportState, S::STOP);
  EXPECT_EQ(c().infoLabel->text().toStdString(), "No permission for " + port);
}

// ---- The record file fills from the reader ----

// Everything the receiver sent is in the file while the main thread is held
// busy, and Stop keeps what the reader read but the main thread never saw.
TEST_F(RecordingTest, BytesReachTheFileWithoutTheMainThread) {
  const std::string name = record("rec.dat");
  const std::vector<uint8_t> sent = pattern(200000);
  size_t written = 0;
  while (written < sent.size()) {
    const ssize_t n = ::write(pty.master(), sent.data() + written, sent.size() - written);
    ASSERT_GT(n, 0);
    written += size_t(n);
    // No event is served here: the main thread is busy as far as the reader knows.
    for (int tries = 0; tries < 500 && std::filesystem::file_size(name) < written; ++tries) QThread::msleep(2);
    ASSERT_EQ(std::filesystem::file_size(name), written);
  }
  form().StopButtonClick(true);
  EXPECT_EQ(readWholeFile(name), sent);
  EXPECT_EQ(descriptorsOn(name), 0);
}

TEST_F(RecordingTest, AFileThatCannotBeOpenedAgainEndsTheRecording) {
  std::filesystem::create_directory("sub");
  const std::string name = record("sub/rec.nme");
  EXPECT_EQ(name, "sub/rec_20240501_100000.nme");
  ASSERT_EQ(app.transport.transportState, S::REC);
  std::filesystem::remove(name);
  std::filesystem::remove("sub");
  receive(pattern(100));
  EXPECT_TRUE(test::serveUntil([&] { return app.transport.transportState == S::STOP; }, 10000));
  EXPECT_EQ(c().infoLabel->text(), QStringLiteral("Disk is full"));
  EXPECT_EQ(app.transport.transportState, S::STOP);
  EXPECT_FALSE(app.serialLink->isOpen());
  EXPECT_TRUE(c().recordButton->isEnabled());
}

// ---- A full medium ----

// Lets this process write at most `bytes` into any file, and survive trying more.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    previousHandler_ = signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    signal(SIGXFSZ, previousHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
  sighandler_t previousHandler_ = SIG_DFL;
};

// The block that does not fit stops the recording in the reader's next hand-off.
TEST_F(RecordingTest, FullMediumShowsDiskIsFullStopsAndKeepsWhatWasWritten) {
  const std::string name = "rec_20240501_100000.nme";
  constexpr size_t kRoom = 1000;
  auto limit = std::make_unique<FileSizeLimit>(kRoom);
  ASSERT_EQ(record("rec.nme"), name);
  ASSERT_EQ(app.transport.transportState, S::REC);

  const std::vector<uint8_t> sent = pattern(3000);
  ASSERT_EQ(::write(pty.master(), sent.data(), sent.size()), ssize_t(sent.size()));
  EXPECT_TRUE(test::serveUntil([&] { return app.transport.transportState == S::STOP; }, 10000));
  limit.reset();
  EXPECT_EQ(c().infoLabel->text(), QStringLiteral("Disk is full"));
  EXPECT_FALSE(app.serialLink->isOpen());
  EXPECT_FALSE(c().stopButton->isEnabled());
  EXPECT_FALSE(c().watchTimer->isActive());
  EXPECT_EQ(readWholeFile(name), pattern(kRoom));
  EXPECT_EQ(descriptorsOn(name), 0);
}

}  // namespace
}  // namespace veltrano
