#include "link/synchronisation.h"

#include <QFile>
#include <QFileInfo>

#include "decoding/message_fan_out.h"
#include "link/baud_text.h"
#include "link/command_writer.h"
#include "link/serial_link.h"
#include "link/protocol_profile.h"

namespace veltrano {

namespace {

const QString kWaiting = QStringLiteral("Waiting for the receiver...");

// The kernel's name of the driver behind a serial device, where the platform tells it.
QString driverName(const QString& portName) {
  const QFileInfo driver(QStringLiteral("/sys/class/tty/%1/device/driver").arg(portName));
  return driver.isSymLink() ? QFileInfo(driver.symLinkTarget()).fileName() : QString();
}

}  // namespace

QString portListEntry(const QString& portName, const QString& deviceName) {
  return portName + (portName.size() < 5 ? QStringLiteral("  ") : QString()) + QStringLiteral(" - ") + deviceName;
}

QString portDeviceName(const QSerialPortInfo& port) {
  if (!port.description().isEmpty()) return port.description();
  const QString driver = driverName(port.portName());
  return driver.isEmpty() ? port.manufacturer() : driver;
}

Synchronisation::Synchronisation(SyncPanel& panel, TransportFields& transport, Receiver& receiver, SerialLink& link,
                                 CommandWriter& commands, std::function<void(int ms)> sleepMs)
    : panel_(panel),
      transport_(transport),
      receiver_(receiver),
      link_(link),
      commands_(commands),
      sleepMs_(std::move(sleepMs)) {}

void Synchronisation::refreshPortList() {
  // Probing opens each port; the one in use (SYNC, REC) must stay as it is.
  if (link_.isOpen()) return;
  QStringList entries;
  if (const std::optional<int32_t> baud = baudFromText(panel_.baudText())) {
    for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts()) {
      if (!link_.openPort(port.portName(), *baud, false, false)) continue;
      link_.closePort();
      entries.append(portListEntry(port.portName(), portDeviceName(port)));
    }
  }
  panel_.setPortEntries(entries);
}

void Synchronisation::SynchroButtonClick(bool) {
  if (transport_.transportState != TransportState::STOP) return;
  const QString baudText = panel_.baudText();
  const std::optional<int32_t> baud = baudFromText(baudText);
  const ProtocolProfile& profile = protocolProfile(transport_.receiverProtocol);
  const bool opened = baud && link_.openPort(panel_.portName(), *baud, profile.oddParity, true);
  if (!opened && !(baud && resuming())) {
    panel_.showDevice(QStringLiteral("unknown"));
    panel_.showInfo(baud ? link_.openFailureText(panel_.portName()) : QStringLiteral("Connection failed"));
    return;
  }
  selectedBaud_ = *baud;
  searchesRates_ = !isNetworkPort(panel_.portName());
  if (!opened) {
    panel_.showInfo(kWaiting);
  } else if (searchesRates_) {
    panel_.showInfo(QStringLiteral("Connection baud: ") + baudText);
  } else {
    panel_.showInfo(QStringLiteral("Connected to ") + panel_.portName());
  }
  transport_.syncBaudIndex = 0;
  panel_.startSearchTimer(profile.searchTickMs);
  panel_.showErrorCount(QStringLiteral("0"));
  receiver_.resetDecoders();
  panel_.enterSync();
  if (opened) sendRequest();
}

void Synchronisation::SynchroTimerTimer() {
  TransportFields& transport = transport_;
  // A tick that was already on its way when the search ended.
  if (transport.transportState != TransportState::SYNC) {
    panel_.stopSearchTimer();
    return;
  }

  // A resumed recording's port that went away (unplugged) is tried again at each tick.
  if (!link_.isOpen() && resuming()) {
    restartResume();
    return;
  }

  if (transport.syncBaudIndex == kReceiverFound) {
    const ProtocolProfile& profile = protocolProfile(transport.receiverProtocol);
    if (!profile.identify.empty()) {
      // The receiver's identity reply ends the search.
      commands_.sendSteps(profile.protocol, profile.identify, false, selectedBaud_, sleepMs_);
      return;
    }
    // A receiver that talks unasked was found by listening.
    panel_.stopSearchTimer();
    panel_.showInfo(QStringLiteral("Connection Ok"));
    panel_.showErrorCount(QStringLiteral("0"));
    panel_.stop();
    if (transport.recordAfterSync) {
      sleepMs_(500);
      panel_.record();
    }
    return;
  }

  if (++transport.syncBaudIndex == kReceiverFound) {
    if (resuming()) {
      restartResume();
      return;
    }
    transport.recordAfterSync = false;
    panel_.showDevice(QStringLiteral("unknown"));
    panel_.showInfo(QStringLiteral("Connection failed"));
    panel_.stop();
    return;
  }
  if (!searchesRates_) {
    // The same question again at each tick, until the search gives up.
    sendRequest();
    return;
  }
  int32_t baud = searchBaud(transport.receiverProtocol, transport.syncBaudIndex);
  // The selected rate was tried first; only the last entry is tried again.
  if (baud == selectedBaud_ && transport.syncBaudIndex < 9)
    baud = searchBaud(transport.receiverProtocol, ++transport.syncBaudIndex);
  panel_.showInfo(QStringLiteral("Connection baud: %1").arg(baud));
  link_.setPortBaud(baud);
  receiver_.resetDecoders();
  sendRequest();
}

void Synchronisation::stopSearch(bool sender) {
  link_.closePort();
  if (sender) transport_.recordAfterSync = false;
}

void Synchronisation::restartResume() {
  panel_.showInfo(kWaiting);
  if (!link_.isOpen()) {
    const ProtocolProfile& profile = protocolProfile(transport_.receiverProtocol);
    if (!link_.openPort(panel_.portName(), selectedBaud_, profile.oddParity, true)) return;
  } else {
    link_.setPortBaud(selectedBaud_);
  }
  transport_.syncBaudIndex = 0;
  receiver_.resetDecoders();
  sendRequest();
}

void Synchronisation::receiverHeard() {
  commands_.writeNmeaCommand(nmea_command::kVersionRequest);
  if (searchesRates_ && transport_.syncBaudIndex != 0)
    panel_.selectBaudItem(searchBaud(transport_.receiverProtocol, transport_.syncBaudIndex));
  panel_.showDevice(QStringLiteral("unknown"));
}

void Synchronisation::receiverStatusReported() {
  const uint8_t off = 0x00;
  commands_.writeBinrCommand(binr_command::kDebugData, &off, 1);
}

void Synchronisation::rateAcknowledged() {
  if (const std::optional<int32_t> baud = baudFromText(panel_.baudText())) link_.setPortBaud(*baud);
}

void Synchronisation::receiverIdentified(const char* recordExtension, bool connected) {
  if (recordExtension) {
    const std::string name = recordFileName(panel_.deviceText().toLatin1().toStdString(),
                                            QFile::encodeName(panel_.portName()).toStdString(), recordExtension);
    panel_.showFileName(QString::fromLatin1(name.data(), qsizetype(name.size())));
  }
  if (!connected) return;
  panel_.showInfo(QStringLiteral("Connection Ok"));
  panel_.stopSearchTimer();
  panel_.stop();
  if (transport_.recordAfterSync) {
    sleepMs_(500);
    panel_.record();
  }
}

void Synchronisation::sendRequest() {
  // NMEA receivers talk unasked: there the search only listens. A receiver on the
  // network is only asked who it is: behind a serial-to-network server, a rate
  // request would move it away from the rate the server's serial side keeps, and
  // it would not be heard again.
  const ProtocolProfile& profile = protocolProfile(transport_.receiverProtocol);
  commands_.sendSteps(profile.protocol, searchesRates_ ? profile.requestRate : profile.identify, false, selectedBaud_,
                      sleepMs_);
}

}  // namespace veltrano
