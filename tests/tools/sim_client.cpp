#include "sim_client.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <variant>

#include "util/host_port.h"

namespace veltrano::sim {

namespace {
speed_t speedOf(int baud) {
  switch (baud) {
    case 4800:
      return B4800;
    case 9600:
      return B9600;
    case 19200:
      return B19200;
    case 38400:
      return B38400;
    case 57600:
      return B57600;
    case 115200:
      return B115200;
    case 230400:
      return B230400;
    case 460800:
      return B460800;
    case 921600:
      return B921600;
    default:
      return B0;
  }
}

long long nowMs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec * 1000LL + ts.tv_nsec / 1000000;
}
}  // namespace

SimClient::~SimClient() { close(); }

bool SimClient::open(const std::string& path, int baud) {
  fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  socket = false;
  hungUp = false;
  // As a program opening a port does: what an earlier opening left unread goes.
  return fd >= 0 && setBaud(baud) && ::tcflush(fd, TCIFLUSH) == 0;
}

bool SimClient::connect(const std::string& url) {
  const auto address = parseTcpPortName(url);
  if (!std::holds_alternative<HostPort>(address)) return false;
  const HostPort& hostPort = std::get<HostPort>(address);
  addrinfo hints{};
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
  addrinfo* found = nullptr;
  if (getaddrinfo(hostPort.host.c_str(), std::to_string(hostPort.port).c_str(), &hints, &found) != 0) return false;
  fd = ::socket(found->ai_family, found->ai_socktype | SOCK_CLOEXEC, found->ai_protocol);
  const bool connected = fd >= 0 && ::connect(fd, found->ai_addr, found->ai_addrlen) == 0;
  freeaddrinfo(found);
  socket = true;
  hungUp = false;
  return connected;
}

bool SimClient::setBaud(int baud) {
  termios t{};
  if (tcgetattr(fd, &t) != 0) return false;
  cfmakeraw(&t);
  cfsetispeed(&t, speedOf(baud));
  cfsetospeed(&t, speedOf(baud));
  return tcsetattr(fd, TCSANOW, &t) == 0;
}

void SimClient::close() {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

void SimClient::send(const std::vector<uint8_t>& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = socket ? ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL)
                             : write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) return;
    done += size_t(n);
  }
}

void SimClient::send(std::string_view text) { send(std::vector<uint8_t>(text.begin(), text.end())); }

bool SimClient::readFor(int ms, std::vector<uint8_t>& out) {
  readUntil([](const std::vector<uint8_t>&) { return false; }, ms, out);
  return !hungUp;
}

bool SimClient::readUntil(const std::function<bool(const std::vector<uint8_t>&)>& done, int timeoutMs,
                          std::vector<uint8_t>& out) {
  const long long deadline = nowMs() + timeoutMs;
  for (;;) {
    const long long left = deadline - nowMs();
    if (left <= 0) return false;
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, int(left)) <= 0) continue;
    uint8_t buffer[4096];
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n <= 0) {
      // A closed connection reads as its end; a hung-up terminal says so in the poll.
      hungUp = (p.revents & POLLHUP) || (socket && n == 0);
      if (hungUp) return false;
      continue;
    }
    out.insert(out.end(), buffer, buffer + n);
    if (done(out)) return true;
  }
}

}  // namespace veltrano::sim
