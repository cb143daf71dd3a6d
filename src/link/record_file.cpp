#include "link/record_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace veltrano {

bool RecordFile::create(const std::string& name) {
  close();
  name_ = name;
  return open(O_WRONLY | O_CREAT | O_EXCL);
}

bool RecordFile::reopenForAppend() {
  close();
  return open(O_WRONLY | O_CREAT | O_APPEND);
}

bool RecordFile::open(int flags) {
  do {
    descriptor_ = ::open(name_.c_str(), flags | O_CLOEXEC, 0666);
  } while (descriptor_ < 0 && errno == EINTR);
  return descriptor_ >= 0;
}

int32_t RecordFile::write(const uint8_t* bytes, int32_t length) {
  if (descriptor_ < 0) return 0;
  int32_t written = 0;
  while (written < length) {
    const ssize_t n = ::write(descriptor_, bytes + written, size_t(length - written));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    written += int32_t(n);
  }
  return written;
}

void RecordFile::close() {
  if (descriptor_ >= 0) ::close(descriptor_);
  descriptor_ = -1;
}

}  // namespace veltrano
