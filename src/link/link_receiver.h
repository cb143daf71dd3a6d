#pragma once
// Where the serial reader delivers what it read, on the main thread: the
// stream intake.
#include "decoding/block_receiver.h"

namespace veltrano {

using LinkReceiver = BlockReceiver;

}  // namespace veltrano
