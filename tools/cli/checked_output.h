#pragma once
// One output of the command-line tool, standard output as a rule, whose every
// write is checked. stdio forgets why a write failed (a later flush of the
// emptied buffer even succeeds), so the reason of the first failure is kept
// here; later writes are dropped, and finish() reports the failure once on
// standard error, naming the output.
#include <cstdio>
#include <string_view>

namespace veltrano {

class CheckedOutput {
 public:
  CheckedOutput(std::FILE* stream, const char* name) : stream_(stream), name_(name) {}
  CheckedOutput(const CheckedOutput&) = delete;
  CheckedOutput& operator=(const CheckedOutput&) = delete;

  void write(std::string_view bytes);
  void print(const char* format, ...) __attribute__((format(printf, 2, 3)));
  // Flushes the stream. False when anything written was lost, after
  // "veltrano-cli: cannot write NAME: REASON" on standard error.
  bool finish();

 private:
  // Keeps the reason of the first failure of the call just made.
  void check();

  std::FILE* stream_;
  const char* name_;
  int error_ = 0;
  bool reported_ = false;
};

// Standard output as the tool names it in messages.
inline CheckedOutput standardOutput() { return CheckedOutput(stdout, "standard output"); }

// A usage text asked for with --help, on standard output: 0, or 1 when it could
// not be written.
int printHelp(const char* usage);
// Whether --help or -h stands anywhere among the arguments.
bool helpWanted(int argc, char** argv);

}  // namespace veltrano
