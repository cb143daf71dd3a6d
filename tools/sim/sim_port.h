#pragma once
// Where the simulated receiver meets the program: a pseudo-terminal that the
// program opens as a serial port, or a TCP port that it connects to.
#include <cstdint>
#include <string>

namespace veltrano::sim {

class SimPort {
 public:
  virtual ~SimPort() = default;

  // Makes the port (again, after an unplug); false with a message on failure.
  virtual bool open(std::string& error) = 0;
  // Takes the port away, with the other side's connection.
  virtual void close() = 0;
  virtual bool isOpen() const = 0;
  // What the program opens: the terminal's path, or "tcp://HOST:PORT".
  virtual const std::string& path() const = 0;

  // The descriptor that carries the bytes to and from the other side; -1 when there is none.
  virtual int fd() const = 0;
  // True while the other side has the port open.
  virtual bool peerOpen() = 0;
  // The other side has gone: nothing it left behind reaches the next one.
  virtual void dropPeer() = 0;
  // Whether what the receiver sends at `baud` reaches the other side as sent,
  // and what the other side sends reaches the receiver.
  virtual bool lineMatches(int32_t baud) const = 0;
};

}  // namespace veltrano::sim
