// Runs veltrano-cli convert on recordings made here and on the bundled samples,
// and reads the result back with veltrano-cli decode.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "../decoding/test_frames.h"
#include "cli_runner.h"

namespace veltrano {
namespace {

using test::Bytes;
using test::CliRun;
using test::readFile;

CliRun runCli(const std::string& arguments) { return test::runCli(arguments, true); }
namespace fs = std::filesystem;


std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t at = 0;
  for (size_t end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2) lines.push_back(text.substr(at, end - at));
  return lines;
}

std::string withChecksum(const std::string& body) {
  const std::string line = test::nmeaSentence(body);
  return line.substr(0, line.size() - 2);  // without CR LF
}

struct ConvertCli : ::testing::Test {
  fs::path dir = fs::temp_directory_path() /
                 ("veltrano-convert-test-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
  ConvertCli() { fs::create_directories(dir); }
  ~ConvertCli() override { fs::remove_all(dir); }

  std::string write(const std::string& name, const Bytes& bytes) {
    const fs::path path = dir / name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path.string();
  }

  // The NMEA decoder of the tool reads the conversion without a single error.
  static void expectDecodesCleanly(const std::string& path) {
    const CliRun run = runCli("decode --summary --protocol nmea " + path);
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.output.find("\"errors\":0"), std::string::npos) << run.output;
  }
};

void append(Bytes& to, const Bytes& more) { to.insert(to.end(), more.begin(), more.end()); }

// A version reply, a navigation solution with its DOP and status, and the
// satellites in view; each message is written when it arrives.
Bytes binrRecording() {
  Bytes version(76, 0);
  test::put(version, 1, "ABCDE 01.02", 11);
  Bytes dop(10, 0);
  dop[0] = 6;
  dop[1] = 3;
  const float hdop = 0.9f, vdop = 1.3f;
  test::put(dop, 2, &hdop, 4);
  test::put(dop, 6, &vdop, 4);
  Bytes status(16, 0);
  const uint32_t gpsMask = 0x11;
  test::put(status, 4, &gpsMask, 4);
  Bytes nav(69, 0);
  const double latitude = -0.5, longitude = 0.7, height = 123.46, timeOfWeek = 45296789.6, north = 3, east = -4;
  const float rms = 2.26f;
  test::put(nav, 0, &latitude, 8);
  test::put(nav, 8, &longitude, 8);
  test::put(nav, 16, &height, 8);
  test::put(nav, 24, &rms, 4);
  // The time of week is an 80-bit extended number: 64-bit mantissa with its
  // integer bit, then sign and exponent.
  int exponent = 0;
  const double mantissa = std::frexp(timeOfWeek, &exponent);
  const uint64_t bits = uint64_t(std::ldexp(mantissa, 64));
  const uint16_t signExponent = uint16_t(16383 + exponent - 1);
  test::put(nav, 28, &bits, 8);
  test::put(nav, 36, &signExponent, 2);
  const int16_t week = 756;
  test::put(nav, 38, &week, 2);
  test::put(nav, 40, &north, 8);
  test::put(nav, 48, &east, 8);
  nav[68] = 0x09;
  const Bytes sats{1, 3, 0, 45, 123, 0, 40, 8, 11, 0, 60, 103, 1, 45};  // GPS 3 and Galileo 11
  Bytes stream;
  append(stream, test::binrFrame(0x70, version));
  append(stream, test::binrFrame(0x60, dop));
  append(stream, test::binrFrame(0x93, status));
  append(stream, test::binrFrame(0x88, nav));
  append(stream, test::binrFrame(0x52, sats));
  return stream;
}

TEST_F(ConvertCli, BinrRecordingBesideItsFileWithEveryWriter) {
  const std::string input = write("rec_20140301_101500.dat", binrRecording());
  const CliRun run = runCli("convert " + input);
  ASSERT_EQ(run.status, 0) << run.output;
  const fs::path output = dir / "rec_20140301_101500.nme";
  const std::string content = readFile(output);
  const std::string gsaList = "1,5," + std::string(22, ',');
  const std::vector<std::string> expected = {
      withChecksum("ALVER,XRV,ABCDE,0102"),
      withChecksum("GPGGA,123456.790,2838.87339,S,04006.42274,E,2,9,0.9,123.5,M,,M,,"),
      withChecksum("GPRMC,123456.790,A,2838.87339,S,04006.42274,E,009.7,306.9,160214,,,D"),
      withChecksum("GPGSA,A,3," + gsaList + ",0.9,1.3"),
      withChecksum("PORZD,A,2.3"),
      withChecksum("GPGSV,1,1,2,03,45,123,40,161,60,359,45"),
  };
  EXPECT_EQ(splitLines(content), expected);
  expectDecodesCleanly(output.string());
}

TEST_F(ConvertCli, Binr2RecordingToANamedOutputWithTheProtocolGiven) {
  Bytes device(64, 0);
  test::put(device, 1, "NV08C", 5);
  test::put(device, 7, "03", 2);
  test::put(device, 10, "14", 2);
  Bytes nav(58, 0);
  const uint32_t timeOfWeek = 45296789;
  const int32_t latitude = 556789012, height = 15000;
  const int16_t geoid = 1500;
  test::put(nav, 0, &timeOfWeek, 4);
  test::put(nav, 15, &latitude, 4);
  test::put(nav, 23, &height, 4);
  test::put(nav, 27, &geoid, 2);
  nav[47] = 9;
  nav[50] = 0x01;
  nav[54] = 7;
  nav[55] = 5;
  Bytes sats(9, 0);
  sats[0] = 3;  // SBAS
  sats[1] = 120;
  Bytes stream = test::binr2Frame(0xC0, device);
  append(stream, test::binr2Frame(0x90, nav));
  append(stream, test::binr2Frame(0xA0, sats));
  const std::string input = write("capture.raw", stream);
  const std::string output = (dir / "out.txt").string();

  const CliRun run = runCli("convert --protocol binr2 " + input + " " + output);
  ASSERT_EQ(run.status, 0) << run.output;
  const std::vector<std::string> lines = splitLines(readFile(output));
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0], withChecksum("ALVER,XRV,NV08C,0314"));
  EXPECT_EQ(lines[1], withChecksum("GPGGA,123456.789,5540.73407,N,00000.00000,E,1,12,0.9,135.0,M,15.0,M,,"));
  EXPECT_EQ(lines[5], withChecksum("GPGSV,1,1,1,33,00,000,00"));
  EXPECT_FALSE(fs::exists(dir / "capture.nme"));
  expectDecodesCleanly(output);
}

TEST_F(ConvertCli, UnwritableOutputIsAnErrorWithStatusOne) {
  const std::string input = write("rec.dat", binrRecording());
  const struct {
    std::string output;
    const char* message;
  } cases[] = {
      {(dir / "missing" / "out.nme").string(), "cannot create"},
      {dir.string(), "cannot create"},  // a directory
      {input, "would replace the recording"},
  };
  for (const auto& c : cases) {
    const CliRun run = runCli("convert " + input + " " + c.output);
    EXPECT_EQ(run.status, 1) << c.output;
    EXPECT_NE(run.output.find(c.message), std::string::npos) << run.output;
    EXPECT_NE(run.output.find(c.output), std::string::npos) << run.output;
  }
  EXPECT_EQ(readFile(input).size(), binrRecording().size());  // the recording is untouched

  if (fs::exists("/dev/full")) {
    const CliRun full = runCli("convert --force " + input + " /dev/full");
    EXPECT_EQ(full.status, 1);
    EXPECT_NE(full.output.find("/dev/full"), std::string::npos) << full.output;
  }
}

// An existing file is never replaced unless asked: a bundled or earlier NMEA
// recording may share the conversion's name.
TEST_F(ConvertCli, ExistingOutputIsReplacedOnlyWithForce) {
  const std::string input = write("rec.dat", binrRecording());
  const std::string existing = write("rec.nme", {'$', 'G', 'P'});
  const CliRun refused = runCli("convert " + input);
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.output.find(existing + " exists"), std::string::npos) << refused.output;
  EXPECT_EQ(readFile(existing).size(), 3u);
  const CliRun forced = runCli("convert --force " + input);
  EXPECT_EQ(forced.status, 0) << forced.output;
  expectDecodesCleanly(existing);
}

TEST_F(ConvertCli, BadInputsAndArguments) {
  const std::string nmea = write("a.nme", {});
  const std::string unknown = write("a.bin", {});
  const struct {
    std::string arguments;
    int status;
  } cases[] = {
      {"convert " + (dir / "missing.dat").string(), 1},
      {"convert --protocol nmea " + nmea, 2},
      {"convert " + nmea, 2},
      {"convert " + unknown, 2},
      {"convert", 2},
      {"convert --bogus " + unknown, 2},
      {"convert a.dat b.nme c.nme", 2},
  };
  for (const auto& c : cases) EXPECT_EQ(runCli(c.arguments).status, c.status) << c.arguments;
  EXPECT_FALSE(fs::exists(dir / "missing.nme"));
}

// The bundled recordings, converted in a copy so that the samples stay as they are.
TEST_F(ConvertCli, BundledRecordingsConvertIntoCleanNmea) {
  for (const char* name : {"binr-static.dat", "binr2-static.b2"}) {
    const fs::path source = fs::path(VELTRANO_SAMPLES_DIR) / name;
    if (!fs::exists(source)) GTEST_SKIP() << "no " << source;
    fs::copy_file(source, dir / name, fs::copy_options::overwrite_existing);
    const CliRun run = runCli("convert " + (dir / name).string());
    ASSERT_EQ(run.status, 0) << run.output;
    const CliRun decoded =
        runCli("decode --summary --protocol nmea " + (dir / fs::path(name).replace_extension(".nme")).string());
    ASSERT_EQ(decoded.status, 0);
    EXPECT_NE(decoded.output.find("\"errors\":0"), std::string::npos) << decoded.output;
    EXPECT_NE(decoded.output.find("\"GGA\":"), std::string::npos) << decoded.output;
    EXPECT_NE(decoded.output.find("\"GPGSV\":"), std::string::npos) << decoded.output;
  }
}

}  // namespace
}  // namespace veltrano
