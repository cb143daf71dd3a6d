#include "mainwindow/main_form.h"

#include "../tools/sim_process.h"
#include "control/control_form.h"
