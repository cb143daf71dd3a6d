#include "mainwindow/main_form.h"

int main() { return 0; }
