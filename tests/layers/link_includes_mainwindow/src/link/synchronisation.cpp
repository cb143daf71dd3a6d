#include "link/synchronisation.h"

#include <QTimer>

#include "decoding/receiver.h"
#include "mainwindow/main_form.h"
