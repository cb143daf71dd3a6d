#include "sim/epoch.h"

int main() { return 0; }
