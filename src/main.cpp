#include <QApplication>
#include <QIcon>
#include <QMessageBox>

#include "mainwindow/app_context.h"
#include "mainwindow/command_line.h"
#include "mainwindow/main_form.h"

int main(int argc, char* argv[]) {
  QStringList arguments;
  for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  const veltrano::CommandLine line = veltrano::readCommandLine(arguments);
  if (!line.start) return veltrano::finishCommandLine(line);

  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("VELTRANO"));
  QApplication::setApplicationVersion(QStringLiteral(VELTRANO_VERSION));
  QApplication::setDesktopFileName(QStringLiteral(VELTRANO_APP_ID));
  QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(VELTRANO_APP_ID)));
  QString error;
  if (line.homeFolder && !veltrano::enterWorkFolder(veltrano::homeWorkFolder(), error))
    QMessageBox::warning(nullptr, QStringLiteral("VELTRANO"), error);
  veltrano::AppContext app(line.files, veltrano::SettingsUse::File);
  app.mainForm->setStartLink(line.link);
  app.mainForm->show();
  return QApplication::exec();
}
