#pragma once
// The program's command line. It is read before the application object exists,
// so that --help and --version answer on a terminal without a display.
#include <QString>
#include <QStringList>

#include "mainwindow/start_link.h"

namespace veltrano {

struct CommandLine {
  // False: the program ends at once with `exitStatus`, after `message`
  // (standard output with status 0: help or version; standard error otherwise).
  bool start = true;
  int exitStatus = 0;
  QString message;
  // --home-folder: work in homeWorkFolder().
  bool homeFolder = false;
  // The recording to play at start: none or one.
  QStringList files;
  // --port, --baud, --protocol: selected after the settings are read.
  StartLink link;
};

// `arguments` without the program's own name.
CommandLine readCommandLine(const QStringList& arguments);

// Prints the message of a command line that ends the program; returns the exit
// status, 1 when standard output could not take the message.
int finishCommandLine(const CommandLine& line);

// VELTRANO in the user's home folder: where the program started from the
// desktop keeps its recordings and settings.
QString homeWorkFolder();

// Makes `folder` the current directory, creating it first when missing; false
// with the reason in `error` otherwise.
bool enterWorkFolder(const QString& folder, QString& error);

}  // namespace veltrano
