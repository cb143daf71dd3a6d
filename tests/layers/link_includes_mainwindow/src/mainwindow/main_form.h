#pragma once
#include "link/synchronisation.h"
