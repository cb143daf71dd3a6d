#include "sim/nmea_command_parser.h"

namespace veltrano::sim {

namespace {
int hexValue(uint8_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}
}  // namespace

void NmeaCommandParser::reset() {
  length = 0;
  inLine = false;
}

bool NmeaCommandParser::push(uint8_t b) {
  if (b == '$') {
    inLine = true;
    length = 0;
  }
  if (!inLine) return false;
  if (length == kCapacity) {  // overlong: wait for the next "$"
    inLine = false;
    return false;
  }
  line[length++] = b;
  if (b != '\n') return false;
  inLine = false;

  int end = length - 1;  // drop LF and CR
  if (end > 0 && line[end - 1] == '\r') --end;
  int star = -1;
  for (int i = 1; i < end; ++i)
    if (line[i] == '*') {
      star = i;
      break;
    }
  bool ok = true;
  if (star >= 0) {
    uint8_t sum = 0;
    for (int i = 1; i < star; ++i) sum ^= line[i];
    const int hi = star + 1 < end ? hexValue(line[star + 1]) : -1;
    const int lo = star + 2 < end ? hexValue(line[star + 2]) : -1;
    ok = hi >= 0 && lo >= 0 && star + 3 == end && ((hi << 4) | lo) == sum;
    end = star;
  }
  current = Command{};
  current.protocol = SimProtocol::Nmea;
  current.checksumOk = ok;
  current.raw = line;
  current.rawLength = size_t(length);
  current.text = std::string_view(reinterpret_cast<const char*>(line), size_t(end));
  return true;
}

}  // namespace veltrano::sim
