#pragma once
// Network addresses as the program and the simulator take them: "HOST:PORT", an
// IPv6 address in brackets ("[::1]:4001"), and a receiver reached over TCP named
// as a port "tcp://HOST:PORT".
#include <string>
#include <string_view>
#include <variant>

namespace veltrano {

struct HostPort {
  std::string host;  // a name or an address; an IPv6 address without its brackets
  int port = 0;

  bool operator==(const HostPort&) const = default;
};

// Whether `name` names a TCP source: it starts with "tcp://", in any case.
bool isTcpPortName(std::string_view name);

// "HOST:PORT" with a port from `lowestPort` to 65535, or why it is not one
// ("no port after the host", ...).
std::variant<HostPort, std::string> parseHostPort(std::string_view text, int lowestPort);

// "tcp://HOST:PORT" with a port from 1 to 65535, or a message that quotes `name`
// and says what is wrong with it.
std::variant<HostPort, std::string> parseTcpPortName(std::string_view name);

// "HOST:PORT", an IPv6 address in brackets.
std::string hostPortText(const HostPort& address);

// The address in a record file's name: "HOST-PORT" with every character other
// than a letter or digit written as "-" (127-0-0-1-4001), so that the name has
// no "." before its extension and nothing a file system refuses.
std::string hostPortFilePart(const HostPort& address);

}  // namespace veltrano
