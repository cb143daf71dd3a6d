#pragma once
#include <QObject>

#include "decoding/receiver.h"
#include "util/formatters.h"
