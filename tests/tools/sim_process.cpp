#include "sim_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace veltrano::sim {

namespace {
long long nowMs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec * 1000LL + ts.tv_nsec / 1000000;
}
}  // namespace

ChildProcess::~ChildProcess() {
  if (pid > 0) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
  if (output >= 0) close(output);
}

bool ChildProcess::startProgram(const std::string& path, const std::vector<std::string>& args) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return false;
  std::vector<char*> argv;
  std::string program = path;
  argv.push_back(program.data());
  std::vector<std::string> copies = args;
  for (std::string& a : copies) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid = fork();
  if (pid == 0) {
    dup2(fds[1], STDOUT_FILENO);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  close(fds[1]);
  output = fds[0];
  return pid > 0;
}

bool SimProcess::start(const std::vector<std::string>& args) {
  return startProgram(SIM_PATH, args) && readLine(path, 10000) && !path.empty();
}

bool ChildProcess::readLine(std::string& line, int timeoutMs) {
  const long long deadline = nowMs() + timeoutMs;
  for (;;) {
    if (const size_t nl = pending.find('\n'); nl != std::string::npos) {
      line = pending.substr(0, nl);
      pending.erase(0, nl + 1);
      return true;
    }
    const long long left = deadline - nowMs();
    if (left <= 0) return false;
    pollfd p{output, POLLIN, 0};
    if (poll(&p, 1, int(left)) <= 0) continue;
    char buffer[256];
    const ssize_t n = read(output, buffer, sizeof buffer);
    if (n <= 0) return false;
    pending.append(buffer, size_t(n));
  }
}

void ChildProcess::sendSignal(int sig) const {
  if (pid > 0) kill(pid, sig);
}

bool ChildProcess::waitExit(int timeoutMs, int& status) {
  const long long deadline = nowMs() + timeoutMs;
  while (pid > 0) {
    const pid_t r = waitpid(pid, &status, WNOHANG);
    if (r == pid) {
      pid = -1;
      return true;
    }
    if (nowMs() > deadline) return false;
    usleep(10000);
  }
  return false;
}

bool runSimToCompletion(const std::vector<std::string>& args) {
  std::string command = SIM_PATH;
  for (const std::string& a : args) command += " '" + a + "'";
  command += " 2>/dev/null";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

int runSimForOutput(const std::vector<std::string>& args, std::string& output) {
  std::string command = SIM_PATH;
  for (const std::string& a : args) command += " '" + a + "'";
  command += " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return -1;
  char buffer[256];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
  const int status = pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

ScratchDir::ScratchDir() {
  char pattern[] = "/tmp/veltrano-sim-test-XXXXXX";
  if (const char* made = mkdtemp(pattern)) dir = made;
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  if (!dir.empty()) std::filesystem::remove_all(dir, ignored);
}

std::vector<uint8_t> readWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::string hexOf(const std::vector<uint8_t>& bytes) {
  std::string s;
  char b[4];
  for (size_t i = 0; i < bytes.size(); ++i) {
    std::snprintf(b, sizeof b, i ? " %02X" : "%02X", bytes[i]);
    s += b;
  }
  return s;
}

std::vector<std::vector<std::string>> readLogLines(const std::string& path) {
  std::vector<std::vector<std::string>> lines;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
      fields.push_back(line.substr(start, tab - start));
    fields.push_back(line.substr(start));
    lines.push_back(fields);
  }
  return lines;
}

}  // namespace veltrano::sim
