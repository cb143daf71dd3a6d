#include "mainwindow/main_form.h"

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>

#include "control/control_form.h"
#include "decoding/nmea_position_source.h"
#include "displays/options_form.h"
#include "displays/position_form.h"
#include "displays/profile_form.h"
#include "displays/satellites_form.h"
#include "displays/snr_form.h"
#include "displays/statistic_form.h"
#include "displays/tool_form.h"
#include "displays/visual_form.h"
#include "mainwindow/about_form.h"
#include "mainwindow/app_context.h"
#include "mainwindow/state_icon.h"
#include "mainwindow/timer_form.h"
#include "mainwindow/transport_enabling.h"
#include "util/position_statistics.h"

namespace veltrano {

namespace {

const QColor kLime(0, 255, 0);
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

bool namesNmeaFile(const QString& fileName) {
  return fileName.contains(QStringLiteral(".nme")) || fileName.contains(QStringLiteral(".NME"));
}

bool isBinary(ReceiverProtocol protocol) {
  return protocol == ReceiverProtocol::BINR || protocol == ReceiverProtocol::BINR2;
}

}  // namespace

QString applicationCaption(const QString& versionString) {
  return QStringLiteral("VELTRANO ") + versionString + QStringLiteral(" (RTK)");
}

TMainForm::TMainForm(AppContext& app)
    : QFrame(nullptr, Qt::Window | Qt::FramelessWindowHint), app_(app), c_{}, tiler_(app, *this) {
  setObjectName(QStringLiteral("TMainForm"));
  setFont(smallFont());
  setFixedSize(421, 132);
  setFrameStyle(QFrame::NoFrame);

  c_ = buildMainFormControls(this);
  connectControls();
  app_.hooks.openToneDevice();
  c_.topPanel->setText(applicationCaption(QStringLiteral(VELTRANO_VERSION)));
  stateIcon_ = QImage(c_.actionImage->size(), QImage::Format_RGB32);
  setTransportState(TransportState::STOP);
  app_.hooks.soundButtonClick(false);
  transport.receivedTotal = 0;
  transport.errorCount = 0;
  transport.recordAfterSync = false;
  transport.fileNameFixed = false;
  transport.binrCommandCrc = true;
}

void TMainForm::connectControls() {
  AppHooks& hooks = app_.hooks;
  c_.topPanel->installEventFilter(this);
  c_.titleImage->installEventFilter(this);
  connect(c_.minimizeSpeedButton, &QToolButton::clicked, this, [this] { MinimizeSpeedButtonClick(); });
  connect(c_.closeSpeedButton, &QToolButton::clicked, this, [this] { CloseSpeedButtonClick(); });

  connect(c_.portComboBox, &PortComboBox::dropDown, this, [this, &hooks] {
    hooks.portComboBoxDropDown();
    c_.recordButton->setEnabled(true);
  });
  connect(c_.baudComboBox, &QComboBox::activated, this, [this] { BaudComboBoxCloseUp(); });
  connect(c_.protComboBox, &QComboBox::activated, this, [&hooks] { hooks.protComboBoxChange(true); });
  connect(c_.protComboBox, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { c_.nmeaPopupMenu->popup(c_.protComboBox->mapToGlobal(at)); });
  connect(c_.autoItem, &QAction::triggered, this, [this] { AutoItemClick(); });
  connect(c_.ggaItem, &QAction::triggered, this, [this] { GGAItemClick(); });
  connect(c_.rmcItem, &QAction::triggered, this, [this] { RMCItemClick(); });
  connect(c_.gnsItem, &QAction::triggered, this, [this] { GNSItemClick(); });

  connect(c_.synchroButton, &QToolButton::clicked, this, [&hooks] { hooks.synchroButtonClick(true); });
  connect(c_.ejectButton, &QToolButton::clicked, this, [&hooks] { hooks.ejectButtonClick(); });
  connect(c_.playButton, &QToolButton::clicked, this, [&hooks] { hooks.playButtonClick(true); });
  connect(c_.rewindButton, &QToolButton::clicked, this, [&hooks] { hooks.rewindButtonClick(true); });
  connect(c_.pauseButton, &QToolButton::clicked, this, [&hooks] { hooks.pauseButtonClick(); });
  connect(c_.stopButton, &QToolButton::clicked, this, [this] { StopButtonClick(true); });
  connect(c_.recordButton, &QToolButton::clicked, this, [&hooks] { hooks.recordButtonClick(true); });
  connect(c_.clockButton, &QToolButton::clicked, this, [&hooks] { hooks.clockButtonClick(); });
  connect(c_.soundButton, &QToolButton::clicked, this, [&hooks] { hooks.soundButtonClick(true); });

  connect(c_.positionCheckBox, &QCheckBox::toggled, this, [this] { PositionCheckBoxClick(); });
  connect(c_.statisticCheckBox, &QCheckBox::toggled, this, [this] { StatisticCheckBoxClick(); });
  connect(c_.satellitesCheckBox, &QCheckBox::toggled, this, [this] { SatellitesCheckBoxClick(); });
  connect(c_.visualCheckBox, &QCheckBox::toggled, this, [this] { VisualCheckBoxClick(); });
  connect(c_.profileCheckBox, &QCheckBox::toggled, this, [this] { ProfileCheckBoxClick(); });
  connect(c_.snrCheckBox, &QCheckBox::toggled, this, [this] { SNRCheckBoxClick(); });
  connect(c_.controlCheckBox, &QCheckBox::toggled, this, [this] { ControlCheckBoxClick(); });

  connect(c_.synchroTimer, &QTimer::timeout, this, [&hooks] { hooks.synchroTimerTimer(); });
  connect(c_.watchTimer, &QTimer::timeout, this, [this] { WatchTimerTimer(); });
}

QString TMainForm::portName() const {
  const QString text = c_.portComboBox->currentText();
  const qsizetype space = text.indexOf(QLatin1Char(' '));
  return space < 0 ? QString() : text.left(space);
}

// ---- Port and rate, as the synchronisation uses them ----

QString TMainForm::portEntry() const { return c_.portComboBox->currentText(); }

void TMainForm::setPortEntries(const QStringList& entries) {
  c_.portComboBox->clear();
  c_.portComboBox->addItems(entries);
  if (c_.portComboBox->count() > 0) c_.portComboBox->setCurrentIndex(0);
}

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
  constexpr int kCustomBaudItem = 9;
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
void TMainForm::startSearchTimer(int intervalMs) { c_.synchroTimer->start(intervalMs); }
void TMainForm::stopSearchTimer() { c_.synchroTimer->stop(); }

void TMainForm::enterSync() {
  setTransportState(TransportState::SYNC);
  enableControlsForState(TransportState::SYNC);
}

void TMainForm::stop() { StopButtonClick(false); }
void TMainForm::record() { app_.hooks.recordButtonClick(false); }

// ---- Transport ----

void TMainForm::setTransportState(TransportState state) {
  drawStateIcon(stateIcon_, state);
  c_.actionLabel->setTextColor(kLime);
  transport.transportState = state;
  if (const char* word = stateWord(state)) {
    c_.actionLabel->setCaption(QString::fromLatin1(word));
    QString title = QStringLiteral("VELTRANO - ");
    if (state == TransportState::REC) {
      c_.actionLabel->setTextColor(kRed);
      title += portName();
    } else {
      title += QString::fromLatin1(word).trimmed();
    }
    setWindowTitle(title);
    QGuiApplication::setApplicationDisplayName(title);
  }
  c_.actionImage->setPixmap(QPixmap::fromImage(stateIcon_));
}

void TMainForm::enableControlsForState(TransportState state) {
  veltrano::enableControlsForState(c_, state, transport.receiverProtocol);
}

void TMainForm::StopButtonClick(bool sender) {
  AppHooks& hooks = app_.hooks;
  const bool binary = isBinary(transport.receiverProtocol);
  switch (transport.transportState) {
    case TransportState::SYNC:
      if (sender) c_.deviceLabel->setCaption(QStringLiteral("unknown"));
      c_.synchroTimer->stop();
      hooks.closePort();
      break;
    case TransportState::PAUSE:
      hooks.resumePlayback();
      [[fallthrough]];
    case TransportState::PLAY:
    case TransportState::FF:
      hooks.terminatePlayback();
      if (binary) hooks.closeConversionFile();
      break;
    case TransportState::REC:
      if (transport.receiverProtocol == ReceiverProtocol::BINR) {
        hooks.writeBinrCommand(0x0E, nullptr, 0);
        if (c_.rawDataCheckBox->isChecked()) {
          const uint8_t off[] = {0x00};
          hooks.writeBinrCommand(0x0C, off, 1);
        }
      } else if (transport.receiverProtocol == ReceiverProtocol::BINR2) {
        const uint8_t stop[] = {0x01, 0x00, 0xFF, 0x00, 0x00};
        hooks.writeBinr2Command(stop, 5);
      }
      if (binary) {
        app_.sleepMs(200);
        hooks.closeConversionFile();
      }
      c_.watchTimer->stop();
      c_.controlCheckBox->setChecked(false);
      c_.controlCheckBox->setEnabled(false);
      hooks.closePort();
      hooks.closeRecordFile();
      break;
    case TransportState::OPEN:
    case TransportState::STOP:
      break;
  }
  if (sender) c_.infoLabel->setCaption(QString());
  setTransportState(TransportState::STOP);
  enableControlsForState(TransportState::STOP);
}

void TMainForm::WatchTimerTimer() {
  if (transport.transportState != TransportState::REC) return;
  if (++transport.noDataTicks < 3) return;
  transport.recordAfterSync = true;
  StopButtonClick(false);
  if (transport.soundEnabled) {
    app_.hooks.playTone(1000, 100);
    app_.hooks.beep(1000, 100);
  }
  app_.sleepMs(500);
  app_.hooks.synchroButtonClick(false);
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

void TMainForm::MinimizeSpeedButtonClick() {
  QWidget* others[] = {app_.aboutForm.get(),    app_.visualForm.get(),    app_.controlForm.get(),
                       app_.positionForm.get(), app_.profileForm.get(),   app_.satellitesForm.get(),
                       app_.snrForm.get(),      app_.statisticForm.get(), app_.timerForm.get(),
                       app_.optionsForm.get()};
  minimizedWithMain_.clear();
  for (QWidget* window : others) {
    if (window && window->isVisible()) {
      window->showMinimized();
      minimizedWithMain_.append(window);
    }
  }
  showMinimized();
}

void TMainForm::changeEvent(QEvent* event) {
  // Restoring the main window brings back the windows minimised with it.
  if (event->type() == QEvent::WindowStateChange && !isMinimized()) {
    for (QWidget* window : std::as_const(minimizedWithMain_)) window->showNormal();
    minimizedWithMain_.clear();
  }
  QFrame::changeEvent(event);
}

void TMainForm::TitleImageClick() {
  QWidget* about = app_.aboutForm.get();
  if (!about) return;
  about->move(x() - about->width(), y());
  about->show();
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
  if (!app_.statisticForm) return;
  const bool ticked = c_.statisticCheckBox->isChecked();
  tiler_.statistic(ticked, c_.positionCheckBox->isChecked());
  if (ticked) {
    resetPositionStatistics(app_.statistics);
    app_.hooks.resetStatisticDisplay();
  }
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

void TMainForm::AutoItemClick() { app_.receiver->nmea.positionSource = int32_t(NmeaPositionSource::Auto); }
void TMainForm::GGAItemClick() { app_.receiver->nmea.positionSource = int32_t(NmeaPositionSource::GGA); }
void TMainForm::RMCItemClick() { app_.receiver->nmea.positionSource = int32_t(NmeaPositionSource::RMC); }
void TMainForm::GNSItemClick() { app_.receiver->nmea.positionSource = int32_t(NmeaPositionSource::GNS); }

// ---- Files ----

void TMainForm::selectNmeaFile(const QString& fileName) {
  {
    const QSignalBlocker quiet(c_.protComboBox);
    c_.protComboBox->setCurrentIndex(0);
  }
  transport.receiverProtocol = ReceiverProtocol::NMEA;
  c_.fileLabel->setCaption(fileName);
}

void TMainForm::acceptDroppedFile(const QString& path) {
  if (transport.transportState != TransportState::STOP) return;
  const QFileInfo file(path);
  QDir::setCurrent(file.absolutePath());
  if (namesNmeaFile(file.fileName())) selectNmeaFile(file.fileName());
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (transport.transportState == TransportState::STOP && !urls.isEmpty() && urls.first().isLocalFile()) {
    event->acceptProposedAction();
  }
}

void TMainForm::dropEvent(QDropEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (transport.transportState != TransportState::STOP || urls.isEmpty() || !urls.first().isLocalFile()) return;
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
  if (app_.arguments().isEmpty()) {
    app_.hooks.loadSettings();
    return;
  }
  const QFileInfo file(app_.arguments().first());
  QDir::setCurrent(file.absolutePath());
  app_.hooks.loadSettings();
  if (namesNmeaFile(file.fileName())) {
    selectNmeaFile(file.fileName());
    app_.hooks.rewindButtonClick(false);
  }
}

void TMainForm::FormDestroy() {
  app_.hooks.closeToneDevice();
  app_.hooks.releasePoints();
  app_.hooks.saveSettings();
}

}  // namespace veltrano
