#include "live_session.h"

#include <QFile>
#include <chrono>
#include <thread>

#include "link/protocol_profile.h"

namespace veltrano {

namespace {

constexpr int kWatchdogTickMs = 1000;

// The program's fixed waits: blocking sleeps on the main thread.
void sleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace

LiveSession::LiveSession(const LinkOptions& link, bool debugData)
    : fanOut_(*receiver_, transport_, *this, conversion_),
      intake_(transport_, fanOut_, *this),
      link_(intake_),
      commands_(link_, transport_.binrCommandCrc),
      synchronisation_(*this, transport_, *receiver_, link_, commands_, sleepMs),
      recording_(*this, transport_, *receiver_, link_, commands_, conversion_, sleepMs),
      portName_(QFile::decodeName(link.port.c_str())),
      debugData_(debugData),
      baudText_(QString::number(link.baud)),
      fileName_(QString::fromStdString(defaultRecordName(link.protocol))) {
  transport_.receiverProtocol = link.protocol;
  fanOut_.attachSynchronisation(synchronisation_);
  QObject::connect(&searchTimer_, &QTimer::timeout, &searchTimer_, [this] { synchronisation_.SynchroTimerTimer(); });
  watchTimer_.setInterval(kWatchdogTickMs);
  QObject::connect(&watchTimer_, &QTimer::timeout, &watchTimer_, [this] { recording_.WatchTimerTimer(); });
  // The watchdog stopped a silent recording: the search that records again once
  // the receiver is back.
  QObject::connect(&recording_, &Recording::searchWanted, &watchTimer_,
                   [this] { synchronisation_.SynchroButtonClick(false); });
  QObject::connect(&recording_, &Recording::started, &watchTimer_,
                   [this] { recordingStarted(QFile::encodeName(fileName_).toStdString()); });
}

// The reader stores into the recording's file: it stops before the recording goes.
LiveSession::~LiveSession() { link_.closePort(); }

void LiveSession::synchronise() { synchronisation_.SynchroButtonClick(true); }
void LiveSession::startRecording() { RecordButtonClick(true); }
void LiveSession::stopByUser() { StopButtonClick(true); }

bool LiveSession::connected() const { return info_ == QStringLiteral("Connection Ok"); }

// The port is the one named on the command line; no list is offered.
void LiveSession::setPortEntries(const QStringList&) {}

void LiveSession::selectBaudItem(int32_t baud) { baudText_ = QString::number(baud); }

void LiveSession::showInfo(const QString& text) {
  if (text == info_) return;
  info_ = text;
  infoChanged(info_);
}

void LiveSession::resetCounters() {
  transport_.receivedTotal = 0;
  transport_.errorCount = 0;
}

void LiveSession::startWatchdog() {
  transport_.noDataTicks = 0;
  watchTimer_.start();
}

void LiveSession::showDevice(std::string_view text) {
  device_ = QString::fromLatin1(text.data(), qsizetype(text.size()));
}

void LiveSession::RecordButtonClick(bool sender) {
  recording_.RecordButtonClick(sender);
  if (transport_.transportState != TransportState::REC) {
    recordingRefused();
    return;
  }
  if (conversion_.isOpen()) conversionOpened(conversionFileName(QFile::encodeName(fileName_).toStdString()));
}

// The main window's Stop: what the state it leaves set up ends.
void LiveSession::StopButtonClick(bool sender) {
  const TransportState left = transport_.transportState;
  switch (left) {
    case TransportState::SYNC:
      searchTimer_.stop();
      synchronisation_.stopSearch(sender);
      break;
    case TransportState::REC: {
      const std::string record = QFile::encodeName(fileName_).toStdString();
      const std::string conversion = conversion_.isOpen() ? conversionFileName(record) : std::string();
      recording_.stopRecording();
      watchTimer_.stop();
      recordingClosed(record, conversion);
      break;
    }
    default:
      break;
  }
  if (sender) showInfo(QString());
  transport_.transportState = TransportState::STOP;
  stopped(left, sender);
}

}  // namespace veltrano
