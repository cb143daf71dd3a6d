#include "mainwindow/start_options.h"

#include <QCommandLineParser>

#include "mainwindow/port_combo_box.h"

namespace veltrano {

namespace {
const QString kPort = QStringLiteral("port");
const QString kBaud = QStringLiteral("baud");
const QString kProtocol = QStringLiteral("protocol");
}  // namespace

void addStartLinkOptions(QCommandLineParser& parser) {
  parser.addOption({kPort,
                    QStringLiteral("The receiver's port: a device name (ttyUSB0), a path "
                                   "(/dev/pts/3, /dev/serial/by-id/...) or tcp://HOST:PORT."),
                    QStringLiteral("PORT")});
  parser.addOption({kBaud, QStringLiteral("The rate to start the search at, in bit/s."), QStringLiteral("RATE")});
  parser.addOption({kProtocol, QStringLiteral("The receiver's protocol: nmea, binr or binr2."),
                    QStringLiteral("PROTOCOL")});
}

std::variant<StartLink, QString> readStartLink(const QCommandLineParser& parser) {
  StartLink link;
  if (parser.isSet(kPort)) {
    link.port = parser.value(kPort).trimmed();
    if (link.port.isEmpty()) return QStringLiteral("--port needs a device name or path");
    if (const QString problem = typedPortProblem(link.port); !problem.isEmpty())
      return QStringLiteral("--port ") + problem;
  }
  if (parser.isSet(kBaud)) {
    bool ok = false;
    const int baud = parser.value(kBaud).toInt(&ok);
    if (!ok || baud <= 0) return QStringLiteral("--baud needs a positive rate, not \"%1\"").arg(parser.value(kBaud));
    link.baud = baud;
  }
  if (parser.isSet(kProtocol)) {
    const QString name = parser.value(kProtocol).toLower();
    if (name == QStringLiteral("nmea"))
      link.protocol = ReceiverProtocol::NMEA;
    else if (name == QStringLiteral("binr"))
      link.protocol = ReceiverProtocol::BINR;
    else if (name == QStringLiteral("binr2"))
      link.protocol = ReceiverProtocol::BINR2;
    else
      return QStringLiteral("--protocol is nmea, binr or binr2, not \"%1\"").arg(parser.value(kProtocol));
  }
  return link;
}

}  // namespace veltrano
