#include "sim/pty_port.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "sim/line_settings.h"

namespace veltrano::sim {

PtyPort::~PtyPort() { close(); }

bool PtyPort::open(std::string& error) {
  int slave = -1;
  char name[256] = {};
  if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
    error = std::string("openpty: ") + std::strerror(errno);
    return false;
  }
  termios raw{};
  if (tcgetattr(slave, &raw) == 0) {
    cfmakeraw(&raw);
    tcsetattr(slave, TCSANOW, &raw);
  }
  // With the terminal side closed, the master reports a hang-up until the other
  // side opens it.
  ::close(slave);
  fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
  fcntl(master, F_SETFD, FD_CLOEXEC);
  terminalPath = name;
  if (!linkPath.empty()) {
    struct stat st {};
    if (lstat(linkPath.c_str(), &st) == 0) {
      if (!S_ISLNK(st.st_mode)) {
        error = linkPath + " exists and is not a symbolic link";
        close();
        return false;
      }
      unlink(linkPath.c_str());
    }
    if (symlink(terminalPath.c_str(), linkPath.c_str()) != 0) {
      error = "symlink " + linkPath + ": " + std::strerror(errno);
      close();
      return false;
    }
    link = linkPath;
  }
  return true;
}

void PtyPort::close() {
  if (!link.empty()) {
    char target[256] = {};
    const ssize_t n = readlink(link.c_str(), target, sizeof target - 1);
    if (n > 0 && terminalPath == std::string(target, size_t(n))) unlink(link.c_str());
    link.clear();
  }
  if (master >= 0) ::close(master);
  master = -1;
}

bool PtyPort::peerOpen() {
  if (master < 0) return false;
  pollfd p{master, 0, 0};
  return poll(&p, 1, 0) >= 0 && !(p.revents & POLLHUP);
}

void PtyPort::dropPeer() { tcflush(master, TCIOFLUSH); }

bool PtyPort::lineMatches(int32_t baud) const { return sim::lineMatches(readLineSettings(master), baud); }

}  // namespace veltrano::sim
