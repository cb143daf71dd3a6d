#include "mainwindow/display_router.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>

#include "../decoding/test_frames.h"
#include "displays/auto_label.h"
#include "displays/position_form.h"
#include "displays/visual_form.h"
#include "main_form_probe.h"
#include "mainwindow/app_context.h"
#include "mainwindow/frame_pacer.h"
#include "mainwindow/main_form.h"
#include "spin_until.h"
#include "util/formatters.h"

namespace veltrano {
namespace {

using test::Bytes;

struct PaintCounter : QObject {
  int paints = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

Bytes binrFix(double latDeg) {
  Bytes nav(69, 0);
  const double lat = latDeg * kPi / 180;
  test::put(nav, 0, &lat, 8);
  nav[68] = 0x01;
  return test::binrFrame(0x88, nav);
}

struct DisplayRouterTest : ::testing::Test {
  AppContext app;
  TMainForm& main = *app.mainForm;
  AutoLabel* lat = app.positionForm->findChild<AutoLabel*>(QStringLiteral("LatLabel"));

  void feed(const Bytes& bytes) { app.intake->receiveBlock(bytes.data(), int32_t(bytes.size())); }
  // The main window shown, fast play of BINR, the Position window ticked.
  void showPositionInFastPlay() {
    main.show();
    app.transport.receiverProtocol = ReceiverProtocol::BINR;
    main.setTransportState(TransportState::FF);
    test::probeControls(main).positionCheckBox->setChecked(true);
    QCoreApplication::processEvents();
  }
};

TEST_F(DisplayRouterTest, BinrFixReachesThePositionWindowOnlyWhenTicked) {
  app.transport.receiverProtocol = ReceiverProtocol::BINR;
  main.setTransportState(TransportState::PLAY);
  const QString before = lat->text();
  feed(binrFix(55.5));
  EXPECT_EQ(lat->text(), before);

  test::probeControls(main).positionCheckBox->setChecked(true);
  feed(binrFix(55.5));
  EXPECT_EQ(lat->text(), QString::fromLatin1(formatLatitude(55.5 * kPi / 180).c_str()));
  EXPECT_EQ(test::probeControls(main).receiveBytesLabel->text(), QStringLiteral("0.2 kB"));
}

TEST_F(DisplayRouterTest, NothingHappensInStop) {
  app.transport.receiverProtocol = ReceiverProtocol::BINR;
  test::probeControls(main).positionCheckBox->setChecked(true);
  const QString before = lat->text();
  feed(binrFix(10));
  EXPECT_EQ(lat->text(), before);
  EXPECT_EQ(app.transport.receivedTotal, 0);
}

TEST_F(DisplayRouterTest, ShownWindowsAreRepaintedBeforeTheBlockReturns) {
  showPositionInFastPlay();
  PaintCounter latPaints, sizePaints;
  lat->installEventFilter(&latPaints);
  test::probeControls(main).receiveBytesLabel->installEventFilter(&sizePaints);
  feed(binrFix(42));
  EXPECT_GE(latPaints.paints, 1);
  EXPECT_GE(sizePaints.paints, 1);

  // Blocks taken in one frame are drawn once, when it ends.
  latPaints.paints = sizePaints.paints = 0;
  const int drawings = app.pacer->drawings();
  app.pacer->startFrame();
  for (double latitude : {43.0, 44.0, 45.0}) feed(binrFix(latitude));
  EXPECT_EQ(latPaints.paints, 0);
  EXPECT_EQ(sizePaints.paints, 0);
  EXPECT_EQ(lat->text(), QString::fromLatin1(formatLatitude(42 * kPi / 180).c_str()));
  app.pacer->endFrame();
  EXPECT_EQ(app.pacer->drawings(), drawings + 1);
  EXPECT_EQ(latPaints.paints, 1);
  EXPECT_GE(sizePaints.paints, 1);
  EXPECT_EQ(lat->text(), QString::fromLatin1(formatLatitude(45 * kPi / 180).c_str()));
  lat->removeEventFilter(&latPaints);
  test::probeControls(main).receiveBytesLabel->removeEventFilter(&sizePaints);
}

// Fast play's slots: the windows are drawn once the frame is over, at the end
// of a slot or, when no slot comes, by the frame's own timer; an ended
// playback draws at once what its last frame holds.
TEST_F(DisplayRouterTest, FastPlaySlotsDrawOnceTheFrameIsOver) {
  showPositionInFastPlay();
  const auto latitude = [](double degrees) { return QString::fromLatin1(formatLatitude(degrees * kPi / 180).c_str()); };
  const int drawings = app.pacer->drawings();

  // Slots within a long frame draw nothing.
  app.pacer->frameMs = 60000;
  for (double degrees : {41.0, 42.0}) {
    app.pacer->startSlot();
    feed(binrFix(degrees));
    app.pacer->endSlot();
    QCoreApplication::processEvents();
  }
  EXPECT_EQ(app.pacer->drawings(), drawings);
  EXPECT_NE(lat->text(), latitude(42));
  app.pacer->finishFrame();
  EXPECT_EQ(app.pacer->drawings(), drawings + 1);
  EXPECT_EQ(lat->text(), latitude(42));
  app.pacer->finishFrame();  // nothing left to draw
  EXPECT_EQ(app.pacer->drawings(), drawings + 1);

  // A frame that no slot ends is drawn when its time is over.
  app.pacer->frameMs = 40;
  app.pacer->startSlot();
  feed(binrFix(43));
  app.pacer->endSlot();
  ASSERT_TRUE(test::spinUntil([&] { return app.pacer->drawings() == drawings + 2; }));
  EXPECT_EQ(lat->text(), latitude(43));

  // A slot that ends after the frame's time draws at its end.
  app.pacer->startSlot();
  feed(binrFix(44));
  test::spinFor(60);
  EXPECT_EQ(app.pacer->drawings(), drawings + 2);  // not while the slot runs
  app.pacer->endSlot();
  EXPECT_EQ(app.pacer->drawings(), drawings + 3);
  EXPECT_EQ(lat->text(), latitude(44));
}

TEST_F(DisplayRouterTest, BinrSynchronisationNamesTheReceiverAndStops) {
  app.transport.receiverProtocol = ReceiverProtocol::BINR;
  test::probeControls(main).portComboBox->clear();
  test::probeControls(main).portComboBox->addItem(QStringLiteral("ttyS3   - Serial3"));
  main.setTransportState(TransportState::SYNC);
  Bytes version(76, 0);
  test::put(version, 1, "ABCDE 01.02", 11);
  feed(test::binrFrame(0x70, version));
  EXPECT_EQ(test::probeControls(main).deviceLabel->text(), QStringLiteral("ABCDE 01.02"));
  EXPECT_EQ(test::probeControls(main).fileLabel->text(), QStringLiteral("ABCDE_cS3.dat"));
  EXPECT_EQ(test::probeControls(main).infoLabel->text(), QStringLiteral("Connection Ok"));
  EXPECT_EQ(app.transport.transportState, TransportState::STOP);
}

TEST_F(DisplayRouterTest, NmeaErrorsShowInTheErrorLabel) {
  main.setTransportState(TransportState::PLAY);
  const std::string bad = "$GPGGA,1*00\r\n";
  feed(Bytes(bad.begin(), bad.end()));
  EXPECT_EQ(test::probeControls(main).errorBytesLabel->text(), QStringLiteral("1"));
}

}  // namespace
}  // namespace veltrano

namespace veltrano {
namespace {

// Pictures of the main and Position windows showing a BINR fix, for a person to
// look at; taken only when VELTRANO_GRAB_DIR names a folder.
TEST_F(DisplayRouterTest, GrabWhenAsked) {
  const QString dir = qEnvironmentVariable("VELTRANO_GRAB_DIR");
  if (dir.isEmpty()) GTEST_SKIP() << "VELTRANO_GRAB_DIR not set";
  main.show();
  app.transport.receiverProtocol = ReceiverProtocol::BINR;
  main.setTransportState(TransportState::PLAY);
  test::probeControls(main).positionCheckBox->setChecked(true);
  Bytes nav(69, 0);
  const double lat = (55 + 45.0 / 60) * kPi / 180, lon = (37 + 37.5 / 60) * kPi / 180, height = 151.25;
  const float rms = 1.5f;
  const double tow = 45296560.0 + 86400000.0 * 3;  // 80-bit extended on the wire
  test::put(nav, 0, &lat, 8);
  test::put(nav, 8, &lon, 8);
  test::put(nav, 16, &height, 8);
  test::put(nav, 24, &rms, 4);
  // tow as x87 extended: the integer left-aligned in the 64-bit mantissa
  int top = 63;
  while (!((uint64_t(tow) >> top) & 1)) --top;
  const uint64_t mantissa = uint64_t(tow) << (63 - top);
  const uint16_t exponent = uint16_t(16383 + top);
  test::put(nav, 28, &mantissa, 8);
  test::put(nav, 36, &exponent, 2);
  const int16_t week = 2345 - 1024;
  test::put(nav, 38, &week, 2);
  const double vn = 1.0, ve = 1.0;
  test::put(nav, 40, &vn, 8);
  test::put(nav, 48, &ve, 8);
  nav[68] = 0x89;
  feed(test::binrFrame(0x88, nav));
  EXPECT_TRUE(main.grab().save(dir + QStringLiteral("/main.png")));
  EXPECT_TRUE(app.positionForm->grab().save(dir + QStringLiteral("/position.png")));
}

}  // namespace
}  // namespace veltrano

namespace veltrano {
namespace {

// The Visual window plots what the Statistic window accepts, and only while
// both are ticked; its offsets are against the statistic's mean.
TEST_F(DisplayRouterTest, AcceptedSolutionsArePlottedOnlyWithStatisticAndVisualTicked) {
  app.transport.receiverProtocol = ReceiverProtocol::BINR;
  main.setTransportState(TransportState::PLAY);
  int plotted = 0;
  QObject::connect(app.visualForm.get(), &TVisualForm::pointPlotted, [&](double, double, double) { ++plotted; });
  struct Case {
    bool statistic, visual;
    int plots;
  };
  for (const Case c : {Case{false, true, 0}, Case{true, false, 0}, Case{true, true, 1}}) {
    SCOPED_TRACE(std::to_string(c.statistic) + std::to_string(c.visual));
    test::probeControls(main).statisticCheckBox->setChecked(c.statistic);
    test::probeControls(main).visualCheckBox->setChecked(c.visual);
    plotted = 0;
    feed(binrFix(12));
    EXPECT_EQ(plotted, c.plots);
  }
  EXPECT_EQ(app.visualForm->currentLat, 12 * kPi / 180);
}

}  // namespace
}  // namespace veltrano
