#pragma once
// Builders of wire bytes for tests: NMEA sentences with their checksum, BINR
// frames with stuffing and CRC trailer, BINR2 frames.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "decoding/crc16.h"

namespace veltrano::test {

using Bytes = std::vector<uint8_t>;

inline std::string nmeaSentence(const std::string& body) {
  uint8_t sum = 0;
  for (char c : body) sum ^= uint8_t(c);
  char tail[8];
  std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
  return "$" + body + tail;
}

inline Bytes binrFrame(uint8_t id, const Bytes& payload, bool withCrc = true) {
  Bytes frame{0x10, id};
  uint16_t crc = binrCrcUpdate(0, id);
  for (uint8_t b : payload) {
    frame.push_back(b);
    crc = binrCrcUpdate(crc, b);
    if (b == 0x10) {
      frame.push_back(b);
      crc = binrCrcUpdate(crc, b);
    }
  }
  if (withCrc) {
    frame.insert(frame.end(), {0x10, 0xFF, uint8_t(crc & 0xFF), uint8_t(crc >> 8)});
  }
  frame.insert(frame.end(), {0x10, 0x03});
  return frame;
}

inline Bytes binr2Frame(uint8_t id, const Bytes& payload) {
  Bytes body{id};
  body.insert(body.end(), payload.begin(), payload.end());
  Bytes frame{0xA5, 0x5A, 0xB5, 0x5B, uint8_t(body.size() & 0xFF), uint8_t(body.size() >> 8)};
  uint16_t crc = 0;
  for (uint8_t b : body) crc = binrCrcUpdate(crc, b);
  frame.insert(frame.end(), body.begin(), body.end());
  frame.push_back(uint8_t(crc & 0xFF));
  frame.push_back(uint8_t(crc >> 8));
  return frame;
}

inline void put(Bytes& out, size_t at, const void* value, size_t size) {
  if (out.size() < at + size) out.resize(at + size);
  const auto* p = static_cast<const uint8_t*>(value);
  for (size_t i = 0; i < size; ++i) out[at + i] = p[i];  // little-endian host
}

}  // namespace veltrano::test
