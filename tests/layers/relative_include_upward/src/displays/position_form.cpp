#include "displays/position_form.h"

#include "../mainwindow/app_context.h"
#include "auto_label.h"
