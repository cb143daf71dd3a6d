#pragma once
// A port path the system refuses to open for this user, for the permission tests.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace veltrano::test {

// Not root: a file no one may read or write, made in `dir`. Root passes every
// permission check except on a kernel attribute that cannot be written; empty
// when this machine has none.
inline std::string forbiddenPort(const std::string& dir) {
  if (::geteuid() != 0) {
    const std::string path = dir + "/ttyForbidden";
    const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY, 0);
    if (fd >= 0) ::close(fd);
    return path;
  }
  for (const char* path : {"/sys/class/tty/tty0/dev", "/sys/class/tty/console/dev", "/sys/class/mem/null/dev",
                           "/sys/kernel/mm/transparent_hugepage/hpage_pmd_size"}) {
    const int fd = ::open(path, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd >= 0) ::close(fd);
    if (fd < 0 && errno == EACCES) return path;
  }
  return {};
}

}  // namespace veltrano::test
