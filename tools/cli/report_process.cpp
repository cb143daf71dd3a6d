#include "report_process.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace veltrano {

int runReportProcess(int argc, char** argv) {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  std::string program = (self.parent_path() / "veltrano-cli-report").string();
  std::vector<char*> arguments{program.data()};
  arguments.insert(arguments.end(), argv, argv + argc);
  arguments.push_back(nullptr);
  ::execv(program.c_str(), arguments.data());
  std::fprintf(stderr, "veltrano-cli: cannot run %s: %s\n", program.c_str(), std::strerror(errno));
  return 1;
}

}  // namespace veltrano
