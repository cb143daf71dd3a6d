#include "sim/binr2_command_parser.h"

#include "decoding/crc16.h"

namespace veltrano::sim {

namespace {
constexpr uint32_t kSyncWord = 0x5BB55AA5;
}

void Binr2CommandParser::reset() {
  stage = Stage::Hunting;
  sync = 0;
}

bool Binr2CommandParser::push(uint8_t b) {
  switch (stage) {
    case Stage::Hunting:
      sync = (sync >> 8) | (uint32_t(b) << 24);
      if (sync == kSyncWord) {
        raw[0] = 0xA5;
        raw[1] = 0x5A;
        raw[2] = 0xB5;
        raw[3] = 0x5B;
        rawLength = 4;
        stage = Stage::Length;
        sync = 0;
      }
      return false;
    case Stage::Length:
      raw[rawLength++] = b;
      if (rawLength == 6) {
        declaredLength = uint16_t(raw[4] | (raw[5] << 8));
        crc = 0;
        stage = declaredLength == 0 || declaredLength > kMaxBody ? Stage::Hunting : Stage::Body;
      }
      return false;
    case Stage::Body:
      raw[rawLength++] = b;
      crc = binrCrcUpdate(crc, b);
      if (rawLength == 6 + size_t(declaredLength)) stage = Stage::Checksum;
      return false;
    case Stage::Checksum:
      raw[rawLength++] = b;
      if (rawLength < 8 + size_t(declaredLength)) return false;
      stage = Stage::Hunting;
      current = Command{};
      current.protocol = SimProtocol::Binr2;
      current.checksumOk = uint16_t(raw[rawLength - 2] | (raw[rawLength - 1] << 8)) == crc;
      current.raw = raw;
      current.rawLength = rawLength;
      current.id = raw[6];
      current.data = raw + 7;
      current.dataLength = size_t(declaredLength) - 1;
      return true;
  }
  return false;
}

}  // namespace veltrano::sim
