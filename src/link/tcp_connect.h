#pragma once
// The connection to a receiver reached over TCP (a serial-to-network server, a
// network receiver, a caster's raw stream).
#include <string>

#include "util/host_port.h"

namespace veltrano {

// Connects to `address`, trying in turn every IPv6 and IPv4 address its name
// resolves to, all within `timeoutMs`, so that an unreachable host holds the
// caller up only that long. The descriptor returned does not block, closes on
// exec and sends small commands at once. On failure -1 and, in `failure`, why:
// the system's text for the last address tried ("Connection refused",
// "Connection timed out") or the resolver's ("Name or service not known").
int connectTcp(const HostPort& address, int timeoutMs, std::string& failure);

}  // namespace veltrano
