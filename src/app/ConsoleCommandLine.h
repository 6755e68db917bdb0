#pragma once

#include <QString>
#include <QStringList>

namespace tessarin::app {

// What the operator asked for on the console's command line.
struct ConsoleCommand {
  enum class Action { Run, ShowHelp, ShowVersion, Refuse };
  Action action = Action::Run;
  // --settings DIR as an absolute path; empty for the usual settings folder.
  QString settingsFolder;
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
