#include "link/command_framing.h"

#include "decoding/crc16.h"

namespace veltrano {

namespace {
constexpr uint8_t kDle = 0x10;
constexpr uint8_t kEtx = 0x03;
constexpr uint8_t kCrcMark = 0xFF;
constexpr char kHexDigits[] = "0123456789ABCDEF";

// After a DLE these bytes end a frame, stand for a DLE of the data or begin the
// CRC trailer, so no frame can begin with them as its id.
bool canBeginFrame(uint8_t id) { return id != kEtx && id != kDle && id != kCrcMark; }
}  // namespace

int buildBinrFrame(uint8_t id, const uint8_t* data, int n, bool withCrc, uint8_t (&frame)[kCommandFrameSize]) {
  if (!canBeginFrame(id) || n < 0 || n > kMaxBinrStuffedData) return 0;
  int stuffed = n;
  for (int i = 0; i < n; ++i) stuffed += data[i] == kDle;
  if (stuffed > kMaxBinrStuffedData) return 0;

  int length = 0;
  frame[length++] = kDle;
  frame[length++] = id;
  for (int i = 0; i < n; ++i) {
    frame[length++] = data[i];
    if (data[i] == kDle) frame[length++] = kDle;
  }
  if (withCrc) {
    uint16_t crc = 0;
    for (int i = 1; i < length; ++i) crc = binrCrcUpdate(crc, frame[i]);
    frame[length++] = kDle;
    frame[length++] = kCrcMark;
    frame[length++] = uint8_t(crc & 0xFF);
    frame[length++] = uint8_t(crc >> 8);
  }
  frame[length++] = kDle;
  frame[length++] = kEtx;
  return length;
}

int buildBinr2Frame(const uint8_t* data, int n, uint8_t (&frame)[kCommandFrameSize]) {
  if (n < 0 || n > kMaxBinr2Data) return 0;
  frame[0] = 0xA5;
  frame[1] = 0x5A;
  frame[2] = 0xB5;
  frame[3] = 0x5B;
  frame[4] = uint8_t(n & 0xFF);
  frame[5] = uint8_t(n >> 8);
  uint16_t crc = 0;
  for (int i = 0; i < n; ++i) {
    frame[6 + i] = data[i];
    crc = binrCrcUpdate(crc, data[i]);
  }
  frame[6 + n] = uint8_t(crc & 0xFF);
  frame[7 + n] = uint8_t(crc >> 8);
  return n + 8;
}

int buildNmeaCommand(std::string_view text, char (&command)[kNmeaCommandSize]) {
  if (text.size() > size_t(kMaxNmeaCommandText)) return 0;
  uint8_t checksum = 0;
  int length = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    command[length++] = text[i];
    if (i > 0) checksum ^= uint8_t(text[i]);
  }
  command[length++] = '*';
  command[length++] = kHexDigits[checksum >> 4];
  command[length++] = kHexDigits[checksum & 0x0F];
  command[length++] = '\r';
  command[length++] = '\n';
  return length;
}

}  // namespace veltrano
