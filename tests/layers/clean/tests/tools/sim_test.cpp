#include "decoding/crc16.h"
#include "sim/epoch.h"
#include "sim_process.h"
