#pragma once
// What the tests say to the live simulator and look for in its answers: the
// commands of each protocol, the messages that answer them, a read that decodes
// as it goes, and the recording a live stream is compared with.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "../decoding/test_frames.h"
#include "decoding/nmea_kind.h"
#include "sim/sim_protocol.h"
#include "sim_client.h"
#include "sim_process.h"
#include "stream_check.h"

namespace veltrano::sim {

inline const char* optionName(SimProtocol protocol) {
  switch (protocol) {
    case SimProtocol::Nmea:
      return "nmea";
    case SimProtocol::Binr:
      return "binr";
    case SimProtocol::Binr2:
      return "binr2";
  }
  return "nmea";
}

inline std::vector<uint8_t> binrCommand(uint8_t id, const std::vector<uint8_t>& data) {
  return test::binrFrame(id, data);
}

// A BINR2 command frame of `body`, its first byte the message id.
inline std::vector<uint8_t> binr2Command(const std::vector<uint8_t>& body) {
  return test::binr2Frame(body[0], std::vector<uint8_t>(body.begin() + 1, body.end()));
}

inline std::vector<uint8_t> text(const char* s) {
  return std::vector<uint8_t>(s, s + std::char_traits<char>::length(s));
}

inline std::vector<uint8_t> le32(uint32_t v) {
  return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
}

inline std::vector<uint8_t> identificationRequest(SimProtocol protocol) {
  switch (protocol) {
    case SimProtocol::Nmea:
      return text("$POVER*5E\r\n");
    case SimProtocol::Binr:
      return binrCommand(0x1B, {});
    case SimProtocol::Binr2:
      return binr2Command({0x01, 0xC0, 0x01, 0x00, 0x00});
  }
  return {};
}

inline int identificationReply(SimProtocol protocol) {
  switch (protocol) {
    case SimProtocol::Nmea:
      return int(NmeaKind::VER);
    case SimProtocol::Binr:
      return 0x70;
    case SimProtocol::Binr2:
      return 0xC0;
  }
  return 0;
}

inline int navigationId(SimProtocol protocol) {
  switch (protocol) {
    case SimProtocol::Nmea:
      return int(NmeaKind::GGA);
    case SimProtocol::Binr:
      return 0x88;
    case SimProtocol::Binr2:
      return 0x90;
  }
  return 0;
}

// Reads until the decoder has produced `id` `times` times from what was read
// since `from`; returns the check.
inline bool readUntilDecoded(SimClient& client, StreamCheck& check, std::vector<uint8_t>& received, int id, int times,
                             int timeoutMs) {
  size_t fed = received.size();
  return client.readUntil(
      [&](const std::vector<uint8_t>& bytes) {
        check.feed(bytes, fed);
        fed = bytes.size();
        return check.count(id) >= times;
      },
      timeoutMs, received);
}

// The BINR or BINR2 command that moves the receiver to `baud` in the protocol it speaks.
inline std::vector<uint8_t> rateCommand(SimProtocol protocol, uint32_t baud) {
  if (protocol == SimProtocol::Binr) {
    std::vector<uint8_t> data = {0x00};
    for (uint8_t b : le32(baud)) data.push_back(b);
    data.push_back(0x04);
    return binrCommand(0x0B, data);
  }
  std::vector<uint8_t> body = {0x02, 0x00, 0x00};
  for (uint8_t b : le32(baud)) body.push_back(b);
  return binr2Command(body);
}

// The message that answers rateCommand.
inline int rateReply(SimProtocol protocol) { return protocol == SimProtocol::Binr ? 0x50 : 0x80; }

// Whether `received` is how the recording begins that the simulator writes with the same `args`.
inline testing::AssertionResult beginsTheRecording(std::vector<std::string> args,
                                                   const std::vector<uint8_t>& received) {
  const ScratchDir scratch;
  const std::string file = scratch.file("rec");
  args.insert(args.end(), {"--write", file, "--duration", "10"});
  if (!runSimToCompletion(args)) return testing::AssertionFailure() << "the recording was not written";
  const std::vector<uint8_t> recording = readWholeFile(file);
  if (recording.size() < received.size() || !std::equal(received.begin(), received.end(), recording.begin()))
    return testing::AssertionFailure() << "the " << received.size() << " bytes received are not how the "
                                       << recording.size() << " of the recording begin";
  return testing::AssertionSuccess();
}

}  // namespace veltrano::sim
