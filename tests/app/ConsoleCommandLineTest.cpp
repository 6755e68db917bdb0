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
      {{"--serve", "8080:"}, Action::Refuse, "", "8080:"},
      {{"--serve", "70000"}, Action::Refuse, "", "70000"},
      {{"--serve", ":8080"}, Action::Refuse, "", ":8080"},
      {{"--new-token"}, Action::Refuse, "", "--serve"},
      {{"--on-event="}, Action::Refuse, "", "--on-event"},
      {{"--stability-alarm", "7"}, Action::Run, "", ""},
      {{"--stability-alarm", "0.5"}, Action::Refuse, "", "--stability-alarm"},
      {{"--stability-alarm", "five"}, Action::Refuse, "", "five"},
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
  EXPECT_EQ(readConsoleCommand({"tessarin-console", "--stability-alarm", "7"}).stabilityThreshold,
            7.0);
}

TEST(ConsoleCommandLineTest, ServeTakesAPortOrAnAddressAndAPortAndTheEventCommandAsItIs) {
  struct ServeCase {
    QStringList arguments;
    QString host;
    int port;
  };
  const ServeCase cases[] = {
      {{"--serve", "8080"}, "127.0.0.1", 8080},
      {{"--serve", "0.0.0.0:0"}, "0.0.0.0", 0},
      {{"--serve=[::1]:8080", "--new-token"}, "::1", 8080},
      {{"--serve", "fe80::1:8080"}, "fe80::1", 8080},
  };
  for (const ServeCase& c : cases) {
    const ConsoleCommand command =
        readConsoleCommand(QStringList{"tessarin-console"} + c.arguments);
    ASSERT_TRUE(command.serve) << c.arguments.join(' ').toStdString();
    EXPECT_EQ(command.serve->host, c.host);
    EXPECT_EQ(command.serve->port, c.port);
  }
  const ConsoleCommand command =
      readConsoleCommand({"tessarin-console", "--on-event", "/home/op/bin/mail event; rm -rf ~"});
  EXPECT_EQ(command.action, Action::Run);
  EXPECT_FALSE(command.serve);
  EXPECT_EQ(command.eventCommand, "/home/op/bin/mail event; rm -rf ~");
}

}  // namespace
}  // namespace tessarin::app
