#include "link/line_rate.h"

// termios2 carries the rates as numbers. It comes from the kernel's headers, which
// clash with the C library's <termios.h>; this file therefore includes only these.
#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace veltrano {

namespace {

struct CodedRate {
  int32_t baud;
  tcflag_t code;
};

// The rates that have a code. They are set by their code, which is what programs
// reading the line with tcgetattr (stty, the receiver at the other end of a
// pseudo-terminal) understand; any other rate is set as a number (BOTHER).
constexpr CodedRate kCodedRates[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},         {150, B150},
    {200, B200},         {300, B300},         {600, B600},         {1200, B1200},       {1800, B1800},
    {2400, B2400},       {4800, B4800},       {9600, B9600},       {19200, B19200},     {38400, B38400},
    {57600, B57600},     {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000},
    {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000}, {3500000, B3500000}, {4000000, B4000000}};

tcflag_t rateCode(int32_t baud) {
  for (const CodedRate& rate : kCodedRates)
    if (rate.baud == baud) return rate.code;
  return BOTHER;
}

}  // namespace

bool setLineRate(int descriptor, int32_t baud, LineParity parity) {
  termios2 settings{};
  if (baud <= 0 || ::ioctl(descriptor, TCGETS2, &settings) != 0) return false;
  // No input rate of its own (CIBAUD 0): input runs at the output rate.
  settings.c_cflag &= ~(CBAUD | CIBAUD);
  settings.c_cflag |= rateCode(baud);
  settings.c_ispeed = speed_t(baud);
  settings.c_ospeed = speed_t(baud);
  if (parity != LineParity::Kept) settings.c_cflag &= ~tcflag_t(PARENB | PARODD);
  if (parity == LineParity::Odd) settings.c_cflag |= PARENB | PARODD;
  return ::ioctl(descriptor, TCSETS2, &settings) == 0;
}

}  // namespace veltrano
