#include "decoding/receiver.h"
#include "json_writer.h"
#include "util/formatters.h"

int main() { return 0; }
