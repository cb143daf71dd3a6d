#include "link/tcp_connect.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>

namespace veltrano {

namespace {

using Clock = std::chrono::steady_clock;

// Connects a new socket to one address by `deadline`: 0 with the descriptor in
// `descriptor`, or the error number of the failure (ETIMEDOUT at the deadline).
int connectOne(const addrinfo& candidate, Clock::time_point deadline, int& descriptor) {
  const int socket =
      ::socket(candidate.ai_family, candidate.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, candidate.ai_protocol);
  if (socket < 0) return errno;
  int error = ::connect(socket, candidate.ai_addr, candidate.ai_addrlen) == 0 ? 0 : errno;
  // The connection goes on in the background; it has succeeded or failed once
  // the socket can be written.
  while (error == EINPROGRESS || error == EINTR) {
    const auto leftMs = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (leftMs <= 0) {
      error = ETIMEDOUT;
      break;
    }
    pollfd writable{socket, POLLOUT, 0};
    const int ready = ::poll(&writable, 1, int(leftMs));
    if (ready < 0 && errno != EINTR) error = errno;
    if (ready <= 0) continue;
    socklen_t length = sizeof error;
    if (::getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &length) != 0) error = errno;
  }
  if (error != 0) {
    ::close(socket);
    return error;
  }
  // Commands are a few bytes each: none waits for the acknowledgement of the one before.
  const int on = 1;
  ::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  descriptor = socket;
  return 0;
}

}  // namespace

int connectTcp(const HostPort& address, int timeoutMs, std::string& failure) {
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_NUMERICSERV;
  addrinfo* found = nullptr;
  const int resolved = ::getaddrinfo(address.host.c_str(), std::to_string(address.port).c_str(), &hints, &found);
  if (resolved != 0) {
    failure = resolved == EAI_SYSTEM ? std::strerror(errno) : ::gai_strerror(resolved);
    return -1;
  }
  const std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> addresses(found, ::freeaddrinfo);
  int error = ETIMEDOUT;
  for (const addrinfo* candidate = found; candidate != nullptr; candidate = candidate->ai_next) {
    int descriptor = -1;
    error = connectOne(*candidate, deadline, descriptor);
    if (error == 0) return descriptor;
    if (error == ETIMEDOUT) break;  // no time is left for the other addresses
  }
  failure = std::strerror(error);
  return -1;
}

}  // namespace veltrano
