#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <QStringList>
#include <cstdio>

#include "app/ConsoleCommandLine.h"
#include "app/SettingsFolder.h"
#include "qt/ConsoleApp.h"

namespace {

using tessarin::app::ConsoleCommand;

QStringList argumentsOf(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  return arguments;
}

int refuse(const QString& problem) {
  std::fprintf(stderr, "tessarin-console: %s Try --help.\n", qPrintable(problem));
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  // --help and --version are answered before Qt looks for a display, so that they work on a
  // text console too.
  const ConsoleCommand early = tessarin::app::readConsoleCommand(argumentsOf(argc, argv));
  if (early.action == ConsoleCommand::Action::ShowHelp ||
      early.action == ConsoleCommand::Action::ShowVersion) {
    const QString text = early.action == ConsoleCommand::Action::ShowHelp
                             ? tessarin::app::consoleHelp()
                             : tessarin::app::consoleVersion();
    std::fputs(qPrintable(text), stdout);
    return 0;
  }

  QApplication qapp(argc, argv);
  QApplication::setApplicationName("tessarin-console");
  const ConsoleCommand command = tessarin::app::readConsoleCommand(QApplication::arguments());
  if (command.action == ConsoleCommand::Action::Refuse) return refuse(command.problem);

  QString folder = command.settingsFolder;
  if (folder.isEmpty())
    folder = tessarin::app::chooseSettingsFolder(
        QApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation),
        QStringLiteral(TESSARIN_INSTALLED_BINDIR));
  else if (!QDir().mkpath(folder))
    return refuse(QStringLiteral("Cannot make the settings folder %1.").arg(folder));

  tessarin::qt::ConsoleApp app(folder);
  if (command.serve) {
    const auto page = app.serve(*command.serve, command.newToken);
    if (!page) return refuse(page.reason());
    std::printf("Serving the run's page at %s\n", qPrintable(page.value().url));
    if (!page.value().token.isEmpty())
      std::printf("Token: %s\nOpen: %s?token=%s\n", qPrintable(page.value().token),
                  qPrintable(page.value().url), qPrintable(page.value().token));
    std::fflush(stdout);
  }
  if (!command.eventCommand.isEmpty()) app.alertWith(command.eventCommand);
  if (command.stabilityThreshold) app.console().setStabilityThreshold(*command.stabilityThreshold);
  app.window().show();
  return QApplication::exec();
}
