// The program's --port, --baud and --protocol options.
#include "mainwindow/start_options.h"

#include <gtest/gtest.h>

#include <QCommandLineParser>
#include <QStringList>

namespace veltrano {
namespace {

struct OptionCase {
  QStringList arguments;
  QString port;
  std::optional<int32_t> baud;
  std::optional<ReceiverProtocol> protocol;
  QString error;  // empty when the options are usable
};

TEST(StartOptions, NameThePortRateAndProtocolOrSayWhatIsWrong) {
  const OptionCase cases[] = {
      {{}, {}, {}, {}, {}},
      {{"--port", "/dev/pts/3"}, "/dev/pts/3", {}, {}, {}},
      {{"--port=ttyUSB0", "--baud", "115200", "--protocol", "binr2"}, "ttyUSB0", 115200, ReceiverProtocol::BINR2, {}},
      {{"--protocol", "NMEA"}, {}, {}, ReceiverProtocol::NMEA, {}},
      {{"--protocol", "binr", "recording.dat"}, {}, {}, ReceiverProtocol::BINR, {}},
      {{"--baud", "14400"}, {}, 14400, {}, {}},
      {{"--baud", "fast"}, {}, {}, {}, "--baud needs a positive rate, not \"fast\""},
      {{"--baud", "-9600"}, {}, {}, {}, "--baud needs a positive rate, not \"-9600\""},
      {{"--protocol", "ubx"}, {}, {}, {}, "--protocol is nmea, binr or binr2, not \"ubx\""},
      {{"--port", " "}, {}, {}, {}, "--port needs a device name or path"},
      {{"--port", "tcp://192.168.1.20:4001"}, "tcp://192.168.1.20:4001", {}, {}, {}},
      {{"--port", "tcp://[::1]:4001", "--protocol", "binr"}, "tcp://[::1]:4001", {}, ReceiverProtocol::BINR, {}},
      {{"--port", "tcp://gps.local"},
       {},
       {},
       {},
       "--port \"tcp://gps.local\" is not tcp://HOST:PORT: no port after the host"},
      {{"--port", "tcp://gps.local:99999"},
       {},
       {},
       {},
       "--port \"tcp://gps.local:99999\" is not tcp://HOST:PORT: the port is a number from 1 to 65535"},
  };
  for (const OptionCase& k : cases) {
    SCOPED_TRACE(k.arguments.join(QLatin1Char(' ')).toStdString());
    QCommandLineParser parser;
    addStartLinkOptions(parser);
    ASSERT_TRUE(parser.parse(QStringList{QStringLiteral("veltrano")} + k.arguments)) << parser.errorText().toStdString();
    const auto read = readStartLink(parser);
    if (!k.error.isEmpty()) {
      ASSERT_TRUE(std::holds_alternative<QString>(read));
      EXPECT_EQ(std::get<QString>(read), k.error);
      continue;
    }
    ASSERT_TRUE(std::holds_alternative<StartLink>(read)) << std::get<QString>(read).toStdString();
    const StartLink& link = std::get<StartLink>(read);
    EXPECT_EQ(link.port, k.port);
    EXPECT_EQ(link.baud, k.baud);
    EXPECT_EQ(link.protocol, k.protocol);
  }
}

}  // namespace
}  // namespace veltrano
