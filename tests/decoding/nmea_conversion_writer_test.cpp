// The NMEA conversion of BINR and BINR2 messages: each sentence against lines
// worked out by hand, the checksum and CR LF of every line, the file's life.
#include "decoding/nmea_conversion_writer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "decoding/fix_builder.h"
#include "decoding/message_fan_out.h"
#include "decoding/nmea_assembler.h"
#include "decoding/receiver.h"
#include "test_frames.h"

namespace veltrano {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

constexpr double kPiValue = 3.141592653589793;

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Splits the file into lines without their CR LF; every line must end in CR LF and
// carry "*" and the exclusive-or of its characters between "$" and "*" in
// upper-case hexadecimal.
Lines checkedLines(const std::string& content) {
  Lines lines;
  size_t at = 0;
  while (at < content.size()) {
    const size_t end = content.find("\r\n", at);
    EXPECT_NE(end, std::string::npos) << "line without CR LF at " << at;
    if (end == std::string::npos) break;
    const std::string line = content.substr(at, end - at);
    at = end + 2;
    EXPECT_GE(line.size(), 4u);
    if (line.size() < 4) continue;
    EXPECT_EQ(line.front(), '$') << line;
    EXPECT_EQ(line[line.size() - 3], '*') << line;
    uint8_t sum = 0;
    for (size_t i = 1; i + 3 < line.size(); ++i) sum ^= uint8_t(line[i]);
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02X", sum);
    EXPECT_EQ(line.substr(line.size() - 2), hex) << line;
    lines.push_back(line.substr(0, line.size() - 3));  // without "*HH"
  }
  return lines;
}

// Every sentence is accepted by the program's own NMEA assembler.
void expectAssemblerAccepts(const std::string& content) {
  NmeaAssembler nmea;
  int sentences = 0;
  for (char c : content) {
    const NmeaKind kind = nmea.pushNmeaChar(uint8_t(c));
    EXPECT_NE(kind, NmeaKind::Error);
    sentences += kind != NmeaKind::None;
  }
  EXPECT_EQ(sentences, int(checkedLines(content).size()));
}

struct ConversionWriter : ::testing::Test {
  fs::path dir = fs::temp_directory_path() /
                 ("veltrano-conversion-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
  std::unique_ptr<BinrState> binr = std::make_unique<BinrState>();
  std::unique_ptr<Binr2State> binr2 = std::make_unique<Binr2State>();
  NmeaConversionWriter writer;

  ConversionWriter() {
    fs::create_directories(dir);
    EXPECT_TRUE(writer.openConversionFile((dir / "rec.dat").string()));
  }
  ~ConversionWriter() override {
    writer.closeConversionFile();
    fs::remove_all(dir);
  }

  std::string content() {
    writer.closeConversionFile();
    return readFile(dir / "rec.nme");
  }
  Lines lines() {
    const std::string text = content();
    expectAssemblerAccepts(text);
    return checkedLines(text);
  }

  // The fix of the solution now in the receiver state, as the fan-out builds it.
  Fix binrFix() const {
    Fix fix;
    buildBinrFix(*binr, fix);
    return fix;
  }
  Fix binr2Fix() const {
    Fix fix;
    buildBinr2Fix(*binr2, fix);
    return fix;
  }

  BinrNavSolution& nav() { return binr->navSolution; }
  Binr2NavSolution& nav2() { return binr2->navSolution; }
};

TEST_F(ConversionWriter, BinrGgaWithSouthLatitudeAndRoundedTime) {
  nav().timeOfWeek = 45296789.6;  // 12:34:56.7896
  nav().latitude = -0.5;          // -28.6478898 degrees
  nav().longitude = 0.7;
  nav().height = 123.46;
  nav().solutionStatus = 0x09;  // valid, differential
  binr->dop = {5, 4, 0.9f, 1.3f};
  writer.writeGga(binrFix());
  EXPECT_EQ(lines(), Lines{"$GPGGA,123456.790,2838.87339,S,04006.42274,E,2,9,0.9,123.5,M,,M,,"});
}

TEST_F(ConversionWriter, BinrTimeHasHalfAMillisecondAddedBeforeSplitting) {
  const struct {
    double timeOfWeek;
    const char* field;
  } cases[] = {
      {45296789.6, "123456.790"},
      {0.0, "000000.001"},
      {86399999.7, "000000.000"},   // the added half millisecond reaches the next day
      {59999.6, "000100.000"},      // ... and the next minute
      {45296789.4, "123456.790"},   // 56.7894 s would print as 56.789 without it
  };
  for (const auto& c : cases) {
    nav().timeOfWeek = c.timeOfWeek;
    writer.writeGga(binrFix());
  }
  const Lines written = lines();
  ASSERT_EQ(written.size(), std::size(cases));
  for (size_t i = 0; i < written.size(); ++i)
    EXPECT_EQ(written[i].substr(0, 17), std::string("$GPGGA,") + cases[i].field) << cases[i].timeOfWeek;
}

TEST_F(ConversionWriter, CoordinatesAndHemispheres) {
  const struct {
    double latitude, longitude;
    const char* fields;
  } cases[] = {
      {-0.5, 0.7, "2838.87339,S,04006.42274,E"},
      {0.0, -kPiValue / 2, "0000.00000,N,09000.00000,W"},
      {-0.0, -0.0, "0000.00000,N,00000.00000,E"},
  };
  for (const auto& c : cases) {
    nav().latitude = c.latitude;
    nav().longitude = c.longitude;
    writer.writeGga(binrFix());
  }
  const Lines written = lines();
  ASSERT_EQ(written.size(), std::size(cases));
  for (size_t i = 0; i < written.size(); ++i) EXPECT_EQ(written[i].substr(18, 26), cases[i].fields);
}

TEST_F(ConversionWriter, Binr2GgaWithGeoidSeparation) {
  nav2().timeOfWeek = 45296789;  // no half millisecond for BINR2
  nav2().latitude = 556789012;
  nav2().longitude = -376156000;
  nav2().ellipsoidHeight = 15000;
  nav2().geoidSeparation = 1500;
  nav2().statusFlags1 = 0x01;
  nav2().gpsUsed = 7;
  nav2().glonassUsed = 5;
  nav2().galileoUsed = 3;  // not counted
  nav2().hdop = 9;
  writer.writeGga(binr2Fix());
  EXPECT_EQ(lines(), Lines{"$GPGGA,123456.789,5540.73407,N,03736.93600,W,1,12,0.9,135.0,M,15.0,M,,"});
}

TEST_F(ConversionWriter, BinrRmcWithSpeedCourseAndDate) {
  nav().timeOfWeek = 0;
  nav().week = 756;  // read as week 1780: 16 February 2014
  nav().latitude = -0.5;
  nav().longitude = 0.7;
  nav().velocityNorth = 3;
  nav().velocityEast = -4;
  nav().solutionStatus = 0x01;
  writer.writeRmc(binrFix());
  nav().week = -1;  // date unavailable
  nav().velocityNorth = -0.0;
  nav().velocityEast = -0.0;  // no motion: course 0, not 180
  nav().solutionStatus = 0x09;
  writer.writeRmc(binrFix());
  nav().solutionStatus = 0x08;  // differential but stale
  writer.writeRmc(binrFix());
  EXPECT_EQ(lines(), (Lines{
                         "$GPRMC,000000.001,A,2838.87339,S,04006.42274,E,009.7,306.9,160214,,,A",
                         "$GPRMC,000000.001,A,2838.87339,S,04006.42274,E,000.0,000.0,,,,D",
                         "$GPRMC,000000.001,V,2838.87339,S,04006.42274,E,000.0,000.0,,,,N",
                     }));
}

TEST_F(ConversionWriter, Binr2RmcDateFollowsTheLeapSecondCorrection) {
  binr2->timeInfo.leapSecondsValid = true;
  binr2->timeInfo.leapSeconds = 16;
  nav2().timeOfWeek = 10000;
  nav2().week = 0;  // corrected to week -1: no date
  writer.writeRmc(binr2Fix());
  nav2().week = 1800;  // corrected to 604794 s of week 1799
  nav2().velocityNorth = -300;
  nav2().statusFlags1 = 0x09;
  writer.writeRmc(binr2Fix());
  EXPECT_EQ(lines(), (Lines{
                         "$GPRMC,235954.000,V,0000.00000,N,00000.00000,E,000.0,000.0,,,,N",
                         "$GPRMC,235954.000,A,0000.00000,N,00000.00000,E,005.8,180.0,180234,,,D",
                     }));
}

TEST_F(ConversionWriter, GsaListsUsedSatellitesPaddedToTwentyFourEntries) {
  binr->status.gpsUsedMask = (1u << 0) | (1u << 4);
  binr->status.glonassUsedMask = 1u << 2;
  binr->dop.hdop = 0.9f;
  binr->dop.vdop = 1.3f;
  nav().solutionStatus = 0x01;
  writer.writeGsa(binrFix());
  nav().solutionStatus = 0x03;  // two-dimensional
  writer.writeGsa(binrFix());
  nav().solutionStatus = 0x00;
  writer.writeGsa(binrFix());
  const std::string list = "1,5,67," + std::string(21, ',');
  EXPECT_EQ(lines(), (Lines{
                         "$GPGSA,A,3," + list + ",0.9,1.3",
                         "$GPGSA,A,2," + list + ",0.9,1.3",
                         "$GPGSA,A,1," + list + ",0.9,1.3",
                     }));
}

TEST_F(ConversionWriter, MoreThanTwentyFourUsedSatellitesGoOnInFurtherGsaSentences) {
  binr2->satMasks.usedFlags = 0;  // the masks are taken whatever the flags say
  binr2->satMasks.gpsUsedMask = 0xFFFFFFFFu;
  binr2->satMasks.glonassUsedMask = 0xFFFFFFFFu;  // GLONASS slots above 24 are not listed
  nav2().statusFlags1 = 0x01;
  nav2().hdop = 7;
  nav2().vdop = 12;
  writer.writeGsa(binr2Fix());
  const auto list = [](int first, int last, int padding) {
    std::string text;
    for (int n = first; n <= last; ++n) text += std::to_string(n) + ",";
    return text + std::string(size_t(padding), ',');
  };
  EXPECT_EQ(lines(), (Lines{
                         "$GPGSA,A,3," + list(1, 24, 0) + ",0.7,1.2",
                         "$GPGSA,A,3," + list(25, 32, 0) + list(65, 80, 0) + ",0.7,1.2",
                         "$GPGSA,A,3," + list(81, 88, 16) + ",0.7,1.2",
                     }));
}

// A corrupted record passes its checks now and then and makes a solution of
// any numbers: those that no receiver sends leave their fields empty (a DOP is
// capped), so that every sentence stays readable. Before, a latitude of 1e300
// radians gave a GGA of 468 characters.
TEST_F(ConversionWriter, NumbersNoReceiverSendsLeaveTheirFieldsEmpty) {
  Fix base;
  base.valid = true;
  base.latitude = -0.5;
  base.longitude = 0.7;
  base.height = 123.46;
  base.sentenceTime = {12, 34, 56.79};
  std::strcpy(base.sentenceDate, "160214");
  base.satsUsed = 9;
  base.hdop = {Dop::Form::Single, 0.9};
  base.vdop = {Dop::Form::Single, 1.3};
  base.speed = 5;
  base.course = 306.9;
  base.rms = {2.26, true};
  const std::string gsaList = std::string(24, ',');
  const Lines baseLines = {
      "$GPGGA,123456.790,2838.87339,S,04006.42274,E,1,9,0.9,123.5,M,,M,,",
      "$GPRMC,123456.790,A,2838.87339,S,04006.42274,E,009.7,306.9,160214,,,A",
      "$GPGSA,A,3," + gsaList + ",0.9,1.3",
      "$PORZD,A,2.3",
  };
  const double nan = std::nan(""), inf = INFINITY;
  const struct {
    const char* what;
    std::function<void(Fix&)> change;
    Lines changed;  // the lines that differ from baseLines, in their places; "" for unchanged
  } cases[] = {
      {"latitude 1e300",
       [](Fix& f) { f.latitude = 1e300; },
       {"$GPGGA,123456.790,,,,,1,9,0.9,123.5,M,,M,,", "$GPRMC,123456.790,A,,,,,009.7,306.9,160214,,,A", "", ""}},
      {"latitude NaN",
       [&](Fix& f) { f.latitude = nan; },
       {"$GPGGA,123456.790,,,,,1,9,0.9,123.5,M,,M,,", "$GPRMC,123456.790,A,,,,,009.7,306.9,160214,,,A", "", ""}},
      {"latitude beyond the pole",
       [](Fix& f) { f.latitude = kPiValue / 2 + 1e-9; },
       {"$GPGGA,123456.790,,,,,1,9,0.9,123.5,M,,M,,", "$GPRMC,123456.790,A,,,,,009.7,306.9,160214,,,A", "", ""}},
      {"longitude beyond 180 degrees",
       [](Fix& f) { f.longitude = -3.2; },
       {"$GPGGA,123456.790,,,,,1,9,0.9,123.5,M,,M,,", "$GPRMC,123456.790,A,,,,,009.7,306.9,160214,,,A", "", ""}},
      {"the poles and the date line are positions",
       [](Fix& f) { f.latitude = -kPiValue / 2, f.longitude = kPiValue; },
       {"$GPGGA,123456.790,9000.00000,S,18000.00000,E,1,9,0.9,123.5,M,,M,,",
        "$GPRMC,123456.790,A,9000.00000,S,18000.00000,E,009.7,306.9,160214,,,A", "", ""}},
      {"height -2e8",
       [](Fix& f) { f.height = -2e8; },
       {"$GPGGA,123456.790,2838.87339,S,04006.42274,E,1,9,0.9,,M,,M,,", "", "", ""}},
      {"height infinite",
       [&](Fix& f) { f.height = inf; },
       {"$GPGGA,123456.790,2838.87339,S,04006.42274,E,1,9,0.9,,M,,M,,", "", "", ""}},
      {"geoid separation NaN",
       [&](Fix& f) { f.hasGeoidSeparation = true, f.geoidSeparation = nan; },
       {"$GPGGA,123456.790,2838.87339,S,04006.42274,E,1,9,0.9,123.5,M,,M,,", "", "", ""}},
      {"time before midnight",
       [](Fix& f) {
         f.sentenceTime = {-1, 59, 59.0};
       },
       {"$GPGGA,,2838.87339,S,04006.42274,E,1,9,0.9,123.5,M,,M,,",
        "$GPRMC,,A,2838.87339,S,04006.42274,E,009.7,306.9,160214,,,A", "", ""}},
      {"seconds NaN",
       [&](Fix& f) { f.sentenceTime.ss = nan; },
       {"$GPGGA,,2838.87339,S,04006.42274,E,1,9,0.9,123.5,M,,M,,",
        "$GPRMC,,A,2838.87339,S,04006.42274,E,009.7,306.9,160214,,,A", "", ""}},
      {"speed of 1e38 m/s",
       [](Fix& f) { f.speed = 1e38; },
       {"", "$GPRMC,123456.790,A,2838.87339,S,04006.42274,E,,306.9,160214,,,A", "", ""}},
      {"course NaN",
       [&](Fix& f) { f.course = nan; },
       {"", "$GPRMC,123456.790,A,2838.87339,S,04006.42274,E,009.7,,160214,,,A", "", ""}},
      {"HDOP 1e30 is capped",
       [](Fix& f) { f.hdop.value = 1e30; },
       {"$GPGGA,123456.790,2838.87339,S,04006.42274,E,1,9,99.9,123.5,M,,M,,", "", "$GPGSA,A,3," + gsaList + ",99.9,1.3",
        ""}},
      {"VDOP negative", [](Fix& f) { f.vdop.value = -1; }, {"", "", "$GPGSA,A,3," + gsaList + ",0.9,", ""}},
      {"HDOP NaN",
       [&](Fix& f) { f.hdop.value = nan; },
       {"$GPGGA,123456.790,2838.87339,S,04006.42274,E,1,9,,123.5,M,,M,,", "", "$GPGSA,A,3," + gsaList + ",,1.3", ""}},
      {"error infinite", [&](Fix& f) { f.rms.value = -inf; }, {"", "", "", "$PORZD,A,"}},
  };
  for (const auto& c : cases) {
    Fix fix = base;
    c.change(fix);
    ASSERT_TRUE(writer.openConversionFile((dir / "rec.dat").string()));
    writer.writeSolution(fix);
    Lines expected = baseLines;
    for (size_t i = 0; i < expected.size(); ++i)
      if (!c.changed[i].empty()) expected[i] = c.changed[i];
    EXPECT_EQ(lines(), expected) << c.what;
  }
}

TEST_F(ConversionWriter, BinrGsvGroupsFourSatellitesPerSentenceWithNmeaNumbers) {
  BinrSatsInView& view = binr->satsInView;
  view.sat[0] = {1, 3, 45, 123, 40};    // GPS
  view.sat[1] = {2, 5, -3, 7, 0};       // GLONASS, below the horizon
  view.sat[2] = {4, 120, 30, 200, 38};  // SBAS
  view.sat[3] = {8, 11, 60, 359, 45};   // Galileo
  view.sat[4] = {1, 36, 5, 90, 20};     // GPS beyond 32
  view.satCount = 5;
  writer.writeSatellitesInView(binr->satsInView);
  EXPECT_EQ(lines(), (Lines{
                         "$GPGSV,2,1,5,03,45,123,40,69,-3,007,00,33,30,200,38,161,60,359,45",
                         "$GPGSV,2,2,5,36,05,090,20",
                     }));
}

TEST_F(ConversionWriter, Binr2GsvNumbersSbasAndGalileoAsBinrDoes) {
  Binr2SatsInView& view = binr2->satsInView;
  view.sat[0] = {2, 3, 455, 1234, 415};   // GPS
  view.sat[1] = {1, 5, 9, 3599, 0};       // GLONASS
  view.sat[2] = {3, 120, 300, 2000, 380};  // SBAS
  view.sat[3] = {0x0C, 11, 600, 10, 450};  // Galileo: the low three bits give the system
  view.satCount = 4;
  writer.writeSatellitesInView(binr2->satsInView);
  EXPECT_EQ(lines(), Lines{"$GPGSV,1,1,4,03,45,123,41,69,00,359,00,33,30,200,38,161,60,001,45"});
}

TEST_F(ConversionWriter, NoSatellitesInViewWritesNoGsv) {
  binr->satsInView.satCount = 0;
  writer.writeSatellitesInView(binr->satsInView);
  binr2->satsInView.satCount = 0;
  writer.writeSatellitesInView(binr2->satsInView);
  EXPECT_EQ(content(), "");
}

TEST_F(ConversionWriter, PorzdCarriesTheStatusAndPositionError) {
  nav().solutionStatus = 0x01;
  nav().rmsError = 2.26f;
  writer.writePorzd(binrFix());
  nav2().statusFlags1 = 0x00;
  nav2().errorComponent1 = 30;
  nav2().errorComponent2 = 40;
  writer.writePorzd(binr2Fix());
  EXPECT_EQ(lines(), (Lines{"$PORZD,A,2.3", "$PORZD,V,5.0"}));
}

TEST_F(ConversionWriter, AlverNamesTheDeviceAndItsVersion) {
  std::strcpy(binr->version.versionText, "ABCDE 01.02 build 7");
  writer.writeVersion(binr->version);
  std::memset(binr->version.versionText, 0, sizeof binr->version.versionText);
  std::strcpy(binr->version.versionText, "XY");  // too short for version digits
  writer.writeVersion(binr->version);
  std::strcpy(binr2->deviceId.deviceName, "NV08C");
  std::strcpy(binr2->deviceId.versionMajor, "03");
  std::strcpy(binr2->deviceId.versionMinor, "14");
  writer.writeVersion(binr2->deviceId);
  EXPECT_EQ(lines(), (Lines{"$ALVER,XRV,ABCDE,0102", "$ALVER,XRV,XY,", "$ALVER,XRV,NV08C,0314"}));
}

// Texts of a corrupted record: characters that would break the sentence are
// left out, and each text is at most as long as its place in the message.
TEST_F(ConversionWriter, AlverLeavesOutWhatWouldBreakTheSentence) {
  std::strcpy(binr->version.versionText, "A$B,C 0\n.1*");
  writer.writeVersion(binr->version);
  std::memset(binr2->deviceId.deviceName, 'N', sizeof binr2->deviceId.deviceName - 1);
  std::strcpy(binr2->deviceId.versionMajor, "1\r23456");
  std::strcpy(binr2->deviceId.versionMinor, "~7!89");
  writer.writeVersion(binr2->deviceId);
  EXPECT_EQ(lines(), (Lines{"$ALVER,XRV,ABC,01", "$ALVER,XRV,NNNNNN,127"}));
}

TEST_F(ConversionWriter, SolutionIsGgaRmcGsaAndPorzdOfOneFix) {
  nav().timeOfWeek = 45296789.6;
  nav().week = 756;
  nav().latitude = -0.5;
  nav().longitude = 0.7;
  nav().height = 123.46;
  nav().velocityNorth = 3;
  nav().velocityEast = -4;
  nav().rmsError = 2.26f;
  nav().solutionStatus = 0x09;
  binr->dop = {5, 4, 0.9f, 1.3f};
  binr->status.gpsUsedMask = 1u << 4;
  writer.writeSolution(binrFix());
  const std::string list = "5," + std::string(23, ',');
  EXPECT_EQ(lines(), (Lines{
                         "$GPGGA,123456.790,2838.87339,S,04006.42274,E,2,9,0.9,123.5,M,,M,,",
                         "$GPRMC,123456.790,A,2838.87339,S,04006.42274,E,009.7,306.9,160214,,,D",
                         "$GPGSA,A,3," + list + ",0.9,1.3",
                         "$PORZD,A,2.3",
                     }));
}

TEST_F(ConversionWriter, OneLineHasTheExactBytes) {
  nav().solutionStatus = 0x01;
  nav().rmsError = 2.2f;
  writer.writePorzd(binrFix());
  EXPECT_EQ(content(), "$PORZD,A,2.2*3C\r\n");
}

TEST_F(ConversionWriter, WritesOnlyWhileTheFileIsOpen) {
  nav().solutionStatus = 0x01;
  writer.closeConversionFile();
  writer.writePorzd(binrFix());  // produced, not written
  ASSERT_TRUE(writer.openConversionFile((dir / "rec.dat").string()));
  nav().rmsError = 1.5f;
  writer.writePorzd(binrFix());
  writer.closeConversionFile();
  writer.writePorzd(binrFix());
  EXPECT_EQ(lines(), Lines{"$PORZD,A,1.5"});
}

TEST(ConversionFileName, IsTheRawNameUpToItsFirstDotFollowedByNme) {
  const struct {
    const char* raw;
    const char* conversion;
  } cases[] = {
      {"rgfile_20140301_101500.dat", "rgfile_20140301_101500.nme"},
      {"ABCDE_c3.b2", "ABCDE_c3.nme"},
      {"a.b.dat", "a.nme"},
      {"../rec.v2/a.dat", "../rec.v2/a.nme"},  // dots of directories do not count
      {"noextension", "noextension.nme"},
  };
  for (const auto& c : cases) EXPECT_EQ(conversionFileName(c.raw), c.conversion) << c.raw;
}

TEST_F(ConversionWriter, OpeningReplacesAnOldConversionButNeverTheRawFile) {
  nav().solutionStatus = 0x01;
  writer.writePorzd(binrFix());
  ASSERT_TRUE(writer.openConversionFile((dir / "rec.dat").string()));  // starts empty again
  writer.writePorzd(binrFix());
  EXPECT_EQ(lines().size(), 1u);

  const fs::path raw = dir / "binary.nme";
  std::ofstream(raw, std::ios::binary) << "\x10\x88raw";
  EXPECT_FALSE(writer.openConversionFile(raw.string()));
  EXPECT_FALSE(writer.isOpen());
  EXPECT_EQ(readFile(raw), "\x10\x88raw");

  EXPECT_FALSE(writer.openConversionFile((dir / "missing" / "rec.dat").string()));
  writer.writePorzd(binrFix());  // nothing open: nothing happens
}

TEST_F(ConversionWriter, AWriteErrorStopsWritingWithoutCrashing) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  ASSERT_TRUE(writer.openOutput("/dev/full"));
  EXPECT_FALSE(writer.writeFailed());
  binr->satsInView.satCount = 64;
  for (int i = 0; i < 200 && writer.isOpen(); ++i) writer.writeSatellitesInView(binr->satsInView);
  writer.closeConversionFile();
  EXPECT_TRUE(writer.writeFailed());
  EXPECT_FALSE(writer.isOpen());
  writer.writeSatellitesInView(binr->satsInView);  // still harmless
  ASSERT_TRUE(writer.openConversionFile((dir / "rec.dat").string()));
  EXPECT_FALSE(writer.writeFailed());
}

// The fan-out writes the sentences of a navigation solution outside SYNC only.
TEST(ConversionFanOut, NavigationSolutionWritesFourSentencesOutsideSyncOnly) {
  const fs::path dir = fs::temp_directory_path() / ("veltrano-conversion-fanout-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  auto receiver = std::make_unique<Receiver>();
  NmeaConversionWriter writer;
  NoDisplay display;
  NoSynchronisation sync;
  TransportFields transport;
  transport.receiverProtocol = ReceiverProtocol::BINR;
  MessageFanOut fanOut(*receiver, transport, display, writer, sync);

  test::Bytes payload(69, 0);
  payload[68] = 0x01;
  const test::Bytes frame = test::binrFrame(0x88, payload);
  const auto play = [&](TransportState state) {
    transport.transportState = state;
    EXPECT_TRUE(writer.openConversionFile((dir / "rec.dat").string()));
    fanOut.handleBinr(frame.data(), frame.size());
    writer.closeConversionFile();
    return readFile(dir / "rec.nme");
  };
  EXPECT_EQ(play(TransportState::SYNC), "");
  const std::string content = play(TransportState::FF);
  const Lines written = checkedLines(content);
  ASSERT_EQ(written.size(), 4u);
  EXPECT_EQ(written[0].substr(0, 7), "$GPGGA,");
  EXPECT_EQ(written[1].substr(0, 7), "$GPRMC,");
  EXPECT_EQ(written[2].substr(0, 7), "$GPGSA,");
  EXPECT_EQ(written[3], "$PORZD,A,0.0");
  fs::remove_all(dir);
}

}  // namespace
}  // namespace veltrano
