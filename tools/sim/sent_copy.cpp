#include "sim/sent_copy.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace veltrano::sim {

SentCopy::~SentCopy() { close(); }

bool SentCopy::startOpening() {
  if (prefix.empty()) return true;
  close();
  const std::string path = prefix + "." + std::to_string(++openings);
  fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  return fd >= 0;
}

void SentCopy::write(const uint8_t* bytes, size_t n) {
  while (fd >= 0 && n > 0) {
    const ssize_t written = ::write(fd, bytes, n);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;
    bytes += written;
    n -= size_t(written);
  }
}

void SentCopy::close() {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

}  // namespace veltrano::sim
