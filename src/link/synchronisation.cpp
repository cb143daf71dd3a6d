#include "link/synchronisation.h"

#include <QFileInfo>

#include "decoding/message_fan_out.h"
#include "link/baud_text.h"
#include "link/command_writer.h"
#include "link/serial_link.h"
#include "link/sync_search_table.h"

namespace veltrano {

namespace {

constexpr int kNmeaTickMs = 1000;
constexpr int kBinaryTickMs = 500;

void putLe32(uint8_t* to, int32_t value) {
  for (int i = 0; i < 4; ++i) to[i] = uint8_t(uint32_t(value) >> (8 * i));
}

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
  const bool binr = transport_.receiverProtocol == ReceiverProtocol::BINR;
  if (!baud || !link_.openPort(panel_.portName(), *baud, binr, true)) {
    panel_.showDevice(QStringLiteral("unknown"));
    panel_.showInfo(QStringLiteral("Connection failed"));
    return;
  }
  selectedBaud_ = *baud;
  panel_.showInfo(QStringLiteral("Connection baud: ") + baudText);
  transport_.syncBaudIndex = 0;
  panel_.startSearchTimer(transport_.receiverProtocol == ReceiverProtocol::NMEA ? kNmeaTickMs : kBinaryTickMs);
  panel_.showErrorCount(QStringLiteral("0"));
  receiver_.resetDecoders();
  panel_.enterSync();
  sendRequest();
}

void Synchronisation::SynchroTimerTimer() {
  TransportFields& transport = transport_;
  // A tick that was already on its way when the search ended.
  if (transport.transportState != TransportState::SYNC) {
    panel_.stopSearchTimer();
    return;
  }

  if (transport.syncBaudIndex == kReceiverFound) {
    switch (transport.receiverProtocol) {
      case ReceiverProtocol::BINR:
        commands_.writeBinrCommand(0x1B, nullptr, 0);
        return;
      case ReceiverProtocol::BINR2: {
        const uint8_t identify[] = {0x01, 0xC0, 0x01, 0x00, 0x00};
        commands_.writeBinr2Command(identify, 5);
        return;
      }
      case ReceiverProtocol::NMEA:
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
  }

  if (++transport.syncBaudIndex == kReceiverFound) {
    transport.recordAfterSync = false;
    panel_.showDevice(QStringLiteral("unknown"));
    panel_.showInfo(QStringLiteral("Connection failed"));
    panel_.stop();
    return;
  }
  int32_t baud = syncSearchBaud(transport.receiverProtocol, transport.syncBaudIndex);
  // The selected rate was tried first; only the last entry is tried again.
  if (baud == selectedBaud_ && transport.syncBaudIndex < 9)
    baud = syncSearchBaud(transport.receiverProtocol, ++transport.syncBaudIndex);
  panel_.showInfo(QStringLiteral("Connection baud: %1").arg(baud));
  link_.setPortBaud(baud);
  receiver_.resetDecoders();
  sendRequest();
}

void Synchronisation::receiverHeard() {
  commands_.writeNmeaCommand("$POVER");
  if (transport_.syncBaudIndex != 0)
    panel_.selectBaudItem(syncSearchBaud(transport_.receiverProtocol, transport_.syncBaudIndex));
  panel_.showDevice(QStringLiteral("unknown"));
}

void Synchronisation::receiverStatusReported() {
  const uint8_t off = 0x00;
  commands_.writeBinrCommand(0x0C, &off, 1);
}

void Synchronisation::rateAcknowledged() {
  if (const std::optional<int32_t> baud = baudFromText(panel_.baudText())) link_.setPortBaud(*baud);
}

void Synchronisation::receiverIdentified(const char* recordExtension, bool connected) {
  if (recordExtension) {
    const std::string name = recordFileName(panel_.deviceText().toLatin1().toStdString(),
                                            panel_.portEntry().toLatin1().toStdString(), recordExtension);
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
  switch (transport_.receiverProtocol) {
    case ReceiverProtocol::NMEA:
      break;  // NMEA receivers talk unasked: the search listens
    case ReceiverProtocol::BINR: {
      uint8_t rate[6] = {0x00, 0, 0, 0, 0, 0x04};
      putLe32(rate + 1, selectedBaud_);
      commands_.writeBinrCommand(0x26, nullptr, 0);
      commands_.writeBinrCommand(0x0B, rate, 6);
      break;
    }
    case ReceiverProtocol::BINR2: {
      uint8_t rate[7] = {0x02, 0x00, 0x00, 0, 0, 0, 0};
      putLe32(rate + 3, selectedBaud_);
      commands_.writeBinr2Command(rate, 7);
      break;
    }
  }
}

}  // namespace veltrano
