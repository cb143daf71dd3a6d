// Runs veltrano-cli decode on files made here and checks its JSON Lines.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "../decoding/test_frames.h"
#include "cli_runner.h"

namespace veltrano {
namespace {

using test::Bytes;
using test::CliRun;
using test::runCli;
namespace fs = std::filesystem;


struct DecodeCli : ::testing::Test {
  fs::path dir = fs::temp_directory_path() / ("veltrano-cli-test-" + std::to_string(::getpid()));
  DecodeCli() { fs::create_directories(dir); }
  ~DecodeCli() override { fs::remove_all(dir); }
  std::string write(const std::string& name, const Bytes& bytes) {
    const fs::path path = dir / name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path.string();
  }
  static Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }
};

size_t countContaining(const std::vector<std::string>& lines, const std::string& needle) {
  size_t n = 0;
  for (const auto& line : lines) n += line.find(needle) != std::string::npos;
  return n;
}

TEST_F(DecodeCli, ValidAndCorruptedNmeaInOrderWithErrors) {
  const std::string gga = test::nmeaSentence("GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
  const std::string rmc = test::nmeaSentence("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,,");
  std::string bad = gga;
  bad[10] = '9';  // breaks the checksum
  const std::string stream = gga + bad + "garbage\r\n" + rmc;
  const auto path = write("mixed.nme", text(stream));
  const CliRun run = runCli("decode " + path);
  ASSERT_EQ(run.status, 0);
  ASSERT_EQ(run.lines.size(), 4u);
  EXPECT_NE(run.lines[0].find("\"name\":\"GGA\""), std::string::npos);
  EXPECT_NE(run.lines[0].find("\"offset\":" + std::to_string(gga.size())), std::string::npos);
  EXPECT_NE(run.lines[0].find("\"fields\":[\"GPGGA\",\"123519\",\"4807.038\""), std::string::npos);
  EXPECT_NE(run.lines[1].find("\"type\":\"error\""), std::string::npos);
  EXPECT_NE(run.lines[2].find("\"name\":\"RMC\""), std::string::npos);
  EXPECT_NE(run.lines[3].find("\"type\":\"summary\""), std::string::npos);
  EXPECT_NE(run.lines[3].find("\"errors\":1"), std::string::npos);
  EXPECT_NE(run.lines[3].find("\"bytes\":" + std::to_string(stream.size())), std::string::npos);
}

TEST_F(DecodeCli, BinaryStreamsByExtensionWithDecodedFields) {
  Bytes nav(69, 0);
  const double lat = 55.5 * 3.141592653589793 / 180;
  test::put(nav, 0, &lat, 8);
  nav[38] = 0x10;  // week 16, stuffed on the wire
  nav[68] = 0x01;
  Bytes binr = test::binrFrame(0x88, nav);
  Bytes broken = test::binrFrame(0x60, Bytes(10, 1));
  broken[broken.size() - 3] ^= 0xFF;  // CRC high byte
  binr.insert(binr.end(), broken.begin(), broken.end());
  const Bytes more = test::binrFrame(0x52, Bytes(7, 2));
  binr.insert(binr.end(), more.begin(), more.end());

  Bytes device(64, 0);
  test::put(device, 1, "DEV01", 5);
  Bytes binr2 = test::binr2Frame(0xC0, device);
  const Bytes corrupt = [] {
    Bytes f = test::binr2Frame(0x90, Bytes(58, 0));
    f.back() ^= 1;
    return f;
  }();
  binr2.insert(binr2.end(), corrupt.begin(), corrupt.end());

  const CliRun run = runCli("decode " + write("a.dat", binr) + " " + write("b.b2", binr2));
  ASSERT_EQ(run.status, 0);
  ASSERT_EQ(run.lines.size(), 5u);
  EXPECT_NE(run.lines[0].find("\"id\":136"), std::string::npos);
  EXPECT_NE(run.lines[0].find("\"lat_deg\":55.5"), std::string::npos);
  EXPECT_NE(run.lines[0].find("\"week\":16"), std::string::npos);
  EXPECT_NE(run.lines[1].find("\"type\":\"error\""), std::string::npos);
  EXPECT_NE(run.lines[2].find("\"sats\":[{\"system\":2,\"number\":2"), std::string::npos);
  EXPECT_NE(run.lines[3].find("\"type\":\"binr2\""), std::string::npos);
  EXPECT_NE(run.lines[3].find("\"device\":\"DEV01\""), std::string::npos);
  EXPECT_NE(run.lines[4].find("\"errors\":1"), std::string::npos);  // BINR2 mismatches are not errors
  EXPECT_EQ(countContaining(run.lines, "\"type\":\"summary\""), 1u);
  EXPECT_NE(run.lines[4].find("\"0x88\":1"), std::string::npos);
}

TEST_F(DecodeCli, SummaryOnly) {
  const std::string gga = test::nmeaSentence("GPGGA,1");
  const CliRun run = runCli("decode --summary --protocol nmea " + write("x.txt", text(gga + gga)));
  ASSERT_EQ(run.status, 0);
  ASSERT_EQ(run.lines.size(), 1u);
  EXPECT_NE(run.lines[0].find("\"GGA\":2"), std::string::npos);
}

TEST_F(DecodeCli, BadInputsAndArguments) {
  struct Case {
    std::string arguments;
    int status;
  } cases[] = {
      {"decode " + (dir / "missing.nme").string(), 1},
      {"decode --protocol gps x.nme", 2},
      {"decode " + write("unknown.bin", {}), 2},
      {"decode --bogus", 2},
      {"frobnicate", 2},
  };
  for (const auto& c : cases) EXPECT_EQ(runCli(c.arguments).status, c.status) << c.arguments;
}

}  // namespace
}  // namespace veltrano

namespace veltrano {
namespace {

using test::CliRun;
using test::runCli;

TEST(DecodeCliSamples, BundledRecordingsDecodeWithoutErrors) {
  for (const char* name : {"nmea-static.nme", "binr-static.dat", "binr2-static.b2"}) {
    const std::string path = std::string(VELTRANO_SAMPLES_DIR) + "/" + name;
    const CliRun run = runCli("decode --summary " + path);
    ASSERT_EQ(run.status, 0) << name;
    ASSERT_EQ(run.lines.size(), 1u) << name;
    EXPECT_NE(run.lines[0].find("\"errors\":0"), std::string::npos) << run.lines[0];
    EXPECT_EQ(run.lines[0].find("\"messages\":{}"), std::string::npos) << run.lines[0];
  }
}

// The whole output, byte for byte as the command wrote it when these SHA-256
// digests were taken: the bundled recordings, the real logs, and NMEA texts
// that need every kind of escape, fill a field slot or run past it. A change
// here changes what every reader of the JSON gets; make it on purpose only.
TEST_F(DecodeCli, OutputAsRecorded) {
  std::string awkward;
  for (int c = 1; c < 256; ++c) {
    if (c == '$' || c == '*' || c == ',' || c == '\n') continue;
    awkward += "$GPTXT,a" + std::string(1, char(c)) + "b," + std::string(size_t(c % 23), char('A' + c % 26)) + "\r\n";
  }
  awkward += "$GPTXT,\"quoted\",back\\slash,tab\there,1234567890123456789,12345678901234567890\r\n";
  // Satellites in view with numbers of every length and sign.
  Bytes sats;
  for (const auto [number, elevation, azimuth, snr] :
       {std::array<int, 4>{1, -3, 0, 0}, {9, -90, 9, 9}, {10, 0, 10, 10}, {99, 9, 99, 99}, {100, 10, 100, 100},
        {255, 90, 999, 255}, {7, 127, 1000, 1}, {8, -128, 65535, 0}})
    sats.insert(sats.end(), {1, uint8_t(number), 0, uint8_t(elevation), uint8_t(azimuth & 0xFF),
                             uint8_t(azimuth >> 8), uint8_t(snr)});
  const std::string samples = VELTRANO_SAMPLES_DIR;
  const std::string logs = std::string(VELTRANO_SAMPLES_DIR) + "/../tests/data/nmea/";
  const struct {
    std::string arguments;
    const char* sha256;
  } cases[] = {
      {samples + "/nmea-static.nme", "d5bf52e43be8b5cc9566d65f1b46cc2581a3ed225592ea681deddf2380b4a7eb"},
      {samples + "/binr-static.dat", "3cfec929a48f9dfa18c7a270a6bce6a6d94bead4871f8055c449e9eb05eba2b5"},
      {samples + "/binr2-static.b2", "4b47d1ec125c3314ad59c790d32880d43304342b3168ee8a1a44b9b650703552"},
      {"--protocol nmea " + logs + "firefly-II.log " + logs + "mtk-3301.log " + logs + "telit-pls83-w-excerpt.log",
       "70920d2745f078c677cbbd8d1dddc5648e28d9d51c617c2c26e2085755bc3e9a"},
      {write("awkward.nme", text(awkward)), "baff13efb502fa060b63df0df5df09f9fe5188bc6f61b0cbf20d54f9c711cb6d"},
      {write("sats.dat", test::binrFrame(0x52, sats)), "788ca4c9ce38439a626e05af3afbc89f37d493e763d45759fe6a3f80b6abae98"},
      // Characters to escape beyond the sixteenth of a field.
      {"--protocol nmea " + write("tail.nme", text("$GPTXT,0123456789abcdef\"x,0123456789abcdefg\\\\,"
                                                   "0123456789abcdefgh\t,0123456789abcdefghi\x01,"
                                                   "0123456789abcde\x7f,0123456789abcdefghij\"\r\n")),
       "158ba591d6ea88e613fbe33a99bf6acd4ec7e31f5e25ca998d03a9edfababff0"},
  };
  for (const auto& c : cases) {
    const CliRun run = test::runCommand(std::string(VELTRANO_CLI_PATH) + " decode " + c.arguments + " | sha256sum");
    EXPECT_EQ(run.output.substr(0, 64), c.sha256) << c.arguments;
  }
}

}  // namespace
}  // namespace veltrano
