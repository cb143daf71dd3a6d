#include "mainwindow/command_line.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "mainwindow/port_combo_box.h"

namespace veltrano {

namespace {

const char kUsage[] =
    "usage: veltrano [OPTIONS] [FILE]\n"
    "VELTRANO, the monitor and logger of GNSS receivers. FILE, a recording (.nme, .dat or\n"
    ".b2), is fast-played at once, and its folder becomes the working folder, which keeps\n"
    "the recordings, the NMEA conversions and veltrano.ini. Without FILE the program works\n"
    "in the folder it was started in.\n";

// Every option of the program, in the order --help lists them.
struct Options {
  QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("show this help and exit")};
  QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                             QStringLiteral("show the version and exit")};
  QCommandLineOption homeFolder{QStringLiteral("home-folder"),
                                QStringLiteral("work in ~/VELTRANO, created when missing (the desktop entry's start)")};
  QCommandLineOption port{QStringLiteral("port"),
                          QStringLiteral("the receiver's port: a device name (ttyUSB0), a path (/dev/pts/3, "
                                         "/dev/serial/by-id/...) or tcp://HOST:PORT"),
                          QStringLiteral("PORT")};
  QCommandLineOption baud{QStringLiteral("baud"), QStringLiteral("the rate to start the search at, in bit/s"),
                          QStringLiteral("RATE")};
  QCommandLineOption protocol{QStringLiteral("protocol"), QStringLiteral("the receiver's protocol: nmea, binr or binr2"),
                              QStringLiteral("PROTOCOL")};

  QList<QCommandLineOption> all() const { return {help, version, homeFolder, port, baud, protocol}; }
};

// The port, rate and protocol the options name; the error text for a value that cannot be used.
QString readLink(const QCommandLineParser& parser, const Options& options, StartLink& link) {
  if (parser.isSet(options.port)) {
    link.port = parser.value(options.port).trimmed();
    if (link.port.isEmpty()) return QStringLiteral("--port needs a device name or path");
    if (const QString problem = typedPortProblem(link.port); !problem.isEmpty())
      return QStringLiteral("--port ") + problem;
  }
  if (parser.isSet(options.baud)) {
    bool ok = false;
    const int baud = parser.value(options.baud).toInt(&ok);
    if (!ok || baud <= 0)
      return QStringLiteral("--baud needs a positive rate, not \"%1\"").arg(parser.value(options.baud));
    link.baud = baud;
  }
  if (parser.isSet(options.protocol)) {
    const QString name = parser.value(options.protocol).toLower();
    if (name == QStringLiteral("nmea"))
      link.protocol = ReceiverProtocol::NMEA;
    else if (name == QStringLiteral("binr"))
      link.protocol = ReceiverProtocol::BINR;
    else if (name == QStringLiteral("binr2"))
      link.protocol = ReceiverProtocol::BINR2;
    else
      return QStringLiteral("--protocol is nmea, binr or binr2, not \"%1\"").arg(parser.value(options.protocol));
  }
  return {};
}

QString optionColumn(const QCommandLineOption& option) {
  QStringList names;
  for (const QString& name : option.names())
    names << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
  QString column = names.join(QStringLiteral(", "));
  if (!option.valueName().isEmpty()) column += QLatin1Char(' ') + option.valueName();
  return column;
}

QString helpText(const Options& options) {
  qsizetype width = 0;
  for (const QCommandLineOption& option : options.all()) width = std::max(width, optionColumn(option).size());
  QString text = QString::fromLatin1(kUsage) + QStringLiteral("\noptions:\n");
  for (const QCommandLineOption& option : options.all())
    text +=
        QStringLiteral("  ") + optionColumn(option).leftJustified(width + 2) + option.description() + QLatin1Char('\n');
  return text;
}

CommandLine ending(int status, const QString& message) {
  CommandLine line;
  line.start = false;
  line.exitStatus = status;
  line.message = message;
  return line;
}

}  // namespace

CommandLine readCommandLine(const QStringList& arguments) {
  const Options options;
  QCommandLineParser parser;
  parser.addOptions(options.all());
  if (!parser.parse(QStringList{QStringLiteral("veltrano")} + arguments))
    return ending(2, QStringLiteral("veltrano: %1\n").arg(parser.errorText()) + helpText(options));
  if (parser.isSet(options.help)) return ending(0, helpText(options));
  if (parser.isSet(options.version)) return ending(0, QStringLiteral("veltrano " VELTRANO_VERSION "\n"));
  if (parser.positionalArguments().size() > 1)
    return ending(2, QStringLiteral("veltrano: one recording at a time\n") + helpText(options));
  CommandLine line;
  line.homeFolder = parser.isSet(options.homeFolder);
  line.files = parser.positionalArguments();
  if (const QString error = readLink(parser, options, line.link); !error.isEmpty())
    return ending(2, QStringLiteral("veltrano: %1\n").arg(error));
  return line;
}

int finishCommandLine(const CommandLine& line) {
  const QByteArray text = line.message.toLocal8Bit();
  std::FILE* stream = line.exitStatus == 0 ? stdout : stderr;
  errno = 0;
  const bool written = std::fwrite(text.constData(), 1, size_t(text.size()), stream) == size_t(text.size());
  if ((!written || std::fflush(stream) != 0) && stream == stdout) {
    std::fprintf(stderr, "veltrano: cannot write standard output: %s\n", std::strerror(errno));
    return 1;
  }
  return line.exitStatus;
}

QString homeWorkFolder() { return QDir::homePath() + QStringLiteral("/VELTRANO"); }

bool enterWorkFolder(const QString& folder, QString& error) {
  const std::filesystem::path path = QFile::encodeName(folder).toStdString();
  std::error_code failure;
  std::filesystem::create_directories(path, failure);
  if (!failure) std::filesystem::current_path(path, failure);
  if (!failure) return true;
  error = QStringLiteral("Cannot work in %1: %2.\nRecordings and settings go to %3.")
              .arg(folder, QString::fromStdString(failure.message()), QDir::currentPath());
  return false;
}

}  // namespace veltrano
