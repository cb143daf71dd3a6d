#pragma once
// The simulated receiver behind a serial-to-network server: a listening TCP
// socket that serves one client at a time and the next one once it leaves. The
// server's serial side keeps the rate the receiver started at.
#include <cstdint>
#include <string>

#include "sim/sim_port.h"
#include "util/host_port.h"

namespace veltrano::sim {

class TcpPort : public SimPort {
 public:
  // Listens at `address`; port 0 lets the system choose one, which later opens keep.
  TcpPort(HostPort address, int32_t serverBaud);
  ~TcpPort() override;
  TcpPort(const TcpPort&) = delete;
  TcpPort& operator=(const TcpPort&) = delete;

  bool open(std::string& error) override;
  void close() override;
  bool isOpen() const override { return listener >= 0; }
  const std::string& path() const override { return url; }

  int fd() const override { return client; }
  // Takes the next waiting client when none is connected.
  bool peerOpen() override;
  // Closes the client's connection.
  void dropPeer() override;
  // The server's serial side runs at the receiver's first rate and nothing else.
  bool lineMatches(int32_t baud) const override { return baud == serverBaud; }

 private:
  HostPort address;
  const int32_t serverBaud;
  int listener = -1;
  int client = -1;
  std::string url;
};

}  // namespace veltrano::sim
