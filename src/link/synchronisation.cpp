#include "link/synchronisation.h"

#include <QFileInfo>
#include <QLineEdit>

#include "decoding/message_fan_out.h"
#include "link/baud_text.h"
#include "link/command_writer.h"
#include "link/serial_link.h"
#include "link/sync_search_table.h"
#include "mainwindow/app_context.h"
#include "mainwindow/main_form.h"

namespace veltrano {

namespace {

constexpr int kCustomBaudItem = 9;
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

Synchronisation::Synchronisation(AppContext& app) : app_(app) {
  QComboBox* baud = app_.mainForm->controls().baudComboBox;
  QObject::connect(baud, &QComboBox::activated, baud, [this] { BaudComboBoxCloseUp(); });
}

void Synchronisation::PortComboBoxDropDown() {
  refreshPortList();
  app_.mainForm->controls().recordButton->setEnabled(true);
}

void Synchronisation::refreshPortList() {
  // Probing opens each port; the one in use (SYNC, REC) must stay as it is.
  if (app_.serialLink->isOpen()) return;
  const MainFormControls& c = app_.mainForm->controls();
  c.portComboBox->clear();
  const std::optional<int32_t> baud = baudFromText(c.baudComboBox->currentText());
  if (!baud) return;
  for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts()) {
    if (!app_.serialLink->openPort(port.portName(), *baud, false, false)) continue;
    app_.serialLink->closePort();
    c.portComboBox->addItem(portListEntry(port.portName(), portDeviceName(port)));
  }
  if (c.portComboBox->count() > 0) c.portComboBox->setCurrentIndex(0);
}

void Synchronisation::BaudComboBoxCloseUp() {
  QComboBox* box = app_.mainForm->controls().baudComboBox;
  const bool custom = box->currentIndex() == kCustomBaudItem;
  if (box->isEditable() == custom) return;
  box->setEditable(custom);
  if (!custom) return;
  // A typed rate replaces the shown text only; the list keeps its items.
  box->setInsertPolicy(QComboBox::NoInsert);
  box->lineEdit()->selectAll();
  box->setFocus();
}

void Synchronisation::SynchroButtonClick(bool) {
  TMainForm& form = *app_.mainForm;
  TransportFields& transport = form.transport;
  if (transport.transportState != TransportState::STOP) return;
  const MainFormControls& c = form.controls();

  const QString baudText = c.baudComboBox->currentText();
  const std::optional<int32_t> baud = baudFromText(baudText);
  const bool binr = transport.receiverProtocol == ReceiverProtocol::BINR;
  if (!baud || !app_.serialLink->openPort(form.portName(), *baud, binr, true)) {
    c.deviceLabel->setCaption(QStringLiteral("unknown"));
    c.infoLabel->setCaption(QStringLiteral("Connection failed"));
    return;
  }
  selectedBaud_ = *baud;
  c.infoLabel->setCaption(QStringLiteral("Connection baud: ") + baudText);
  transport.syncBaudIndex = 0;
  c.synchroTimer->start(transport.receiverProtocol == ReceiverProtocol::NMEA ? kNmeaTickMs : kBinaryTickMs);
  c.errorBytesLabel->setCaption(QStringLiteral("0"));
  app_.receiver->resetDecoders();
  form.setTransportState(TransportState::SYNC);
  form.enableControlsForState(TransportState::SYNC);
  sendRequest();
}

void Synchronisation::SynchroTimerTimer() {
  TMainForm& form = *app_.mainForm;
  TransportFields& transport = form.transport;
  const MainFormControls& c = form.controls();
  // A tick that was already on its way when the search ended.
  if (transport.transportState != TransportState::SYNC) {
    c.synchroTimer->stop();
    return;
  }

  if (transport.syncBaudIndex == kReceiverFound) {
    switch (transport.receiverProtocol) {
      case ReceiverProtocol::BINR:
        app_.hooks.writeBinrCommand(0x1B, nullptr, 0);
        return;
      case ReceiverProtocol::BINR2: {
        const uint8_t identify[] = {0x01, 0xC0, 0x01, 0x00, 0x00};
        app_.hooks.writeBinr2Command(identify, 5);
        return;
      }
      case ReceiverProtocol::NMEA:
        c.synchroTimer->stop();
        c.infoLabel->setCaption(QStringLiteral("Connection Ok"));
        c.errorBytesLabel->setCaption(QStringLiteral("0"));
        form.StopButtonClick(false);
        if (transport.recordAfterSync) {
          app_.sleepMs(500);
          app_.hooks.recordButtonClick(false);
        }
        return;
    }
  }

  if (++transport.syncBaudIndex == kReceiverFound) {
    transport.recordAfterSync = false;
    c.deviceLabel->setCaption(QStringLiteral("unknown"));
    c.infoLabel->setCaption(QStringLiteral("Connection failed"));
    form.StopButtonClick(false);
    return;
  }
  int32_t baud = syncSearchBaud(transport.receiverProtocol, transport.syncBaudIndex);
  // The selected rate was tried first; only the last entry is tried again.
  if (baud == selectedBaud_ && transport.syncBaudIndex < 9)
    baud = syncSearchBaud(transport.receiverProtocol, ++transport.syncBaudIndex);
  c.infoLabel->setCaption(QStringLiteral("Connection baud: %1").arg(baud));
  app_.serialLink->setPortBaud(baud);
  app_.receiver->resetDecoders();
  sendRequest();
}

void Synchronisation::receiverHeard() {
  TMainForm& form = *app_.mainForm;
  const TransportFields& transport = form.transport;
  app_.commandWriter->writeNmeaCommand("$POVER");
  if (transport.syncBaudIndex != 0) {
    const int32_t baud = syncSearchBaud(transport.receiverProtocol, transport.syncBaudIndex);
    QComboBox* box = form.controls().baudComboBox;
    for (int i = 0; i < box->count(); ++i) {
      bool ok = false;
      if (box->itemText(i).toInt(&ok) == baud && ok) {
        box->setCurrentIndex(i);
        break;
      }
    }
  }
  form.controls().deviceLabel->setCaption(QStringLiteral("unknown"));
}

void Synchronisation::receiverStatusReported() {
  const uint8_t off = 0x00;
  app_.commandWriter->writeBinrCommand(0x0C, &off, 1);
}

void Synchronisation::rateAcknowledged() {
  if (const std::optional<int32_t> baud = baudFromText(app_.mainForm->controls().baudComboBox->currentText()))
    app_.serialLink->setPortBaud(*baud);
}

void Synchronisation::receiverIdentified(const char* recordExtension, bool connected) {
  TMainForm& form = *app_.mainForm;
  const MainFormControls& c = form.controls();
  if (recordExtension) {
    const std::string name = recordFileName(c.deviceLabel->text().toLatin1().toStdString(),
                                            c.portComboBox->currentText().toLatin1().toStdString(), recordExtension);
    c.fileLabel->setCaption(QString::fromLatin1(name.data(), qsizetype(name.size())));
  }
  if (!connected) return;
  c.infoLabel->setCaption(QStringLiteral("Connection Ok"));
  c.synchroTimer->stop();
  form.StopButtonClick(false);
  if (form.transport.recordAfterSync) {
    app_.sleepMs(500);
    app_.hooks.recordButtonClick(false);
  }
}

void Synchronisation::sendRequest() {
  switch (app_.mainForm->transport.receiverProtocol) {
    case ReceiverProtocol::NMEA:
      break;  // NMEA receivers talk unasked: the search listens
    case ReceiverProtocol::BINR: {
      uint8_t rate[6] = {0x00, 0, 0, 0, 0, 0x04};
      putLe32(rate + 1, selectedBaud_);
      app_.hooks.writeBinrCommand(0x26, nullptr, 0);
      app_.hooks.writeBinrCommand(0x0B, rate, 6);
      break;
    }
    case ReceiverProtocol::BINR2: {
      uint8_t rate[7] = {0x02, 0x00, 0x00, 0, 0, 0, 0};
      putLe32(rate + 3, selectedBaud_);
      app_.hooks.writeBinr2Command(rate, 7);
      break;
    }
  }
}

}  // namespace veltrano
