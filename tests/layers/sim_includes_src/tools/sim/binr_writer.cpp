#include "sim/binr_writer.h"

#include "link/serial_link.h"
#include "sim/epoch.h"
