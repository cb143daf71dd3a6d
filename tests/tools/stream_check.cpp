#include "stream_check.h"

#include <algorithm>

namespace veltrano::sim {

StreamCheck::StreamCheck(SimProtocol p) : protocol(p) {}

int StreamCheck::push(uint8_t b) {
  int result = 0;
  switch (protocol) {
    case SimProtocol::Nmea: result = int(nmeaAssembler.pushNmeaChar(b)); break;
    case SimProtocol::Binr: result = binrDecoder.pushBinrByte(b); break;
    case SimProtocol::Binr2: result = binr2Decoder.pushBinr2Byte(b); break;
  }
  ++offset;
  if (result < 0) ++rejected;
  if (result > 0) {
    ids.push_back(result);
    ends.push_back(offset);
  }
  return result;
}

void StreamCheck::feed(const std::vector<uint8_t>& bytes, size_t from) {
  for (size_t i = from; i < bytes.size(); ++i) push(bytes[i]);
}

int StreamCheck::count(int id) const { return int(std::count(ids.begin(), ids.end(), id)); }

}  // namespace veltrano::sim
