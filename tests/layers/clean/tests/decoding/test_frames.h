#pragma once
#include "decoding/crc16.h"
