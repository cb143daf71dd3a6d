// veltrano-sim's answers to --help and to bad arguments: the usage on standard
// output with status 0, or on standard error after the reason with status 2; a
// standard output that cannot take the usage is status 1 with a message.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace {

struct SimRun {
  int status = -1;
  std::string output;
};

SimRun runSim(const std::string& arguments) {
  SimRun result;
  FILE* pipe = popen((std::string(SIM_PATH) + " " + arguments).c_str(), "r");
  if (!pipe) return result;
  char buffer[4096];
  while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) result.output.append(buffer, n);
  const int status = pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

TEST(SimUsage, AnswersOnTheRightStreamWithTheRightStatus) {
  const struct {
    const char* arguments;  // with the redirections: what reaches the pipe is checked
    int status;
    const char* outputStart;
  } cases[] = {
      {"--help 2>/dev/null", 0, "usage: veltrano-sim [options]\n"},
      {"-h 2>&1 >/dev/null", 0, ""},
      {"--bogus 2>&1 >/dev/null", 2, "veltrano-sim: unknown or incomplete option: --bogus\nusage: veltrano-sim"},
      {"--rate 50 2>/dev/null", 2, ""},
      {"--help 2>&1 >/dev/full", 1, "veltrano-sim: cannot write standard output: No space left on device\n"},
  };
  for (const auto& c : cases) {
    const SimRun result = runSim(c.arguments);
    const std::string expected = c.outputStart;
    EXPECT_EQ(result.status, c.status) << c.arguments;
    if (expected.empty()) {
      EXPECT_EQ(result.output, "") << c.arguments;
    } else {
      EXPECT_EQ(result.output.substr(0, expected.size()), expected) << c.arguments;
    }
  }
}

}  // namespace
