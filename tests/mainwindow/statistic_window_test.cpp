#include "displays/statistic_form.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "../decoding/test_frames.h"
#include "displays/auto_label.h"
#include "displays/position_form.h"
#include "displays/visual_form.h"
#include "mainwindow/app_context.h"
#include "mainwindow/main_form.h"
#include "main_form_probe.h"
#include "util/formatters.h"

namespace veltrano {
namespace {

using test::Bytes;

constexpr double kDegree = kPi / 180;

Bytes binrFix(double latDeg, double height, uint8_t status) {
  Bytes nav(69, 0);
  const double lat = latDeg * kDegree;
  test::put(nav, 0, &lat, 8);
  test::put(nav, 16, &height, 8);
  nav[68] = status;
  return test::binrFrame(0x88, nav);
}

Bytes binr2Fix(int32_t lat7, uint8_t flags, uint8_t hdop) {
  Bytes payload(58, 0);
  test::put(payload, 15, &lat7, 4);
  payload[47] = hdop;
  payload[50] = flags;
  return test::binr2Frame(0x90, payload);
}

Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }

Bytes gga(const char* quality, const char* hdop, const char* height) {
  return text(test::nmeaSentence(std::string("GPGGA,123519,4807.038,N,01131.000,E,") + quality + ",08," + hdop + "," +
                                 height + ",M,46.9,M,,"));
}

class StatisticFormTest : public ::testing::Test {
 protected:
  StatisticFormTest() {
    QObject::connect(app.visualForm.get(), &TVisualForm::pointPlotted, [this](double, double, double) { ++plotted; });
    main.setTransportState(TransportState::PLAY);
    test::probeControls(main).statisticCheckBox->setChecked(true);
  }

  TStatisticForm& form() { return *app.statisticForm; }
  template <typename T = AutoLabel>
  T* control(const char* name) {
    auto* found = form().findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  std::string textOf(const char* name) { return control(name)->text().toLatin1().toStdString(); }
  void feed(const Bytes& bytes) { app.intake->receiveBlock(bytes.data(), int32_t(bytes.size())); }
  void setProtocol(ReceiverProtocol protocol) { app.transport.receiverProtocol = protocol; }

  AppContext app;
  TMainForm& main = *app.mainForm;
  int plotted = 0;
};

// ---- Layout -----------------------------------------------------------------

TEST_F(StatisticFormTest, LabelsStartWithTheirDesignTextsAndPlaces) {
  struct Case {
    const char* name;
    int x, y;
    const char* text;
    bool bold;
  } cases[] = {
      {"Label1", 4, 20, "B:", false},           {"LatLabel", 22, 20, "00\xB0" "00.00000N", true},
      {"Label2", 4, 32, "L:", false},           {"LonLabel", 16, 32, "000\xB0" "00.00000E", true},
      {"Label3", 4, 44, "H:", false},           {"AltLabel", 20, 44, "+0000.00", true},
      {"Label4", 108, 20, "rms2D:", false},     {"rms2DLabel", 161, 20, "0.000", true},
      {"Label5", 108, 32, "rmsH:", false},      {"rmsHLabel", 161, 32, "0.000", true},
      {"Label6", 108, 44, "rmsV:", false},      {"rmsVLabel", 161, 44, "0.000", true},
      {"Label7", 200, 20, "N:", false},         {"NLabel", 260, 20, "0", true},
      {"Label8", 200, 32, "Nall:", false},      {"NallLabel", 260, 32, "0", true},
      {"Label11", 200, 44, "Nanom:", false},    {"NanomLabel", 260, 44, "0", true},
      {"Label9", 273, 20, "max HDOP:", false},  {"Label10", 273, 32, "max VDOP:", false},
  };
  EXPECT_EQ(form().objectName(), QStringLiteral("TStatisticForm"));
  EXPECT_EQ(form().size(), QSize(421, 60));
  EXPECT_EQ(control<QLabel>("StaticText1")->text(), QStringLiteral("STATISTIC"));
  for (const Case& c : cases) {
    AutoLabel* label = control(c.name);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->pos(), QPoint(c.x, c.y)) << c.name;
    EXPECT_EQ(textOf(c.name), c.text) << c.name;
    EXPECT_EQ(label->font().bold(), c.bold) << c.name;
    EXPECT_EQ(label->textColor(), QColor(0, 0, 0)) << c.name;
  }
}

TEST_F(StatisticFormTest, LimitEditsAndFilterBoxes) {
  for (const char* name : {"HDOPEdit", "VDOPEdit"}) {
    auto* edit = control<QLineEdit>(name);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(), QStringLiteral("0.0")) << name;
    EXPECT_EQ(edit->size(), QSize(23, 13)) << name;
    // One digit, a point and one digit.
    edit->selectAll();
    edit->insert(QStringLiteral("123"));
    EXPECT_EQ(edit->text(), QStringLiteral("1.2")) << name;
  }
  EXPECT_EQ(control<QLineEdit>("HDOPEdit")->pos(), QPoint(335, 20));
  EXPECT_EQ(control<QLineEdit>("VDOPEdit")->pos(), QPoint(335, 32));
  struct Box {
    const char* name;
    int y;
    const char* caption;
    bool ticked;
  } boxes[] = {
      {"DiffCheckBox", 20, "DIFF:", false}, {"ObsCheckBox", 32, "OBS:", true}, {"_3DCheckBox", 44, "3D:", false}};
  for (const Box& b : boxes) {
    auto* box = control<QCheckBox>(b.name);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->geometry(), QRect(365, b.y, 52, 13)) << b.name;
    EXPECT_EQ(box->text(), QString::fromLatin1(b.caption)) << b.name;
    EXPECT_EQ(box->isChecked(), b.ticked) << b.name;
    EXPECT_EQ(box->layoutDirection(), Qt::RightToLeft) << b.name << ": caption left of the box";
  }
}

TEST_F(StatisticFormTest, RightAlignedValuesKeepTheirRightEdge) {
  setProtocol(ReceiverProtocol::BINR);
  AutoLabel* n = control("NLabel");
  AutoLabel* rms = control("rmsHLabel");
  const int nRight = n->geometry().right();
  const int rmsRight = rms->geometry().right();
  for (int i = 0; i < 12; ++i) feed(binrFix(55, 100 * (i % 2), 0x01));
  ASSERT_EQ(textOf("NLabel"), "12");
  ASSERT_GT(textOf("rmsHLabel").size(), std::string("0.000").size());
  EXPECT_EQ(n->geometry().right(), nRight);
  EXPECT_EQ(rms->geometry().right(), rmsRight);
  EXPECT_LT(n->x(), 260);
}

// ---- Updates through the fan-out ---------------------------------------------

TEST_F(StatisticFormTest, EditedLimitsApplyFromTheNextSolution) {
  setProtocol(ReceiverProtocol::NMEA);
  auto* hdop = control<QLineEdit>("HDOPEdit");
  hdop->setText(QStringLiteral("1.2"));
  feed(gga("1", "1.2", "10.0"));  // 1.2 in single precision is above 1.2
  EXPECT_EQ(textOf("NLabel"), "0");
  EXPECT_EQ(textOf("NallLabel"), "1");
  hdop->setText(QStringLiteral("1.3"));
  feed(gga("1", "1.2", "10.0"));
  EXPECT_EQ(textOf("NLabel"), "1");
  EXPECT_EQ(textOf("NallLabel"), "2");
  EXPECT_EQ(textOf("AltLabel"), "+0010.00");
  EXPECT_EQ(textOf("LatLabel"), formatLatitude((48 + 7.038 / 60) * kDegree));
  EXPECT_EQ(textOf("LonLabel"), formatLongitude((11 + 31.0 / 60) * kDegree));
  hdop->setText(QStringLiteral("0.0"));
  feed(gga("1", "9.9", "20.0"));
  EXPECT_EQ(textOf("NLabel"), "2");
  EXPECT_EQ(textOf("AltLabel"), "+0015.00");
}

TEST_F(StatisticFormTest, BoxesApplyFromTheNextSolution) {
  setProtocol(ReceiverProtocol::NMEA);
  struct Step {
    const char* box;
    bool tick;
    const char* quality;
    const char* n;
  } steps[] = {
      {"ObsCheckBox", true, "6", "0"},   {"ObsCheckBox", false, "6", "1"}, {"DiffCheckBox", true, "1", "1"},
      {"DiffCheckBox", true, "2", "2"},  {"DiffCheckBox", false, "1", "3"},
  };
  int nall = 0;
  for (const Step& s : steps) {
    control<QCheckBox>(s.box)->setChecked(s.tick);
    feed(gga(s.quality, "1.0", "5.0"));
    EXPECT_EQ(textOf("NLabel"), s.n) << s.box << " " << s.tick << " quality " << s.quality;
    EXPECT_EQ(textOf("NallLabel"), std::to_string(++nall));
  }
  control<QCheckBox>("_3DCheckBox")->setChecked(true);
  feed(text(test::nmeaSentence("GPGSA,A,2,04,05,,,,,,,,,,,2.5,1.3,2.1")));
  feed(gga("1", "1.0", "5.0"));
  EXPECT_EQ(textOf("NLabel"), "3");
}

TEST_F(StatisticFormTest, HiddenWindowAccumulatesNothing) {
  setProtocol(ReceiverProtocol::BINR);
  test::probeControls(main).statisticCheckBox->setChecked(false);
  feed(binrFix(55, 1, 0x01));
  EXPECT_EQ(textOf("NallLabel"), "0");
  EXPECT_EQ(app.statistics.count, 0);
}

TEST_F(StatisticFormTest, AcceptedSamplesArePlottedWhileVisualIsTicked) {
  struct Case {
    ReceiverProtocol protocol;
    Bytes accepted, rejected;
    double lat;
  } cases[] = {
      {ReceiverProtocol::BINR, binrFix(55.5, 1, 0x01), binrFix(10, 1, 0x00), 55.5 * kDegree},
      {ReceiverProtocol::BINR2, binr2Fix(300000000, 0x01, 5), binr2Fix(100000000, 0x00, 5), 30 * kDegree},
      {ReceiverProtocol::NMEA, gga("1", "1.0", "1.0"), gga("0", "1.0", "1.0"), (48 + 7.038 / 60) * kDegree},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.protocol));
    setProtocol(c.protocol);
    test::probeControls(main).visualCheckBox->setChecked(false);
    plotted = 0;
    feed(c.accepted);
    EXPECT_EQ(plotted, 0);
    test::probeControls(main).visualCheckBox->setChecked(true);
    feed(c.rejected);
    EXPECT_EQ(plotted, 0);
    feed(c.accepted);
    EXPECT_EQ(plotted, 1);
    EXPECT_NEAR(app.visualForm->currentLat, c.lat, 1e-12);
  }
}

TEST_F(StatisticFormTest, AnomalyFromTheLastStatusMessage) {
  setProtocol(ReceiverProtocol::BINR);
  Bytes status(16, 0);
  status[0] = 0x80;
  feed(test::binrFrame(0x93, status));
  feed(binrFix(55, 1, 0x00));
  EXPECT_EQ(textOf("NanomLabel"), "1");
  EXPECT_EQ(textOf("NallLabel"), "1");
  EXPECT_EQ(textOf("NLabel"), "0");
}

// ---- Reset and what others read -------------------------------------------

TEST_F(StatisticFormTest, ResetShowsDesignTextsWhileTheMeansStay) {
  setProtocol(ReceiverProtocol::BINR);
  feed(binrFix(55.5, 100, 0x01));
  feed(binrFix(55.5, 300, 0x01));
  ASSERT_EQ(textOf("rmsHLabel"), "70.711");  // sqrt(100^2 / 2)
  app.statisticForm->resetStatisticDisplay();
  struct Case {
    const char* name;
    const char* text;
  } cases[] = {{"LatLabel", "00\xB0" "00.00000N"}, {"LonLabel", "000\xB0" "00.00000E"}, {"AltLabel", "+0000.00"},
               {"rms2DLabel", "0.000"},           {"rmsHLabel", "0.000"},             {"rmsVLabel", "0.000"},
               {"NLabel", "0"},                   {"NallLabel", "0"},                 {"NanomLabel", "0"}};
  for (const Case& c : cases) EXPECT_EQ(textOf(c.name), c.text) << c.name;
  EXPECT_NEAR(form().meanLat(), 55.5 * kDegree, 1e-15);
  EXPECT_DOUBLE_EQ(form().meanHeight(), 200);
  EXPECT_DOUBLE_EQ(form().rmsH(), std::sqrt(5000.0));

  // Switching the window on again resets the statistics too: the next sample starts over.
  test::probeControls(main).statisticCheckBox->setChecked(false);
  test::probeControls(main).statisticCheckBox->setChecked(true);
  feed(binrFix(20, 7, 0x01));
  EXPECT_EQ(textOf("NLabel"), "1");
  EXPECT_EQ(textOf("NallLabel"), "1");
  EXPECT_EQ(textOf("AltLabel"), "+0007.00");
  EXPECT_DOUBLE_EQ(form().meanHeight(), 7);
}

TEST_F(StatisticFormTest, ObsTickIsReportedAndFollowedByThePositionWindow) {
  setProtocol(ReceiverProtocol::NMEA);
  test::probeControls(main).positionCheckBox->setChecked(true);
  std::vector<bool> toggled;
  QObject::connect(&form(), &TStatisticForm::obsToggled, [&toggled](bool ticked) { toggled.push_back(ticked); });
  const auto positionStatus = [this] {
    return app.positionForm->findChild<AutoLabel*>(QStringLiteral("StatusLabel"))->text().toStdString();
  };
  EXPECT_TRUE(form().obsChecked());
  feed(gga("6", "1.0", "5.0"));  // an estimated fix
  EXPECT_EQ(positionStatus(), "OLD");
  control<QCheckBox>("ObsCheckBox")->setChecked(false);
  EXPECT_FALSE(form().obsChecked());
  EXPECT_EQ(toggled, std::vector<bool>{false});
  feed(gga("6", "1.0", "5.0"));
  EXPECT_EQ(positionStatus(), "DR");
  control<QCheckBox>("ObsCheckBox")->setChecked(true);
  EXPECT_EQ(toggled, (std::vector<bool>{false, true}));
  feed(gga("6", "1.0", "5.0"));
  EXPECT_EQ(positionStatus(), "OLD");
}

// The window alone: each solution tells whether it was accepted into the
// statistics it was given.
TEST(StatisticFormAlone, UpdateTellsWhetherTheSolutionWasAccepted) {
  PositionStatistics statistics;
  TStatisticForm form(statistics);
  const auto textOf = [&form](const char* name) {
    return form.findChild<AutoLabel*>(QString::fromLatin1(name))->text().toLatin1().toStdString();
  };
  Fix fix;
  fix.protocol = ReceiverProtocol::BINR;
  fix.latitude = 20 * kDegree;
  fix.height = 12.5;
  fix.valid = false;
  EXPECT_FALSE(form.updateStatistic(fix));
  EXPECT_EQ(statistics.count, 0);
  EXPECT_EQ(textOf("NLabel"), "0");
  EXPECT_EQ(textOf("NallLabel"), "1");
  fix.valid = true;
  EXPECT_TRUE(form.updateStatistic(fix));
  EXPECT_EQ(statistics.count, 1);
  EXPECT_EQ(textOf("NLabel"), "1");
  EXPECT_EQ(textOf("NallLabel"), "2");
  EXPECT_EQ(textOf("AltLabel"), "+0012.50");
  EXPECT_NEAR(form.meanLat(), 20 * kDegree, 1e-15);
  EXPECT_DOUBLE_EQ(form.meanHeight(), 12.5);
}

// ---- Look ---------------------------------------------------------------------

TEST_F(StatisticFormTest, GrabAfterSomeSolutions) {
  const char* dir = std::getenv("VELTRANO_GRAB_DIR");
  if (!dir) GTEST_SKIP() << "VELTRANO_GRAB_DIR not set";
  setProtocol(ReceiverProtocol::BINR);
  for (int i = 0; i < 25; ++i) feed(binrFix(55.75 + i * 1e-6, 147 + i % 3, i % 5 ? 0x01 : 0x00));
  control<QLineEdit>("HDOPEdit")->setText(QStringLiteral("1.5"));
  form().show();
  QCoreApplication::processEvents();
  EXPECT_TRUE(form().grab().save(QDir(QString::fromLocal8Bit(dir)).filePath(QStringLiteral("statistic_form.png"))));
}

}  // namespace
}  // namespace veltrano
