#include "checked_output.h"

#include <cerrno>
#include <cstdarg>
#include <cstring>

namespace veltrano {

void CheckedOutput::check() {
  if (error_ == 0 && std::ferror(stream_)) error_ = errno != 0 ? errno : EIO;
}

void CheckedOutput::write(std::string_view bytes) {
  if (error_ != 0 || bytes.empty()) return;
  errno = 0;
  std::fwrite(bytes.data(), 1, bytes.size(), stream_);
  check();
}

void CheckedOutput::print(const char* format, ...) {
  if (error_ != 0) return;
  va_list args;
  va_start(args, format);
  errno = 0;
  std::vfprintf(stream_, format, args);
  va_end(args);
  check();
}

bool CheckedOutput::finish() {
  if (error_ == 0) {
    errno = 0;
    std::fflush(stream_);
    check();
  }
  if (error_ == 0) return true;
  if (!reported_) std::fprintf(stderr, "veltrano-cli: cannot write %s: %s\n", name_, std::strerror(error_));
  reported_ = true;
  return false;
}

bool helpWanted(int argc, char** argv) {
  for (int i = 0; i < argc; ++i)
    if (std::string_view(argv[i]) == "--help" || std::string_view(argv[i]) == "-h") return true;
  return false;
}

int printHelp(const char* usage) {
  CheckedOutput out = standardOutput();
  out.write(usage);
  return out.finish() ? 0 : 1;
}

}  // namespace veltrano
