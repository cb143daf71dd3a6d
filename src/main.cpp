#include <QApplication>

#include "mainwindow/app_context.h"
#include "mainwindow/main_form.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("VELTRANO"));
  QApplication::setApplicationVersion(QStringLiteral(VELTRANO_VERSION));
  QStringList arguments = QApplication::arguments();
  arguments.removeFirst();
  veltrano::AppContext app(arguments, veltrano::SettingsUse::File);
  app.mainForm->show();
  return QApplication::exec();
}
