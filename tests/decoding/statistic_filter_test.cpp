#include "decoding/statistic_filter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "decoding/fix_builder.h"
#include "decoding/receiver.h"
#include "test_frames.h"
#include "util/formatters.h"

namespace veltrano {
namespace {

constexpr double kDegree = kPi / 180;

struct Settings {
  const char* maxHdop = "0.0";
  const char* maxVdop = "0.0";
  bool diff = false;
  bool obs = true;
  bool threeD = false;
};

StatisticSettings toSettings(const Settings& s) {
  StatisticSettings out;
  out.maxHdop = DopLimit::fromText(s.maxHdop);
  out.maxVdop = DopLimit::fromText(s.maxVdop);
  out.diffOnly = s.diff;
  out.obs = s.obs;
  out.threeDOnly = s.threeD;
  return out;
}

struct StatisticFilterTest : ::testing::Test {
  std::unique_ptr<Receiver> rx = std::make_unique<Receiver>();
  PositionStatistics statistics;
  StatisticFilter filter{statistics};

  void use(const Settings& s) { filter.settings = toSettings(s); }

  // One solution of the receiver state, built into the fix as the fan-out does.
  bool updateBinr() {
    Fix fix;
    buildBinrFix(rx->binr, fix);
    return filter.update(fix);
  }
  bool updateBinr2() {
    Fix fix;
    buildBinr2Fix(rx->binr2, fix);
    return filter.update(fix);
  }
  bool updateNmea() {
    Fix fix;
    buildNmeaFix(rx->nmea, fix);
    return filter.update(fix);
  }

  void feedNmea(const std::string& body) {
    NmeaKind kind = NmeaKind::None;
    for (char c : test::nmeaSentence(body)) kind = rx->nmea.pushNmeaChar(uint8_t(c));
    ASSERT_GT(int(kind), int(NmeaKind::Other)) << body;
  }

  void expectCounters(int32_t n, int64_t nall, int64_t nanom) {
    EXPECT_EQ(filter.nCount(), n);
    EXPECT_EQ(filter.nallCount(), nall);
    EXPECT_EQ(filter.nanomCount(), nanom);
    EXPECT_EQ(filter.texts().n, std::to_string(n));
    EXPECT_EQ(filter.texts().nall, std::to_string(nall));
    EXPECT_EQ(filter.texts().nanom, std::to_string(nanom));
  }
};

// ---- Limits -----------------------------------------------------------------

TEST(DopLimit, OnlyTheExactNoLimitTextIsUnlimited) {
  struct Case {
    const char* text;
    bool unlimited;
    double value;
  } cases[] = {{"0.0", true, 0}, {"1.5", false, 1.5}, {"9.9", false, 9.9}, {"0.5", false, 0.5},
               {"1.", false, 1},  {"", false, 0},     {"_._", false, 0},   {".", false, 0}};
  for (const Case& c : cases) {
    const DopLimit limit = DopLimit::fromText(c.text);
    EXPECT_EQ(limit.unlimited, c.unlimited) << c.text;
    if (!c.unlimited) {
      EXPECT_DOUBLE_EQ(limit.value, c.value) << c.text;
    }
  }
}

// ---- BINR -------------------------------------------------------------------

TEST_F(StatisticFilterTest, BinrFilters) {
  struct Case {
    const char* name;
    Settings settings;
    uint8_t solutionStatus;
    float hdop, vdop;
    bool accepted;
  } cases[] = {
      {"defaults accept a valid solution", {}, 0x01, 40.0f, 40.0f, true},
      {"bit 0 clear is invalid", {}, 0x00, 1.0f, 1.0f, false},
      {"HDOP equal to the limit passes", {"1.5", "0.0"}, 0x01, 1.5f, 9.0f, true},
      {"HDOP above the limit fails", {"1.4", "0.0"}, 0x01, 1.5f, 0.5f, false},
      {"single 1.2 lies above the limit 1.2", {"1.2", "0.0"}, 0x01, 1.2f, 0.5f, false},
      {"VDOP above the limit fails", {"0.0", "2.0"}, 0x01, 0.5f, 2.5f, false},
      {"VDOP within the limit passes", {"0.0", "2.5"}, 0x01, 0.5f, 2.5f, true},
      {"DIFF needs bit 3", {"0.0", "0.0", true}, 0x01, 1.0f, 1.0f, false},
      {"DIFF with bit 3", {"0.0", "0.0", true}, 0x09, 1.0f, 1.0f, true},
      {"3D rejects bit 1", {"0.0", "0.0", false, true, true}, 0x03, 1.0f, 1.0f, false},
      {"3D rejects bit 5 with bit 1 clear", {"0.0", "0.0", false, true, true}, 0x21, 1.0f, 1.0f, false},
      {"3D accepts bits 1 and 5 clear", {"0.0", "0.0", false, true, true}, 0x01, 1.0f, 1.0f, true},
      {"OBS plays no part", {"0.0", "0.0", false, false, false}, 0x01, 1.0f, 1.0f, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    rx = std::make_unique<Receiver>();
    resetPositionStatistics(statistics);
    filter.resetStatisticDisplay();
    use(c.settings);
    rx->binr.navSolution.solutionStatus = c.solutionStatus;
    rx->binr.navSolution.latitude = 0.9;
    rx->binr.navSolution.longitude = 0.6;
    rx->binr.dop.hdop = c.hdop;
    rx->binr.dop.vdop = c.vdop;
    EXPECT_EQ(updateBinr(), c.accepted);
    expectCounters(c.accepted ? 1 : 0, 1, 0);
  }
}

TEST_F(StatisticFilterTest, BinrAnomalyCountsEvenWhenRejected) {
  rx->binr.status.statusFlags1 = 0x80;
  rx->binr.navSolution.solutionStatus = 0x00;
  EXPECT_FALSE(updateBinr());
  expectCounters(0, 1, 1);
  rx->binr.navSolution.solutionStatus = 0x01;
  EXPECT_TRUE(updateBinr());
  expectCounters(1, 2, 2);
  rx->binr.status.statusFlags1 = 0x7F;
  EXPECT_TRUE(updateBinr());
  expectCounters(2, 3, 2);
}

TEST_F(StatisticFilterTest, BinrSampleGoesIntoTheStatistics) {
  BinrNavSolution& nav = rx->binr.navSolution;
  nav.solutionStatus = 0x01;
  nav.latitude = 55.5 * kDegree;
  nav.longitude = -37.25 * kDegree;
  nav.height = 123.456;
  nav.velocityNorth = 3;
  nav.velocityEast = -4;
  ASSERT_TRUE(updateBinr());
  EXPECT_EQ(statistics.count, 1);
  EXPECT_DOUBLE_EQ(filter.meanLat(), nav.latitude);
  EXPECT_DOUBLE_EQ(filter.meanLon(), nav.longitude);
  EXPECT_DOUBLE_EQ(filter.meanHeight(), 123.456);
  EXPECT_DOUBLE_EQ(filter.rmsV(), 5.0);
  EXPECT_EQ(filter.texts().lat, formatLatitude(nav.latitude));
  EXPECT_EQ(filter.texts().lon, formatLongitude(nav.longitude));
  EXPECT_EQ(filter.texts().alt, "+0123.46");
  EXPECT_EQ(filter.texts().rms2D, "0.000");
  EXPECT_EQ(filter.texts().rmsV, "5.000");
}

// ---- BINR2 ------------------------------------------------------------------

TEST_F(StatisticFilterTest, Binr2Filters) {
  struct Case {
    const char* name;
    Settings settings;
    uint8_t flags;
    uint8_t hdop, vdop;  // tenths
    bool accepted;
    bool anomaly;
  } cases[] = {
      {"valid with defaults", {}, 0x01, 255, 255, true, false},
      {"bit 0 clear is invalid", {}, 0x00, 10, 10, false, false},
      {"hdop 15 within max HDOP 1.5", {"1.5", "0.0"}, 0x01, 15, 99, true, false},
      {"hdop 15 above max HDOP 1.4", {"1.4", "0.0"}, 0x01, 15, 0, false, false},
      {"vdop 7 within max VDOP 0.7", {"0.0", "0.7"}, 0x01, 99, 7, true, false},
      {"vdop 8 above max VDOP 0.7", {"0.0", "0.7"}, 0x01, 0, 8, false, false},
      {"DIFF needs bit 3", {"0.0", "0.0", true}, 0x01, 10, 10, false, false},
      {"DIFF with bit 3", {"0.0", "0.0", true}, 0x09, 10, 10, true, false},
      {"3D rejects bit 1", {"0.0", "0.0", false, true, true}, 0x03, 10, 10, false, false},
      {"3D rejects bit 2", {"0.0", "0.0", false, true, true}, 0x05, 10, 10, false, false},
      {"3D ignores bit 5", {"0.0", "0.0", false, true, true}, 0x21, 10, 10, true, false},
      {"anomaly counted when rejected", {}, 0x80, 10, 10, false, true},
      {"anomaly counted when accepted", {}, 0x81, 10, 10, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    rx = std::make_unique<Receiver>();
    resetPositionStatistics(statistics);
    filter.resetStatisticDisplay();
    use(c.settings);
    Binr2NavSolution& nav = rx->binr2.navSolution;
    nav.statusFlags1 = c.flags;
    nav.hdop = c.hdop;
    nav.vdop = c.vdop;
    EXPECT_EQ(updateBinr2(), c.accepted);
    expectCounters(c.accepted ? 1 : 0, 1, c.anomaly ? 1 : 0);
  }
}

TEST_F(StatisticFilterTest, Binr2UnitsAreConverted) {
  Binr2NavSolution& nav = rx->binr2.navSolution;
  nav.statusFlags1 = 0x01;
  nav.latitude = 557520000;     // 55.752 degrees
  nav.longitude = -376150000;   // 37.615 degrees west
  nav.ellipsoidHeight = 16312;  // 163.12 m
  nav.geoidSeparation = 1611;   // 16.11 m
  nav.velocityNorth = 30;       // 0.3 m/s
  nav.velocityEast = -40;       // 0.4 m/s west
  ASSERT_TRUE(updateBinr2());
  EXPECT_NEAR(filter.meanLat(), 55.752 * kDegree, 1e-15);
  EXPECT_NEAR(filter.meanLon(), -37.615 * kDegree, 1e-15);
  EXPECT_NEAR(filter.meanHeight(), 147.01, 1e-9);
  // The speed is held in single precision.
  EXPECT_EQ(filter.rmsV(), double(0.5f));
  EXPECT_EQ(filter.texts().alt, "+0147.01");
  EXPECT_EQ(filter.texts().rmsV, "0.500");
}

// ---- NMEA -------------------------------------------------------------------

const char kGgaQ1Hdop12[] = "GPGGA,123519,4807.038,N,01131.000,E,1,08,1.2,545.4,M,46.9,M,,";
const char kRmcFast[] = "GPRMC,123519,A,4807.038,N,01131.000,E,010.0,084.4,230394,,";
const char kGsa3D[] = "GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1";

TEST_F(StatisticFilterTest, NmeaFilters) {
  struct Case {
    const char* name;
    Settings settings;
    std::vector<std::string> sentences;
    int32_t source;
    bool accepted;
  } cases[] = {
      {"GGA quality 1 with defaults", {}, {kGgaQ1Hdop12}, 0, true},
      {"single 1.2 is above max HDOP 1.2", {"1.2", "0.0"}, {kGgaQ1Hdop12}, 0, false},
      {"HDOP 1.2 within max HDOP 1.3", {"1.3", "0.0"}, {kGgaQ1Hdop12}, 0, true},
      {"VDOP is the last GSA field", {"0.0", "2.0"}, {kGsa3D, kGgaQ1Hdop12}, 0, false},
      {"VDOP within its limit", {"0.0", "2.1"}, {kGsa3D, kGgaQ1Hdop12}, 0, true},
      {"quality 0 is invalid", {}, {"GPGGA,1,4807.0,N,01131.0,E,0,08,1.0,5.0,M,,M,,"}, 0, false},
      {"quality 6 rejected by OBS", {}, {"GPGGA,1,4807.0,N,01131.0,E,6,08,1.0,5.0,M,,M,,"}, 0, false},
      {"quality 6 accepted without OBS",
       {"0.0", "0.0", false, false},
       {"GPGGA,1,4807.0,N,01131.0,E,6,08,1.0,5.0,M,,M,,"},
       0,
       true},
      {"quality 2 is differential", {"0.0", "0.0", true}, {"GPGGA,1,4807.0,N,01131.0,E,2,08,1.0,5.0,M,,M,,"}, 0, true},
      {"quality 1 fails DIFF", {"0.0", "0.0", true}, {kGgaQ1Hdop12}, 0, false},
      {"3D rejects GSA fix mode 2",
       {"0.0", "0.0", false, true, true},
       {"GPGSA,A,2,04,05,,,,,,,,,,,2.5,1.3,2.1", kGgaQ1Hdop12},
       0,
       false},
      {"3D accepts GSA fix mode 3", {"0.0", "0.0", false, true, true}, {kGsa3D, kGgaQ1Hdop12}, 0, true},
      {"GNS mode RR is RTK and passes DIFF",
       {"0.0", "0.0", true},
       {"GNGNS,123519,4807.038,N,01131.000,E,RR,12,0.8,545.4,46.9,,"},
       0,
       true},
      {"GNS mode AA fails DIFF",
       {"0.0", "0.0", true},
       {"GNGNS,123519,4807.038,N,01131.000,E,AA,12,0.8,545.4,46.9,,"},
       0,
       false},
      {"GNS mode N is invalid", {}, {"GNGNS,123519,4807.038,N,01131.000,E,NN,12,0.8,545.4,46.9,,"}, 0, false},
      {"GNS mode E rejected by OBS", {}, {"GNGNS,123519,4807.038,N,01131.000,E,EN,12,0.8,545.4,46.9,,"}, 0, false},
      {"GNS HDOP from field 8",
       {"0.7", "0.0"},
       {kGgaQ1Hdop12, "GNGNS,123519,4807.038,N,01131.000,E,AA,12,0.8,545.4,46.9,,"},
       0,
       false},
      {"RMC only: status A is valid", {}, {kRmcFast}, 0, true},
      {"RMC only: status V is invalid", {}, {"GPRMC,123519,V,4807.038,N,01131.000,E,0.0,0.0,230394,,"}, 0, false},
      {"RMC only: an empty status counts as valid",
       {},
       {"GPRMC,123519,,4807.038,N,01131.000,E,0.0,0.0,230394,,"},
       0,
       true},
      {"RMC only: HDOP from the GSA's second-last field", {"1.2", "0.0"}, {kGsa3D, kRmcFast}, 0, false},
      {"RMC only: HDOP within its limit", {"1.3", "0.0"}, {kGsa3D, kRmcFast}, 0, true},
      {"source RMC still takes the quality from GGA",
       {},
       {"GPGGA,1,4807.0,N,01131.0,E,0,08,1.0,5.0,M,,M,,", kRmcFast},
       int32_t(NmeaKind::RMC),
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    rx = std::make_unique<Receiver>();
    rx->nmea.positionSource = c.source;
    resetPositionStatistics(statistics);
    filter.resetStatisticDisplay();
    use(c.settings);
    for (const std::string& s : c.sentences) feedNmea(s);
    EXPECT_EQ(updateNmea(), c.accepted);
    expectCounters(c.accepted ? 1 : 0, 1, 0);
  }
}

TEST_F(StatisticFilterTest, NmeaPositionComesFromTheSourceSentence) {
  const double gnsLat = (7.5 / 60 + 50) * kDegree;
  const double ggaLat = (7.038 / 60 + 48) * kDegree;
  const double ggaLon = (31.0 / 60 + 11) * kDegree;
  const double rmcLat = -(30.0 / 60 + 10) * kDegree;
  const double rmcLon = -(15.0 / 60 + 120) * kDegree;
  struct Case {
    const char* name;
    int32_t source;
    bool withGns;
    double lat, lon, height;
  } cases[] = {
      {"Auto with GNS", 0, true, gnsLat, ggaLon, 12.5},
      {"Auto with GGA", 0, false, ggaLat, ggaLon, 545.4},
      {"GGA", int32_t(NmeaKind::GGA), true, ggaLat, ggaLon, 545.4},
      {"RMC has no height", int32_t(NmeaKind::RMC), true, rmcLat, rmcLon, 0},
      {"GNS", int32_t(NmeaKind::GNS), true, gnsLat, ggaLon, 12.5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    rx = std::make_unique<Receiver>();
    rx->nmea.positionSource = c.source;
    resetPositionStatistics(statistics);
    use({"0.0", "0.0", false, false});
    feedNmea(kGgaQ1Hdop12);
    feedNmea("GPRMC,123519,A,1030.000,S,12015.000,W,010.0,084.4,230394,,");
    if (c.withGns) feedNmea("GNGNS,123519,5007.500,N,01131.000,E,AA,12,0.8,12.5,46.9,,");
    ASSERT_TRUE(updateNmea());
    EXPECT_NEAR(filter.meanLat(), c.lat, 1e-15);
    EXPECT_NEAR(filter.meanLon(), c.lon, 1e-15);
    EXPECT_DOUBLE_EQ(filter.meanHeight(), c.height);
    // The speed is the last RMC's, whatever the source: 10 knots.
    EXPECT_NEAR(filter.rmsV(), 10 * 1.852 / 3.6, 1e-12);
  }
}

TEST_F(StatisticFilterTest, NmeaRmcOnlyShowsZeroHeight) {
  feedNmea(kRmcFast);
  ASSERT_TRUE(updateNmea());
  EXPECT_EQ(filter.texts().alt, "+0000.00");
  EXPECT_EQ(filter.texts().lat, formatLatitude((7.038 / 60 + 48) * kDegree));
}

// ---- Texts and reset --------------------------------------------------------

TEST_F(StatisticFilterTest, ResultTexts) {
  struct Case {
    double firstHeight, secondHeight;
    const char* alt;
    const char* rmsH;
  } cases[] = {
      {-5, -5, "-0005.00", "0.000"},
      // The second sample lies 500 m from the new mean: rmsH = sqrt(500^2 / 2).
      {0, 1000, "+0500.00", "353.553"},
      {0, 4000, "+2000.00", "******"},               // 1414.2 is above 999.99
      {12345.678, 12345.678, "+12345.68", "0.000"},  // wider than the field
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.alt);
    resetPositionStatistics(statistics);
    rx->binr.navSolution.solutionStatus = 0x01;
    rx->binr.navSolution.height = c.firstHeight;
    updateBinr();
    rx->binr.navSolution.height = c.secondHeight;
    updateBinr();
    EXPECT_EQ(filter.texts().alt, c.alt);
    EXPECT_EQ(filter.texts().rmsH, c.rmsH);
    EXPECT_EQ(filter.texts().n, "2");
  }
}

TEST_F(StatisticFilterTest, RmsNotANumberShowsStars) {
  rx->binr.navSolution.solutionStatus = 0x01;
  rx->binr.navSolution.velocityNorth = std::nan("");
  ASSERT_TRUE(updateBinr());
  EXPECT_EQ(filter.texts().rmsV, "******");
  EXPECT_EQ(filter.texts().rms2D, "0.000");
}

TEST_F(StatisticFilterTest, ResetRestoresDesignTextsButKeepsTheResults) {
  BinrNavSolution& nav = rx->binr.navSolution;
  nav.solutionStatus = 0x01;
  nav.latitude = 0.5;
  nav.longitude = -0.25;
  nav.height = 20;
  rx->binr.status.statusFlags1 = 0x80;
  updateBinr();
  nav.height = 30;
  updateBinr();
  ASSERT_EQ(filter.texts().nanom, "2");

  filter.resetStatisticDisplay();
  const StatisticTexts& t = filter.texts();
  EXPECT_EQ(t.lat, "00\xB0" "00.00000N");
  EXPECT_EQ(t.lon, "000\xB0" "00.00000E");
  EXPECT_EQ(t.alt, "+0000.00");
  for (const std::string* rms : {&t.rms2D, &t.rmsH, &t.rmsV}) EXPECT_EQ(*rms, "0.000");
  expectCounters(0, 0, 0);
  EXPECT_DOUBLE_EQ(filter.meanLat(), 0.5);
  EXPECT_DOUBLE_EQ(filter.meanLon(), -0.25);
  EXPECT_DOUBLE_EQ(filter.meanHeight(), 25);
  EXPECT_DOUBLE_EQ(filter.rmsH(), std::sqrt(25.0 / 2));

  // The counters restart from 0; N follows the statistics, which its owner resets.
  resetPositionStatistics(statistics);
  updateBinr();
  expectCounters(1, 1, 1);
  EXPECT_DOUBLE_EQ(filter.meanHeight(), 30);
}

TEST_F(StatisticFilterTest, RejectedSolutionsLeaveTheResults) {
  rx->binr.navSolution.solutionStatus = 0x01;
  rx->binr.navSolution.height = 10;
  updateBinr();
  const StatisticTexts before = filter.texts();
  rx->binr.navSolution.solutionStatus = 0x00;
  rx->binr.navSolution.height = 99;
  updateBinr();
  EXPECT_EQ(filter.texts().alt, before.alt);
  EXPECT_EQ(filter.texts().n, "1");
  EXPECT_EQ(filter.texts().nall, "2");
  EXPECT_DOUBLE_EQ(filter.meanHeight(), 10);
  EXPECT_EQ(statistics.count, 1);
}

}  // namespace
}  // namespace veltrano
