#include "sim/binr_command_parser.h"

#include "decoding/crc16.h"

namespace veltrano::sim {

namespace {
constexpr uint8_t kDle = 0x10;
constexpr uint8_t kEtx = 0x03;
}  // namespace

void BinrCommandParser::reset() {
  dleSeen = false;
  inFrame = false;
  trailerState = 0;
}

bool BinrCommandParser::addRaw(uint8_t b) {
  if (rawLength == kCapacity) {  // too long for a command: drop it
    inFrame = false;
    return false;
  }
  raw[rawLength++] = b;
  return true;
}

void BinrCommandParser::addData(uint8_t b) {
  if (!addRaw(b)) return;
  data[dataLength++] = b;
  crc = binrCrcUpdate(crc, b);
}

bool BinrCommandParser::push(uint8_t b) {
  if (inFrame && trailerState != 0) {
    if (!addRaw(b)) return false;
    if (trailerState == 1) {
      receivedCrc = b;
      trailerState = 2;
    } else {
      receivedCrc = uint16_t(receivedCrc | (b << 8));
      trailerState = 0;
      crcPresent = true;
    }
    return false;
  }
  if (b == kDle && !dleSeen) {
    dleSeen = true;
    if (inFrame) addRaw(b);
    return false;
  }
  if (dleSeen) {
    dleSeen = false;
    if (!inFrame) {
      if (b != kEtx && b != kDle && b != 0xFF) {
        inFrame = true;
        rawLength = 0;
        dataLength = 0;
        crcPresent = false;
        raw[rawLength++] = kDle;
        raw[rawLength++] = b;
        id = b;
        crc = binrCrcUpdate(0, b);
      }
      return false;
    }
    if (b == kEtx) {
      if (!addRaw(b)) return false;
      inFrame = false;
      current = Command{};
      current.protocol = SimProtocol::Binr;
      current.checksumOk = !crcPresent || receivedCrc == crc;
      current.raw = raw;
      current.rawLength = rawLength;
      current.id = id;
      current.data = data;
      current.dataLength = dataLength;
      return true;
    }
    if (b == 0xFF) {
      if (addRaw(b)) trailerState = 1;
      return false;
    }
    if (b == kDle) crc = binrCrcUpdate(crc, kDle);  // the first of a doubled pair
    addData(b);
    return false;
  }
  if (inFrame) addData(b);
  return false;
}

}  // namespace veltrano::sim
