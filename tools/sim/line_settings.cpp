#include "sim/line_settings.h"

// The kernel's termios2 carries the rates as numbers, custom rates included;
// this file therefore uses the kernel headers rather than <termios.h>.
#include <asm/ioctls.h>
#include <asm/termbits.h>

extern "C" int ioctl(int fd, unsigned long request, ...);

namespace veltrano::sim {

LineSettings readLineSettings(int masterFd) {
  LineSettings settings;
  termios2 t{};
  if (ioctl(masterFd, TCGETS2, &t) != 0) return settings;
  settings.known = true;
  settings.inputBaud = t.c_ispeed;
  settings.outputBaud = t.c_ospeed;
  return settings;
}

bool lineMatches(const LineSettings& settings, int32_t baud) {
  return settings.known && settings.outputBaud == uint32_t(baud) &&
         (settings.inputBaud == 0 || settings.inputBaud == uint32_t(baud));
}

uint8_t garbleByte(uint8_t b) { return uint8_t(0x80 | ((b * 0x9Du) ^ (b >> 3) ^ 0x2Cu)); }

}  // namespace veltrano::sim
