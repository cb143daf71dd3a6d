#pragma once
// The rate of a serial line as a number: any rate a receiver may run at, also one
// without a termios code of its own (250000). The parity is set in the same step:
// through the C library it cannot be set reliably on a pseudo-terminal, which
// drops PARENB; Debian's tcsetattr reads the settings back and then reports
// setting odd parity a second time as a failure.
#include <cstdint>

namespace veltrano {

enum class LineParity { Kept, None, Odd };

// Sets both directions of the open terminal `descriptor` to `baud`, and its parity
// unless Kept, at once and without touching its other settings or what is queued;
// false when it refuses.
bool setLineRate(int descriptor, int32_t baud, LineParity parity);

}  // namespace veltrano
