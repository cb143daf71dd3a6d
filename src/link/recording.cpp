#include "link/recording.h"

#include <QFile>
#include <QRegularExpression>
#include <cstring>

#include "decoding/nmea_conversion_writer.h"
#include "link/baud_text.h"
#include "link/command_writer.h"
#include "link/protocol_profile.h"
#include "link/record_panel.h"
#include "link/serial_link.h"

namespace veltrano {

namespace {

constexpr qsizetype kStampLength = 16;  // "_YYYYMMDD_hhmmss"
constexpr int kWatchdogTicks = 3;
constexpr int kSearchAfterLossMs = 500;

}  // namespace

QString stampedRecordName(const QString& name, const QDateTime& time) {
  const QDate date = time.date();
  const QTime clock = time.time();
  const QString stamp = QString::asprintf("_%04d%02d%02d_%02d%02d%02d", date.year(), date.month(), date.day(),
                                          clock.hour(), clock.minute(), clock.second());
  QString stamped = name;
  qsizetype at = stamped.indexOf(QLatin1Char('.'));
  if (at < 0) at = stamped.size();
  static const QRegularExpression numbered(QStringLiteral("_\\d{8}_\\d{6}(_\\d+)$"));
  const QRegularExpressionMatch number = numbered.match(QStringView(stamped).left(at));
  if (number.hasMatch()) {
    stamped.remove(number.capturedStart(1), number.capturedLength(1));
    at -= number.capturedLength(1);
  }
  if (at >= kStampLength && QStringView(stamped).mid(at - kStampLength, 3) == QStringView(stamp).left(3)) {
    stamped.remove(at - kStampLength, kStampLength);
    at -= kStampLength;
  }
  return stamped.insert(at, stamp);
}

Recording::Recording(RecordPanel& panel, TransportFields& transport, Receiver& receiver, SerialLink& link,
                     CommandWriter& commands, NmeaConversionWriter& conversion, std::function<void(int ms)> sleepMs)
    : panel_(panel),
      transport_(transport),
      receiver_(receiver),
      link_(link),
      commands_(commands),
      conversion_(conversion),
      sleepMs_(std::move(sleepMs)) {}

void Recording::RecordButtonClick(bool) {
  if (transport_.transportState != TransportState::STOP) return;
  const ProtocolProfile& profile = protocolProfile(transport_.receiverProtocol);

  transport_.recordAfterSync = false;
  const QString stamped = stampedRecordName(panel_.fileName(), currentTime());
  panel_.showFileName(stamped);
  if (!record_.create(QFile::encodeName(stamped).toStdString(), profile.convertedToNmea)) {
    panel_.showInfo(
        QStringLiteral("Cannot create %1: %2").arg(stamped, QString::fromLocal8Bit(std::strerror(record_.error()))));
    return;
  }
  const std::string fileName = record_.name();
  panel_.showFileName(QFile::decodeName(fileName.c_str()));
  const std::optional<int32_t> baud = baudFromText(panel_.baudText());
  if (!baud) {
    record_.close();
    panel_.showInfo(QStringLiteral("Connection failed"));
    return;
  }
  if (!link_.openPort(panel_.portName(), *baud, profile.oddParity, true, &record_)) {
    record_.close();
    // Said even when nothing more is known: the line must not keep an earlier "Connection Ok".
    panel_.showInfo(link_.openFailureText(panel_.portName()));
    return;
  }

  panel_.resetCounters();
  panel_.showInfo(QStringLiteral("Wait..."));
  panel_.startWatchdog();
  receiver_.resetDecoders();
  emit started();
  panel_.enterState(TransportState::REC);
  commands_.sendSteps(profile.protocol, profile.startRecording, panel_.debugDataWanted(), *baud, sleepMs_);
  // The NMEA conversion of a binary stream goes beside the raw file.
  if (profile.convertedToNmea) conversion_.openConversionFile(fileName);
}

void Recording::blockRecorded() {
  if (transport_.transportState != TransportState::REC) return;
  panel_.showInfo(QStringLiteral("Receive..."));
  // A file that cannot be written or opened again ends the recording as loudly
  // as a full disk does.
  if (record_.failed()) stopOnFullDisk();
}

void Recording::stopRecording() {
  const ProtocolProfile& profile = protocolProfile(transport_.receiverProtocol);
  commands_.sendSteps(profile.protocol, profile.stopRecording, panel_.debugDataWanted(), 0, sleepMs_);
  if (profile.convertedToNmea) {
    sleepMs_(profile.stopWaitMs);
    conversion_.closeConversionFile();
  }
  // The reader stored every byte it read before the port closed.
  link_.closePort();
  record_.close();
}

void Recording::WatchTimerTimer() {
  if (transport_.transportState != TransportState::REC) return;
  if (++transport_.noDataTicks < kWatchdogTicks) return;
  transport_.recordAfterSync = true;
  panel_.stop();
  emit receiverLost();
  sleepMs_(kSearchAfterLossMs);
  emit searchWanted();
}

void Recording::stopOnFullDisk() {
  panel_.showInfo(QStringLiteral("Disk is full"));
  panel_.stop();
}

}  // namespace veltrano
