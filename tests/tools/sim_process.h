#pragma once
// veltrano-sim, or another program, started as a child process with its standard
// output on a pipe.
#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace veltrano::sim {

class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Starts `program` with `args`; its standard error stays the test's.
  bool startProgram(const std::string& program, const std::vector<std::string>& args);

  // The next line of its standard output, waiting at most timeoutMs.
  bool readLine(std::string& line, int timeoutMs);

  void sendSignal(int sig) const;
  // Waits at most timeoutMs for the exit; true with the wait status.
  bool waitExit(int timeoutMs, int& status);

 private:
  pid_t pid = -1;
  int output = -1;
  std::string pending;
};

class SimProcess : public ChildProcess {
 public:
  // Starts the simulator with `args` and reads the terminal path (or the TCP
  // address, "tcp://HOST:PORT") it prints.
  bool start(const std::vector<std::string>& args);
  const std::string& terminalPath() const { return path; }

 private:
  std::string path;
};

// Runs the simulator to completion (for --write); true when it exited with 0.
bool runSimToCompletion(const std::vector<std::string>& args);
// Runs the simulator to completion with its standard output and error in
// `output`; its exit status, -1 when it did not exit by itself.
int runSimForOutput(const std::vector<std::string>& args, std::string& output);

// A fresh directory for one test's files, removed with everything in it at the end.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::string& path() const { return dir; }
  std::string file(const std::string& name) const { return dir + "/" + name; }

 private:
  std::string dir;
};

std::vector<uint8_t> readWholeFile(const std::string& path);

// Bytes as the simulator's command log writes them: "01 0A FF".
std::string hexOf(const std::vector<uint8_t>& bytes);

// The simulator's command log (--log), each line split at its tabs.
std::vector<std::vector<std::string>> readLogLines(const std::string& path);

}  // namespace veltrano::sim
