#pragma once
// The program's command-line options that choose the receiver's port, rate and protocol.
#include <QString>
#include <variant>

#include "mainwindow/start_link.h"

class QCommandLineParser;

namespace veltrano {

// Adds --port PATH, --baud RATE and --protocol nmea|binr|binr2.
void addStartLinkOptions(QCommandLineParser& parser);

// What the parsed options name, or the error text for a value that cannot be used.
std::variant<StartLink, QString> readStartLink(const QCommandLineParser& parser);

}  // namespace veltrano
