#include "mainwindow/main_form.h"
#include "mainwindow/protocol_switch.h"
#include "main_form_probe.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QMouseEvent>
#include <QDialog>
#include <QTimer>
#include <QWindow>
#include <QTemporaryDir>
#include <QUrl>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "control/control_form.h"
#include "displays/options_form.h"
#include "displays/position_form.h"
#include "displays/profile_form.h"
#include "displays/satellites_form.h"
#include "displays/snr_form.h"
#include "displays/statistic_form.h"
#include "displays/visual_form.h"
#include "displays/window_placement.h"
#include "mainwindow/about_form.h"
#include "mainwindow/app_context.h"
#include "mainwindow/timer_form.h"

namespace veltrano {
namespace {

const QColor kYellow(255, 255, 0);
const QColor kLime(0, 255, 0);
const QColor kAqua(0, 255, 255);
const QColor kRed(255, 0, 0);
const QColor kFuchsia(255, 0, 255);

// Restores the process's current directory when it goes.
class CurrentDirectoryGuard {
 public:
  CurrentDirectoryGuard() : saved_(QDir::currentPath()) {}
  ~CurrentDirectoryGuard() { QDir::setCurrent(saved_); }

 private:
  QString saved_;
};

class MainFormTest : public ::testing::Test {
 protected:
  MainFormTest() { form().move(100, 50); }

  TMainForm& form() { return *app.mainForm; }
  MainFormControls c() { return test::probeControls(form()); }
  template <typename T = QWidget>
  T* child(const char* name) {
    T* found = form().findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
  }

  AppContext app;
};

// ---- Layout ----

TEST_F(MainFormTest, ControlsSitWhereTheLayoutPutsThem) {
  struct Case {
    const char* name;
    const char* parent;
    QRect place;  // a zero width or height is not checked
  } cases[] = {
      {"TopPanel", "TMainForm", {0, 0, 421, 25}},
      {"TitleImage", "TopPanel", {4, 4, 16, 16}},
      {"MinimizeSpeedButton", "TopPanel", {383, 4, 17, 17}},
      {"CloseSpeedButton", "TopPanel", {400, 4, 17, 17}},
      {"LeftPanel", "TMainForm", {0, 25, 78, 107}},
      {"PortComboBox", "LeftPanel", {8, 8, 62, 20}},
      {"BaudComboBox", "LeftPanel", {8, 30, 62, 20}},
      {"Label5", "LeftPanel", {8, 52, 0, 0}},
      {"ProtComboBox", "LeftPanel", {8, 66, 62, 20}},
      {"RawDataCheckBox", "LeftPanel", {8, 88, 0, 0}},
      {"CenterPanel", "TMainForm", {78, 25, 248, 107}},
      {"InfoPanel", "CenterPanel", {8, 8, 233, 70}},
      {"ActionImage", "InfoPanel", {8, 8, 25, 25}},
      {"ActionLabel", "InfoPanel", {6, 34, 0, 0}},
      {"Label4", "InfoPanel", {48, 3, 0, 0}},
      {"DeviceLabel", "InfoPanel", {90, 3, 0, 0}},
      {"Label1", "InfoPanel", {48, 16, 0, 0}},
      {"FileLabel", "InfoPanel", {90, 16, 0, 0}},
      {"Label2", "InfoPanel", {48, 29, 0, 0}},
      {"Label3", "InfoPanel", {48, 42, 0, 0}},
      {"SoundLabel", "InfoPanel", {178, 29, 0, 0}},
      {"TimerLabel", "InfoPanel", {178, 42, 0, 0}},
      {"InfoLabel", "InfoPanel", {6, 55, 0, 0}},
      {"SynchroButton", "CenterPanel", {8, 81, 23, 22}},
      {"EjectButton", "CenterPanel", {40, 81, 23, 22}},
      {"PlayButton", "CenterPanel", {64, 81, 23, 22}},
      {"RewindButton", "CenterPanel", {88, 81, 23, 22}},
      {"PauseButton", "CenterPanel", {112, 81, 23, 22}},
      {"StopButton", "CenterPanel", {136, 81, 23, 22}},
      {"RecordButton", "CenterPanel", {160, 81, 23, 22}},
      {"ClockButton", "CenterPanel", {193, 81, 23, 22}},
      {"SoundButton", "CenterPanel", {217, 81, 23, 22}},
      {"RightPanel", "TMainForm", {326, 25, 95, 107}},
      {"PositionCheckBox", "RightPanel", {5, 1, 0, 0}},
      {"StatisticCheckBox", "RightPanel", {5, 15, 0, 0}},
      {"SatellitesCheckBox", "RightPanel", {5, 29, 0, 0}},
      {"VisualCheckBox", "RightPanel", {5, 43, 0, 0}},
      {"ProfileCheckBox", "RightPanel", {5, 57, 0, 0}},
      {"SNRCheckBox", "RightPanel", {5, 71, 0, 0}},
      {"ControlCheckBox", "RightPanel", {5, 86, 0, 0}},
  };
  EXPECT_EQ(form().size(), QSize(421, 132));
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    QWidget* w = child(test.name);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->parentWidget()->objectName(), QString::fromLatin1(test.parent));
    EXPECT_EQ(w->pos(), test.place.topLeft());
    if (test.place.width() > 0) {
      EXPECT_EQ(w->size(), test.place.size());
    }
  }
  // Right-aligned labels keep their right edge.
  EXPECT_EQ(c().receiveBytesLabel->geometry().right() + 1, 136);
  EXPECT_EQ(c().errorBytesLabel->geometry().right() + 1, 120);
  EXPECT_EQ(c().receiveBytesLabel->y(), 29);
  EXPECT_EQ(c().errorBytesLabel->y(), 42);
  c().receiveBytesLabel->setCaption(QStringLiteral("12345.6 kB"));
  EXPECT_EQ(c().receiveBytesLabel->geometry().right() + 1, 136);
}

TEST_F(MainFormTest, InformationPanelTextsAndColours) {
  struct Case {
    const char* name;
    const char* text;
    QColor color;
  } cases[] = {
      {"ActionLabel", "STOP", kLime},       {"Label4", "device:", kYellow},     {"DeviceLabel", "unknown", kAqua},
      {"Label1", "file:", kYellow},         {"FileLabel", "rgfile.nme", kAqua}, {"Label2", "size:", kYellow},
      {"ReceiveBytesLabel", "0 kB", kAqua}, {"Label3", "err:", kYellow},        {"ErrorBytesLabel", "0", kAqua},
      {"SoundLabel", "sound off", kRed},    {"TimerLabel", "timer off", kRed},  {"InfoLabel", "", kFuchsia},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    auto* label = child<QLabel>(test.name);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), QString::fromLatin1(test.text));
    EXPECT_EQ(label->palette().color(QPalette::WindowText), test.color);
  }
  auto* info = child("InfoPanel");
  EXPECT_TRUE(info->autoFillBackground());
  EXPECT_EQ(info->palette().color(QPalette::Window), QColor(0, 0, 0));
  EXPECT_EQ(child<QFrame>("InfoPanel")->frameShadow(), QFrame::Sunken);
}

TEST_F(MainFormTest, TitleBarLooksAndListsHoldTheirItems) {
  QLabel* top = form().topPanel();
  EXPECT_EQ(top->text(), QStringLiteral("VELTRANO 8.2.3.8 (RTK)"));
  EXPECT_EQ(applicationCaption(QString()), QStringLiteral("VELTRANO  (RTK)"));
  EXPECT_TRUE(top->font().bold());
  EXPECT_EQ(top->palette().color(QPalette::Window), QColor(192, 192, 192));
  EXPECT_EQ(top->palette().color(QPalette::WindowText), QColor(0, 0, 255));
  EXPECT_FALSE(c().titleImage->pixmap().isNull());
  EXPECT_EQ(c().titleImage->cursor().shape(), Qt::PointingHandCursor);

  auto items = [](const QComboBox* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i) texts << list->itemText(i);
    return texts.join(QLatin1Char(','));
  };
  EXPECT_EQ(items(c().portComboBox), QStringLiteral("NONE"));
  EXPECT_EQ(c().portComboBox->currentIndex(), 0);
  EXPECT_EQ(c().portComboBox->view()->minimumWidth(), 140);
  EXPECT_EQ(items(c().baudComboBox), QStringLiteral("4800,9600,19200,38400,57600,115200,230400,460800,921600,custom"));
  EXPECT_EQ(items(c().protComboBox), QStringLiteral("NMEA,BINR,BINR2"));
  EXPECT_EQ(c().protComboBox->currentIndex(), 0);
  for (const QComboBox* list : {static_cast<QComboBox*>(c().portComboBox), c().baudComboBox, c().protComboBox}) {
    EXPECT_FALSE(list->isEditable());
  }
  EXPECT_EQ(child<QLabel>("Label5")->text(), QStringLiteral("PROTOCOL"));
  EXPECT_EQ(c().rawDataCheckBox->text(), QStringLiteral("DBG data"));

  struct Box {
    QCheckBox* box;
    const char* text;
  } boxes[] = {{c().positionCheckBox, "POSITION"},     {c().statisticCheckBox, "STATISTIC"},
               {c().satellitesCheckBox, "SATELLITES"}, {c().visualCheckBox, "VISUAL"},
               {c().profileCheckBox, "PROFILE"},       {c().snrCheckBox, "S/N RATIO"},
               {c().controlCheckBox, "CONTROL"}};
  for (const Box& b : boxes) {
    EXPECT_EQ(b.box->text(), QString::fromLatin1(b.text));
    EXPECT_FALSE(b.box->isChecked());
    EXPECT_EQ(b.box->isEnabled(), b.box != c().controlCheckBox) << b.text;
  }
  for (const QTimer* timer : {c().synchroTimer, c().watchTimer}) {
    EXPECT_EQ(timer->interval(), 1000);
    EXPECT_FALSE(timer->isActive());
  }
}

TEST_F(MainFormTest, FlatButtonsCarryHintsAndGlyphs) {
  struct Case {
    QToolButton* button;
    const char* hint;
  } cases[] = {
      {c().synchroButton, "Synchronization"}, {c().ejectButton, "Open file"}, {c().playButton, "Play file"},
      {c().rewindButton, "Fast play file"},   {c().pauseButton, "Pause"},     {c().stopButton, "Stop"},
      {c().recordButton, "Record"},           {c().clockButton, "Timer"},     {c().soundButton, "Sound"},
      {c().minimizeSpeedButton, ""},          {c().closeSpeedButton, ""},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.button->objectName().toStdString());
    EXPECT_EQ(test.button->toolTip(), QString::fromLatin1(test.hint));
    EXPECT_TRUE(test.button->autoRaise());
    const QIcon icon = test.button->icon();
    const QImage normal = icon.pixmap(test.button->iconSize(), QIcon::Normal).toImage();
    const QImage disabled = icon.pixmap(test.button->iconSize(), QIcon::Disabled).toImage();
    EXPECT_FALSE(normal.isNull());
    EXPECT_NE(normal, disabled);
    // Something is drawn.
    bool inked = false;
    for (int y = 0; y < normal.height() && !inked; ++y)
      for (int x = 0; x < normal.width() && !inked; ++x) inked = qAlpha(normal.pixel(x, y)) > 128;
    EXPECT_TRUE(inked);
  }
}

TEST(MainFormAlone, ButtonsAnnounceTheirActions) {
  TransportFields transport;
  TMainForm form(transport, {});
  const MainFormControls c = test::probeControls(form);
  std::vector<std::string> calls;
  auto note = [&calls](const char* name) {
    return [&calls, name](bool sender) { calls.push_back(std::string(name) + (sender ? " user" : "")); };
  };
  auto noteOnly = [&calls](const char* name) { return [&calls, name] { calls.push_back(name); }; };
  QObject::connect(&form, &TMainForm::synchroClicked, note("synchro"));
  QObject::connect(&form, &TMainForm::ejectClicked, noteOnly("eject"));
  QObject::connect(&form, &TMainForm::playClicked, note("play"));
  QObject::connect(&form, &TMainForm::rewindClicked, note("rewind"));
  QObject::connect(&form, &TMainForm::pauseClicked, noteOnly("pause"));
  QObject::connect(&form, &TMainForm::recordClicked, note("record"));
  QObject::connect(&form, &TMainForm::soundClicked, note("sound"));
  QObject::connect(&form, &TMainForm::protocolChosen, note("prot"));
  QObject::connect(&form, &TMainForm::portListWanted, noteOnly("ports"));
  QObject::connect(&form, &TMainForm::searchTick, noteOnly("search tick"));
  QObject::connect(&form, &TMainForm::watchdogTick, noteOnly("watchdog tick"));
  for (QToolButton* b :
       {c.synchroButton, c.ejectButton, c.playButton, c.rewindButton, c.pauseButton, c.recordButton, c.soundButton}) {
    b->setEnabled(true);
    b->click();
  }
  c.protComboBox->setCurrentIndex(1);  // a program change is no user choice
  emit c.protComboBox->activated(1);
  emit c.portComboBox->dropDown();
  ASSERT_TRUE(QMetaObject::invokeMethod(c.synchroTimer, "timeout"));
  ASSERT_TRUE(QMetaObject::invokeMethod(c.watchTimer, "timeout"));
  form.record();
  EXPECT_EQ(calls,
            (std::vector<std::string>{"synchro user", "eject", "play user", "rewind user", "pause", "record user",
                                      "sound user", "prot user", "ports", "search tick", "watchdog tick", "record"}));
}

TEST_F(MainFormTest, NmeaMenuChoosesThePositionSource) {
  struct Case {
    QAction* item;
    const char* text;
    int32_t source;
  } cases[] = {{c().ggaItem, "GGA", 2}, {c().rmcItem, "RMC", 3}, {c().gnsItem, "GNS", 10}, {c().autoItem, "Auto", 0}};
  EXPECT_EQ(c().nmeaPopupMenu->objectName(), QStringLiteral("NMEAPopupMenu"));
  EXPECT_TRUE(c().autoItem->isChecked());
  EXPECT_EQ(c().protComboBox->contextMenuPolicy(), Qt::CustomContextMenu);
  for (const Case& test : cases) {
    SCOPED_TRACE(test.text);
    EXPECT_EQ(test.item->text(), QString::fromLatin1(test.text));
    test.item->trigger();
    EXPECT_EQ(app.receiver->nmea.positionSource, test.source);
    for (const Case& other : cases) EXPECT_EQ(other.item->isChecked(), other.item == test.item) << other.text;
  }
  form().setNmeaPopupAttached(false);
  EXPECT_EQ(c().protComboBox->contextMenuPolicy(), Qt::PreventContextMenu);
  form().setNmeaPopupAttached(true);
  EXPECT_EQ(c().protComboBox->contextMenuPolicy(), Qt::CustomContextMenu);
}

// ---- Tool-window tiling ----

TEST_F(MainFormTest, TickedBoxesTileTheWindowsAroundTheMainWindow) {
  struct Step {
    QCheckBox* box;
    QWidget* window;
    QPoint place;
  } steps[] = {
      {c().positionCheckBox, app.positionForm.get(), {100, 182}},
      {c().statisticCheckBox, app.statisticForm.get(), {100, 242}},
      {c().satellitesCheckBox, app.satellitesForm.get(), {100, 302}},
      {c().visualCheckBox, app.visualForm.get(), {521, 50}},
      {c().profileCheckBox, app.profileForm.get(), {100, 385}},
      {c().snrCheckBox, app.snrForm.get(), {100, 479}},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.box->text().toStdString());
    step.box->setChecked(true);
    EXPECT_EQ(step.window->pos(), step.place);
    EXPECT_TRUE(step.window->isVisible());
  }
  // Everything together is 848 pixels wide and ends under the S/N ratio window.
  EXPECT_EQ(app.visualForm->x() + app.visualForm->width() - form().x(), 848);
  EXPECT_EQ(app.satellitesForm->y() + app.satellitesForm->height(), app.profileForm->y());
  for (const Step& step : steps) {
    step.box->setChecked(false);
    EXPECT_FALSE(step.window->isVisible()) << step.box->text().toStdString();
  }
}

TEST_F(MainFormTest, ControlWindowTakesTheVisualPlace) {
  c().controlCheckBox->setChecked(true);
  EXPECT_EQ(app.controlForm->pos(), QPoint(521, 50));
  EXPECT_TRUE(app.controlForm->isVisible());
  c().controlCheckBox->setChecked(false);
  EXPECT_FALSE(app.controlForm->isVisible());
}

TEST_F(MainFormTest, PositionBoxMovesTheColumnUpAndDown) {
  c().statisticCheckBox->setChecked(true);
  c().satellitesCheckBox->setChecked(true);
  EXPECT_EQ(app.statisticForm->pos(), QPoint(100, 182));
  EXPECT_EQ(app.satellitesForm->pos(), QPoint(100, 242));
  c().positionCheckBox->setChecked(true);
  EXPECT_EQ(app.positionForm->pos(), QPoint(100, 182));
  EXPECT_EQ(app.statisticForm->pos(), QPoint(100, 242));
  EXPECT_EQ(app.satellitesForm->pos(), QPoint(100, 302));
  c().positionCheckBox->setChecked(false);
  EXPECT_FALSE(app.positionForm->isVisible());
  EXPECT_EQ(app.statisticForm->pos(), QPoint(100, 182));
  EXPECT_EQ(app.satellitesForm->pos(), QPoint(100, 242));
  c().statisticCheckBox->setChecked(false);
  EXPECT_EQ(app.satellitesForm->pos(), QPoint(100, 182));
  c().statisticCheckBox->setChecked(true);
  EXPECT_EQ(app.statisticForm->pos(), QPoint(100, 182));
  EXPECT_EQ(app.satellitesForm->pos(), QPoint(100, 242));
}

TEST_F(MainFormTest, HiddenWindowsBelowMoveToo) {
  app.statisticForm->move(7, 300);
  app.satellitesForm->move(9, 400);
  app.snrForm->move(11, 500);
  c().positionCheckBox->setChecked(true);
  c().profileCheckBox->setChecked(true);
  EXPECT_FALSE(app.statisticForm->isVisible());
  EXPECT_EQ(app.statisticForm->pos(), QPoint(7, 360));
  EXPECT_EQ(app.satellitesForm->pos(), QPoint(9, 460));
  EXPECT_EQ(app.snrForm->pos(), QPoint(11, 594));
  c().positionCheckBox->setChecked(false);
  c().profileCheckBox->setChecked(false);
  EXPECT_EQ(app.statisticForm->pos(), QPoint(7, 300));
  EXPECT_EQ(app.satellitesForm->pos(), QPoint(9, 400));
  EXPECT_EQ(app.snrForm->pos(), QPoint(11, 500));
}

TEST_F(MainFormTest, ProfileBoxMovesTheSnrWindow) {
  c().snrCheckBox->setChecked(true);
  EXPECT_EQ(app.snrForm->pos(), QPoint(100, 385));
  c().profileCheckBox->setChecked(true);
  EXPECT_EQ(app.profileForm->pos(), QPoint(100, 385));
  EXPECT_EQ(app.snrForm->pos(), QPoint(100, 479));
  c().profileCheckBox->setChecked(false);
  EXPECT_EQ(app.snrForm->pos(), QPoint(100, 385));
}

TEST_F(MainFormTest, StatisticBoxRestartsTheStatistics) {
  int resets = 0;
  QObject::connect(&form(), &TMainForm::statisticTicked, [&] { ++resets; });
  addPositionSample(app.statistics, 0.9, 0.6, 150, 0);
  c().statisticCheckBox->setChecked(true);
  EXPECT_EQ(app.statistics.count, 0);
  EXPECT_EQ(resets, 1);
  addPositionSample(app.statistics, 0.9, 0.6, 150, 0);
  c().statisticCheckBox->setChecked(false);
  EXPECT_EQ(app.statistics.count, 1);
  EXPECT_EQ(resets, 1);
}

// ---- Title bar ----

void mouse(QWidget* target, QEvent::Type type, QPoint at) {
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent event(type, QPointF(at), target->mapToGlobal(QPointF(at)), Qt::LeftButton, held, Qt::NoModifier);
  QApplication::sendEvent(target, &event);
}

TEST_F(MainFormTest, DraggingTheTitleBarMovesTheWindowGroup) {
  c().positionCheckBox->setChecked(true);
  c().visualCheckBox->setChecked(true);
  QWidget* group[] = {&form(),
                      app.positionForm.get(),
                      app.statisticForm.get(),
                      app.satellitesForm.get(),
                      app.visualForm.get(),
                      app.profileForm.get(),
                      app.snrForm.get(),
                      app.controlForm.get()};
  QWidget* staying[] = {app.aboutForm.get(), app.timerForm.get(), app.optionsForm.get()};
  std::vector<QPoint> before;
  for (QWidget* w : group) before.push_back(w->pos());
  std::vector<QPoint> stayingBefore;
  for (QWidget* w : staying) stayingBefore.push_back(w->pos());

  mouse(c().topPanel, QEvent::MouseButtonPress, {200, 10});
  mouse(c().topPanel, QEvent::MouseMove, {215, 3});   // by (15, -7)
  mouse(c().topPanel, QEvent::MouseMove, {205, 14});  // by (5, 4) from where the drag began
  mouse(c().topPanel, QEvent::MouseButtonRelease, {205, 14});
  mouse(c().topPanel, QEvent::MouseMove, {300, 20});  // after release: nothing

  for (size_t i = 0; i < std::size(group); ++i) {
    EXPECT_EQ(group[i]->pos(), before[i] + QPoint(20, -3)) << group[i]->objectName().toStdString();
  }
  for (size_t i = 0; i < std::size(staying); ++i) EXPECT_EQ(staying[i]->pos(), stayingBefore[i]);
  EXPECT_FALSE(app.statisticForm->isVisible());
}

// Left of the main window, but never off the screen.
TEST_F(MainFormTest, TitleImageShowsTheAboutWindowLeftOfTheMainWindowInsideTheScreen) {
  const QRect screen = availableArea(form());
  struct Case {
    QPoint main;
    QPoint about;
  };
  const Case cases[] = {
      {{300, 50}, {300 - 132, 50}},
      {{100, 50}, {screen.left(), 50}},
      {{300, screen.bottom() - 10}, {168, screen.top() + screen.height() - app.aboutForm->height()}},
  };
  for (const Case& k : cases) {
    form().move(k.main);
    mouse(c().titleImage, QEvent::MouseButtonPress, {5, 5});
    mouse(c().titleImage, QEvent::MouseButtonRelease, {5, 5});
    EXPECT_TRUE(app.aboutForm->isVisible());
    EXPECT_EQ(app.aboutForm->pos(), k.about) << k.main.x() << "," << k.main.y();
    EXPECT_EQ(form().pos(), k.main);  // the click is no drag
    app.aboutForm->hide();
  }
}

// The tool windows belong to the main window: one taskbar entry for the group.
TEST_F(MainFormTest, ToolWindowsGoWithTheMainWindow) {
  form().show();
  c().positionCheckBox->setChecked(true);
  c().visualCheckBox->setChecked(true);
  QWidget* secondary[] = {app.aboutForm.get(),    app.visualForm.get(),    app.controlForm.get(),
                          app.positionForm.get(), app.profileForm.get(),   app.satellitesForm.get(),
                          app.snrForm.get(),      app.statisticForm.get(), app.timerForm.get(),
                          app.optionsForm.get()};
  for (QWidget* window : secondary) {
    EXPECT_EQ(window->parentWidget(), &form()) << window->objectName().toStdString();
    EXPECT_EQ(window->windowType(), Qt::Tool) << window->objectName().toStdString();
    EXPECT_TRUE(window->windowFlags() & Qt::FramelessWindowHint) << window->objectName().toStdString();
  }
  ASSERT_NE(app.positionForm->windowHandle(), nullptr);
  EXPECT_EQ(app.positionForm->windowHandle()->transientParent(), form().windowHandle());

  // The window manager minimises and restores a window's tool windows with it.
  c().minimizeSpeedButton->click();
  EXPECT_TRUE(form().isMinimized());
}

// Each dialog opens centred on the main window, moved inside the screen where needed.
TEST_F(MainFormTest, DialogsOpenCentredOnTheMainWindowInsideTheScreen) {
  const QRect screen = availableArea(form());
  form().show();
  for (const QPoint mainAt : {QPoint(200, 200), QPoint(0, 0)}) {
    form().move(mainAt);
    for (const std::string dialogName : {"OpenFileDialog", "PortPathDialog"}) {
      SCOPED_TRACE(dialogName);
      QRect seen;
      QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->objectName().toStdString(), dialogName);
        seen = dialog->frameGeometry();
        static_cast<QDialog*>(dialog)->reject();
      });
      if (dialogName == "OpenFileDialog") {
        c().ejectButton->click();
      } else {
        c().portComboBox->setFoundEntries({});
        ASSERT_EQ(c().portComboBox->itemText(0), QStringLiteral("Other…"));
        emit c().portComboBox->activated(0);
      }
      ASSERT_FALSE(seen.isNull());
      EXPECT_TRUE(screen.contains(seen)) << seen.x() << "," << seen.y() << " " << seen.width() << "x"
                                         << seen.height();
      const QPoint centre = form().frameGeometry().center();
      const QRect centred(centre - QPoint(seen.width() / 2, seen.height() / 2), seen.size());
      EXPECT_EQ(seen.topLeft(), keptInside(centred, screen));
      if (mainAt == QPoint(200, 200)) {
        EXPECT_EQ(seen.topLeft(), centred.topLeft());
      }
    }
  }
}

TEST_F(MainFormTest, CloseButtonClosesTheMainWindow) {
  form().show();
  c().closeSpeedButton->click();
  EXPECT_FALSE(form().isVisible());
}

// ---- Start-up and shut-down ----

TEST(MainFormAlone, CreationStartsInStopWithFreshTransportFlags) {
  TransportFields transport;
  transport.transportState = TransportState::REC;
  transport.receivedTotal = 99;
  transport.errorCount = 3;
  transport.recordAfterSync = true;
  transport.fileNameFixed = true;
  transport.binrCommandCrc = false;
  TMainForm another(transport, {});
  EXPECT_EQ(transport.transportState, TransportState::STOP);
  EXPECT_EQ(transport.receivedTotal, 0);
  EXPECT_EQ(transport.errorCount, 0);
  EXPECT_TRUE(transport.binrCommandCrc);
  EXPECT_FALSE(transport.recordAfterSync);
  EXPECT_FALSE(transport.fileNameFixed);
  EXPECT_EQ(another.windowTitle(), QStringLiteral("VELTRANO - STOP"));
}

// ---- First show: the command-line file ----

struct ShowCalls {
  std::vector<std::string> calls;
  void watch(AppContext& app) {
    QObject::connect(app.mainForm.get(), &TMainForm::rewindClicked, [this](bool sender) {
      calls.push_back((sender ? "rewind user in " : "rewind in ") + QDir::currentPath().toStdString());
    });
  }
};

TEST(MainFormShow, WithoutArgumentNothingIsPlayed) {
  CurrentDirectoryGuard guard;
  AppContext app;
  ShowCalls show;
  show.watch(app);
  EXPECT_FALSE(app.mainForm->acceptDrops());
  app.mainForm->show();
  app.mainForm->hide();
  app.mainForm->show();
  EXPECT_TRUE(app.mainForm->acceptDrops());
  EXPECT_TRUE(show.calls.empty());
}

// A recording named on the command line plays in the protocol of its kind; the
// program starts in BINR2 here, so every kind is a change.
TEST(MainFormShow, CommandLineFileSetsTheDirectoryAndPlaysInItsProtocol) {
  struct Case {
    const char* name;
    int protocol;  // -1: not played, the protocol stays
  } cases[] = {{"run_20240101.nme", 0}, {"RUN.NME", 0}, {"log.nme.bak", 0}, {"run.dat", 1},
               {"RUN.DAT", 1},          {"run.b2", 2},  {"run.Nme", -1},    {"run.txt", -1}};
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    CurrentDirectoryGuard guard;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString canonical = QDir(dir.path()).canonicalPath();
    AppContext app({dir.filePath(QString::fromLatin1(test.name))});
    ShowCalls show;
    show.watch(app);
    TMainForm& form = *app.mainForm;
    app.protocolSwitch->selectForFile(ReceiverProtocol::BINR2);
    form.show();
    EXPECT_EQ(QDir::currentPath(), canonical);
    const bool played = test.protocol >= 0;
    std::vector<std::string> expected;
    if (played) expected.push_back("rewind in " + canonical.toStdString());
    EXPECT_EQ(show.calls, expected);
    const int protocol = played ? test.protocol : 2;
    EXPECT_EQ(test::probeControls(form).protComboBox->currentIndex(), protocol);
    EXPECT_EQ(app.transport.receiverProtocol, ReceiverProtocol(protocol));
    EXPECT_EQ(test::probeControls(form).fileLabel->text(), played ? QString::fromLatin1(test.name) : "rgfile.b2");
    // The windows follow the protocol as after a choice in the list.
    EXPECT_EQ(test::probeControls(form).synchroTimer->interval(), protocol == 0 ? 1000 : 500);
  }
}

// ---- Dropped files ----

void drop(QWidget* target, const QList<QUrl>& urls) {
  QMimeData data;
  data.setUrls(urls);
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &enter);
  QDropEvent event(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &event);
}

TEST_F(MainFormTest, DroppedRecordingBecomesThePlaybackFileInItsProtocol) {
  struct Case {
    const char* name;
    int protocol;  // -1: not taken, the protocol stays BINR2
  } cases[] = {{"track.nme", 0}, {"TRACK.NME", 0}, {"a.nme.old", 0}, {"track.dat", 1},
               {"track.b2", 2},  {"track.Nme", -1}, {"track.txt", -1}};
  form().show();  // drops are accepted from the first show on
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    CurrentDirectoryGuard guard;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    std::vector<std::string> calls;
    const QMetaObject::Connection watched[] = {
        QObject::connect(&form(), &TMainForm::rewindClicked, [&] { calls.push_back("rewind"); }),
        QObject::connect(&form(), &TMainForm::playClicked, [&] { calls.push_back("play"); }),
        QObject::connect(&form(), &TMainForm::protocolChosen, [&] { calls.push_back("prot"); })};
    app.protocolSwitch->selectForFile(ReceiverProtocol::BINR2);
    c().fileLabel->setCaption(QStringLiteral("rgfile.b2"));
    const QString second = QDir(dir.path()).filePath(QStringLiteral("other.nme"));
    drop(&form(), {QUrl::fromLocalFile(dir.filePath(QString::fromLatin1(test.name))), QUrl::fromLocalFile(second)});
    EXPECT_EQ(QDir::currentPath(), QDir(dir.path()).canonicalPath());
    const int protocol = test.protocol >= 0 ? test.protocol : 2;
    EXPECT_EQ(c().protComboBox->currentIndex(), protocol);
    EXPECT_EQ(app.transport.receiverProtocol, ReceiverProtocol(protocol));
    EXPECT_EQ(c().fileLabel->text(), test.protocol >= 0 ? QString::fromLatin1(test.name) : QStringLiteral("rgfile.b2"));
    EXPECT_TRUE(calls.empty());  // nothing is played and the list announces no choice
    EXPECT_EQ(app.transport.transportState, TransportState::STOP);
    for (const QMetaObject::Connection& connection : watched) QObject::disconnect(connection);
  }
}

TEST_F(MainFormTest, DropsAreRefusedWhileBusy) {
  CurrentDirectoryGuard guard;
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString before = QDir::currentPath();
  form().show();
  for (TransportState state :
       {TransportState::SYNC, TransportState::PLAY, TransportState::PAUSE, TransportState::REC}) {
    form().setTransportState(state);
    drop(&form(), {QUrl::fromLocalFile(dir.filePath(QStringLiteral("x.nme")))});
    form().acceptDroppedFile(dir.filePath(QStringLiteral("y.nme")));
    EXPECT_EQ(QDir::currentPath(), before) << int(state);
    EXPECT_EQ(c().fileLabel->text(), QStringLiteral("rgfile.nme"));
  }
}

// ---- Picture ----

TEST_F(MainFormTest, GrabWhenAsked) {
  const char* directory = std::getenv("VELTRANO_GRAB_DIR");
  if (!directory) GTEST_SKIP() << "VELTRANO_GRAB_DIR not set";
  form().show();
  const QString path = QDir(QString::fromLocal8Bit(directory)).filePath(QStringLiteral("main.png"));
  EXPECT_TRUE(form().grab().save(path));
}

}  // namespace
}  // namespace veltrano
