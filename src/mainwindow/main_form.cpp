#include "mainwindow/main_form.h"

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <optional>

#include "decoding/stream_intake.h"
#include "displays/tool_form.h"
#include "displays/window_placement.h"
#include "link/protocol_profile.h"
#include "mainwindow/dialogs.h"
#include "mainwindow/state_icon.h"
#include "mainwindow/timer_form.h"
#include "mainwindow/transport_enabling.h"

namespace veltrano {

namespace {

const QColor kLime(0, 255, 0);
constexpr int kCustomBaudItem = 9;  // "custom": the rate is typed
const QColor kRed(255, 0, 0);

// The state word of ActionLabel; nullptr for a value that is no state.
const char* stateWord(TransportState state) {
  switch (state) {
    case TransportState::SYNC:
      return "SYNC";
    case TransportState::OPEN:
      return "OPEN";
    case TransportState::PLAY:
      return "PLAY";
    case TransportState::FF:
      return "  FF";
    case TransportState::PAUSE:
      return "PAUSE";
    case TransportState::STOP:
      return "STOP";
    case TransportState::REC:
      return " REC";
  }
  return nullptr;
}

// The protocol of a recording by its name: ".nme" anywhere in it, or the
// extension ".dat" or ".b2".
std::optional<ReceiverProtocol> namedFileProtocol(const QString& fileName) {
  if (fileName.contains(QStringLiteral(".nme")) || fileName.contains(QStringLiteral(".NME")))
    return ReceiverProtocol::NMEA;
  const QString suffix = QFileInfo(fileName).suffix().toLower();
  if (suffix == QStringLiteral("dat")) return ReceiverProtocol::BINR;
  if (suffix == QStringLiteral("b2")) return ReceiverProtocol::BINR2;
  return std::nullopt;
}

}  // namespace

QString applicationCaption(const QString& versionString) {
  return QStringLiteral("VELTRANO ") + versionString + QStringLiteral(" (RTK)");
}

TMainForm::TMainForm(TransportFields& transport, QStringList arguments)
    : QFrame(nullptr, Qt::Window | Qt::FramelessWindowHint),
      transport_(transport),
      arguments_(std::move(arguments)),
      c_{},
      tiler_(*this) {
  setObjectName(QStringLiteral("TMainForm"));
  setFont(smallFont());
  setFixedSize(421, 132);
  setFrameStyle(QFrame::NoFrame);

  c_ = buildMainFormControls(this);
  connectControls();
  c_.topPanel->setText(applicationCaption(QStringLiteral(VELTRANO_VERSION)));
  stateIcon_ = QImage(c_.actionImage->size(), QImage::Format_RGB32);
  setTransportState(TransportState::STOP);
  transport_.receivedTotal = 0;
  transport_.errorCount = 0;
  transport_.recordAfterSync = false;
  transport_.fileNameFixed = false;
  transport_.binrCommandCrc = true;
}

void TMainForm::attachWindows(const ToolWindows& tiled, QWidget* about, const QWidgetList& group) {
  tiler_.setWindows(tiled);
  about_ = about;
  for (QWidget* window : group) {
    window->setParent(this, window->windowFlags() | Qt::Tool);
    offTaskbar_.keep(*window);
  }
}

void TMainForm::connectControls() {
  c_.topPanel->installEventFilter(this);
  c_.titleImage->installEventFilter(this);
  connect(c_.minimizeSpeedButton, &QToolButton::clicked, this, [this] { MinimizeSpeedButtonClick(); });
  connect(c_.closeSpeedButton, &QToolButton::clicked, this, [this] { CloseSpeedButtonClick(); });

  connect(c_.portComboBox, &PortComboBox::dropDown, this, [this] {
    emit portListWanted();
    c_.recordButton->setEnabled(true);
  });
  connect(c_.portComboBox, &PortComboBox::otherChosen, this, [this] { askForPortPath(); });
  connect(c_.baudComboBox, &QComboBox::activated, this, [this] { BaudComboBoxCloseUp(); });
  connect(c_.protComboBox, &QComboBox::activated, this, [this] { emit protocolChosen(true); });
  connect(c_.protComboBox, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { c_.nmeaPopupMenu->popup(c_.protComboBox->mapToGlobal(at)); });
  connect(c_.autoItem, &QAction::triggered, this, [this] { AutoItemClick(); });
  connect(c_.ggaItem, &QAction::triggered, this, [this] { GGAItemClick(); });
  connect(c_.rmcItem, &QAction::triggered, this, [this] { RMCItemClick(); });
  connect(c_.gnsItem, &QAction::triggered, this, [this] { GNSItemClick(); });

  connect(c_.synchroButton, &QToolButton::clicked, this, [this] { emit synchroClicked(true); });
  connect(c_.ejectButton, &QToolButton::clicked, this, [this] { emit ejectClicked(); });
  connect(c_.playButton, &QToolButton::clicked, this, [this] { emit playClicked(true); });
  connect(c_.rewindButton, &QToolButton::clicked, this, [this] { emit rewindClicked(true); });
  connect(c_.pauseButton, &QToolButton::clicked, this, [this] { emit pauseClicked(); });
  connect(c_.stopButton, &QToolButton::clicked, this, [this] { StopButtonClick(true); });
  connect(c_.recordButton, &QToolButton::clicked, this, [this] { emit recordClicked(true); });
  connect(c_.clockButton, &QToolButton::clicked, this, [this] { ClockButtonClick(); });
  connect(c_.soundButton, &QToolButton::clicked, this, [this] { emit soundClicked(true); });

  // The bits of the ticked boxes change first, before what a box's change starts.
  for (const ToolWindow window : {ToolWindow::Position, ToolWindow::Statistic, ToolWindow::Satellites,
                                  ToolWindow::Visual, ToolWindow::Profile, ToolWindow::SNR, ToolWindow::Control}) {
    const unsigned bit = 1u << int(window);
    QCheckBox* box = tickBox(window);
    if (box->isChecked()) ticked_ |= bit;
    connect(box, &QCheckBox::toggled, this, [this, bit](bool on) { ticked_ = on ? ticked_ | bit : ticked_ & ~bit; });
  }
  connect(c_.positionCheckBox, &QCheckBox::toggled, this, [this] { PositionCheckBoxClick(); });
  connect(c_.statisticCheckBox, &QCheckBox::toggled, this, [this] { StatisticCheckBoxClick(); });
  connect(c_.satellitesCheckBox, &QCheckBox::toggled, this, [this] { SatellitesCheckBoxClick(); });
  connect(c_.visualCheckBox, &QCheckBox::toggled, this, [this] { VisualCheckBoxClick(); });
  connect(c_.profileCheckBox, &QCheckBox::toggled, this, [this] { ProfileCheckBoxClick(); });
  connect(c_.snrCheckBox, &QCheckBox::toggled, this, [this] { SNRCheckBoxClick(); });
  connect(c_.controlCheckBox, &QCheckBox::toggled, this, [this] { ControlCheckBoxClick(); });

  connect(c_.synchroTimer, &QTimer::timeout, this, &TMainForm::searchTick);
  connect(c_.watchTimer, &QTimer::timeout, this, &TMainForm::watchdogTick);
}

QString TMainForm::portName() const { return c_.portComboBox->portName(); }

void TMainForm::askForPortPath() {
  const QString path = askPortPath(*this);
  const QString problem = typedPortProblem(path);
  if (path.isEmpty() || !problem.isEmpty()) {
    // A malformed TCP source is said at once rather than at the first Synchronise.
    if (!problem.isEmpty()) showInfo(problem);
    c_.portComboBox->otherDeclined();
    return;
  }
  c_.portComboBox->addTypedPort(path);
}

// ---- Port and rate, as the synchronisation uses them ----

void TMainForm::setPortEntries(const QStringList& entries) { c_.portComboBox->setFoundEntries(entries); }

QString TMainForm::baudText() const { return c_.baudComboBox->currentText(); }

void TMainForm::selectBaudItem(int32_t baud) {
  for (int i = 0; i < c_.baudComboBox->count(); ++i) {
    bool ok = false;
    if (c_.baudComboBox->itemText(i).toInt(&ok) == baud && ok) {
      c_.baudComboBox->setCurrentIndex(i);
      return;
    }
  }
}

void TMainForm::BaudComboBoxCloseUp() {
  QComboBox* box = c_.baudComboBox;
  const bool custom = box->currentIndex() == kCustomBaudItem;
  if (box->isEditable() == custom) return;
  box->setEditable(custom);
  if (!custom) return;
  // A typed rate replaces the shown text only; the list keeps its items.
  box->setInsertPolicy(QComboBox::NoInsert);
  box->lineEdit()->selectAll();
  box->setFocus();
}

QString TMainForm::deviceText() const { return c_.deviceLabel->text(); }
void TMainForm::showDevice(const QString& text) { c_.deviceLabel->setCaption(text); }
void TMainForm::showFileName(const QString& text) { c_.fileLabel->setCaption(text); }
void TMainForm::showInfo(const QString& text) { c_.infoLabel->setCaption(text); }
void TMainForm::showErrorCount(const QString& text) { c_.errorBytesLabel->setCaption(text); }
void TMainForm::showSound(const QString& text, const QColor& color) {
  c_.soundLabel->setTextColor(color);
  c_.soundLabel->setCaption(text);
}
void TMainForm::startSearchTimer(int intervalMs) { c_.synchroTimer->start(intervalMs); }
void TMainForm::stopSearchTimer() { c_.synchroTimer->stop(); }

void TMainForm::enterSync() {
  setTransportState(TransportState::SYNC);
  enableControlsForState(TransportState::SYNC);
}

void TMainForm::stop() { StopButtonClick(false); }
void TMainForm::record() { emit recordClicked(false); }

// ---- Files, counters and the watchdog, as Record and playback use them ----

QString TMainForm::fileName() const { return c_.fileLabel->text(); }

void TMainForm::fixFileName(const QString& text) {
  c_.fileLabel->setCaption(text);
  transport_.fileNameFixed = true;
}

void TMainForm::resetCounters() {
  transport_.receivedTotal = 0;
  transport_.errorCount = 0;
  receivedBytesKept_ = false;
  c_.receiveBytesLabel->setCaption(QStringLiteral("0 kB"));
  c_.errorBytesLabel->setCaption(QStringLiteral("0"));
}

void TMainForm::showReceivedTotal(int64_t total) {
  keptReceivedTotal_ = total;
  receivedBytesKept_ = true;
  if (!drawingHeld()) drawKept();
}

void TMainForm::drawKept() {
  if (receivedBytesKept_)
    c_.receiveBytesLabel->setCaption(QString::fromStdString(formatReceivedTotal(keptReceivedTotal_)));
  receivedBytesKept_ = false;
}

void TMainForm::enterState(TransportState state) {
  setTransportState(state);
  enableControlsForState(state);
}

void TMainForm::showState(TransportState state) { setTransportState(state); }

void TMainForm::startWatchdog() {
  transport_.noDataTicks = 0;
  c_.watchTimer->start();
}

bool TMainForm::debugDataWanted() const { return c_.rawDataCheckBox->isChecked(); }

ReceiverProtocol TMainForm::chosenProtocol() const { return ReceiverProtocol(c_.protComboBox->currentIndex()); }

void TMainForm::showProtocol(ReceiverProtocol protocol) {
  const QSignalBlocker quiet(c_.protComboBox);
  c_.protComboBox->setCurrentIndex(int(protocol));
}

void TMainForm::applyProtocol(ReceiverProtocol protocol) {
  const ProtocolProfile& profile = protocolProfile(protocol);
  c_.fileLabel->setCaption(QString::fromStdString(defaultRecordName(protocol)));
  c_.synchroTimer->setInterval(profile.searchTickMs);
  setNmeaPopupAttached(protocol == ReceiverProtocol::NMEA);
  c_.rawDataCheckBox->setEnabled(profile.convertedToNmea);
}

int TMainForm::baudIndex() const { return c_.baudComboBox->currentIndex(); }

void TMainForm::selectBaudIndex(int index) {
  constexpr int kLastListedRate = 8;  // "custom" is never restored
  c_.baudComboBox->setCurrentIndex(index >= 0 && index <= kLastListedRate ? index : 0);
  BaudComboBoxCloseUp();
}

void TMainForm::setDebugData(bool ticked, bool enabled) {
  c_.rawDataCheckBox->setChecked(ticked);
  c_.rawDataCheckBox->setEnabled(enabled);
}

QCheckBox* TMainForm::tickBox(ToolWindow window) const {
  QCheckBox* const boxes[] = {c_.positionCheckBox, c_.statisticCheckBox, c_.satellitesCheckBox, c_.visualCheckBox,
                              c_.profileCheckBox,  c_.snrCheckBox,       c_.controlCheckBox};
  return boxes[int(window)];
}

void TMainForm::setTicked(ToolWindow window, bool ticked) { tickBox(window)->setChecked(ticked); }

// ---- Transport ----

void TMainForm::setTransportState(TransportState state) {
  drawStateIcon(stateIcon_, state);
  c_.actionLabel->setTextColor(kLime);
  transport_.transportState = state;
  if (const char* word = stateWord(state)) {
    c_.actionLabel->setCaption(QString::fromLatin1(word));
    QString title = QStringLiteral("VELTRANO - ");
    if (state == TransportState::REC) {
      c_.actionLabel->setTextColor(kRed);
      title += portName();
    } else {
      title += QString::fromLatin1(word).trimmed();
    }
    // The display name first: the platform shows "title — display name" while
    // the two differ, and builds it when the title is set.
    QGuiApplication::setApplicationDisplayName(title);
    setWindowTitle(title);
  }
  c_.actionImage->setPixmap(QPixmap::fromImage(stateIcon_));
}

void TMainForm::enableControlsForState(TransportState state) {
  veltrano::enableControlsForState(c_, state, transport_.receiverProtocol);
}

void TMainForm::StopButtonClick(bool sender) {
  switch (transport_.transportState) {
    case TransportState::SYNC:
      if (sender) c_.deviceLabel->setCaption(QStringLiteral("unknown"));
      c_.synchroTimer->stop();
      emit searchStopped(sender);
      break;
    case TransportState::PAUSE:
    case TransportState::PLAY:
    case TransportState::FF:
      emit playbackStopped();
      break;
    case TransportState::REC:
      emit recordingStopped();
      c_.watchTimer->stop();
      c_.controlCheckBox->setChecked(false);
      c_.controlCheckBox->setEnabled(false);
      break;
    case TransportState::OPEN:
    case TransportState::STOP:
      break;
  }
  if (sender) c_.infoLabel->setCaption(QString());
  setTransportState(TransportState::STOP);
  enableControlsForState(TransportState::STOP);
}

// ---- Schedule ----

void TMainForm::ClockButtonClick() {
  if (!timer_) return;
  // Top at the main window's top, centred on it.
  placeInside(*timer_, QPoint(x() + width() / 2 - timer_->width() / 2, y()), *this);
  timer_->showModal();
  showTimerArmed(timer_->timerOn());
}

void TMainForm::scheduledStart() {
  if (transport_.transportState == TransportState::STOP) record();
}

void TMainForm::scheduledStop() {
  if (transport_.transportState == TransportState::REC) {
    c_.infoLabel->setCaption(QString());
    StopButtonClick(false);
  }
  if (timer_) timer_->disarm();
  showTimerArmed(false);
}

void TMainForm::showTimerArmed(bool armed) {
  c_.timerLabel->setCaption(armed ? QStringLiteral("timer on") : QStringLiteral("timer off"));
  c_.timerLabel->setTextColor(armed ? kLime : kRed);
}

void TMainForm::setNmeaPopupAttached(bool attached) {
  c_.protComboBox->setContextMenuPolicy(attached ? Qt::CustomContextMenu : Qt::PreventContextMenu);
}

// ---- Title bar ----

void TMainForm::TopPanelMouseDown(QPoint position) {
  dragging_ = true;
  dragOrigin_ = position;
}

void TMainForm::TopPanelMouseMove(QPoint position) {
  if (!dragging_) return;
  const QPoint delta = position - dragOrigin_;
  tiler_.moveGroup(delta.x(), delta.y());
}

void TMainForm::TopPanelMouseUp() { dragging_ = false; }

void TMainForm::CloseSpeedButtonClick() {
  close();
  QCoreApplication::quit();
}

void TMainForm::MinimizeSpeedButtonClick() { showMinimized(); }

void TMainForm::TitleImageClick() {
  if (!about_) return;
  placeInside(*about_, QPoint(x() - about_->width(), y()), *this);
  about_->show();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == c_.titleImage) {
    if (event->type() == QEvent::MouseButtonRelease) TitleImageClick();
    return event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease;
  }
  if (watched == c_.topPanel) {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
        TopPanelMouseDown(static_cast<QMouseEvent*>(event)->position().toPoint());
        return true;
      case QEvent::MouseMove:
        TopPanelMouseMove(static_cast<QMouseEvent*>(event)->position().toPoint());
        return true;
      case QEvent::MouseButtonRelease:
        TopPanelMouseUp();
        return true;
      default:
        break;
    }
  }
  return QFrame::eventFilter(watched, event);
}

// ---- Tool-window boxes ----

void TMainForm::PositionCheckBoxClick() { tiler_.position(c_.positionCheckBox->isChecked()); }

void TMainForm::StatisticCheckBoxClick() {
  const bool ticked = c_.statisticCheckBox->isChecked();
  tiler_.statistic(ticked, c_.positionCheckBox->isChecked());
  if (ticked) emit statisticTicked();
}

void TMainForm::SatellitesCheckBoxClick() {
  tiler_.satellites(c_.satellitesCheckBox->isChecked(), c_.positionCheckBox->isChecked(),
                    c_.statisticCheckBox->isChecked());
}

void TMainForm::VisualCheckBoxClick() { tiler_.visual(c_.visualCheckBox->isChecked()); }

void TMainForm::ProfileCheckBoxClick() { tiler_.profile(c_.profileCheckBox->isChecked()); }

void TMainForm::SNRCheckBoxClick() { tiler_.snr(c_.snrCheckBox->isChecked(), c_.profileCheckBox->isChecked()); }

void TMainForm::ControlCheckBoxClick() { tiler_.control(c_.controlCheckBox->isChecked()); }

// ---- NMEA position source ----

void TMainForm::AutoItemClick() { emit positionSourceChosen(NmeaPositionSource::Auto); }
void TMainForm::GGAItemClick() { emit positionSourceChosen(NmeaPositionSource::GGA); }
void TMainForm::RMCItemClick() { emit positionSourceChosen(NmeaPositionSource::RMC); }
void TMainForm::GNSItemClick() { emit positionSourceChosen(NmeaPositionSource::GNS); }

// ---- Files ----

bool TMainForm::selectNamedFile(const QString& fileName) {
  const std::optional<ReceiverProtocol> protocol = namedFileProtocol(fileName);
  if (!protocol) return false;
  emit fileProtocolChosen(*protocol);
  c_.fileLabel->setCaption(fileName);
  return true;
}

void TMainForm::acceptDroppedFile(const QString& path) {
  if (transport_.transportState != TransportState::STOP) return;
  const QFileInfo file(path);
  QDir::setCurrent(file.absolutePath());
  selectNamedFile(file.fileName());
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (transport_.transportState == TransportState::STOP && !urls.isEmpty() && urls.first().isLocalFile()) {
    event->acceptProposedAction();
  }
}

void TMainForm::dropEvent(QDropEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (transport_.transportState != TransportState::STOP || urls.isEmpty() || !urls.first().isLocalFile()) return;
  acceptDroppedFile(urls.first().toLocalFile());
  event->acceptProposedAction();
}

void TMainForm::showEvent(QShowEvent* event) {
  QFrame::showEvent(event);
  if (shown_) return;
  shown_ = true;
  FormShow();
}

void TMainForm::FormShow() {
  setAcceptDrops(true);
  if (arguments_.isEmpty()) {
    emit settingsWanted();
    selectStartLink();
    return;
  }
  const QFileInfo file(arguments_.first());
  QDir::setCurrent(file.absolutePath());
  emit settingsWanted();
  selectStartLink();
  if (selectNamedFile(file.fileName())) emit rewindClicked(false);
}

// What the command line names wins over the settings file.
void TMainForm::selectStartLink() {
  if (startLink_.protocol) emit fileProtocolChosen(*startLink_.protocol);
  if (startLink_.baud) {
    const QString text = QString::number(*startLink_.baud);
    const int listed = c_.baudComboBox->findText(text);
    c_.baudComboBox->setCurrentIndex(listed >= 0 && listed < kCustomBaudItem ? listed : kCustomBaudItem);
    BaudComboBoxCloseUp();
    if (c_.baudComboBox->isEditable()) c_.baudComboBox->setEditText(text);
  }
  if (!startLink_.port.isEmpty()) c_.portComboBox->addTypedPort(startLink_.port);
}

}  // namespace veltrano
