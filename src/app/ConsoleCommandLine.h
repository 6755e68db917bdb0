#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace tessarin::app {

// Where the run's page is served: a host address as text (checked by the server) and a port,
// 0 for any free one.
struct ServeAddress {
  QString host = QStringLiteral("127.0.0.1");
  int port = 0;
};

// What the operator asked for on the console's command line.
struct ConsoleCommand {
  enum class Action { Run, ShowHelp, ShowVersion, Refuse };
  Action action = Action::Run;
  // --settings DIR as an absolute path; empty for the usual settings folder.
  QString settingsFolder;
  // --serve [ADDR:]PORT: the run's page is served there.
  std::optional<ServeAddress> serve;
  // --new-token: the served page's token is made anew.
  bool newToken = false;
  // --on-event COMMAND: the program run for every event of a run; empty for none.
  QString eventCommand;
  // --stability-alarm SIGMAS: the live stability-change alarm's threshold; nothing for its
  // default.
  std::optional<double> stabilityThreshold;
  // Why the command line is refused, in one line.
  QString problem;
};

// Reads the console's arguments, the program name first. --help and --version win over anything
// else on the line, so that they can be answered before Qt has taken its own options (-platform,
// -style); everything else must be read from what Qt leaves (QApplication::arguments()), since
// an option the console does not know is refused.
ConsoleCommand readConsoleCommand(const QStringList& arguments);

QString consoleHelp();
QString consoleVersion();

}  // namespace tessarin::app
