#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>

#include "mainwindow/app_context.h"
#include "mainwindow/main_form.h"
#include "mainwindow/start_options.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("VELTRANO"));
  QApplication::setApplicationVersion(QStringLiteral(VELTRANO_VERSION));

  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("VELTRANO: monitor and logger for GNSS receivers."));
  parser.addHelpOption();
  parser.addVersionOption();
  veltrano::addStartLinkOptions(parser);
  parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("A recording (.nme, .dat or .b2) to play."),
                               QStringLiteral("[file]"));
  parser.process(application);
  const auto link = veltrano::readStartLink(parser);
  if (const QString* error = std::get_if<QString>(&link)) {
    std::fprintf(stderr, "veltrano: %s\n", qPrintable(*error));
    return 2;
  }

  veltrano::AppContext app(parser.positionalArguments(), veltrano::SettingsUse::File);
  app.mainForm->setStartLink(std::get<veltrano::StartLink>(link));
  app.mainForm->show();
  return QApplication::exec();
}
