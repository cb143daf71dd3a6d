#include "mainwindow/playback.h"

#include <QDir>
#include <QFileInfo>
#include <memory>

#include "decoding/nmea_conversion_writer.h"
#include "decoding/receiver.h"
#include "decoding/stream_intake.h"
#include "link/protocol_profile.h"
#include "link/thread_wait.h"
#include "mainwindow/dialogs.h"
#include "mainwindow/fifo_reader.h"
#include "mainwindow/frame_pacer.h"
#include "mainwindow/transport_panel.h"

namespace veltrano {

namespace {

int64_t progressPercent(int64_t receivedTotal, int64_t fileLength) {
  return fileLength <= 1024 ? 100 : (100 * (receivedTotal / 1024)) / (fileLength / 1024);
}

}  // namespace

QString playbackProgressText(int64_t receivedTotal, int64_t fileLength) {
  if (fileLength < 0)
    return QStringLiteral("File reading... %1").arg(QString::fromStdString(formatReceivedTotal(receivedTotal)));
  return QStringLiteral("File reading... %1%").arg(progressPercent(receivedTotal, fileLength));
}

Playback::Playback(TransportPanel& panel, TransportFields& transport, Receiver& receiver, BlockReceiver& intake,
                   NmeaConversionWriter& conversion, FramePacer& pacer)
    : panel_(panel),
      transport_(transport),
      receiver_(receiver),
      intake_(intake),
      conversion_(conversion),
      pacer_(pacer) {
  openFileDialog = [this](const QString& title, const QString& directory, const QString& filter) {
    return askFileToOpen(*panel_.dialogParent(), title, directory, filter);
  };
}

Playback::~Playback() {
  closing_ = true;
  for (const QPointer<TReadCycle>& cycle : std::as_const(threads_))
    if (cycle) cycle->requestTermination();
  for (const QPointer<TReadCycle>& cycle : std::as_const(threads_)) {
    if (!cycle) continue;
    // The thread's last hand-offs wait for the main thread: serve them (they
    // are dropped now) until it has ended.
    waitServingHandOffs(*cycle);
    delete cycle.data();
  }
}

void Playback::EjectButtonClick() {
  panel_.showState(TransportState::OPEN);
  const ProtocolProfile& profile = protocolProfile(transport_.receiverProtocol);
  const QString chosen =
      openFileDialog(QStringLiteral("Open file:"), QDir::currentPath(), QString::fromLatin1(profile.fileFilter));
  if (!chosen.isEmpty()) {
    const QFileInfo file(chosen);
    QString name = file.fileName();
    if (!name.contains(QLatin1Char('.'))) name += QString::fromLatin1(profile.recordExtension);
    panel_.fixFileName(name);
    QDir::setCurrent(file.absolutePath());
  }
  panel_.showState(TransportState::STOP);
}

void Playback::PlayButtonClick(bool) { play(true); }

void Playback::RewindButtonClick(bool) {
  play(false);
  if (transport_.transportState != TransportState::PLAY) return;
  panel_.enterState(TransportState::FF);
}

void Playback::play(bool normalSpeed) {
  switch (transport_.transportState) {
    case TransportState::STOP:
      if (!startPlayback(normalSpeed)) return;
      break;
    case TransportState::PAUSE:
      // The speed is set first so that the resumed thread goes on at it.
      if (current_) current_->setNormalSpeed(normalSpeed);
      resumePlayback();
      break;
    case TransportState::PLAY:
    case TransportState::FF:
      if (current_) current_->setNormalSpeed(normalSpeed);
      break;
    default:
      // Nothing to play from OPEN, SYNC or REC.
      return;
  }
  panel_.enterState(TransportState::PLAY);
}

bool Playback::startPlayback(bool normalSpeed) {
  const QString name = panel_.fileName();
  std::unique_ptr<TReadCycle> cycle = openPlaybackCycle(name, normalSpeed);
  if (!cycle) {
    panel_.showInfo(QStringLiteral("File open error"));
    return false;
  }
  const int64_t length = cycle->fileLength();
  panel_.showInfo(length < 0 ? playbackProgressText(0, length) : QStringLiteral("File reading... 0%"));
  panel_.resetCounters();

  receiver_.resetDecoders();
  progressText_.clear();
  // The conversion writer names its file after the played one (x.dat gives x.nme).
  if (protocolProfile(transport_.receiverProtocol).convertedToNmea)
    conversion_.openConversionFile(QFile::encodeName(name).toStdString());
  emit started();

  QObject::connect(cycle.get(), &QThread::finished, cycle.get(), &QObject::deleteLater);
  threads_.removeAll(QPointer<TReadCycle>());
  current_ = cycle.release();
  threads_.append(current_);
  current_->start();
  return true;
}

std::unique_ptr<TReadCycle> Playback::openPlaybackCycle(const QString& name, bool normalSpeed) {
  TReadCycle::HandOffs handOffs{[this](TReadCycle* from, const uint8_t* bytes, int32_t length) {
                                  return handOverBlock(from, bytes, length);
                                },
                                [this](TReadCycle* from) { decodeQueuedSlices(from); },
                                [this](TReadCycle* from) { endPlayback(from); }};
  // A FIFO's plain open would wait here, on the main thread, for a writer to
  // open it: it is opened without waiting, and its thread waits for the data.
  if (FifoReader::isFifo(name)) {
    std::unique_ptr<FifoReader> fifo = FifoReader::open(name);
    if (!fifo) return nullptr;
    return std::make_unique<TReadCycle>(std::move(fifo), normalSpeed, std::move(handOffs));
  }
  auto file = std::make_unique<QFile>(name);
  if (!file->open(QIODevice::ReadOnly)) return nullptr;
  return std::make_unique<TReadCycle>(std::move(file), normalSpeed, std::move(handOffs));
}

void Playback::PauseButtonClick() {
  if (!current_) return;
  panel_.enterState(TransportState::PAUSE);
  current_->suspend();
}

void Playback::resumePlayback() {
  if (current_) current_->resume();
}

void Playback::stopPlayback() {
  if (current_) {
    if (transport_.transportState == TransportState::PAUSE) resumePlayback();
    current_->requestTermination();
    current_ = nullptr;
    pacer_.finishFrame();
  }
  if (protocolProfile(transport_.receiverProtocol).convertedToNmea) conversion_.closeConversionFile();
}

bool Playback::handOverBlock(TReadCycle* cycle, const uint8_t* bytes, int32_t length) {
  // A block of a playback that was stopped or replaced is dropped.
  if (closing_ || cycle != current_) return true;
  // Paused while the block was on its way: the thread offers it again after
  // resuming, so it is decoded and counted in PLAY or FF.
  if (cycle->suspended()) return false;
  intake_.receiveBlock(bytes, length);
  panel_.showInfo(progressText(transport_.receivedTotal, cycle->fileLength()));
  return true;
}

// A file's text changes once per percent, a FIFO's with the total it counts.
const QString& Playback::progressText(int64_t receivedTotal, int64_t fileLength) {
  const int64_t shown = fileLength < 0 ? receivedTotal : progressPercent(receivedTotal, fileLength);
  if (shown != progressShown_ || progressText_.isEmpty()) {
    progressShown_ = shown;
    progressText_ = playbackProgressText(receivedTotal, fileLength);
  }
  return progressText_;
}

// The event loop runs between two slots: a click is answered and the other
// windows are drawn while the next slices wait.
void Playback::decodeQueuedSlices(TReadCycle* cycle) {
  if (closing_ || cycle != current_) return;
  pacer_.startSlot();
  cycle->takeQueuedSlices(pacer_.slotEnd());
  pacer_.endSlot();
}

void Playback::endPlayback(TReadCycle* cycle) {
  // A thread that Stop already ended, or that a newer playback replaced,
  // leaves the transport and InfoLabel alone.
  if (closing_ || cycle != current_) return;
  current_ = nullptr;
  pacer_.finishFrame();
  panel_.showInfo(QString());
  panel_.stop();
}

}  // namespace veltrano
