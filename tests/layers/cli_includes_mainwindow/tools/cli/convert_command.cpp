#include "convert_command.h"

#include "decoding/receiver.h"
#include "mainwindow/nmea_conversion_writer.h"
