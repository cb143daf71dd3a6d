#include "displays/satellites_form.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QFontMetrics>
#include <QPixmap>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "../decoding/test_frames.h"
#include "decoding/solution_satellites.h"
#include "displays/auto_label.h"
#include "held_updates.h"
#include "main_form_probe.h"
#include "mainwindow/app_context.h"
#include "mainwindow/main_form.h"

namespace veltrano {
namespace {

constexpr const char* kBlack = "#000000";
constexpr const char* kRed = "#ff0000";

const char* const kFlagNames[] = {"obsLabel",  "_2dLabel",  "_1dLabel",  "rtcmLabel", "raimLabel",
                                  "rsLabel",   "extLabel",  "anomLabel", "gpsLabel",  "glnLabel",
                                  "sbasLabel", "gllLabel",  "bdsLabel",  "dsbasLabel", "rmsLabel"};

// One row of the window: count, used list and rejected list.
struct RowText {
  std::string quant, num, bad;
};

// Builds a used list "- 01 03 " of numbers.
std::string usedList(const std::vector<int>& numbers) {
  if (numbers.empty()) return "";
  std::string text = "- ";
  char piece[8];
  for (int n : numbers) {
    std::snprintf(piece, sizeof piece, "%02d ", n);
    text += piece;
  }
  return text;
}

class SatellitesFormTest : public ::testing::Test {
 protected:
  TSatellitesForm& form() { return *app.satellitesForm; }
  BinrStatus& binr() { return app.receiver->binr.status; }
  Binr2State& binr2() { return app.receiver->binr2; }

  // The satellites of a solution built from the receiver state, shown by the window.
  void showBinr() {
    SolutionSatellites satellites;
    buildBinrSatellites(binr(), satellites);
    form().showSolutionSatellites(satellites);
  }
  void showBinr2() {
    SolutionSatellites satellites;
    buildBinr2Satellites(binr2(), satellites);
    form().showSolutionSatellites(satellites);
  }
  // The stored GSA sentence added to the group being collected.
  void showGsa() { form().showGsaSatellites(app.receiver->nmea.stored(NmeaKind::GSA)); }

  QLabel* label(const std::string& name) {
    auto* found = form().findChild<QLabel*>(QString::fromStdString(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  std::string text(const std::string& name) { return label(name)->text().toLatin1().toStdString(); }
  AutoLabel* autoLabel(const std::string& name) { return static_cast<AutoLabel*>(label(name)); }

  RowText row(const std::string& system) {
    return {text(system + "quantLabel"), text(system + "numLabel"), text("Bad" + system + "numLabel")};
  }

  std::set<std::string> litFlags() {
    std::set<std::string> lit;
    for (const char* name : kFlagNames)
      if (label(name)->isEnabled()) lit.insert(name);
    return lit;
  }

  std::vector<UsedSatellite> used() {
    const auto counted = form().used.counted();
    return {counted.begin(), counted.end()};
  }

  // Each label shows its whole text, and each rejected list starts where the used list of its row ends.
  // (An empty rejected label is placed only by rebuilds that write its row.)
  void expectRowsWholeAndPlaced() {
    for (const char* system : {"GPS", "GLN", "GLL", "BDS"}) {
      for (std::string name : {std::string(system) + "numLabel", "Bad" + std::string(system) + "numLabel"}) {
        QLabel* l = label(name);
        EXPECT_GE(l->width(), QFontMetrics(l->font()).horizontalAdvance(l->text())) << name;
      }
      QLabel* num = label(std::string(system) + "numLabel");
      QLabel* bad = label("Bad" + std::string(system) + "numLabel");
      EXPECT_EQ(num->x(), 64) << system;
      if (!bad->text().isEmpty()) {
        EXPECT_EQ(bad->x(), num->geometry().right() + 1) << system;
      }
      EXPECT_EQ(bad->y(), num->y()) << system;
      EXPECT_EQ(autoLabel(bad->objectName().toStdString())->textColor().name().toStdString(), kRed) << system;
    }
  }

  // One sentence with its checksum into the assembler's store, not through the fan-out.
  void store(const std::string& body) {
    NmeaKind kind = NmeaKind::None;
    for (char c : test::nmeaSentence(body)) kind = app.receiver->nmea.pushNmeaChar(uint8_t(c));
    ASSERT_GT(int(kind), int(NmeaKind::Other)) << body;
  }

  AppContext app;
};

// ---- Layout -------------------------------------------------------------------------------

TEST_F(SatellitesFormTest, ControlsStartWithTheirDesignTextsPlacesAndLooks) {
  struct Case {
    const char* name;
    int edge;  // left edge, or the right edge of right-aligned labels
    int top;
    bool rightAligned, bold;
    const char* text;
    const char* color;
  } cases[] = {
      {"Label4", 8, 20, false, false, "Status:", kBlack},       {"Label1", 8, 32, false, false, "GPS:", kBlack},
      {"Label2", 8, 44, false, false, "GLN:", kBlack},          {"Label3", 8, 56, false, false, "GLL:", kBlack},
      {"Label5", 8, 68, false, false, "BDS:", kBlack},          {"GPSquantLabel", 52, 32, true, true, "0", kBlack},
      {"GLNquantLabel", 52, 44, true, true, "0", kBlack},       {"GLLquantLabel", 52, 56, true, true, "0", kBlack},
      {"BDSquantLabel", 52, 68, true, true, "0", kBlack},       {"GPSnumLabel", 64, 32, false, true, "", kBlack},
      {"GLNnumLabel", 64, 44, false, true, "", kBlack},         {"GLLnumLabel", 64, 56, false, true, "", kBlack},
      {"BDSnumLabel", 64, 68, false, true, "", kBlack},         {"BadGPSnumLabel", 68, 32, false, true, "", kRed},
      {"BadGLNnumLabel", 75, 44, false, true, "", kRed},        {"BadGLLnumLabel", 68, 56, false, true, "", kRed},
      {"BadBDSnumLabel", 75, 68, false, true, "", kRed},        {"obsLabel", 44, 20, false, true, "obs", kBlack},
      {"_2dLabel", 72, 20, false, true, "2d", kBlack},          {"_1dLabel", 92, 20, false, true, "1d", kBlack},
      {"rtcmLabel", 112, 20, false, true, "rtcm", kBlack},      {"raimLabel", 140, 20, false, true, "raim", kBlack},
      {"rsLabel", 168, 20, false, true, "rs", kBlack},          {"extLabel", 182, 20, false, true, "ext", kBlack},
      {"anomLabel", 204, 20, false, true, "anom", kBlack},      {"gpsLabel", 238, 20, false, true, "gps", kBlack},
      {"glnLabel", 262, 20, false, true, "gln", kBlack},        {"sbasLabel", 284, 20, false, true, "sbas", kBlack},
      {"gllLabel", 315, 20, false, true, "gll", kBlack},        {"bdsLabel", 333, 20, false, true, "bds", kBlack},
      {"dsbasLabel", 357, 20, false, true, "dsbas", kBlack},    {"rmsLabel", 395, 20, false, true, "rms", kBlack},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QLabel* l = label(c.name);
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->text().toStdString(), c.text);
    EXPECT_EQ(c.rightAligned ? l->geometry().right() + 1 : l->x(), c.edge);
    EXPECT_EQ(l->y(), c.top);
    EXPECT_EQ(l->font().bold(), c.bold);
    EXPECT_EQ(l->font().pixelSize(), 11);
    EXPECT_EQ(l->palette().color(QPalette::Active, QPalette::WindowText).name().toStdString(), c.color);
  }
  EXPECT_EQ(form().size(), QSize(421, 83));
  EXPECT_EQ(label("StaticText1")->text(), QStringLiteral("PVT STATUS & USED SATELLITES"));
  EXPECT_EQ(label("StaticText1")->geometry(), QRect(2, 2, 416, 17));
  // The flags start dark, greyed out unlike a lit flag.
  EXPECT_TRUE(litFlags().empty());
  const QPalette flag = label("obsLabel")->palette();
  EXPECT_NE(flag.color(QPalette::Disabled, QPalette::WindowText), flag.color(QPalette::Active, QPalette::WindowText));
  // "not available" over the flag row, painting its own background so the flags do not show through.
  QLabel* info = label("StatusInfoLabel");
  EXPECT_EQ(info->geometry(), QRect(44, 20, 369, 13));
  EXPECT_EQ(info->text(), QStringLiteral("not available"));
  EXPECT_TRUE(info->font().bold());
  EXPECT_TRUE(info->autoFillBackground());
  EXPECT_FALSE(info->isHidden());
  EXPECT_GT(form().children().indexOf(info), form().children().indexOf(label("rmsLabel")));
  EXPECT_EQ(form().used.count(), 0);
  EXPECT_TRUE(form().newGsaGroup);
}

TEST_F(SatellitesFormTest, NotAvailableCoversTheFlagsOnlyForNmea) {
  QLabel* info = label("StatusInfoLabel");
  form().showNotAvailable(false);
  EXPECT_TRUE(info->isHidden());
  info->setText(QStringLiteral("BSS"));
  form().showNotAvailable(true);
  EXPECT_FALSE(info->isHidden());
  EXPECT_EQ(info->text(), QStringLiteral("not available"));
}

// ---- BINR ---------------------------------------------------------------------------------

TEST_F(SatellitesFormTest, BinrStatusBitsLightTheirFlags) {
  struct Case {
    uint8_t flags1, flags2, flags3;
    std::set<std::string> lit;
  } cases[] = {
      {0x81, 0x06, 0x00, {"obsLabel", "anomLabel", "gpsLabel", "glnLabel"}},
      {0x7E, 0xB8, 0x80, {"_2dLabel", "_1dLabel", "rtcmLabel", "raimLabel", "rsLabel", "extLabel", "sbasLabel",
                          "gllLabel", "dsbasLabel", "rmsLabel", "bdsLabel"}},
      // Unused bits light nothing.
      {0x00, 0x41, 0x7F, {}},
      {0xFF, 0xFF, 0xFF, std::set<std::string>(std::begin(kFlagNames), std::end(kFlagNames))},
  };
  for (const Case& c : cases) {
    binr().statusFlags1 = c.flags1;
    binr().statusFlags2 = c.flags2;
    binr().statusFlags3 = c.flags3;
    showBinr();
    EXPECT_EQ(litFlags(), c.lit) << int(c.flags1) << " " << int(c.flags2) << " " << int(c.flags3);
  }
}

TEST_F(SatellitesFormTest, BinrSecondMaskIsGlonassOrBeidou) {
  const UsedSatellite gps1{kSatGps, 1}, gps3{kSatGps, 3}, gln1{kSatGlonass, 1}, bds1{kSatBeidou, 1};
  struct Case {
    uint8_t flags3;
    RowText gln, bds;
    std::vector<UsedSatellite> used;
  } cases[] = {
      {0x00, {"1", "- 01 ", ""}, {"0", "", ""}, {gps1, gln1, gps3}},
      {0x80, {"0", "", ""}, {"1", "- 01 ", ""}, {gps1, bds1, gps3}},
      // Back from BeiDou mode: the BeiDou row is emptied again.
      {0x00, {"1", "- 01 ", ""}, {"0", "", ""}, {gps1, gln1, gps3}},
  };
  binr().gpsUsedMask = 0x5;
  binr().glonassUsedMask = 0x1;
  binr().galileoUsedMask = 0x1;  // not listed: statusFlags3 bit 6 is clear
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.flags3));
    binr().statusFlags3 = c.flags3;
    showBinr();
    const RowText gps = row("GPS"), gln = row("GLN"), bds = row("BDS");
    EXPECT_EQ(gps.quant, "2");
    EXPECT_EQ(gps.num, "- 01 03 ");
    EXPECT_EQ(gln.quant, c.gln.quant);
    EXPECT_EQ(gln.num, c.gln.num);
    EXPECT_EQ(bds.quant, c.bds.quant);
    EXPECT_EQ(bds.num, c.bds.num);
    EXPECT_EQ(row("GLL").num, "");
    EXPECT_EQ(used(), c.used);
    expectRowsWholeAndPlaced();
  }
}

TEST_F(SatellitesFormTest, BinrExcludedSatellitesFollowTheUsedListsInRed) {
  binr().gpsUsedMask = 0x3;
  binr().glonassUsedMask = 0x4;
  binr().galileoUsedMask = 0x100;
  const uint8_t ids[] = {5, 70, 165, 0, 64, 160, 255};
  std::copy(std::begin(ids), std::end(ids), binr().excludedId);
  binr().excludedCount = 7;
  struct Case {
    uint8_t flags3;
    RowText gps, gln, gll, bds;
  } cases[] = {
      {0x40, {"2", "- 01 02 ", "05 00 "}, {"1", "- 03 ", "06 00 "}, {"1", "- 09 ", "05 00 95 "}, {"0", "", ""}},
      {0xC0, {"2", "- 01 02 ", "05 00 "}, {"0", "", ""}, {"1", "- 09 ", "05 00 95 "}, {"1", "- 03 ", "06 00 "}},
      // Galileo not listed: its excluded satellites are collected but not shown; its count stays.
      {0x00, {"2", "- 01 02 ", "05 00 "}, {"1", "- 03 ", "06 00 "}, {"1", "", ""}, {"0", "", ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.flags3));
    binr().statusFlags3 = c.flags3;
    showBinr();
    for (auto [system, expected] : {std::pair{"GPS", c.gps}, {"GLN", c.gln}, {"GLL", c.gll}, {"BDS", c.bds}}) {
      const RowText shown = row(system);
      EXPECT_EQ(shown.quant, expected.quant) << system;
      EXPECT_EQ(shown.num, expected.num) << system;
      EXPECT_EQ(shown.bad, expected.bad) << system;
    }
    expectRowsWholeAndPlaced();
  }
}

TEST_F(SatellitesFormTest, BinrLongListsAreShownWholeAndUsedSatellitesKeepsTheFirst64) {
  binr().statusFlags3 = 0x40;
  binr().gpsUsedMask = binr().glonassUsedMask = binr().galileoUsedMask = 0xFFFFFFFF;
  for (int j = 0; j < BinrStatus::kMaxExcluded; ++j) binr().excludedId[j] = uint8_t(j);
  binr().excludedCount = BinrStatus::kMaxExcluded;
  showBinr();

  std::vector<int> all32, all64;
  for (int n = 1; n <= 32; ++n) all32.push_back(n);
  for (int n = 0; n < 64; ++n) all64.push_back(n);
  EXPECT_EQ(row("GPS").quant, "32");
  EXPECT_EQ(row("GPS").num, usedList(all32));
  EXPECT_EQ(row("GPS").num.size(), 98u);
  EXPECT_EQ(row("GPS").bad, usedList(all64).substr(2));
  EXPECT_EQ(row("GLN").num, usedList(all32));
  EXPECT_EQ(row("GLL").num, usedList(all32));
  expectRowsWholeAndPlaced();

  // 96 used satellites in order of their numbers, the systems interleaved; the first 64 are kept.
  ASSERT_EQ(form().used.count(), UsedSatellites::kMaxEntries);
  const uint8_t systems[] = {kSatGps, kSatGlonass, kSatGalileo};
  for (int k = 0; k < UsedSatellites::kMaxEntries; ++k)
    EXPECT_EQ(form().used.place(k), (UsedSatellite{systems[k % 3], uint8_t(k / 3 + 1)})) << k;
}

TEST_F(SatellitesFormTest, ClearDarkensFlagsAndEmptiesAllButCountsAndBeidou) {
  // Flags and rejected lists from BINR, then used lists in all four rows from an NMEA group.
  binr().statusFlags1 = binr().statusFlags2 = 0xFF;
  binr().statusFlags3 = 0x40;
  const uint8_t ids[] = {7, 66, 170};
  std::copy(std::begin(ids), std::end(ids), binr().excludedId);
  binr().excludedCount = 3;
  showBinr();
  store("GNGSA,A,3,01,65,151,205,1.9,1.0,1.6");
  showGsa();
  form().newGsaGroup = true;
  showGsa();
  ASSERT_EQ(row("GPS").bad, "07 ");
  for (const char* system : {"GPS", "GLN", "GLL"}) ASSERT_EQ(row(system).num, "- 01 ") << system;
  ASSERT_EQ(row("BDS").num, "- 05 ");
  ASSERT_EQ(litFlags().size(), 14u);

  app.satellitesForm->clearSatelliteStatus();  // as playback and recording call it

  EXPECT_TRUE(litFlags().empty());
  for (const char* system : {"GPS", "GLN", "GLL"}) {
    EXPECT_EQ(row(system).quant, "1") << system;
    EXPECT_EQ(row(system).num, "") << system;
    EXPECT_EQ(row(system).bad, "") << system;
  }
  EXPECT_EQ(row("BDS").quant, "1");
  EXPECT_EQ(row("BDS").num, "- 05 ");
  EXPECT_EQ(form().used.count(), 0);
}

// ---- BINR2 --------------------------------------------------------------------------------

TEST_F(SatellitesFormTest, Binr2ShowsMasksOfSetFlagsAndTheReceiversCounts) {
  Binr2SatMasks& m = binr2().satMasks;
  Binr2NavSolution& nav = binr2().navSolution;
  // Masks of flags that are clear hold old values and must not show.
  m.gpsUsedMask = 0x3F;
  m.glonassUsedMask = 0x3;
  m.galileoUsedMask = (uint64_t(1) << 40) | 0x80000000u | 0x2;
  m.gpsRejectedMask = 0x400;
  m.glonassRejectedMask = 0x80000000u;
  m.galileoRejectedMask = (uint64_t(1) << 33) | 0x1;
  nav.gpsUsed = 7;
  nav.glonassUsed = 2;
  nav.galileoUsed = 3;
  nav.statusFlags1 = 0x81;
  nav.statusFlags2 = 0xFE;
  // A BeiDou row written by BINR stays as it is.
  binr().statusFlags3 = 0x80;
  binr().glonassUsedMask = 0x10;
  showBinr();

  struct Case {
    uint8_t usedFlags, rejectedFlags;
    RowText gps, gln, gll;
    std::vector<UsedSatellite> used;
  } cases[] = {
      {0x02, 0x00, {"7", "- 01 02 03 04 05 06 ", ""}, {"2", "", ""}, {"3", "", ""},
       {{kSatGps, 1}, {kSatGps, 2}, {kSatGps, 3}, {kSatGps, 4}, {kSatGps, 5}, {kSatGps, 6}}},
      {0x09, 0x0B, {"7", "", "11 "}, {"2", "- 01 02 ", "32 "}, {"3", "- 02 32 ", "01 "},
       {{kSatGlonass, 1}, {kSatGlonass, 2}, {kSatGalileo, 2}, {kSatGalileo, 32}}},
      {0x00, 0x00, {"7", "", ""}, {"2", "", ""}, {"3", "", ""}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.usedFlags));
    m.usedFlags = c.usedFlags;
    m.rejectedFlags = c.rejectedFlags;
    showBinr2();
    for (auto [system, expected] : {std::pair{"GPS", c.gps}, {"GLN", c.gln}, {"GLL", c.gll}}) {
      const RowText shown = row(system);
      EXPECT_EQ(shown.quant, expected.quant) << system;
      EXPECT_EQ(shown.num, expected.num) << system;
      EXPECT_EQ(shown.bad, expected.bad) << system;
    }
    EXPECT_EQ(row("BDS").quant, "1");
    EXPECT_EQ(row("BDS").num, "- 05 ");
    EXPECT_EQ(used(), c.used);
    // BINR2 has no BeiDou flag.
    EXPECT_EQ(litFlags(), (std::set<std::string>{"obsLabel", "anomLabel", "gpsLabel", "glnLabel", "sbasLabel",
                                                 "gllLabel", "dsbasLabel", "rmsLabel"}));
    expectRowsWholeAndPlaced();
  }
}

// ---- NMEA ---------------------------------------------------------------------------------

TEST_F(SatellitesFormTest, GsaNumbersMapToSystems) {
  struct Case {
    const char* field;
    bool added;
    UsedSatellite entry;
  } cases[] = {
      {"", false, {}},          {"0", false, {}},         {"40", false, {}},        {"-5", false, {}},
      {"1", true, {kSatGps, 1}}, {"32", true, {kSatGps, 32}}, {"33", false, {}},       {"64", false, {}},
      {"65", true, {kSatGlonass, 1}}, {"88", true, {kSatGlonass, 24}}, {"89", false, {}}, {"150", false, {}},
      {"151", true, {kSatGalileo, 1}}, {"152", true, {kSatGalileo, 2}}, {"200", true, {kSatGalileo, 50}},
      {"201", true, {kSatBeidou, 1}}, {"455", true, {kSatBeidou, 255}}, {"457", true, {kSatBeidou, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.field);
    form().newGsaGroup = true;
    store(std::string("GNGSA,A,3,") + c.field + ",,1.9,1.0,1.6");
    showGsa();
    ASSERT_EQ(form().used.count(), c.added ? 1 : 0);
    if (c.added) {
      EXPECT_EQ(form().used.place(0), c.entry);
    }
  }
}

TEST_F(SatellitesFormTest, GsaWithSixFieldsOrFewerAddsNothing) {
  store("GPGSA,A,3,05,1.0,1.0");
  showGsa();
  EXPECT_EQ(form().used.count(), 0);
  store("GPGSA,A,3,05,07,1.0,1.0");
  showGsa();
  EXPECT_EQ(used(), (std::vector<UsedSatellite>{{kSatGps, 5}}));
}

TEST_F(SatellitesFormTest, GroupIsSortedBySystemThenNumber) {
  store("GLGSA,A,3,71,65,,,,,,,,,,,2.0,1.1,1.7");
  showGsa();
  store("GPGSA,A,3,12,04,,,,,,,,,,,2.0,1.1,1.7");
  showGsa();
  store("GNGSA,A,3,205,152,,,,,,,,,,,2.0,1.1,1.7");
  showGsa();
  form().newGsaGroup = true;
  store("GPGSA,A,3,,,,,,,,,,,,,2.0,1.1,1.7");
  showGsa();
  for (auto [system, expected] : {std::pair{"GPS", RowText{"2", "- 04 12 ", ""}}, {"GLN", RowText{"2", "- 01 07 ", ""}},
                                  {"GLL", RowText{"1", "- 02 ", ""}}, {"BDS", RowText{"1", "- 05 ", ""}}}) {
    EXPECT_EQ(row(system).quant, expected.quant) << system;
    EXPECT_EQ(row(system).num, expected.num) << system;
  }
  // The new group is empty; the entries of the last one stay sorted behind it.
  EXPECT_EQ(form().used.count(), 0);
  std::vector<UsedSatellite> sorted;
  for (int i = 0; i < 6; ++i) sorted.push_back(form().used.place(i));
  EXPECT_EQ(sorted, (std::vector<UsedSatellite>{{kSatGps, 4}, {kSatGps, 12}, {kSatGlonass, 1}, {kSatGlonass, 7},
                                                {kSatGalileo, 2}, {kSatBeidou, 5}}));
}

TEST_F(SatellitesFormTest, GroupKeeps63SatellitesAndLongListsAreShownWhole) {
  // 72 BeiDou satellites 101 to 172 in six sentences of twelve.
  std::vector<int> numbers;
  for (int s = 0; s < 6; ++s) {
    std::string body = "BDGSA,A,3";
    for (int i = 0; i < 12; ++i) {
      const int n = 101 + s * 12 + i;
      numbers.push_back(n);
      body += "," + std::to_string(200 + n);
    }
    store(body + ",1.5,0.9,1.2");
    showGsa();
  }
  ASSERT_EQ(form().used.count(), 63);
  // Every satellite beyond the 63rd lands in the uncounted last entry.
  EXPECT_EQ(form().used.place(63), (UsedSatellite{kSatBeidou, 172}));
  form().newGsaGroup = true;
  store("GPGSA,A,3,,,,,,,,,,,,,2.0,1.1,1.7");
  showGsa();
  numbers.resize(63);
  EXPECT_EQ(row("BDS").quant, "63");
  EXPECT_EQ(row("BDS").num, usedList(numbers));
  expectRowsWholeAndPlaced();
}

// ---- Through the whole path ----------------------------------------------------------------

class SatellitesPathTest : public SatellitesFormTest {
 protected:
  void start(ReceiverProtocol protocol, bool ticked = true) {
    TMainForm& main = *app.mainForm;
    app.transport.receiverProtocol = protocol;
    test::probeControls(main).satellitesCheckBox->setChecked(ticked);
    main.setTransportState(TransportState::PLAY);
  }
  void feed(const test::Bytes& bytes) { app.intake->receiveBlock(bytes.data(), int32_t(bytes.size())); }
  void feed(const std::string& body) {
    const std::string line = test::nmeaSentence(body);
    app.intake->receiveBlock(reinterpret_cast<const uint8_t*>(line.data()), int32_t(line.size()));
  }

  static test::Bytes binrStatus(uint8_t flags1, uint8_t flags2, uint8_t flags3, uint32_t gps, uint32_t second,
                                const std::vector<uint8_t>& excluded) {
    test::Bytes payload(16, 0);
    payload[0] = flags1;
    payload[1] = flags2;
    payload[3] = flags3;
    test::put(payload, 4, &gps, 4);
    test::put(payload, 8, &second, 4);
    for (uint8_t id : excluded) payload.insert(payload.end(), {id, 0, 0, 0, 0});
    return test::binrFrame(0x93, payload);
  }
};

TEST_F(SatellitesPathTest, BinrSolutionRebuildsTheWindowWhileTicked) {
  for (bool ticked : {false, true}) {
    SCOPED_TRACE(ticked);
    start(ReceiverProtocol::BINR, ticked);
    feed(binrStatus(0x81, 0x06, 0x00, 0x5, 0x1, {5, 70}));
    feed(test::binrFrame(0x88, test::Bytes(69, 0)));
    const RowText gps = row("GPS"), gln = row("GLN");
    EXPECT_EQ(gps.num, ticked ? "- 01 03 " : "");
    EXPECT_EQ(gps.bad, ticked ? "05 " : "");
    EXPECT_EQ(gln.num, ticked ? "- 01 " : "");
    EXPECT_EQ(gln.bad, ticked ? "06 " : "");
    const std::set<std::string> lit{"obsLabel", "anomLabel", "gpsLabel", "glnLabel"};
    EXPECT_EQ(litFlags(), ticked ? lit : std::set<std::string>{});
  }
}

TEST_F(SatellitesPathTest, Binr2SolutionRebuildsTheWindow) {
  start(ReceiverProtocol::BINR2);
  // usedFlags 0x02, rejectedFlags 0x02: the GPS used and rejected masks.
  test::Bytes masks{0x02, 0x02};
  const uint32_t usedMask = 0x3F0, rejectedMask = 0x1;
  test::put(masks, 2, &usedMask, 4);
  test::put(masks, 6, &rejectedMask, 4);
  feed(test::binr2Frame(0xA1, masks));
  test::Bytes nav(58, 0);
  nav[50] = 0x01;
  nav[54] = 7;
  feed(test::binr2Frame(0x90, nav));
  EXPECT_EQ(row("GPS").quant, "7");
  EXPECT_EQ(row("GPS").num, "- 05 06 07 08 09 10 ");
  EXPECT_EQ(row("GPS").bad, "01 ");
  EXPECT_EQ(litFlags(), std::set<std::string>{"obsLabel"});
}

TEST_F(SatellitesPathTest, GsaSentencesOfOneEpochAreJoinedAndShownByTheNextEpoch) {
  start(ReceiverProtocol::NMEA);
  // Rejected lists from an earlier BINR update stay and follow the NMEA used lists.
  binr().excludedId[0] = 17;
  binr().excludedId[1] = 80;
  binr().excludedCount = 2;
  showBinr();

  feed("GPGGA,120000.00,5545.0000,N,03737.0000,E,1,05,1.1,150.0,M,15.0,M,,");
  feed("GPGSA,A,3,04,09,12,,,,,,,,,,2.0,1.1,1.7");
  // The first GSA shows the empty group collected before it.
  EXPECT_EQ(row("GPS").quant, "0");
  EXPECT_EQ(row("GPS").num, "");
  feed("GLGSA,A,3,65,71,,,,,,,,,,,2.0,1.1,1.7");
  EXPECT_EQ(form().used.count(), 5);
  feed("GPRMC,120000.00,A,5545.0000,N,03737.0000,E,0.0,0.0,010124,,,A");
  feed("GPGSA,A,3,04,09,,,,,,,,,,,2.0,1.1,1.7");
  for (auto [system, expected] : {std::pair{"GPS", RowText{"3", "- 04 09 12 ", "17 "}},
                                  {"GLN", RowText{"2", "- 01 07 ", "16 "}}, {"GLL", RowText{"0", "", ""}},
                                  {"BDS", RowText{"0", "", ""}}}) {
    const RowText shown = row(system);
    EXPECT_EQ(shown.quant, expected.quant) << system;
    EXPECT_EQ(shown.num, expected.num) << system;
    EXPECT_EQ(shown.bad, expected.bad) << system;
  }
  expectRowsWholeAndPlaced();
  EXPECT_EQ(used(), (std::vector<UsedSatellite>{{kSatGps, 4}, {kSatGps, 9}}));
  // The status flags are not touched by NMEA.
  EXPECT_TRUE(litFlags().empty());
}

TEST_F(SatellitesPathTest, BssSentenceFillsStatusInfo) {
  start(ReceiverProtocol::NMEA);
  feed("GPBSS,10,2,8,1.5");
  EXPECT_EQ(text("StatusInfoLabel"), "BSS  all:    10  err:     2  valid:     8  dist:   1.500 m");
  EXPECT_EQ(label("StatusInfoLabel")->geometry(), QRect(44, 20, 369, 13));
  // A text wider than the flag row is not cut.
  feed("GPBSS,123456,,-7,1e20");
  const std::string wide = text("StatusInfoLabel");
  EXPECT_EQ(wide, "BSS  all: 123456  err:     0  valid:    -7  dist: 100000000000000000000.000 m");
  QLabel* info = label("StatusInfoLabel");
  EXPECT_GE(info->width(), QFontMetrics(info->font()).horizontalAdvance(info->text()));
}

// ---- A look at the window -------------------------------------------------------------------

std::vector<uint8_t> readSample(const char* name) {
  std::ifstream in(std::string(VELTRANO_SAMPLES_DIR) + "/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Fast-plays each sample through the whole path with the window shown and,
// when VELTRANO_GRAB_DIR names a folder, saves the window as it ends.
TEST_F(SatellitesPathTest, SamplesFillTheWindow) {
  struct Case {
    const char* file;
    ReceiverProtocol protocol;
  } cases[] = {{"binr-static.dat", ReceiverProtocol::BINR},
               {"binr2-static.b2", ReceiverProtocol::BINR2},
               {"nmea-static.nme", ReceiverProtocol::NMEA}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const std::vector<uint8_t> bytes = readSample(c.file);
    ASSERT_FALSE(bytes.empty());
    TMainForm& main = *app.mainForm;
    app.transport.receiverProtocol = c.protocol;
    test::probeControls(main).satellitesCheckBox->setChecked(true);
    form().showNotAvailable(c.protocol == ReceiverProtocol::NMEA);
    main.setTransportState(TransportState::FF);
    app.satellitesForm->clearSatelliteStatus();
    constexpr size_t kChunk = 32768;
    for (size_t at = 0; at < bytes.size(); at += kChunk)
      app.intake->receiveBlock(bytes.data() + at, int32_t(std::min(kChunk, bytes.size() - at)));
    main.StopButtonClick(false);

    EXPECT_GT(form().used.count(), 0);
    EXPECT_NE(row("GPS").num, "");
    expectRowsWholeAndPlaced();
    if (const char* dir = std::getenv("VELTRANO_GRAB_DIR")) {
      const QString name = QStringLiteral("satellites_%1.png").arg(QString::fromLatin1(c.file).replace('.', '_'));
      EXPECT_TRUE(form().grab().save(QDir(QString::fromLocal8Bit(dir)).filePath(name)));
    }
  }
}

// ---- held drawing -------------------------------------------------------------------

SolutionSatellites solution(uint8_t flags1, uint8_t flags2, std::initializer_list<SatelliteRow::Lists> lists,
                            int first) {
  SolutionSatellites satellites;
  satellites.flags1 = flags1;
  satellites.flags2 = flags2;
  satellites.beidouFlag = (flags1 & 1) != 0;
  int r = 0;
  for (SatelliteRow::Lists list : lists) {
    SatelliteRow& row = satellites.rows[r];
    row.updateCount = r != 2;
    row.count = first + r;
    row.lists = list;
    for (int i = 0; i < (first + r) % 7; ++i) row.addUsed(first + 3 * i + r);
    for (int i = 0; i < (first + 2 * r) % 4; ++i) row.addRejected(first + 40 + i);
    satellites.addUsed(kSatGps, first + r);
    ++r;
  }
  return satellites;
}

// Rebuilds taken while the drawing is held show, once it is released, exactly
// what the same rebuilds show drawn one by one: the lit flags, the counts, the
// lists and where each rejected list stands.
TEST_F(SatellitesFormTest, HeldRebuildsShowWhatTheyShowOneByOne) {
  using L = SatelliteRow::Lists;
  const SolutionSatellites a = solution(0x05, 0x82, {L::Show, L::Show, L::Show, L::Show}, 3);
  const SolutionSatellites b = solution(0x40, 0x04, {L::Keep, L::Show, L::Clear, L::Keep}, 11);
  const SolutionSatellites c = solution(0x00, 0x00, {L::Show, L::Keep, L::Keep, L::Show}, 2);
  store("GPGSA,A,3,05,06,11,12,16,20,25,29,30,,,,0.9,0.5,0.7");
  const NmeaFieldTable gpsGsa = app.receiver->nmea.stored(NmeaKind::GSA);
  store("GNGSA,A,3,72,73,80,159,165,220,221,,,,,,0.9,0.5,0.7");
  const NmeaFieldTable mixedGsa = app.receiver->nmea.stored(NmeaKind::GSA);
  store("GPBSS,12,1,11,2.5,3,6");
  const NmeaFieldTable bss = app.receiver->nmea.stored(NmeaKind::BSS);
  store("GPBSS,30,4,26,17.125,9,6");
  const NmeaFieldTable laterBss = app.receiver->nmea.stored(NmeaKind::BSS);
  const auto group = [](TSatellitesForm& f) { f.newGsaGroup = true; };
  const std::vector<std::function<void(TSatellitesForm&)>> sequences[] = {
      {[&](TSatellitesForm& f) { f.showSolutionSatellites(a); },
       [&](TSatellitesForm& f) { f.showSolutionSatellites(b); }},
      {[&](TSatellitesForm& f) { f.showSolutionSatellites(a); }, [&](TSatellitesForm& f) { f.clearSatelliteStatus(); },
       [&](TSatellitesForm& f) { f.showSolutionSatellites(c); },
       [&](TSatellitesForm& f) { f.showSolutionSatellites(b); }},
      {[&](TSatellitesForm& f) { f.showGsaSatellites(gpsGsa); },
       [&](TSatellitesForm& f) { f.showGsaSatellites(mixedGsa); }, group,
       [&](TSatellitesForm& f) { f.showGsaSatellites(mixedGsa); }, group,
       [&](TSatellitesForm& f) { f.showGsaSatellites(gpsGsa); }},
      {[&](TSatellitesForm& f) { f.showBssStatus(bss); }, [&](TSatellitesForm& f) { f.showSolutionSatellites(a); },
       [&](TSatellitesForm& f) { f.showBssStatus(laterBss); }},
      {[&](TSatellitesForm& f) { f.showBssStatus(laterBss); }, [&](TSatellitesForm& f) { f.showNotAvailable(true); }},
  };
  int sequence = 0;
  for (const auto& updates : sequences) {
    SCOPED_TRACE(sequence++);
    TSatellitesForm oneByOne, held;
    // The rejected lists start placed after their used lists, as a rebuild left them.
    for (TSatellitesForm* f : {&oneByOne, &held}) f->showSolutionSatellites(c);
    test::expectHeldShownAsOneByOne(held, oneByOne, updates);
    const auto heldUsed = held.used.counted(), oneByOneUsed = oneByOne.used.counted();
    EXPECT_EQ(std::vector<UsedSatellite>(heldUsed.begin(), heldUsed.end()),
              std::vector<UsedSatellite>(oneByOneUsed.begin(), oneByOneUsed.end()));
  }
}

}  // namespace
}  // namespace veltrano
