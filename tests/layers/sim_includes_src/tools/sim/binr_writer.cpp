#include "sim/binr_writer.h"

#include "decoding/crc16.h"
#include "sim/epoch.h"
