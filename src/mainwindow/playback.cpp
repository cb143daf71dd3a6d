#include "mainwindow/playback.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <memory>

#include "link/thread_wait.h"
#include "mainwindow/app_context.h"
#include "mainwindow/main_form.h"
#include "util/position_statistics.h"

namespace veltrano {

namespace {

struct FileType {
  const char* filter;
  const char* defaultExtension;
};

// By ReceiverProtocol.
constexpr FileType kFileTypes[] = {
    {"NMEA files (*.nme);;All files (*.*)", ".nme"},
    {"BINR files (*.dat);;All files (*.*)", ".dat"},
    {"BINR2 files (*.b2);;All files (*.*)", ".b2"},
};

bool isBinary(ReceiverProtocol protocol) {
  return protocol == ReceiverProtocol::BINR || protocol == ReceiverProtocol::BINR2;
}

}  // namespace

QString playbackProgressText(int64_t receivedTotal, int64_t fileLength) {
  const int64_t percent = fileLength <= 1024 ? 100 : (100 * (receivedTotal / 1024)) / (fileLength / 1024);
  return QStringLiteral("File reading... %1%").arg(percent);
}

Playback::Playback(AppContext& app) : app_(app) {
  openFileDialog = [this](const QString& title, const QString& directory, const QString& filter) {
    return QFileDialog::getOpenFileName(app_.mainForm.get(), title, directory, filter);
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
  TMainForm& form = *app_.mainForm;
  form.setTransportState(TransportState::OPEN);
  const FileType& type = kFileTypes[int(form.transport.receiverProtocol)];
  const QString chosen =
      openFileDialog(QStringLiteral("Open file:"), QDir::currentPath(), QString::fromLatin1(type.filter));
  if (!chosen.isEmpty()) {
    const QFileInfo file(chosen);
    QString name = file.fileName();
    if (!name.contains(QLatin1Char('.'))) name += QString::fromLatin1(type.defaultExtension);
    form.controls().fileLabel->setCaption(name);
    form.transport.fileNameFixed = true;
    QDir::setCurrent(file.absolutePath());
  }
  form.setTransportState(TransportState::STOP);
}

void Playback::PlayButtonClick(bool) { play(true); }

void Playback::RewindButtonClick(bool) {
  play(false);
  TMainForm& form = *app_.mainForm;
  if (form.transport.transportState != TransportState::PLAY) return;
  form.setTransportState(TransportState::FF);
  form.enableControlsForState(TransportState::FF);
}

void Playback::play(bool normalSpeed) {
  TMainForm& form = *app_.mainForm;
  switch (form.transport.transportState) {
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
  form.setTransportState(TransportState::PLAY);
  form.enableControlsForState(TransportState::PLAY);
}

bool Playback::startPlayback(bool normalSpeed) {
  TMainForm& form = *app_.mainForm;
  const MainFormControls& c = form.controls();
  const QString name = c.fileLabel->text();
  auto file = std::make_unique<QFile>(name);
  if (!file->open(QIODevice::ReadOnly)) {
    c.infoLabel->setCaption(QStringLiteral("File open error"));
    return false;
  }
  c.infoLabel->setCaption(QStringLiteral("File reading... 0%"));
  form.transport.receivedTotal = 0;
  form.transport.errorCount = 0;
  c.receiveBytesLabel->setCaption(QStringLiteral("0 kB"));
  c.errorBytesLabel->setCaption(QStringLiteral("0"));

  AppHooks& hooks = app_.hooks;
  app_.receiver->resetDecoders();
  hooks.clearSatelliteStatus();
  hooks.resetPlot();
  hooks.clearSnrChart();
  hooks.clearPoints();
  // The conversion writer names its file after the played one (x.dat gives x.nme).
  if (isBinary(form.transport.receiverProtocol)) hooks.openConversionFile(QFile::encodeName(name).toStdString());
  resetPositionStatistics(app_.statistics);
  hooks.resetStatisticDisplay();

  auto* cycle = new TReadCycle(
      std::move(file), normalSpeed,
      [this](TReadCycle* from, const uint8_t* bytes, int32_t length) { return handOverBlock(from, bytes, length); },
      [this](TReadCycle* from) { endPlayback(from); });
  QObject::connect(cycle, &QThread::finished, cycle, &QObject::deleteLater);
  threads_.removeAll(QPointer<TReadCycle>());
  threads_.append(cycle);
  current_ = cycle;
  cycle->start();
  return true;
}

void Playback::PauseButtonClick() {
  if (!current_) return;
  TMainForm& form = *app_.mainForm;
  form.setTransportState(TransportState::PAUSE);
  form.enableControlsForState(TransportState::PAUSE);
  current_->suspend();
}

void Playback::resumePlayback() {
  if (current_) current_->resume();
}

void Playback::terminatePlayback() {
  if (!current_) return;
  current_->requestTermination();
  current_ = nullptr;
}

bool Playback::handOverBlock(TReadCycle* cycle, const uint8_t* bytes, int32_t length) {
  // A block of a playback that was stopped or replaced is dropped.
  if (closing_ || cycle != current_) return true;
  // Paused while the block was on its way: the thread offers it again after
  // resuming, so it is decoded and counted in PLAY or FF.
  if (cycle->suspended()) return false;
  app_.intake->receiveBlock(bytes, length);
  app_.mainForm->controls().infoLabel->setCaption(
      playbackProgressText(app_.mainForm->transport.receivedTotal, cycle->fileLength()));
  return true;
}

void Playback::endPlayback(TReadCycle* cycle) {
  // A thread that Stop already ended, or that a newer playback replaced,
  // leaves the transport and InfoLabel alone.
  if (closing_ || cycle != current_) return;
  current_ = nullptr;
  app_.mainForm->controls().infoLabel->setCaption(QString());
  app_.mainForm->StopButtonClick(false);
}

}  // namespace veltrano
