#include "displays/tool_form.h"

#include "../decoding/test_frames.h"
#include "link/serial_link.h"
