#pragma once
#include <cstdint>

#include "../util/formatters.h"
#include "crc16.h"
