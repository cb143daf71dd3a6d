#include <QApplication>

#include "mainwindow/main_form.h"
