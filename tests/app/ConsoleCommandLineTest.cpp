#include <gtest/gtest.h>

#include <QDir>

#include "app/ConsoleCommandLine.h"

namespace tessarin::app {
namespace {

using Action = ConsoleCommand::Action;

struct CommandCase {
  QStringList arguments;  // after the program's name
  Action action;
  QString settingsFolder;
  QString problemNames;  // a word the refusal must contain
};

TEST(ConsoleCommandLineTest, ArgumentsChooseTheSettingsFolderOrAnAnswerOrARefusal) {
  const QString here = QDir::currentPath();
  const CommandCase cases[] = {
      {{}, Action::Run, "", ""},
      {{"--settings", "/srv/bench2"}, Action::Run, "/srv/bench2", ""},
      {{"--settings=/srv/bench2/"}, Action::Run, "/srv/bench2", ""},
      {{"--settings", "bench2"}, Action::Run, here + "/bench2", ""},
      {{"-h"}, Action::ShowHelp, "", ""},
      {{"--settings", "/srv/b", "--help"}, Action::ShowHelp, "", ""},
      // Before Qt has taken its own options they stand beside --version.
      {{"-platform", "offscreen", "--version"}, Action::ShowVersion, "", ""},
      {{"--verbose"}, Action::Refuse, "", "verbose"},
      {{"-platform", "offscreen"}, Action::Refuse, "", "platform"},
      {{"--settings"}, Action::Refuse, "", "settings"},
      {{"notes.DAT"}, Action::Refuse, "", "notes.DAT"},
  };
  for (const CommandCase& c : cases) {
    SCOPED_TRACE(c.arguments.join(' ').toStdString());
    const ConsoleCommand command =
        readConsoleCommand(QStringList{"tessarin-console"} + c.arguments);
    EXPECT_EQ(command.action, c.action);
    EXPECT_EQ(command.settingsFolder, c.settingsFolder);
    EXPECT_TRUE(command.problem.contains(c.problemNames)) << command.problem.toStdString();
    EXPECT_FALSE(command.problem.contains('\n'));
  }
}

}  // namespace
}  // namespace tessarin::app
