#pragma once
// #include "mainwindow/main_form.h" stays a comment
