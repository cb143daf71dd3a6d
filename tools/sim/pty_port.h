#pragma once
// The pseudo-terminal the simulated receiver sits on: the master side stays with
// us, the terminal side is what the program under test opens (directly or through
// the --link symlink).
#include <string>
#include <utility>

#include "sim/sim_port.h"

namespace veltrano::sim {

class PtyPort : public SimPort {
 public:
  // `linkPath`, when not empty, is made a symbolic link to each new terminal.
  explicit PtyPort(std::string linkPath) : linkPath(std::move(linkPath)) {}
  ~PtyPort() override;
  PtyPort(const PtyPort&) = delete;
  PtyPort& operator=(const PtyPort&) = delete;

  // Opens the pair (terminal side in raw mode) and makes the symlink.
  bool open(std::string& error) override;
  // Closes the master side and removes the symlink if it still points to us.
  void close() override;
  bool isOpen() const override { return master >= 0; }
  const std::string& path() const override { return terminalPath; }

  int fd() const override { return master; }
  bool peerOpen() override;
  // Drops what is buffered in both directions.
  void dropPeer() override;
  // The other side's rate, as it set it on the terminal.
  bool lineMatches(int32_t baud) const override;

 private:
  const std::string linkPath;
  int master = -1;
  std::string terminalPath;
  std::string link;
};

}  // namespace veltrano::sim
