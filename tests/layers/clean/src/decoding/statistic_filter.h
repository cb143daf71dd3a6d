#pragma once
#include "decoding/receiver.h"
#include "util/formatters.h"
