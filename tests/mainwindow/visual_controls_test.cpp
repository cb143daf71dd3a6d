// The Visual window's controls in the running program: the reference edits,
// Set Current, Set Statistic, the double-click on the plot, the radius
// selector, Clear, the plot's menu, the system boxes and Copy.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QToolButton>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "decoding/fix.h"
#include "displays/auto_label.h"
#include "displays/position_form.h"
#include "displays/reference_point.h"
#include "displays/report_picture.h"
#include "displays/statistic_form.h"
#include "displays/visual_form.h"
#include "main_form_probe.h"
#include "mainwindow/app_context.h"
#include "mainwindow/main_form.h"
#include "util/formatters.h"

namespace veltrano {
namespace {

constexpr double kDegree = kPi / 180;
constexpr int kOneMetre = 18;  // radius selector positions
constexpr int kTenMetres = 27;
const QColor kBlack(0, 0, 0);
const QColor kRed(255, 0, 0);
const QString kDeg = QString::fromLatin1("\xB0");

using Calls = std::vector<std::string>;

Fix fixAt(double latDeg, double lonDeg, double height) {
  Fix fix;
  fix.protocol = ReceiverProtocol::BINR;
  fix.latitude = latDeg * kDegree;
  fix.longitude = lonDeg * kDegree;
  fix.height = height;
  fix.valid = true;
  return fix;
}

QString shown(const std::string& text) { return QString::fromLatin1(text.data(), qsizetype(text.size())); }

class VisualControlsTest : public ::testing::Test {
 protected:
  VisualControlsTest() {
    TVisualForm* visual = app.visualForm.get();
    QObject::connect(visual, &TVisualForm::plotReset, [this] { calls.push_back("plotReset"); });
    QObject::connect(visual, &TVisualForm::redrawWanted, [this] { calls.push_back("redrawWanted"); });
    QObject::connect(visual, &TVisualForm::clearPointsWanted, [this] { calls.push_back("clearPointsWanted"); });
  }

  TVisualForm& form() { return *app.visualForm; }
  const VisualFormControls& c() { return form().controls(); }

  void showAt(int radiusPosition) {
    app.transport.radiusValue = radiusPosition;
    form().show();
    calls.clear();
  }

  // The reference point as the user types it into the edits.
  void setReference(const QString& lat, const QString& lon, const QString& alt) {
    c().latEdit->setText(lat);
    c().lonEdit->setText(lon);
    c().altEdit->setText(alt);
    calls.clear();
  }

  void plot(const Fix& fix) { form().plotFix(fix, {}); }

  static void key(QLineEdit* edit, int code, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, text);
    QCoreApplication::sendEvent(edit, &press);
    QKeyEvent release(QEvent::KeyRelease, code, Qt::NoModifier, text);
    QCoreApplication::sendEvent(edit, &release);
  }

  // Typed from the start of the edit, one key per character.
  static void type(QLineEdit* edit, const char* keys) {
    edit->setCursorPosition(0);
    for (const char* k = keys; *k; ++k) {
      const int code = *k >= '0' && *k <= '9' ? Qt::Key_0 + (*k - '0') : Qt::Key_A + (*k - 'A');
      key(edit, code, QString(QChar::fromLatin1(*k)));
    }
  }

  void mouse(QEvent::Type type, QPoint at, Qt::MouseButton button) {
    QMouseEvent event(type, QPointF(at), QPointF(c().image->mapToGlobal(at)), button, button, Qt::NoModifier);
    QCoreApplication::sendEvent(c().image, &event);
  }

  // A press, a release and the second press as a double-click.
  void doubleClick(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    mouse(QEvent::MouseButtonPress, at, button);
    mouse(QEvent::MouseButtonRelease, at, button);
    mouse(QEvent::MouseButtonDblClick, at, button);
    mouse(QEvent::MouseButtonRelease, at, button);
  }

  QToolButton* arrow(Qt::ArrowType type) {
    for (QToolButton* button : c().rUpDown->findChildren<QToolButton*>())
      if (button->arrowType() == type) return button;
    return nullptr;
  }

  static QColor textColour(const QLineEdit* edit) { return edit->palette().color(QPalette::Text); }

  AppContext app;
  Calls calls;
};

// ---- the reference edits ------------------------------------------------------------

struct EditCase {
  const char* name;
  bool longitude;
  const char* degrees;
  const char* rest;
  bool valid;
  double angleDeg;
};

class ReferenceEditTest : public VisualControlsTest, public ::testing::WithParamInterface<EditCase> {};

TEST_P(ReferenceEditTest, ValidTextMovesTheReferenceInvalidTurnsRed) {
  const EditCase& p = GetParam();
  showAt(kOneMetre);
  QLineEdit* edit = p.longitude ? c().lonEdit : c().latEdit;
  double& angle = p.longitude ? form().refLon : form().refLat;
  angle = 0.25;
  edit->setText(QString::fromLatin1(p.degrees) + kDeg + QString::fromLatin1(p.rest));
  if (p.valid) {
    EXPECT_DOUBLE_EQ(angle, p.angleDeg * kDegree);
    EXPECT_EQ(textColour(edit), kBlack);
    EXPECT_EQ(calls, (Calls{"plotReset", "redrawWanted"}));
    return;
  }
  EXPECT_EQ(angle, 0.25);
  EXPECT_EQ(textColour(edit), kRed);
  EXPECT_TRUE(calls.empty());
  // Corrected, the text is black again and is taken.
  edit->setText(QString::fromLatin1(p.longitude ? "010" : "10") + kDeg + QStringLiteral("30.00000") +
                QString(QChar::fromLatin1(p.rest[std::strlen(p.rest) - 1])));
  EXPECT_EQ(textColour(edit), kBlack);
  EXPECT_NEAR(std::fabs(angle), 10.5 * kDegree, 1e-15);
}

INSTANTIATE_TEST_SUITE_P(Texts, ReferenceEditTest,
                         ::testing::Values(EditCase{"LatNorth", false, "55", "30.00000N", true, 55.5},
                                           EditCase{"LatSouth", false, "12", "06.00000S", true, -12.1},
                                           EditCase{"LatBeyondThePole", false, "90", "00.00001N", false, 0},
                                           EditCase{"LatSixtyMinutes", false, "45", "60.00000N", false, 0},
                                           EditCase{"LonDateLineWest", true, "180", "00.00000W", true, -180},
                                           EditCase{"LonBeyondTheDateLine", true, "180", "00.00100E", false, 0},
                                           EditCase{"LonWest", true, "000", "30.00000W", true, -0.5}),
                         [](const ::testing::TestParamInfo<EditCase>& info) { return std::string(info.param.name); });

TEST_F(VisualControlsTest, TypedDigitsAndHemisphereSetTheLatitude) {
  showAt(kOneMetre);
  type(c().latEdit, "553000000N");
  EXPECT_EQ(c().latEdit->displayText(), QStringLiteral("55") + kDeg + QStringLiteral("30.00000N"));
  EXPECT_DOUBLE_EQ(form().refLat, 55.5 * kDegree);
  EXPECT_EQ(textColour(c().latEdit), kBlack);
  ASSERT_GE(calls.size(), 2u);
  EXPECT_EQ(Calls(calls.end() - 2, calls.end()), (Calls{"plotReset", "redrawWanted"}));
  // Typing S instead makes it south.
  type(c().latEdit, "553000000S");
  EXPECT_DOUBLE_EQ(form().refLat, -55.5 * kDegree);
}

TEST_F(VisualControlsTest, AnUnfilledPlaceIsRedEvenWithTheHemisphereLetter) {
  showAt(kOneMetre);
  setReference(QStringLiteral("55") + kDeg + QStringLiteral("30.00000N"),
               QStringLiteral("037") + kDeg + QStringLiteral("36.93600E"), QStringLiteral("0150.25"));
  c().latEdit->setCursorPosition(5);
  key(c().latEdit, Qt::Key_Backspace);
  const QString blanked = c().latEdit->displayText();
  EXPECT_EQ(blanked.count(QLatin1Char('_')), 1) << blanked.toStdString();
  EXPECT_TRUE(blanked.endsWith(QLatin1Char('N')));
  EXPECT_EQ(textColour(c().latEdit), kRed);
  EXPECT_DOUBLE_EQ(form().refLat, 55.5 * kDegree);
  EXPECT_TRUE(calls.empty());
  // A digit in the blank place makes it a text again, and it is taken.
  key(c().latEdit, Qt::Key_4, QStringLiteral("4"));
  const QString filled = c().latEdit->displayText();
  EXPECT_EQ(filled.count(QLatin1Char('_')), 0);
  EXPECT_EQ(textColour(c().latEdit), kBlack);
  EXPECT_EQ(form().refLat, *readReferenceLatitude(filled.toLatin1().toStdString()));
  EXPECT_NE(form().refLat, 55.5 * kDegree);
}

TEST_F(VisualControlsTest, HeightIsReadWithoutCheckOrRedraw) {
  showAt(kOneMetre);
  const struct {
    const char* text;
    double height;
  } cases[] = {{"0150.25", 150.25}, {"-012.50", -12.5}, {"9999.99", 9999.99}, {"0000.00", 0}};
  for (const auto& k : cases) {
    c().altEdit->setText(QString::fromLatin1(k.text));
    EXPECT_EQ(c().altEdit->displayText(), QString::fromLatin1(k.text));
    EXPECT_DOUBLE_EQ(form().refHeight, k.height) << k.text;
  }
  EXPECT_TRUE(calls.empty());
  // The sign's place left blank does not hide the digits after it.
  c().altEdit->setText(QStringLiteral("0150.25"));
  c().altEdit->setCursorPosition(1);
  key(c().altEdit, Qt::Key_Backspace);
  EXPECT_EQ(c().altEdit->displayText(), QStringLiteral("_150.25"));
  EXPECT_DOUBLE_EQ(form().refHeight, 150.25);
  EXPECT_EQ(textColour(c().altEdit), kBlack);
}

// A coordinate text with '*' for the degree sign.
QString withDegreeSign(const char* text) { return QString::fromLatin1(text).replace(QLatin1Char('*'), kDeg); }

struct FillCase {
  double lat, lon, height;  // degrees, degrees, metres
  const char* latText;
  const char* lonText;
  const char* altText;
  double readLat, readLon, readHeight;  // the reference read back
};

class FillReferenceTest : public VisualControlsTest, public ::testing::WithParamInterface<FillCase> {};

TEST_P(FillReferenceTest, EditsShowThePointWhichIsReadBack) {
  const FillCase& p = GetParam();
  showAt(kOneMetre);
  form().refLat = p.lat * kDegree;
  form().refLon = p.lon * kDegree;
  form().refHeight = p.height;
  form().fillReferenceEdits();
  EXPECT_EQ(c().latEdit->displayText(), withDegreeSign(p.latText));
  EXPECT_EQ(c().lonEdit->displayText(), withDegreeSign(p.lonText));
  EXPECT_EQ(c().altEdit->displayText(), QString::fromLatin1(p.altText));
  EXPECT_DOUBLE_EQ(form().refLat, p.readLat * kDegree);
  EXPECT_DOUBLE_EQ(form().refLon, p.readLon * kDegree);
  EXPECT_DOUBLE_EQ(form().refHeight, p.readHeight);
  // Each changed coordinate text cleared the plot and asked for a redraw.
  EXPECT_EQ(calls, (Calls{"plotReset", "redrawWanted", "plotReset", "redrawWanted"}));
  EXPECT_EQ(textColour(c().latEdit), kBlack);
  EXPECT_EQ(textColour(c().lonEdit), kBlack);
}

INSTANTIATE_TEST_SUITE_P(Points, FillReferenceTest,
                         ::testing::Values(FillCase{55.5, 37.6156, 150.25, "55*30.00000N", "037*36.93600E", "0150.25",
                                                    55.5, 37.6156, 150.25},
                                           // The guard: not 54 degrees and 60 minutes.
                                           FillCase{54.999999999999, -179.999999999999, -12.5, "55*00.00000N",
                                                    "180*00.00000W", "-012.50", 55, -180, -12.5},
                                           FillCase{-33.123456789, 12.3456789, 12000, "33*07.40741S", "012*20.74073E",
                                                    "9999.99", -(33 + 7.40741 / 60), 12 + 20.74073 / 60, 9999.99}));

TEST_F(VisualControlsTest, ShowingTheWindowFillsTheEdits) {
  form().refLat = -10.25 * kDegree;
  form().refLon = 100.5 * kDegree;
  form().refHeight = 42;
  showAt(kOneMetre);
  EXPECT_EQ(c().latEdit->displayText(), QStringLiteral("10") + kDeg + QStringLiteral("15.00000S"));
  EXPECT_EQ(c().lonEdit->displayText(), QStringLiteral("100") + kDeg + QStringLiteral("30.00000E"));
  EXPECT_EQ(c().altEdit->displayText(), QStringLiteral("0042.00"));
}

// ---- Set Current and Set Statistic --------------------------------------------------

TEST_F(VisualControlsTest, SetCurrentTakesTheLastPlottedPosition) {
  showAt(kOneMetre);
  plot(fixAt(55.7522, 37.6156, 151.337));
  calls.clear();
  c().setCurrentButton->click();
  EXPECT_EQ(c().latEdit->displayText(), shown(referenceLatitudeText(55.7522 * kDegree)));
  EXPECT_EQ(c().lonEdit->displayText(), QStringLiteral("037") + kDeg + QStringLiteral("36.93600E"));
  EXPECT_EQ(c().altEdit->displayText(), QStringLiteral("0151.34"));
  // As read back from the texts.
  EXPECT_EQ(form().refLat, *readReferenceLatitude(referenceLatitudeText(55.7522 * kDegree)));
  EXPECT_EQ(form().refLon, *readReferenceLongitude(referenceLongitudeText(37.6156 * kDegree)));
  EXPECT_NEAR(form().refLat, 55.7522 * kDegree, 1e-15);
  EXPECT_DOUBLE_EQ(form().refHeight, 151.34);
  EXPECT_EQ(calls, (Calls{"plotReset", "redrawWanted", "plotReset", "redrawWanted", "plotReset", "redrawWanted"}));
}

TEST_F(VisualControlsTest, SetCurrentInTheShownCellKeepsTheExactPosition) {
  showAt(kOneMetre);
  setReference(QStringLiteral("55") + kDeg + QStringLiteral("30.00000N"),
               QStringLiteral("037") + kDeg + QStringLiteral("36.93600E"), QStringLiteral("0150.25"));
  // About 6 mm and 2 mm from the shown point: the same 0.00001 minute.
  const double lat = 55.5 * kDegree + 1e-9;
  const double lon = 37.6156 * kDegree - 5e-10;
  Fix fix = fixAt(0, 0, 150.253);
  fix.latitude = lat;
  fix.longitude = lon;
  plot(fix);
  calls.clear();
  c().setCurrentButton->click();
  EXPECT_EQ(form().refLat, lat);
  EXPECT_EQ(form().refLon, lon);
  EXPECT_EQ(form().refHeight, 150.253);
  EXPECT_EQ(calls, (Calls{"plotReset", "redrawWanted"}));
}

TEST_F(VisualControlsTest, SetCurrentIgnoresAPositionTheEditsCannotShow) {
  showAt(kOneMetre);
  setReference(QStringLiteral("55") + kDeg + QStringLiteral("30.00000N"),
               QStringLiteral("037") + kDeg + QStringLiteral("36.93600E"), QStringLiteral("0150.25"));
  for (const Fix& fix : {fixAt(std::nan(""), 10, 0), fixAt(95, 10, 0), fixAt(10, 181, 0), fixAt(10, 10, HUGE_VAL)}) {
    plot(fix);
    calls.clear();
    c().setCurrentButton->click();
    EXPECT_DOUBLE_EQ(form().refLat, 55.5 * kDegree);
    EXPECT_DOUBLE_EQ(form().refLon, 37.6156 * kDegree);
    EXPECT_DOUBLE_EQ(form().refHeight, 150.25);
    EXPECT_TRUE(calls.empty());
  }
}

TEST_F(VisualControlsTest, SetStatisticTakesTheStatisticWindowsMean) {
  showAt(kOneMetre);
  // Accepted by the Statistic window only: the Visual window never saw them.
  ASSERT_TRUE(app.statisticForm->updateStatistic(fixAt(10.2, -20.4, 100)));
  ASSERT_TRUE(app.statisticForm->updateStatistic(fixAt(10.4, -20.6, 110)));
  EXPECT_NEAR(app.statisticForm->meanLat(), 10.3 * kDegree, 1e-12);
  // The mean stays through a reset of the window's display.
  app.statisticForm->resetStatisticDisplay();
  c().setStatisticButton->click();
  EXPECT_EQ(c().latEdit->displayText(), QStringLiteral("10") + kDeg + QStringLiteral("18.00000N"));
  EXPECT_EQ(c().lonEdit->displayText(), QStringLiteral("020") + kDeg + QStringLiteral("30.00000W"));
  EXPECT_EQ(c().altEdit->displayText(), QStringLiteral("0105.00"));
  EXPECT_NEAR(form().refLat, 10.3 * kDegree, 1e-15);
  EXPECT_NEAR(form().refLon, -20.5 * kDegree, 1e-15);
  EXPECT_DOUBLE_EQ(form().refHeight, 105);
  EXPECT_EQ(form().currentLat, 0);
  EXPECT_EQ(Calls(calls.end() - 2, calls.end()), (Calls{"plotReset", "redrawWanted"}));
}

// ---- the plot: double-click, radius, Clear ------------------------------------------

TEST_F(VisualControlsTest, DoubleClickRecentresOnThePixel) {
  showAt(kTenMetres);
  ASSERT_EQ(form().plotRadius, 10);
  setReference(QStringLiteral("55") + kDeg + QStringLiteral("45.00000N"),
               QStringLiteral("037") + kDeg + QStringLiteral("36.00000E"), QStringLiteral("0150.00"));
  const double refLat = form().refLat;
  const double refLon = form().refLon;
  doubleClick(QPoint(204, 153));
  EXPECT_EQ(form().clickX, 204);
  EXPECT_EQ(form().clickY, 153);
  EXPECT_EQ(form().refLat, refLat);
  // 51 pixels east at R = 10 m: 9.967 m, to the 0.00001 minute of the text.
  const double east = (form().refLon - refLon) * std::cos(refLat) * kSemiMajorAxis;
  EXPECT_NEAR(east, 51 * 10 / (307 / 6.0), 0.006);
  EXPECT_EQ(form().refLon, *readReferenceLongitude(c().lonEdit->displayText().toLatin1().toStdString()));
  EXPECT_EQ(Calls(calls.end() - 2, calls.end()), (Calls{"plotReset", "redrawWanted"}));
}

TEST_F(VisualControlsTest, DoubleClickOnTheCentreKeepsTheReferenceAndRedraws) {
  showAt(kTenMetres);
  setReference(QStringLiteral("55") + kDeg + QStringLiteral("45.12345N"),
               QStringLiteral("037") + kDeg + QStringLiteral("36.54321E"), QStringLiteral("0150.00"));
  const double refLat = form().refLat;
  const double refLon = form().refLon;
  doubleClick(QPoint(153, 153));
  EXPECT_EQ(form().refLat, refLat);
  EXPECT_EQ(form().refLon, refLon);
  EXPECT_EQ(calls, (Calls{"plotReset", "redrawWanted"}));
}

TEST_F(VisualControlsTest, AnyButtonRecordsThePressOnlyTheLeftRecentres) {
  showAt(kTenMetres);
  const double refLat = form().refLat;
  mouse(QEvent::MouseButtonPress, QPoint(10, 20), Qt::RightButton);
  EXPECT_EQ(form().clickX, 10);
  EXPECT_EQ(form().clickY, 20);
  doubleClick(QPoint(30, 40), Qt::RightButton);
  EXPECT_EQ(form().clickX, 30);
  EXPECT_EQ(form().clickY, 40);
  EXPECT_EQ(form().refLat, refLat);
  EXPECT_TRUE(calls.empty());
}

struct RadiusCase {
  int start;
  bool up;
  int position;
  float radius;
};

class RadiusSelectorTest : public VisualControlsTest, public ::testing::WithParamInterface<RadiusCase> {};

TEST_P(RadiusSelectorTest, EachClickMovesTwoSteps) {
  const RadiusCase& p = GetParam();
  showAt(p.start);
  QToolButton* button = arrow(p.up ? Qt::RightArrow : Qt::LeftArrow);
  ASSERT_NE(button, nullptr);
  button->click();
  EXPECT_EQ(c().rUpDown->position(), p.position);
  EXPECT_EQ(app.transport.radiusValue, p.position);
  EXPECT_EQ(form().plotRadius, p.radius);
  EXPECT_FLOAT_EQ(form().pixelsPerMetre, 307.0f / 6 / p.radius);
  EXPECT_EQ(calls, (Calls{"plotReset", "redrawWanted"}));
  // The window shows the same scale when shown again.
  form().hide();
  form().show();
  EXPECT_EQ(form().plotRadius, p.radius);
}

INSTANTIATE_TEST_SUITE_P(Clicks, RadiusSelectorTest,
                         ::testing::Values(RadiusCase{kOneMetre, true, 20, 3}, RadiusCase{kOneMetre, false, 16, 0.8f},
                                           RadiusCase{60, true, 62, 90000}, RadiusCase{61, true, 62, 90000},
                                           RadiusCase{62, true, 62, 90000}, RadiusCase{1, false, 0, 0.01f},
                                           RadiusCase{0, false, 0, 0.01f}, RadiusCase{0, true, 2, 0.03f}));

TEST_F(VisualControlsTest, ClearEmptiesThePlotAndDropsTheStoredPoints) {
  showAt(kOneMetre);
  plot(fixAt(0, 0, 0));
  form().SatCheckBoxClick();
  ASSERT_EQ(c().image->picture().pixel(153, 153), qRgb(255, 0, 0));
  calls.clear();
  c().clearButton->click();
  EXPECT_EQ(calls, (Calls{"plotReset", "clearPointsWanted"}));
  EXPECT_NE(c().image->picture().pixel(153, 153), qRgb(255, 0, 0));
  EXPECT_EQ(form().layers.hitCount[0], 127);
}

// ---- the plot's menu and the buttons ------------------------------------------------

TEST_F(VisualControlsTest, PlotMenuItemsInOrder) {
  const QList<QAction*> items = c().imagePopupMenu->actions();
  const struct {
    const char* name;
    const char* text;
  } expected[] = {{"ClearItem", "Clear"},
                  {"CopyItem", "Copy"},
                  {"N1", ""},
                  {"SetCurrentItem", "Set Current"},
                  {"SetStatisticItem", "Set Statistic"},
                  {"OptionsItem", "Options..."}};
  ASSERT_EQ(items.size(), 6);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(items[i]->objectName(), QString::fromLatin1(expected[i].name));
    EXPECT_EQ(items[i]->isSeparator(), i == 2);
    if (i == 2) continue;
    EXPECT_EQ(items[i]->text(), QString::fromLatin1(expected[i].text));
    EXPECT_FALSE(items[i]->icon().isNull());
  }
  // The Options window answers Options...
  EXPECT_TRUE(c().optionsItem->isEnabled());
}

enum class Action { Clear, Copy, SetCurrent, SetStatistic };

struct ActionCase {
  const char* name;
  Action action;
  bool fromMenu;
};

class ActionTest : public VisualControlsTest, public ::testing::WithParamInterface<ActionCase> {};

TEST_P(ActionTest, ButtonAndMenuItemRunTheSameHandler) {
  const ActionCase& p = GetParam();
  showAt(kOneMetre);
  plot(fixAt(1.5, 2.5, 30));
  ASSERT_TRUE(app.statisticForm->updateStatistic(fixAt(-3.5, -4.5, 40)));
  QGuiApplication::clipboard()->clear();
  calls.clear();
  const struct {
    QToolButton* button;
    QAction* item;
  } controls[] = {{c().clearButton, c().clearItem},
                  {c().copyButton, c().copyItem},
                  {c().setCurrentButton, c().setCurrentItem},
                  {c().setStatisticButton, c().setStatisticItem}};
  const auto& control = controls[int(p.action)];
  if (p.fromMenu)
    control.item->trigger();
  else
    control.button->click();

  EXPECT_EQ(QGuiApplication::clipboard()->image().isNull(), p.action != Action::Copy);
  EXPECT_EQ(calls == (Calls{"plotReset", "clearPointsWanted"}), p.action == Action::Clear);
  EXPECT_EQ(std::fabs(form().refLat - 1.5 * kDegree) < 1e-12, p.action == Action::SetCurrent);
  EXPECT_EQ(std::fabs(form().refLat + 3.5 * kDegree) < 1e-12, p.action == Action::SetStatistic);
}

INSTANTIATE_TEST_SUITE_P(Controls, ActionTest,
                         ::testing::Values(ActionCase{"ClearButton", Action::Clear, false},
                                           ActionCase{"ClearItem", Action::Clear, true},
                                           ActionCase{"CopyButton", Action::Copy, false},
                                           ActionCase{"CopyItem", Action::Copy, true},
                                           ActionCase{"SetCurrentButton", Action::SetCurrent, false},
                                           ActionCase{"SetCurrentItem", Action::SetCurrent, true},
                                           ActionCase{"SetStatisticButton", Action::SetStatistic, false},
                                           ActionCase{"SetStatisticItem", Action::SetStatistic, true}),
                         [](const ::testing::TestParamInfo<ActionCase>& info) { return std::string(info.param.name); });

// ---- the system boxes -----------------------------------------------------------------

TEST_F(VisualControlsTest, SystemBoxesTakeTheSkyViewsColours) {
  showAt(kOneMetre);
  const struct {
    QCheckBox* box;
    QColor on, off;
  } boxes[] = {{c().gpsCheckBox, QColor(0, 0, 255), QColor(0, 0, 127)},
               {c().glnCheckBox, QColor(255, 0, 0), QColor(127, 0, 0)},
               {c().sbasCheckBox, QColor(0, 127, 0), QColor(0, 63, 0)},
               {c().gllCheckBox, QColor(255, 127, 0), QColor(127, 63, 0)},
               {c().bdsCheckBox, QColor(127, 0, 127), QColor(95, 0, 95)}};
  const QColor white(255, 255, 255);
  const QColor grey(128, 128, 128);
  const auto expectColours = [&](bool on) {
    EXPECT_EQ(c().satSystemPanel->isEnabled(), on);
    for (const auto& b : boxes) {
      SCOPED_TRACE(b.box->objectName().toStdString() + (on ? " on" : " off"));
      EXPECT_TRUE(b.box->isChecked());
      EXPECT_TRUE(b.box->autoFillBackground());
      EXPECT_EQ(b.box->palette().color(QPalette::Window), on ? b.on : b.off);
      const QPalette::ColorGroup group = on ? QPalette::Active : QPalette::Disabled;
      EXPECT_EQ(b.box->palette().color(group, QPalette::WindowText), on ? white : grey);
    }
  };
  expectColours(false);  // at start-up
  c().satCheckBox->setChecked(true);
  expectColours(true);
  c().satCheckBox->setChecked(false);
  expectColours(false);
}

// ---- Copy --------------------------------------------------------------------------------

AutoLabel* labelOf(const QWidget& window, const char* name) {
  AutoLabel* label = window.findChild<AutoLabel*>(QString::fromLatin1(name));
  if (!label) ADD_FAILURE() << "no " << name;
  return label;
}

TEST_F(VisualControlsTest, CopyPutsTheReportPictureOnTheClipboard) {
  showAt(kOneMetre);
  TMainForm& main = *app.mainForm;
  test::probeControls(main).fileLabel->setCaption(QStringLiteral("report-test.dat"));
  main.showDevice(QStringLiteral("MNP-M7 0.1"));
  Fix dated = fixAt(0, 0, 0);
  std::strcpy(dated.dateText, "14.03.21");
  app.positionForm->showFix(dated);
  // Four accepted (one with the anomaly flag), two rejected: N, Nall and Nanom differ.
  setReference(QStringLiteral("55") + kDeg + QStringLiteral("45.00000N"),
               QStringLiteral("037") + kDeg + QStringLiteral("36.00000E"), QStringLiteral("0150.00"));
  for (int i = 0; i < 6; ++i) {
    Fix fix = fixAt(55.75 + 3e-6 * (i % 3), 37.6 - 2e-6 * i, 150 + 0.5 * i);
    fix.statisticSpeed = 0.1 * i;
    fix.valid = i < 4;
    fix.anomaly = i == 1;
    if (app.statisticForm->updateStatistic(fix))
      form().plotFix(fix,
                     {app.statisticForm->meanLat(), app.statisticForm->meanLon(), app.statisticForm->meanHeight()});
  }
  QGuiApplication::clipboard()->clear();
  c().copyButton->click();

  const TStatisticForm& statistic = *app.statisticForm;
  ReportCaptions expected;
  expected.quoted = QuotedCaptions{test::probeControls(main).topPanel->text(),
                                   QStringLiteral("report-test.dat"),
                                   QStringLiteral("MNP-M7 0.1"),
                                   QStringLiteral("14.03.21"),
                                   labelOf(statistic, "NLabel")->text(),
                                   labelOf(statistic, "NanomLabel")->text(),
                                   labelOf(statistic, "rms2DLabel")->text(),
                                   labelOf(statistic, "rmsHLabel")->text(),
                                   labelOf(statistic, "rmsVLabel")->text()};
  expected.lat = c().latEdit->displayText();
  expected.lon = c().lonEdit->displayText();
  expected.alt = c().altEdit->displayText();
  expected.dMb = c().dMbLabel->text();
  expected.dMl = c().dMlLabel->text();
  expected.dMh = c().dMhLabel->text();
  const std::array<QString, kReportLines> lines = reportLines(expected);
  EXPECT_EQ(lines[6], QStringLiteral("N: 4"));
  EXPECT_EQ(lines[7], QStringLiteral("Nanom: 1"));
  EXPECT_EQ(lines[3], QStringLiteral("B: 55") + kDeg + QStringLiteral("45.00000N"));
  EXPECT_NE(expected.quoted.rms2D, expected.quoted.rmsH);
  EXPECT_NE(expected.dMb, expected.dMl);

  const QImage clipboard = QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(clipboard.size(), QSize(421, 307));
  EXPECT_TRUE(clipboard == drawReportPicture(form().layers.plotLayer, expected));
  // The red marker is cyan in the report.
  EXPECT_EQ(form().layers.plotLayer.pixel(form().markerX, form().markerY), qRgb(255, 0, 0));
  EXPECT_EQ(clipboard.pixel(form().markerX, form().markerY), qRgb(0, 255, 255));
}

// ---- the sample recording about its mean ------------------------------------------------

class VisualSampleTest : public VisualControlsTest {
 protected:
  void playSample() {
    const QString sample =
        QFileInfo(QStringLiteral(__FILE__)).absolutePath() + QStringLiteral("/../../samples/binr-static.dat");
    QFile file(sample);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << sample.toStdString();
    const QByteArray bytes = file.readAll();
    constexpr int kBlock = 4096;
    for (qsizetype at = 0; at < bytes.size(); at += kBlock) {
      const auto* block = reinterpret_cast<const uint8_t*>(bytes.constData() + at);
      app.intake->receiveBlock(block, int32_t(std::min<qsizetype>(kBlock, bytes.size() - at)));
    }
  }
};

// Played once to find the mean, then again about it: the scatter sits on the
// plot's centre. The window and the report are saved when VELTRANO_GRAB_DIR
// names a folder.
TEST_F(VisualSampleTest, SetStatisticCentresTheScatterOfTheSample) {
  TMainForm& main = *app.mainForm;
  app.transport.receiverProtocol = ReceiverProtocol::BINR;
  app.transport.radiusValue = kOneMetre;
  test::probeControls(main).positionCheckBox->setChecked(true);
  test::probeControls(main).statisticCheckBox->setChecked(true);
  test::probeControls(main).visualCheckBox->setChecked(true);
  test::probeControls(main).fileLabel->setCaption(QStringLiteral("binr-static.dat"));
  main.setTransportState(TransportState::PLAY);
  ASSERT_TRUE(form().isVisible());
  playSample();
  c().setStatisticButton->click();
  EXPECT_NEAR(form().refLat, app.statisticForm->meanLat(), 1e-8);
  playSample();

  // The hits about the centre, weighted by their count.
  double sum = 0, sumX = 0, sumY = 0;
  for (int x = 0; x < kPlotSize; ++x)
    for (int y = 0; y < kPlotSize; ++y) {
      const int hits = form().layers.hitCount[size_t(x * kPlotSize + y)] - 127;
      if (hits <= 0 || (x < 4 && y < 4)) continue;  // not the dot the first marker left in the corner
      sum += hits, sumX += hits * x, sumY += hits * y;
    }
  ASSERT_GT(sum, 1000);
  // A dot is centred half a pixel right of and above its position.
  EXPECT_NEAR(sumX / sum - 0.5, kPlotCentre, 3);
  EXPECT_NEAR(sumY / sum + 0.5, kPlotCentre, 3);

  c().copyButton->click();
  const QImage report = QGuiApplication::clipboard()->image();
  EXPECT_EQ(report.size(), QSize(421, 307));
  if (const char* dir = std::getenv("VELTRANO_GRAB_DIR")) {
    const QString folder = QString::fromLocal8Bit(dir);
    EXPECT_TRUE(form().grab().save(folder + QStringLiteral("/visual_controls_sample.png")));
    EXPECT_TRUE(report.save(folder + QStringLiteral("/visual_report_sample.png")));
  }
}

}  // namespace
}  // namespace veltrano
