#include "sim/tcp_port.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <utility>

namespace veltrano::sim {

namespace {

// The port a bound socket listens on.
int boundPort(int socket) {
  sockaddr_storage bound{};
  socklen_t length = sizeof bound;
  if (getsockname(socket, reinterpret_cast<sockaddr*>(&bound), &length) != 0) return -1;
  // Both families keep the port in network order at the same place.
  static_assert(offsetof(sockaddr_in, sin_port) == offsetof(sockaddr_in6, sin6_port));
  in_port_t port = 0;
  std::memcpy(&port, reinterpret_cast<const char*>(&bound) + offsetof(sockaddr_in, sin_port), sizeof port);
  return ntohs(port);
}

}  // namespace

TcpPort::TcpPort(HostPort listenAddress, int32_t baud) : address(std::move(listenAddress)), serverBaud(baud) {}

TcpPort::~TcpPort() { close(); }

bool TcpPort::open(std::string& error) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
  addrinfo* found = nullptr;
  const int resolved = getaddrinfo(address.host.c_str(), std::to_string(address.port).c_str(), &hints, &found);
  if (resolved != 0) {
    error = hostPortText(address) + ": " + gai_strerror(resolved);
    return false;
  }
  listener = socket(found->ai_family, found->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, found->ai_protocol);
  const int on = 1;
  const bool listening = listener >= 0 && setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) == 0 &&
                         bind(listener, found->ai_addr, found->ai_addrlen) == 0 && listen(listener, 4) == 0;
  const int failure = errno;
  freeaddrinfo(found);
  if (!listening) {
    error = "listen at " + hostPortText(address) + ": " + std::strerror(failure);
    close();
    return false;
  }
  address.port = boundPort(listener);
  url = "tcp://" + hostPortText(address);
  return true;
}

void TcpPort::close() {
  // The listening socket first: once the client sees its connection end, new ones are refused.
  if (listener >= 0) ::close(listener);
  listener = -1;
  dropPeer();
}

bool TcpPort::peerOpen() {
  if (client < 0 && listener >= 0) {
    client = accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    const int on = 1;
    if (client >= 0) setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  }
  return client >= 0;
}

void TcpPort::dropPeer() {
  if (client >= 0) ::close(client);
  client = -1;
}

}  // namespace veltrano::sim
