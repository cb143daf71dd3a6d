// process_timer: runs a command several times with its standard output thrown
// away and prints the median CPU time (user and system, all its threads) and
// the median wall-clock time of the runs, in seconds. One more run before them
// is not counted: it brings the input into the page cache.
//
// usage: process_timer RUNS COMMAND [ARGUMENT...]
// Exits 1 when a run does not end with status 0, 2 on bad arguments.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct Times {
  double cpu = 0, wall = 0;
};

double seconds(const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) * 1e-6; }

bool runOnce(char** command, Times& times) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    const int null = open("/dev/null", O_WRONLY);
    if (null < 0 || dup2(null, STDOUT_FILENO) < 0) _exit(126);
    execvp(command[0], command);
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) != child) return false;
  times.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  times.cpu = seconds(usage.ru_utime) + seconds(usage.ru_stime);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc >= 3 ? std::atoi(argv[1]) : 0;
  if (runs < 1) {
    std::fputs("usage: process_timer RUNS COMMAND [ARGUMENT...]\n", stderr);
    return 2;
  }
  std::vector<double> cpu, wall;
  for (int run = 0; run <= runs; ++run) {
    Times times;
    if (!runOnce(argv + 2, times)) {
      std::fprintf(stderr, "process_timer: %s failed\n", argv[2]);
      return 1;
    }
    if (run == 0) continue;
    cpu.push_back(times.cpu);
    wall.push_back(times.wall);
  }
  std::printf("%.6f %.6f\n", median(cpu), median(wall));
  return 0;
}
