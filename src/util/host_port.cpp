#include "util/host_port.h"

#include <algorithm>

namespace veltrano {

namespace {

constexpr std::string_view kTcpScheme = "tcp://";

bool isLetterOrDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Host names, IPv4 addresses and the inside of an IPv6 address's brackets (with
// a zone after "%": fe80::1%eth0) use no other characters.
bool isHostCharacter(char c) { return isLetterOrDigit(c) || c == '.' || c == '-' || c == '_'; }
bool isIpv6Character(char c) { return isHostCharacter(c) || c == ':' || c == '%'; }

std::string quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

}  // namespace

bool isTcpPortName(std::string_view name) {
  return name.size() >= kTcpScheme.size() &&
         std::equal(kTcpScheme.begin(), kTcpScheme.end(), name.begin(),
                    [](char scheme, char c) { return scheme == (c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c); });
}

std::variant<HostPort, std::string> parseHostPort(std::string_view text, int lowestPort) {
  std::string_view host;
  std::string_view rest;
  if (text.empty()) return std::string("no host and no port");
  if (text.starts_with('[')) {
    const size_t close = text.find(']');
    if (close == std::string_view::npos) return std::string("the \"[\" of the IPv6 address is not closed");
    host = text.substr(1, close - 1);
    if (host.find(':') == std::string_view::npos || !std::all_of(host.begin(), host.end(), isIpv6Character))
      return quoted(host) + " is not an IPv6 address";
    rest = text.substr(close + 1);
    if (!rest.starts_with(':')) return std::string("no port after the host");
  } else {
    const size_t colon = text.rfind(':');
    if (colon == std::string_view::npos) return std::string("no port after the host");
    host = text.substr(0, colon);
    rest = text.substr(colon);
    if (host.find(':') != std::string_view::npos)
      return std::string("an IPv6 address goes in brackets, as in [::1]:4001");
    if (host.empty()) return std::string("no host before the port");
    if (!std::all_of(host.begin(), host.end(), isHostCharacter)) return quoted(host) + " is not a host name or address";
  }
  const std::string_view digits = rest.substr(1);
  if (digits.empty()) return std::string("no port after the host");
  int port = 0;
  const bool number = digits.size() <= 5 && std::all_of(digits.begin(), digits.end(), [&port](char c) {
                        port = port * 10 + (c - '0');
                        return c >= '0' && c <= '9';
                      });
  if (!number || port < lowestPort || port > 65535)
    return "the port is a number from " + std::to_string(lowestPort) + " to 65535";
  return HostPort{std::string(host), port};
}

std::variant<HostPort, std::string> parseTcpPortName(std::string_view name) {
  const std::string problem = quoted(name) + " is not tcp://HOST:PORT: ";
  if (!isTcpPortName(name)) return problem + "it does not start with tcp://";
  std::variant<HostPort, std::string> parsed = parseHostPort(name.substr(kTcpScheme.size()), 1);
  if (std::string* reason = std::get_if<std::string>(&parsed)) return problem + *reason;
  return parsed;
}

std::string hostPortText(const HostPort& address) {
  const bool ipv6 = address.host.find(':') != std::string::npos;
  return (ipv6 ? "[" + address.host + "]" : address.host) + ":" + std::to_string(address.port);
}

std::string hostPortFilePart(const HostPort& address) {
  std::string part = address.host + "-" + std::to_string(address.port);
  std::replace_if(
      part.begin(), part.end(), [](char c) { return !isLetterOrDigit(c); }, '-');
  return part;
}

}  // namespace veltrano
