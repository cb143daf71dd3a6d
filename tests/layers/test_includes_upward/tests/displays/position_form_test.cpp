#include "displays/position_form.h"

#include "../decoding/test_frames.h"
#include "mainwindow/app_context.h"
