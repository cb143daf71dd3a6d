#pragma once
#include "control/control_panel.h"
#include "link/serial_link.h"
