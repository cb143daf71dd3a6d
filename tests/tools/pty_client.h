#pragma once
// The test's side of the simulator's terminal, opened as a program opens a serial
// port: raw mode, a chosen rate.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace veltrano::sim {

class PtyClient {
 public:
  PtyClient() = default;
  ~PtyClient();
  PtyClient(const PtyClient&) = delete;
  PtyClient& operator=(const PtyClient&) = delete;

  bool open(const std::string& path, int baud);
  bool setBaud(int baud);
  void close();

  void send(const std::vector<uint8_t>& bytes);
  void send(std::string_view text);

  // Reads for `ms` milliseconds, appending to `out`; false when the other side
  // went away.
  bool readFor(int ms, std::vector<uint8_t>& out);
  // Reads until `done` holds for what was read (checked after each read) or the
  // time is up; returns whether `done` held.
  bool readUntil(const std::function<bool(const std::vector<uint8_t>&)>& done, int timeoutMs,
                 std::vector<uint8_t>& out);

 private:
  int fd = -1;
};

}  // namespace veltrano::sim
