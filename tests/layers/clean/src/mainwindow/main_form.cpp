#include "mainwindow/main_form.h"

#include "decoding/receiver.h"
#include "link/serial_link.h"
