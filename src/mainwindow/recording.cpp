#include "mainwindow/recording.h"

#include <QFile>

#include "link/baud_text.h"
#include "link/command_writer.h"
#include "link/serial_link.h"
#include "mainwindow/app_context.h"
#include "mainwindow/main_form.h"
#include "util/position_statistics.h"

namespace veltrano {

namespace {

constexpr qsizetype kStampLength = 16;  // "_YYYYMMDD_hhmmss"
constexpr int64_t kReopenEvery = 128;   // KiB

// What the receiver is told to send while recording, in this order.
constexpr uint8_t kBinrOutput[6][2] = {{0x03, 0x01}, {0x03, 0x04}, {0x03, 0x02},
                                       {0x03, 0x05}, {0x03, 0x03}, {0x03, 0x06}};
constexpr uint8_t kBinrEnable[4] = {0x21, 0x27, 0x35, 0x24};
constexpr uint8_t kBinr2Output[6][5] = {{0x01, 0x00, 0xFF, 0x00, 0x00}, {0x01, 0xC0, 0x01, 0x00, 0x00},
                                        {0x01, 0x90, 0x02, 0x01, 0x00}, {0x01, 0xA1, 0x02, 0x01, 0x00},
                                        {0x01, 0xB2, 0x03, 0x58, 0x02}, {0x01, 0xA0, 0x03, 0x0A, 0x00}};
constexpr uint8_t kBinr2RawData[5] = {0x01, 0xF0, 0x03, 0x01, 0x00};

}  // namespace

QString stampedRecordName(const QString& name, const QDateTime& time) {
  const QDate date = time.date();
  const QTime clock = time.time();
  const QString stamp = QString::asprintf("_%04d%02d%02d_%02d%02d%02d", date.year(), date.month(), date.day(),
                                          clock.hour(), clock.minute(), clock.second());
  QString stamped = name;
  qsizetype at = stamped.indexOf(QLatin1Char('.'));
  if (at < 0) at = stamped.size();
  if (at >= kStampLength && QStringView(stamped).mid(at - kStampLength, 3) == QStringView(stamp).left(3)) {
    stamped.remove(at - kStampLength, kStampLength);
    at -= kStampLength;
  }
  return stamped.insert(at, stamp);
}

Recording::Recording(AppContext& app) : app_(app) {}

void Recording::RecordButtonClick(bool) {
  TMainForm& form = *app_.mainForm;
  TransportFields& transport = form.transport;
  if (transport.transportState != TransportState::STOP) return;
  const MainFormControls& c = form.controls();

  transport.recordAfterSync = false;
  const QString name = stampedRecordName(c.fileLabel->text(), currentTime());
  c.fileLabel->setCaption(name);
  const std::string fileName = QFile::encodeName(name).toStdString();
  if (!recordFile_.create(fileName)) return;
  const std::optional<int32_t> baud = baudFromText(c.baudComboBox->currentText());
  const bool binr = transport.receiverProtocol == ReceiverProtocol::BINR;
  if (!baud || !app_.serialLink->openPort(form.portName(), *baud, binr, true)) {
    recordFile_.close();
    return;
  }

  transport.receivedTotal = 0;
  transport.errorCount = 0;
  c.receiveBytesLabel->setCaption(QStringLiteral("0 kB"));
  c.errorBytesLabel->setCaption(QStringLiteral("0"));
  c.infoLabel->setCaption(QStringLiteral("Wait..."));
  transport.noDataTicks = 0;
  c.watchTimer->start();
  clearForRecording();
  form.setTransportState(TransportState::REC);
  form.enableControlsForState(TransportState::REC);
  resetPositionStatistics(app_.statistics);
  app_.hooks.resetStatisticDisplay();
  configureReceiver(fileName);
}

void Recording::clearForRecording() {
  app_.receiver->resetDecoders();
  app_.hooks.clearSatelliteStatus();
  app_.hooks.resetPlot();
  app_.hooks.clearSnrChart();
  app_.hooks.clearPoints();
}

void Recording::configureReceiver(const std::string& fileName) {
  switch (app_.mainForm->transport.receiverProtocol) {
    case ReceiverProtocol::NMEA:
      app_.commandWriter->writeNmeaCommand("$POVER");
      return;
    case ReceiverProtocol::BINR:
      configureBinr();
      break;
    case ReceiverProtocol::BINR2:
      configureBinr2();
      break;
  }
  // The NMEA conversion of the binary stream goes beside the raw file.
  app_.hooks.openConversionFile(fileName);
}

void Recording::configureBinr() {
  AppHooks& hooks = app_.hooks;
  hooks.writeBinrCommand(0x0E, nullptr, 0);
  hooks.writeBinrCommand(0x1B, nullptr, 0);
  app_.sleepMs(200);
  for (const auto& output : kBinrOutput) {
    hooks.writeBinrCommand(0xA0, output, 2);
    app_.sleepMs(200);
  }
  const uint8_t on = 0x01;
  if (app_.mainForm->controls().rawDataCheckBox->isChecked()) hooks.writeBinrCommand(0x0C, &on, 1);
  for (const uint8_t id : kBinrEnable) hooks.writeBinrCommand(id, &on, 1);
}

void Recording::configureBinr2() {
  AppHooks& hooks = app_.hooks;
  for (const auto& command : kBinr2Output) {
    app_.sleepMs(50);
    hooks.writeBinr2Command(command, 5);
  }
  app_.sleepMs(50);
  if (app_.mainForm->controls().rawDataCheckBox->isChecked()) hooks.writeBinr2Command(kBinr2RawData, 5);
}

void Recording::recordBlock(const uint8_t* bytes, int32_t length) {
  const TransportFields& transport = app_.mainForm->transport;
  if (transport.transportState != TransportState::REC) return;
  app_.mainForm->controls().infoLabel->setCaption(QStringLiteral("Receive..."));
  if (recordFile_.write(bytes, length) < length) return stopOnFullDisk();
  // Around every 128 KiB the file is closed and opened again; a file that cannot
  // be opened again takes no more data, which ends the recording as loudly as a
  // full disk does.
  if ((transport.receivedTotal / 1024) % kReopenEvery == 0 && !recordFile_.reopenForAppend()) stopOnFullDisk();
}

void Recording::stopOnFullDisk() {
  app_.mainForm->controls().infoLabel->setCaption(QStringLiteral("Disk is full"));
  app_.mainForm->StopButtonClick(false);
}

}  // namespace veltrano
