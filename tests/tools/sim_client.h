#pragma once
// The test's side of the simulator's port: its terminal, opened as a program opens
// a serial port (raw mode, a chosen rate), or its TCP port, connected to.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace veltrano::sim {

class SimClient {
 public:
  SimClient() = default;
  ~SimClient();
  SimClient(const SimClient&) = delete;
  SimClient& operator=(const SimClient&) = delete;

  bool open(const std::string& path, int baud);
  bool setBaud(int baud);
  // `url` is the "tcp://HOST:PORT" that the simulator printed.
  bool connect(const std::string& url);
  void close();

  void send(const std::vector<uint8_t>& bytes);
  void send(std::string_view text);

  // Reads for `ms` milliseconds, appending to `out`; false when the other side
  // went away.
  bool readFor(int ms, std::vector<uint8_t>& out);
  // Reads until `done` holds for what was read (checked after each read), the
  // other side went away or the time is up; returns whether `done` held.
  bool readUntil(const std::function<bool(const std::vector<uint8_t>&)>& done, int timeoutMs,
                 std::vector<uint8_t>& out);
  // The other side hung up the terminal or closed the connection.
  bool gone() const { return hungUp; }

 private:
  int fd = -1;
  bool socket = false;
  bool hungUp = false;
};

}  // namespace veltrano::sim
