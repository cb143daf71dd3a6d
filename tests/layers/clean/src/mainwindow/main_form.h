#pragma once
#include "control/control_form.h"
#include "displays/tool_form.h"
