#pragma once
#include <QWidget>

#include "link/serial_link.h"
