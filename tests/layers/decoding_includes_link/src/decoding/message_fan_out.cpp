#include "decoding/message_fan_out.h"

#include "link/sync_search_table.h"
