#pragma once
#include "decoding/message_fan_out.h"
