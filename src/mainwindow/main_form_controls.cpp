#include "mainwindow/main_form_controls.h"

#include <QAbstractItemView>
#include <QActionGroup>

#include "displays/tool_form.h"
#include "mainwindow/button_glyphs.h"

namespace veltrano {

namespace {

const QColor kSilver(192, 192, 192);
const QColor kBlue(0, 0, 255);
const QColor kYellow(255, 255, 0);
const QColor kLime(0, 255, 0);
const QColor kAqua(0, 255, 255);
const QColor kRed(255, 0, 0);
const QColor kFuchsia(255, 0, 255);

QFrame* panel(QWidget* parent, const char* name, const QRect& place, QFrame::Shadow shadow) {
  auto* frame = new QFrame(parent);
  frame->setObjectName(QString::fromLatin1(name));
  frame->setGeometry(place);
  frame->setFrameStyle(QFrame::Panel | shadow);
  frame->setLineWidth(1);
  return frame;
}

void setColors(QWidget* widget, const QColor& background, const QColor& text) {
  widget->setAutoFillBackground(true);
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Window, background);
  palette.setColor(QPalette::WindowText, text);
  widget->setPalette(palette);
}

QComboBox* fixedList(QComboBox* list, const char* name, int x, int y, const QStringList& items) {
  list->setObjectName(QString::fromLatin1(name));
  list->setEditable(false);
  list->addItems(items);
  list->setCurrentIndex(0);
  list->setGeometry(x, y, 62, 20);
  return list;
}

AutoLabel* colouredLabel(QWidget* parent, const char* name, int x, int y, const QString& text, const QColor& color) {
  AutoLabel* label = AutoLabel::left(parent, name, x, y, text, false);
  label->setTextColor(color);
  return label;
}

QToolButton* flatButton(QWidget* parent, const char* name, const QRect& place, Glyph glyph, const char* hint) {
  return veltrano::flatButton(parent, name, place, buttonGlyph(glyph), glyphSize(glyph), hint);
}

QToolButton* transportButton(QWidget* parent, const char* name, int x, Glyph glyph, const char* hint) {
  return flatButton(parent, name, QRect(x, 81, 23, 22), glyph, hint);
}

QCheckBox* checkBox(QWidget* parent, const char* name, int x, int y, const char* text) {
  auto* box = new QCheckBox(QString::fromLatin1(text), parent);
  box->setObjectName(QString::fromLatin1(name));
  box->move(x, y);
  box->adjustSize();
  return box;
}

QAction* radioItem(QMenu* menu, QActionGroup* group, const char* name, const char* text) {
  QAction* item = menu->addAction(QString::fromLatin1(text));
  item->setObjectName(QString::fromLatin1(name));
  item->setCheckable(true);
  group->addAction(item);
  return item;
}

QTimer* timer(QWidget* parent, const char* name) {
  auto* t = new QTimer(parent);
  t->setObjectName(QString::fromLatin1(name));
  t->setInterval(1000);
  return t;
}

void buildTitleBar(QWidget* form, MainFormControls& c) {
  c.topPanel = new QLabel(form);
  c.topPanel->setObjectName(QStringLiteral("TopPanel"));
  c.topPanel->setGeometry(0, 0, 421, 25);
  c.topPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  c.topPanel->setAlignment(Qt::AlignCenter);
  c.topPanel->setFont(smallFont(true));
  setColors(c.topPanel, kSilver, kBlue);

  c.titleImage = new QLabel(c.topPanel);
  c.titleImage->setObjectName(QStringLiteral("TitleImage"));
  c.titleImage->setGeometry(4, 4, 16, 16);
  c.titleImage->setPixmap(titleEmblem());
  c.titleImage->setCursor(Qt::PointingHandCursor);

  c.minimizeSpeedButton =
      flatButton(c.topPanel, "MinimizeSpeedButton", QRect(383, 4, 17, 17), Glyph::Minimize, nullptr);
  c.closeSpeedButton = flatButton(c.topPanel, "CloseSpeedButton", QRect(400, 4, 17, 17), Glyph::Close, nullptr);
}

void buildLeftPanel(QWidget* form, MainFormControls& c) {
  QFrame* left = panel(form, "LeftPanel", QRect(0, 25, 78, 107), QFrame::Raised);

  c.portComboBox = new PortComboBox(left);
  fixedList(c.portComboBox, "PortComboBox", 8, 8, {QStringLiteral("NONE")});
  c.portComboBox->view()->setMinimumWidth(140);

  c.baudComboBox =
      fixedList(new QComboBox(left), "BaudComboBox", 8, 30,
                {QStringLiteral("4800"), QStringLiteral("9600"), QStringLiteral("19200"), QStringLiteral("38400"),
                 QStringLiteral("57600"), QStringLiteral("115200"), QStringLiteral("230400"), QStringLiteral("460800"),
                 QStringLiteral("921600"), QStringLiteral("custom")});

  AutoLabel::left(left, "Label5", 8, 52, QStringLiteral("PROTOCOL"), false);

  c.protComboBox = fixedList(new QComboBox(left), "ProtComboBox", 8, 66,
                             {QStringLiteral("NMEA"), QStringLiteral("BINR"), QStringLiteral("BINR2")});
  c.protComboBox->setContextMenuPolicy(Qt::CustomContextMenu);

  c.nmeaPopupMenu = new QMenu(form);
  c.nmeaPopupMenu->setObjectName(QStringLiteral("NMEAPopupMenu"));
  auto* group = new QActionGroup(c.nmeaPopupMenu);
  group->setExclusive(true);
  c.autoItem = radioItem(c.nmeaPopupMenu, group, "AutoItem", "Auto");
  c.ggaItem = radioItem(c.nmeaPopupMenu, group, "GGAItem", "GGA");
  c.rmcItem = radioItem(c.nmeaPopupMenu, group, "RMCItem", "RMC");
  c.gnsItem = radioItem(c.nmeaPopupMenu, group, "GNSItem", "GNS");
  c.autoItem->setChecked(true);

  c.rawDataCheckBox = checkBox(left, "RawDataCheckBox", 8, 88, "DBG data");
}

void buildInfoPanel(QWidget* center, MainFormControls& c) {
  QFrame* info = panel(center, "InfoPanel", QRect(8, 8, 233, 70), QFrame::Sunken);
  setColors(info, Qt::black, kYellow);

  c.actionImage = new QLabel(info);
  c.actionImage->setObjectName(QStringLiteral("ActionImage"));
  c.actionImage->setGeometry(8, 8, 25, 25);
  c.actionLabel = colouredLabel(info, "ActionLabel", 6, 34, QStringLiteral("STOP"), kLime);

  AutoLabel::left(info, "Label4", 48, 3, QStringLiteral("device:"), false);
  c.deviceLabel = colouredLabel(info, "DeviceLabel", 90, 3, QStringLiteral("unknown"), kAqua);
  AutoLabel::left(info, "Label1", 48, 16, QStringLiteral("file:"), false);
  c.fileLabel = colouredLabel(info, "FileLabel", 90, 16, QStringLiteral("rgfile.nme"), kAqua);
  AutoLabel::left(info, "Label2", 48, 29, QStringLiteral("size:"), false);
  c.receiveBytesLabel = AutoLabel::right(info, "ReceiveBytesLabel", 136, 29, QStringLiteral("0 kB"), false);
  c.receiveBytesLabel->setTextColor(kAqua);
  AutoLabel::left(info, "Label3", 48, 42, QStringLiteral("err:"), false);
  c.errorBytesLabel = AutoLabel::right(info, "ErrorBytesLabel", 120, 42, QStringLiteral("0"), false);
  c.errorBytesLabel->setTextColor(kAqua);
  c.soundLabel = colouredLabel(info, "SoundLabel", 178, 29, QStringLiteral("sound off"), kRed);
  c.timerLabel = colouredLabel(info, "TimerLabel", 178, 42, QStringLiteral("timer off"), kRed);
  c.infoLabel = colouredLabel(info, "InfoLabel", 6, 55, QString(), kFuchsia);
}

void buildCenterPanel(QWidget* form, MainFormControls& c) {
  QFrame* center = panel(form, "CenterPanel", QRect(78, 25, 248, 107), QFrame::Raised);
  buildInfoPanel(center, c);

  c.synchroButton = transportButton(center, "SynchroButton", 8, Glyph::Sync, "Synchronization");
  c.ejectButton = transportButton(center, "EjectButton", 40, Glyph::Eject, "Open file");
  c.playButton = transportButton(center, "PlayButton", 64, Glyph::Play, "Play file");
  c.rewindButton = transportButton(center, "RewindButton", 88, Glyph::FastForward, "Fast play file");
  c.pauseButton = transportButton(center, "PauseButton", 112, Glyph::Pause, "Pause");
  c.stopButton = transportButton(center, "StopButton", 136, Glyph::Stop, "Stop");
  c.recordButton = transportButton(center, "RecordButton", 160, Glyph::Record, "Record");
  c.clockButton = transportButton(center, "ClockButton", 193, Glyph::Clock, "Timer");
  c.soundButton = transportButton(center, "SoundButton", 217, Glyph::Sound, "Sound");
  c.pauseButton->setEnabled(false);
  c.stopButton->setEnabled(false);
  c.recordButton->setEnabled(false);
}

void buildRightPanel(QWidget* form, MainFormControls& c) {
  QFrame* right = panel(form, "RightPanel", QRect(326, 25, 95, 107), QFrame::Raised);
  c.positionCheckBox = checkBox(right, "PositionCheckBox", 5, 1, "POSITION");
  c.statisticCheckBox = checkBox(right, "StatisticCheckBox", 5, 15, "STATISTIC");
  c.satellitesCheckBox = checkBox(right, "SatellitesCheckBox", 5, 29, "SATELLITES");
  c.visualCheckBox = checkBox(right, "VisualCheckBox", 5, 43, "VISUAL");
  c.profileCheckBox = checkBox(right, "ProfileCheckBox", 5, 57, "PROFILE");
  c.snrCheckBox = checkBox(right, "SNRCheckBox", 5, 71, "S/N RATIO");
  c.controlCheckBox = checkBox(right, "ControlCheckBox", 5, 86, "CONTROL");
  c.controlCheckBox->setEnabled(false);
}

}  // namespace

MainFormControls buildMainFormControls(QWidget* form) {
  MainFormControls c{};
  buildTitleBar(form, c);
  buildLeftPanel(form, c);
  buildCenterPanel(form, c);
  buildRightPanel(form, c);
  c.synchroTimer = timer(form, "SynchroTimer");
  c.watchTimer = timer(form, "WatchTimer");
  return c;
}

}  // namespace veltrano
