#include "decoding/receiver.h"

#include "test_frames.h"
