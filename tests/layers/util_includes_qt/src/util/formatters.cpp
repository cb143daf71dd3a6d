#include "util/formatters.h"

#include <QString>
#include <string>
