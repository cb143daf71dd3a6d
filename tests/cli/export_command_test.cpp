// veltrano-cli export of solutions that are no place on the globe: they are
// left out and counted on standard error, the others written.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>

#include "binr_solutions.h"
#include "cli_runner.h"

namespace veltrano {
namespace {

namespace fs = std::filesystem;

TEST(ExportCli, PositionsOffTheGlobeAreLeftOutAndCounted) {
  const fs::path dir = fs::temp_directory_path() / ("veltrano-export-test-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const double nan = std::nan("");
  // A latitude of 2 radians lies beyond the pole; a longitude of 4 beyond 180 degrees.
  const std::string file = test::writeBinrSolutions(
      dir / "off.dat",
      {{3, 4, 101}, {nan, 0, 0}, {2 * kMeridianNumerator, 0, 0}, {0, 4 * kSemiMajorAxis, 0}, {6, 8, 98}});
  for (const char* format : {"csv", "gpx", "kml", "geojson"}) {
    SCOPED_TRACE(format);
    const test::CliRun run = test::runCli(std::string("export --format ") + format + " " + file, true);
    ASSERT_EQ(run.status, 0);
    EXPECT_NE(run.output.find("veltrano-cli: 3 solutions with no position on the globe left out\n"), std::string::npos)
        << run.output;
    EXPECT_EQ(run.output.find("nan"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("98.000"), std::string::npos) << "the solution after them";
  }
  const test::CliRun csv = test::runCli("export --format csv " + file);
  EXPECT_EQ(std::count(csv.output.begin(), csv.output.end(), '\n'), 3) << csv.output;
  fs::remove_all(dir);
}

}  // namespace
}  // namespace veltrano
