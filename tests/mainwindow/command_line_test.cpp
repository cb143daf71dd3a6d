// The program's command line: what it starts with, what ends it at once with
// which message and status, also as a process without a display, and the work
// folder of the desktop start, where the settings then land.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <filesystem>
#include <optional>
#include <string>

#include "../cli/cli_runner.h"
#include "current_directory_guard.h"
#include "mainwindow/app_context.h"
#include "mainwindow/command_line.h"
#include "mainwindow/main_form.h"

namespace veltrano {
namespace {

struct StartCase {
  const char* what;
  QStringList arguments;
  bool homeFolder;
  QStringList files;
};

TEST(CommandLine, StartsWithTheRecordingAndTheHomeFolderAsGiven) {
  const StartCase cases[] = {
      {"nothing", {}, false, {}},
      {"a recording", {"/data/rec.nme"}, false, {"/data/rec.nme"}},
      {"the desktop start", {"--home-folder"}, true, {}},
      {"the desktop start with a file", {"--home-folder", "/data/rec.b2"}, true, {"/data/rec.b2"}},
      {"the option after the file", {"rec.dat", "--home-folder"}, true, {"rec.dat"}},
      {"a file named like an option", {"--", "-rec.nme"}, false, {"-rec.nme"}},
  };
  for (const StartCase& c : cases) {
    const CommandLine line = readCommandLine(c.arguments);
    EXPECT_TRUE(line.start) << c.what << ": " << line.message.toStdString();
    EXPECT_EQ(line.homeFolder, c.homeFolder) << c.what;
    EXPECT_EQ(line.files, c.files) << c.what;
  }
}

struct LinkCase {
  QStringList arguments;
  QString port;
  std::optional<int32_t> baud;
  std::optional<ReceiverProtocol> protocol;
};

TEST(CommandLine, NamesThePortRateAndProtocol) {
  const LinkCase cases[] = {
      {{}, {}, {}, {}},
      {{"--port", "/dev/pts/3"}, "/dev/pts/3", {}, {}},
      {{"--port=ttyUSB0", "--baud", "115200", "--protocol", "binr2"}, "ttyUSB0", 115200, ReceiverProtocol::BINR2},
      {{"--protocol", "NMEA"}, {}, {}, ReceiverProtocol::NMEA},
      {{"--protocol", "binr", "recording.dat"}, {}, {}, ReceiverProtocol::BINR},
      {{"--baud", "14400"}, {}, 14400, {}},
      {{"--port", "tcp://192.168.1.20:4001"}, "tcp://192.168.1.20:4001", {}, {}},
      {{"--port", "tcp://[::1]:4001", "--protocol", "binr"}, "tcp://[::1]:4001", {}, ReceiverProtocol::BINR},
  };
  for (const LinkCase& c : cases) {
    SCOPED_TRACE(c.arguments.join(QLatin1Char(' ')).toStdString());
    const CommandLine line = readCommandLine(c.arguments);
    ASSERT_TRUE(line.start) << line.message.toStdString();
    EXPECT_EQ(line.link.port, c.port);
    EXPECT_EQ(line.link.baud, c.baud);
    EXPECT_EQ(line.link.protocol, c.protocol);
  }
}

struct EndCase {
  const char* what;
  QStringList arguments;
  int status;
  const char* messageStart;
};

TEST(CommandLine, HelpVersionAndBadArgumentsEndAtOnce) {
  const QString usage = QStringLiteral("usage: veltrano [OPTIONS] [FILE]\n");
  const EndCase cases[] = {
      {"--help", {"--help"}, 0, "usage: veltrano [OPTIONS] [FILE]\n"},
      {"-h", {"-h", "rec.nme"}, 0, "usage: veltrano [OPTIONS] [FILE]\n"},
      {"--version", {"--version"}, 0, "veltrano " VELTRANO_VERSION "\n"},
      {"-v", {"--home-folder", "-v"}, 0, "veltrano " VELTRANO_VERSION "\n"},
      {"an unknown option", {"--bogus"}, 2, "veltrano: Unknown option 'bogus'.\nusage: veltrano"},
      {"an option of Qt's", {"-platform", "offscreen"}, 2, "veltrano: Unknown options: p, l, a, t, f, o, r, m."},
      {"an option with a value", {"--home-folder=/tmp"}, 2, "veltrano: Unexpected value after '--home-folder'."},
      {"two recordings", {"a.nme", "b.nme"}, 2, "veltrano: one recording at a time\nusage: veltrano"},
      {"a rate that is no number", {"--baud", "fast"}, 2, "veltrano: --baud needs a positive rate, not \"fast\"\n"},
      {"a negative rate", {"--baud", "-9600"}, 2, "veltrano: --baud needs a positive rate, not \"-9600\"\n"},
      {"an unknown protocol", {"--protocol", "ubx"}, 2, "veltrano: --protocol is nmea, binr or binr2, not \"ubx\"\n"},
      {"an empty port", {"--port", " "}, 2, "veltrano: --port needs a device name or path\n"},
      {"a port without its value", {"--port"}, 2, "veltrano: Missing value after '--port'."},
      {"a TCP port without its number", {"--port", "tcp://gps.local"}, 2,
       "veltrano: --port \"tcp://gps.local\" is not tcp://HOST:PORT: no port after the host\n"},
      {"a TCP port out of range", {"--port", "tcp://gps.local:99999"}, 2,
       "veltrano: --port \"tcp://gps.local:99999\" is not tcp://HOST:PORT: the port is a number from 1 to 65535\n"},
  };
  for (const EndCase& c : cases) {
    const CommandLine line = readCommandLine(c.arguments);
    EXPECT_FALSE(line.start) << c.what;
    EXPECT_EQ(line.exitStatus, c.status) << c.what;
    EXPECT_TRUE(line.message.startsWith(QString::fromLatin1(c.messageStart)))
        << c.what << ": " << line.message.toStdString();
  }
  const QString help = readCommandLine({"--help"}).message;
  for (const char* option : {"-h, --help", "-v, --version", "--home-folder", "--port PORT", "--baud RATE",
                             "--protocol PROTOCOL"})
    EXPECT_TRUE(help.contains(QString::fromLatin1(option))) << option;
}

struct ProcessCase {
  const char* what;
  std::string arguments;
  int status;
  std::string output;  // standard output and, after "|", standard error, each up to its first line feed
};

// The program as a shell runs it, without a display: help and version need none.
TEST(CommandLine, AnswersWithoutADisplay) {
  const std::string program = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " VELTRANO_PATH;
  const ProcessCase cases[] = {
      {"--help", "--help 2>/dev/null", 0, "usage: veltrano [OPTIONS] [FILE]"},
      {"--version", "--version 2>/dev/null", 0, "veltrano " VELTRANO_VERSION},
      {"an unknown option", "--bogus 2>&1 >/dev/null", 2, "veltrano: Unknown option 'bogus'."},
      {"a full standard output", "--help 2>&1 >/dev/full", 1,
       "veltrano: cannot write standard output: No space left on device"},
  };
  for (const ProcessCase& c : cases) {
    const test::CliRun run = test::runCommand(program + " " + c.arguments);
    EXPECT_EQ(run.status, c.status) << c.what << ": " << run.output;
    ASSERT_FALSE(run.lines.empty()) << c.what;
    EXPECT_EQ(run.lines.front(), c.output) << c.what;
  }
}

class WorkFolder : public ::testing::Test {
 protected:
  test::CurrentDirectoryGuard guard;
  QTemporaryDir scratch;
};

TEST_F(WorkFolder, IsCreatedAndEntered) {
  const QString folder = scratch.filePath(QStringLiteral("home/VELTRANO"));
  QString error;
  ASSERT_TRUE(enterWorkFolder(folder, error)) << error.toStdString();
  EXPECT_EQ(QDir::currentPath(), QDir(folder).canonicalPath());
  // A second start finds it and keeps what it holds.
  QFile kept(QStringLiteral("rgfile_20240501_100000.nme"));
  ASSERT_TRUE(kept.open(QIODevice::WriteOnly));
  kept.close();
  QDir::setCurrent(scratch.path());
  ASSERT_TRUE(enterWorkFolder(folder, error)) << error.toStdString();
  EXPECT_EQ(QDir::currentPath(), QDir(folder).canonicalPath());
  EXPECT_TRUE(QFile::exists(QStringLiteral("rgfile_20240501_100000.nme")));
}

TEST_F(WorkFolder, ThatCannotBeMadeLeavesTheCurrentFolderAndSaysWhy) {
  QFile blocker(scratch.filePath(QStringLiteral("home")));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));  // a file where the folder would go
  blocker.close();
  QDir::setCurrent(scratch.path());
  const QString folder = scratch.filePath(QStringLiteral("home/VELTRANO"));
  QString error;
  EXPECT_FALSE(enterWorkFolder(folder, error));
  EXPECT_EQ(QDir::currentPath(), QDir(scratch.path()).canonicalPath());
  EXPECT_TRUE(error.startsWith(QStringLiteral("Cannot work in ") + folder + QStringLiteral(": ")))
      << error.toStdString();
  EXPECT_TRUE(error.contains(QDir::currentPath())) << error.toStdString();
}

TEST_F(WorkFolder, KeepsTheSettingsOfTheProgramStartedThere) {
  const QString folder = scratch.filePath(QStringLiteral("VELTRANO"));
  QString error;
  ASSERT_TRUE(enterWorkFolder(folder, error)) << error.toStdString();
  {
    AppContext app({}, SettingsUse::File);
    app.mainForm->show();
  }
  EXPECT_TRUE(QFile::exists(folder + QStringLiteral("/veltrano.ini")));
  EXPECT_FALSE(QFile::exists(scratch.filePath(QStringLiteral("veltrano.ini"))));
}

TEST(HomeWorkFolder, IsVeltranoInTheHomeFolder) {
  EXPECT_EQ(homeWorkFolder(), QDir::homePath() + QStringLiteral("/VELTRANO"));
}

}  // namespace
}  // namespace veltrano
