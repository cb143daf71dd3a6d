#include "link/read_thread.h"

#include "mainwindow/not_written_yet.h"
