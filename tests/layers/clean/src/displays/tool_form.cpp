#include "displays/tool_form.h"

#include "util/statistic_filter.h"
