#pragma once
// The pseudo-terminal the simulated receiver sits on: the master side stays with
// us, the terminal side is what the program under test opens (directly or through
// the --link symlink).
#include <string>

namespace veltrano::sim {

class PtyPort {
 public:
  PtyPort() = default;
  ~PtyPort();
  PtyPort(const PtyPort&) = delete;
  PtyPort& operator=(const PtyPort&) = delete;

  // Opens the pair (terminal side in raw mode), and makes the symlink when
  // `linkPath` is not empty; false with a message on failure.
  bool open(const std::string& linkPath, std::string& error);
  // Closes the master side and removes the symlink if it still points to us.
  void close();

  int fd() const { return master; }
  const std::string& path() const { return terminalPath; }

  // True while the other side has the terminal open.
  bool peerOpen() const;
  // Drops what is buffered in both directions.
  void flush() const;

 private:
  int master = -1;
  std::string terminalPath;
  std::string link;
};

}  // namespace veltrano::sim
