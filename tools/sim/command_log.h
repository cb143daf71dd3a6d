#pragma once
// The --log file: one line per received command,
//   time TAB protocol TAB verdict TAB bytes in hexadecimal [TAB NMEA text]
// with the local time as YYYY-MM-DDTHH:MM:SS.mmm.
#include <cstdio>
#include <string>

#include "sim/command.h"

namespace veltrano::sim {

class CommandLog {
 public:
  CommandLog() = default;
  ~CommandLog();
  CommandLog(const CommandLog&) = delete;
  CommandLog& operator=(const CommandLog&) = delete;

  // Creates (truncates) the file; false when it cannot be created.
  bool open(const std::string& path);
  // Nothing happens while no file is open.
  void record(const Command& command, const char* verdict);

 private:
  std::FILE* file = nullptr;
};

}  // namespace veltrano::sim
