#include "sim/command_log.h"

#include <sys/time.h>

#include <ctime>

namespace veltrano::sim {

CommandLog::~CommandLog() {
  if (file) std::fclose(file);
}

bool CommandLog::open(const std::string& path) {
  file = std::fopen(path.c_str(), "w");
  return file != nullptr;
}

void CommandLog::record(const Command& command, const char* verdict) {
  if (!file) return;
  timeval now{};
  gettimeofday(&now, nullptr);
  tm local{};
  localtime_r(&now.tv_sec, &local);
  char stamp[40];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%S", &local);
  std::fprintf(file, "%s.%03d\t%s\t%s\t", stamp, int(now.tv_usec / 1000), protocolName(command.protocol), verdict);
  for (size_t i = 0; i < command.rawLength; ++i) std::fprintf(file, i ? " %02X" : "%02X", command.raw[i]);
  if (command.protocol == SimProtocol::Nmea) {
    std::fputc('\t', file);
    for (char c : command.text) std::fputc(c >= ' ' && c <= '~' ? c : '.', file);
  }
  std::fputc('\n', file);
  std::fflush(file);
}

}  // namespace veltrano::sim
