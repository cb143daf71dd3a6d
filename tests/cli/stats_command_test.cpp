// Runs veltrano-cli stats on recordings made here and checks its figures.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "../decoding/test_frames.h"
#include "cli_runner.h"
#include "util/formatters.h"

namespace veltrano {
namespace {

using test::Bytes;
using test::CliRun;
using test::runCli;
using test::jsonNumber;
using test::jsonText;
namespace fs = std::filesystem;




std::string gga(const char* quality, const char* hdop, const char* height) {
  return test::nmeaSentence(std::string("GPGGA,123519,4807.038,N,01131.000,E,") + quality + ",08," + hdop + "," +
                            height + ",M,46.9,M,,");
}

struct StatsCli : ::testing::Test {
  fs::path dir = fs::temp_directory_path() / ("veltrano-stats-test-" + std::to_string(::getpid()));
  StatsCli() { fs::create_directories(dir); }
  ~StatsCli() override { fs::remove_all(dir); }
  std::string write(const std::string& name, const std::string& bytes) {
    const fs::path path = dir / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
  }
  std::string write(const std::string& name, const Bytes& bytes) {
    return write(name, std::string(bytes.begin(), bytes.end()));
  }

  // A 3D GSA with VDOP 2.1, then four GGA fixes at one place, of the
  // qualities 1, 2, 6 and 0, HDOP 1.2 and 0.8, heights 100 and 110; the RMC
  // with 10 knots comes last and so never counts.
  std::string nmeaRecording() {
    return write("fixes.nme", test::nmeaSentence("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1") +
                                  gga("1", "1.2", "100.0") + gga("2", "0.8", "110.0") + gga("6", "0.8", "110.0") +
                                  gga("0", "0.8", "110.0") +
                                  test::nmeaSentence("GPRMC,123519,A,4807.038,N,01131.000,E,010.0,084.4,230394,,"));
  }
};

TEST_F(StatsCli, JsonFiguresOfAnNmeaRecording) {
  const CliRun run = runCli("stats --json " + nmeaRecording());
  ASSERT_EQ(run.status, 0);
  // Accepted: quality 1 and 2; quality 6 falls to OBS, quality 0 is invalid.
  EXPECT_EQ(jsonNumber(run.output, "n"), 2);
  EXPECT_EQ(jsonNumber(run.output, "nall"), 4);
  EXPECT_EQ(jsonNumber(run.output, "nanom"), 0);
  EXPECT_NEAR(jsonNumber(run.output, "mean_lat_deg"), 48 + 7.038 / 60, 1e-9);
  EXPECT_NEAR(jsonNumber(run.output, "mean_lon_deg"), 11 + 31.0 / 60, 1e-9);
  EXPECT_NEAR(jsonNumber(run.output, "mean_height_m"), 105, 1e-9);
  EXPECT_NEAR(jsonNumber(run.output, "rms2d_m"), 0, 1e-9);
  EXPECT_NEAR(jsonNumber(run.output, "rmsh_m"), std::sqrt(25.0 / 2), 1e-9);
  EXPECT_EQ(jsonNumber(run.output, "rmsv"), 0);  // the RMC comes after the fixes
  EXPECT_EQ(jsonText(run.output, "lat_text"), "48\\u00b0 7.03800N");
  EXPECT_EQ(jsonText(run.output, "lon_text"), "011\\u00b031.00000E");
  EXPECT_EQ(jsonText(run.output, "height_text"), "+0105.00");
  EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << "one JSON object";
}

TEST_F(StatsCli, OptionsAreTheWindowsControls) {
  const std::string file = nmeaRecording();
  struct Case {
    const char* options;
    int n;
  } cases[] = {
      {"", 2},
      {"--max-hdop 1.2", 1},  // the HDOP 1.2 held in single precision is above 1.2
      {"--max-hdop 1.3", 2},
      {"--max-hdop 0.0", 2},
      {"--max-hdop 0", 2},    // the same as 0.0: no limit
      {"--max-vdop 2.0", 0},
      {"--max-vdop 2.1", 2},
      {"--diff", 1},
      {"--no-obs", 3},
      {"--no-obs --diff", 1},
      {"--3d", 2},  // the GSA says 3D
  };
  for (const Case& c : cases) {
    const CliRun run = runCli(std::string("stats --json ") + c.options + " " + file);
    ASSERT_EQ(run.status, 0) << c.options;
    EXPECT_EQ(jsonNumber(run.output, "n"), c.n) << c.options;
    EXPECT_EQ(jsonNumber(run.output, "nall"), 4) << c.options;
  }
  const std::string twoD =
      write("2d.nme", test::nmeaSentence("GPGSA,A,2,04,05,,,,,,,,,,,2.5,1.3,2.1") + gga("1", "1.0", "1.0"));
  EXPECT_EQ(jsonNumber(runCli("stats --json " + twoD).output, "n"), 1);
  EXPECT_EQ(jsonNumber(runCli("stats --json --3d " + twoD).output, "n"), 0);
}

TEST_F(StatsCli, PositionSourceChoosesTheSentence) {
  // RMC, GGA, RMC: Auto takes the first RMC while no GGA has come, then only
  // GGA; GGA only the GGA; RMC both RMC sentences; GNS nothing.
  const std::string file =
      write("sources.nme", test::nmeaSentence("GPRMC,1,A,1030.000,S,12015.000,W,0.0,0.0,230394,,") +
                               gga("1", "1.0", "50.0") +
                               test::nmeaSentence("GPRMC,2,A,1030.000,S,12015.000,W,0.0,0.0,230394,,"));
  const double ggaLat = 48 + 7.038 / 60, rmcLat = -(10 + 30.0 / 60);
  struct Case {
    const char* source;
    int nall;
    double lat;
  } cases[] = {{"auto", 2, (ggaLat + rmcLat) / 2}, {"gga", 1, ggaLat}, {"rmc", 2, rmcLat}, {"gns", 0, 0}};
  for (const Case& c : cases) {
    const CliRun run = runCli(std::string("stats --json --source ") + c.source + " " + file);
    ASSERT_EQ(run.status, 0) << c.source;
    EXPECT_EQ(jsonNumber(run.output, "nall"), c.nall) << c.source;
    EXPECT_NEAR(jsonNumber(run.output, "mean_lat_deg"), c.lat, 1e-9) << c.source;
  }
}

TEST_F(StatsCli, BinaryRecordingsCountAnomalies) {
  // BINR: status 0x93 with the anomaly bit, then a valid and an invalid solution.
  Bytes status(16);
  status[0] = 0x80;  // statusFlags1: anomaly
  Bytes nav(69);
  const double lat = 0.97, lon = 0.66, height = 150;
  test::put(nav, 0, &lat, 8);
  test::put(nav, 8, &lon, 8);
  test::put(nav, 16, &height, 8);
  nav[68] = 0x01;
  Bytes binr = test::binrFrame(0x93, status);
  for (uint8_t s : {0x01, 0x00}) {
    nav[68] = s;
    const Bytes frame = test::binrFrame(0x88, nav);
    binr.insert(binr.end(), frame.begin(), frame.end());
  }
  // BINR2: one valid solution, one anomalous and invalid.
  Bytes b2;
  for (uint8_t flags : {0x01, 0x80}) {
    Bytes payload(58);
    const int32_t lat7 = 557520000;
    test::put(payload, 15, &lat7, 4);
    payload[50] = flags;
    const Bytes frame = test::binr2Frame(0x90, payload);
    b2.insert(b2.end(), frame.begin(), frame.end());
  }
  struct Case {
    std::string file;
    int n, nall, nanom;
    double lat;
  } cases[] = {{write("run.dat", binr), 1, 2, 2, lat * 180 / kPi}, {write("run.b2", b2), 1, 2, 1, 55.752}};
  for (const Case& c : cases) {
    const CliRun run = runCli("stats --json " + c.file);  // the protocol from the extension
    ASSERT_EQ(run.status, 0) << c.file;
    EXPECT_EQ(jsonNumber(run.output, "n"), c.n) << c.file;
    EXPECT_EQ(jsonNumber(run.output, "nall"), c.nall) << c.file;
    EXPECT_EQ(jsonNumber(run.output, "nanom"), c.nanom) << c.file;
    EXPECT_NEAR(jsonNumber(run.output, "mean_lat_deg"), c.lat, 1e-9) << c.file;
  }
}

TEST_F(StatsCli, TextOutputNamesEveryFigure) {
  const CliRun run = runCli("stats --protocol nmea " + nmeaRecording());
  ASSERT_EQ(run.status, 0);
  for (const char* line : {"N: 2\n", "Nall: 4\n", "Nanom: 0\n",
                           "mean latitude: 48.117300000 deg  48\xC2\xB0 7.03800N\n",  // UTF-8 degree sign
                           "mean longitude: 11.516666667 deg  011\xC2\xB0" "31.00000E\n",
                           "mean height: 105.000 m  +0105.00\n", "rms2D: 0.000 m\n", "rmsH: 3.536 m\n",
                           "rmsV: 0.000 m/s\n"})
    EXPECT_NE(run.output.find(line), std::string::npos) << line << "in\n" << run.output;
}

TEST_F(StatsCli, ExitStatusOfBadInput) {
  const std::string file = nmeaRecording();
  EXPECT_EQ(runCli("stats " + (dir / "missing.nme").string()).status, 1);
  for (const char* args : {"--max-hdop 12", "--max-hdop 1.25", "--max-vdop x", "--source gsv", "--protocol sirf",
                           "--frobnicate", "--max-hdop"}) {
    EXPECT_EQ(runCli(std::string("stats ") + args + " " + file).status, 2) << args;
  }
  EXPECT_EQ(runCli("stats " + write("noextension", std::string("x"))).status, 2);
}

}  // namespace
}  // namespace veltrano
