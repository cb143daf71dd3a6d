#pragma once
// The receiver simulator's command log (--log) as the tests read it, and the
// commands that Record and Stop send in each protocol as the simulator logs
// them, with the program's waits between them.
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "../decoding/test_frames.h"
#include "decoding/transport_fields.h"
#include "sim_process.h"

namespace veltrano::receiver_log {

using test::Bytes;

inline Bytes textBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

// A BINR2 command frame of the given data (its first byte is the message id).
inline Bytes binr2Command(const Bytes& data) { return test::binr2Frame(data[0], Bytes(data.begin() + 1, data.end())); }

inline std::string binr(uint8_t id, const Bytes& data = {}) { return sim::hexOf(test::binrFrame(id, data)); }
inline std::string binr2(const Bytes& data) { return sim::hexOf(binr2Command(data)); }

// The simulator's log: per received command, its bytes and verdict.
struct LoggedCommand {
  std::string hex;
  std::string verdict;
  bool operator==(const LoggedCommand&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const LoggedCommand& c) { return out << c.hex << " " << c.verdict; }

inline std::vector<LoggedCommand> readLog(const std::string& path) {
  std::vector<LoggedCommand> commands;
  for (const std::vector<std::string>& fields : sim::readLogLines(path))
    if (fields.size() >= 4) commands.push_back({fields[3], fields[2]});
  return commands;
}

// Record's commands and waits, then Stop's; "sleep N" for each wait of N ms.
inline std::vector<std::string> binrRecordEvents(bool debugData) {
  std::vector<std::string> e = {binr(0x0E), binr(0x1B), "sleep 200"};
  for (uint8_t output : {0x01, 0x04, 0x02, 0x05, 0x03, 0x06}) {
    e.push_back(binr(0xA0, {0x03, output}));
    e.push_back("sleep 200");
  }
  if (debugData) e.push_back(binr(0x0C, {0x01}));
  for (uint8_t id : {0x21, 0x27, 0x35, 0x24}) e.push_back(binr(id, {0x01}));
  // Stop.
  e.push_back(binr(0x0E));
  if (debugData) e.push_back(binr(0x0C, {0x00}));
  e.push_back("sleep 200");
  return e;
}

inline std::vector<LoggedCommand> binrRecordLog(bool debugData) {
  std::vector<LoggedCommand> log;
  for (const std::string& e : binrRecordEvents(debugData))
    if (e.rfind("sleep", 0) != 0) log.push_back({e, e == binr(0x1B) ? "answered" : "accepted"});
  return log;
}

inline const std::vector<Bytes> kBinr2Configuration = {{0x01, 0x00, 0xFF, 0x00, 0x00}, {0x01, 0xC0, 0x01, 0x00, 0x00},
                                                       {0x01, 0x90, 0x02, 0x01, 0x00}, {0x01, 0xA1, 0x02, 0x01, 0x00},
                                                       {0x01, 0xB2, 0x03, 0x58, 0x02}, {0x01, 0xA0, 0x03, 0x0A, 0x00}};

inline std::vector<std::string> binr2RecordEvents(bool debugData) {
  std::vector<std::string> e;
  for (const Bytes& command : kBinr2Configuration) {
    e.push_back("sleep 50");
    e.push_back(binr2(command));
  }
  e.push_back("sleep 50");
  if (debugData) e.push_back(binr2({0x01, 0xF0, 0x03, 0x01, 0x00}));
  // Stop.
  e.push_back(binr2({0x01, 0x00, 0xFF, 0x00, 0x00}));
  e.push_back("sleep 200");
  return e;
}

inline std::vector<LoggedCommand> binr2RecordLog(bool debugData) {
  std::vector<LoggedCommand> log;
  for (const std::string& e : binr2RecordEvents(debugData))
    if (e.rfind("sleep", 0) != 0) log.push_back({e, e == binr2(kBinr2Configuration[1]) ? "answered" : "accepted"});
  return log;
}

// NMEA: Record asks for the version, which the receiver answers; Stop sends nothing.
inline std::vector<LoggedCommand> nmeaRecordLog() { return {{sim::hexOf(textBytes("$POVER*5E\r\n")), "answered"}}; }

// What the simulator logs of a recording in `protocol` and its Stop.
inline std::vector<LoggedCommand> recordLog(ReceiverProtocol protocol, bool debugData) {
  switch (protocol) {
    case ReceiverProtocol::NMEA:
      return nmeaRecordLog();
    case ReceiverProtocol::BINR:
      return binrRecordLog(debugData);
    case ReceiverProtocol::BINR2:
      return binr2RecordLog(debugData);
  }
  return {};
}

}  // namespace veltrano::receiver_log
