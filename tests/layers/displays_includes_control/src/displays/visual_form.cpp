#include "displays/visual_form.h"
#include "control/control_form.h"
