#include "decoding/receiver.h"
