// Every command that writes standard output fails with status 1 and one
// message naming it when the output cannot take what is written, and is silent
// with status 0 when it can.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "cli_runner.h"

namespace veltrano {
namespace {

namespace fs = std::filesystem;
using test::CliRun;
using test::runCliInto;

const std::string kNoSpace = "veltrano-cli: cannot write standard output: No space left on device\n";

struct Case {
  const char* what;
  std::string arguments;
};

std::string sample(const char* name) { return std::string(VELTRANO_SAMPLES_DIR) + "/" + name; }

// The decode cases fail at the last flush (a few lines) and in the middle of
// the output (a whole recording is megabytes of JSON).
const Case kCases[] = {
    {"decode of a recording", "decode " + sample("nmea-static.nme")},
    {"decode of a binary recording", "decode " + sample("binr-static.dat")},
    {"decode summary", "decode --summary " + sample("binr2-static.b2")},
    {"stats as text", "stats " + sample("nmea-static.nme")},
    {"stats as JSON", "stats --json " + sample("binr-static.dat")},
    {"export as KML", "export --format kml " + sample("binr2-static.b2")},
    {"export as CSV", "export --format csv " + sample("nmea-static.nme")},
    {"export's help", "export --help"},
    {"the tool's help", "--help"},
    {"decode's help", "decode --help"},
    {"stats' help", "stats --help"},
    {"convert's help", "convert --help"},
    {"sync's help", "sync --help"},
    {"record's help", "record --help"},
    {"send's help", "send --help"},
    {"send's bytes", "send --hex --protocol binr restart warm"},
};

TEST(CliOutputErrors, AFullStandardOutputIsStatusOneWithAMessage) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  for (const Case& c : kCases) {
    const CliRun run = runCliInto(c.arguments, "/dev/full");
    EXPECT_EQ(run.status, 1) << c.what;
    EXPECT_EQ(run.output, kNoSpace) << c.what;
  }
}

TEST(CliOutputErrors, AWritableStandardOutputIsStatusZeroWithoutAMessage) {
  for (const Case& c : kCases) {
    const CliRun run = runCliInto(c.arguments, "/dev/null");
    EXPECT_EQ(run.status, 0) << c.what;
    EXPECT_EQ(run.output, "") << c.what;
  }
}

}  // namespace
}  // namespace veltrano
