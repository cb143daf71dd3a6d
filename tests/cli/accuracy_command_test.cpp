// veltrano-cli stats' accuracy figures: a hand-checked set of BINR solutions
// about a reference and about the mean, with ties, a single solution and none,
// and a long simulated run whose noise is known.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "binr_solutions.h"
#include "cli_runner.h"

namespace veltrano {
namespace {

using test::CliRun;
using test::jsonNumber;
using test::runCli;
using test::Solution;
namespace fs = std::filesystem;

struct Figures {
  double cep50, cep95, drms2, v50, v95, hmax;
};

const char* const kKeys[] = {"cep50_m", "cep95_m", "drms2_m", "v50_m", "v95_m", "hmax_m"};

void expectFigures(const std::string& json, const Figures& expected, double tolerance) {
  const double values[] = {expected.cep50, expected.cep95, expected.drms2, expected.v50, expected.v95, expected.hmax};
  for (size_t i = 0; i < std::size(kKeys); ++i)
    EXPECT_NEAR(jsonNumber(json, kKeys[i]), values[i], tolerance) << kKeys[i];
}

struct AccuracyCli : ::testing::Test {
  fs::path dir = fs::temp_directory_path() / ("veltrano-accuracy-test-" + std::to_string(::getpid()));
  AccuracyCli() { fs::create_directories(dir); }
  ~AccuracyCli() override { fs::remove_all(dir); }
  std::string write(const std::string& name, const std::vector<Solution>& solutions) {
    return test::writeBinrSolutions(dir / name, solutions);
  }
};

// Distances 1 2 2 3 5 5 5 7 10 12 from the reference, vertical errors
// 1 2 3 4 0.5 2 1 6 3 10, and one invalid solution far away that the filter
// rejects.
const std::vector<Solution> kTenSolutions = {
    {1, 0, 101}, {0, 2, 98},  {0, -2, 103},          {3, 0, 96}, {3, 4, 100.5}, {-4, 3, 102},
    {0, -5, 99}, {7, 0, 106}, {500, 500, 400, 0x00}, {6, 8, 97}, {0, 12, 110},
};
const Figures kTenFigures{5, 12, 2 * std::sqrt(386.0 / 10), 2, 10, 12};

TEST_F(AccuracyCli, HandCheckedSetAboutTheReference) {
  const std::string file = write("ten.dat", kTenSolutions);
  const CliRun run = runCli("stats --json --ref 0,0,100 " + file);
  ASSERT_EQ(run.status, 0);
  EXPECT_EQ(jsonNumber(run.output, "n"), 10);
  expectFigures(run.output, kTenFigures, 1e-6);
  // Standard input is played as often as the figures need it.
  const CliRun piped =
      test::runCommand("cat " + file + " | " + VELTRANO_CLI_PATH + " stats --protocol binr --json --ref 0,0,100");
  ASSERT_EQ(piped.status, 0);
  expectFigures(piped.output, kTenFigures, 1e-6);
}

TEST_F(AccuracyCli, TextNamesTheFiguresAndTheirCentre) {
  const CliRun run = runCli("stats --ref 0,0,100 " + write("ten.dat", kTenSolutions));
  ASSERT_EQ(run.status, 0);
  for (const char* line :
       {"errors about: 0.000000000 deg, 0.000000000 deg, 100.000 m\n", "CEP50: 5.000 m\n", "CEP95: 12.000 m\n",
        "2DRMS: 12.426 m\n", "V50: 2.000 m\n", "V95: 10.000 m\n", "Hmax: 12.000 m\n"})
    EXPECT_NE(run.output.find(line), std::string::npos) << line << "in\n" << run.output;
  const CliRun mean = runCli("stats " + write("one.dat", {{6, 8, 102}}));
  EXPECT_NE(mean.output.find("errors about: the mean position\n"), std::string::npos) << mean.output;
}

TEST_F(AccuracyCli, CentresSingleSolutionsAndNone) {
  // Four corners of a 6 by 8 m rectangle: every distance from the mean is 5 m.
  const std::vector<Solution> corners = {{3, 4, 10}, {-3, 4, 20}, {3, -4, 30}, {-3, -4, 40}};
  const struct {
    const char* what;
    std::vector<Solution> solutions;
    const char* options;
    Figures expected;
  } cases[] = {
      {"corners about the mean", corners, "", {5, 5, 10, 5, 15, 5}},
      {"corners about their centre at 10 m", corners, "--ref 0,0,10", {5, 5, 10, 10, 30, 5}},
      {"one solution about the mean", {{6, 8, 102}}, "", {0, 0, 0, 0, 0, 0}},
      {"one solution about the reference", {{6, 8, 102}}, "--ref 0,0,100", {10, 10, 20, 2, 2, 10}},
      {"none accepted", {{6, 8, 102, 0x00}}, "--ref 0,0,100", {0, 0, 0, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const CliRun run = runCli(std::string("stats --json ") + c.options + " " + write("case.dat", c.solutions));
    ASSERT_EQ(run.status, 0);
    expectFigures(run.output, c.expected, 1e-6);
  }
}

// A solution of NaNs is infinitely far from the reference: the percentiles
// it decides and the largest error are null in JSON, the others stay.
TEST_F(AccuracyCli, ASolutionOfNaNsLiesBeyondEveryOther) {
  const double nan = std::nan("");
  const CliRun run =
      runCli("stats --json --ref 0,0,100 " + write("nan.dat", {{3, 4, 101}, {nan, nan, nan}, {6, 8, 98}}));
  ASSERT_EQ(run.status, 0);
  EXPECT_NEAR(jsonNumber(run.output, "cep50_m"), 10, 1e-6);  // rank 2 of 5, 10, infinity
  EXPECT_NEAR(jsonNumber(run.output, "v50_m"), 2, 1e-6);
  for (const char* key : {"cep95_m", "drms2_m", "v95_m", "hmax_m"})
    EXPECT_NE(run.output.find(std::string("\"") + key + "\":null"), std::string::npos) << key << " in " << run.output;
}

TEST_F(AccuracyCli, ABadReferenceIsABadArgument) {
  const std::string file = write("one.dat", {{6, 8, 102}});
  for (const char* ref : {"1,2", "91,0,0", "0,181,0", "0,0,x", "0,0,0,0", "nan,0,0"})
    EXPECT_EQ(runCli(std::string("stats --ref ") + ref + " " + file).status, 2) << ref;
}

// A simulated receiver at the equator (where the plot's plane has the
// ellipsoid's radii) with white noise of 2 m on each horizontal axis and 3 m
// vertically: the figures of a normal distribution, to the sampling error of
// 36000 solutions (below 1 %, checked to 3 %).
TEST_F(AccuracyCli, LongSimulatedRunHasTheFiguresOfItsNoise) {
  const fs::path run = dir / "noise.dat";
  const std::string simulate = std::string(SIM_PATH) +
                               " --protocol binr --rate 10 --duration 3600 --noise 2,3 --lat 0 --lon 37.5"
                               " --height 0 --seed 11 --write " +
                               run.string();
  ASSERT_EQ(test::runCommand(simulate).status, 0);
  const double sh = 2, sv = 3;
  // Rayleigh: CEP50 = 1.1774 s, CEP95 = 2.4477 s, 2DRMS = 2 sqrt(2) s;
  // |normal|: 0.6745 s and 1.9600 s.
  const Figures expected{1.17741 * sh, 2.44775 * sh, 2 * std::sqrt(2.0) * sh, 0.67449 * sv, 1.95996 * sv, 0};
  for (const char* centre : {"", "--ref 0,37.5,0"}) {
    SCOPED_TRACE(centre);
    const CliRun stats = runCli(std::string("stats --json ") + centre + " " + run.string());
    ASSERT_EQ(stats.status, 0);
    EXPECT_EQ(jsonNumber(stats.output, "n"), 36000);
    const double values[] = {expected.cep50, expected.cep95, expected.drms2, expected.v50, expected.v95};
    for (size_t i = 0; i < std::size(values); ++i)
      EXPECT_NEAR(jsonNumber(stats.output, kKeys[i]) / values[i], 1, 0.03) << kKeys[i];
    // The largest of 36000 Rayleigh distances lies near s sqrt(2 ln n) = 9.2 m.
    EXPECT_GT(jsonNumber(stats.output, "hmax_m"), 7.5);
    EXPECT_LT(jsonNumber(stats.output, "hmax_m"), 13);
    // About the mean, 2DRMS is twice the window's rms2D.
    if (*centre == '\0') {
      EXPECT_NEAR(jsonNumber(stats.output, "drms2_m"), 2 * jsonNumber(stats.output, "rms2d_m"), 0.01);
    }
  }
}

}  // namespace
}  // namespace veltrano
