#include "link/command_framing.h"

#include "../../tests/decoding/test_frames.h"
