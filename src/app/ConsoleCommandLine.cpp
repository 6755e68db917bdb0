#include "app/ConsoleCommandLine.h"

#include <QCommandLineParser>
#include <QDir>

namespace tessarin::app {

ConsoleCommand readConsoleCommand(const QStringList& arguments) {
  QCommandLineParser parser;
  // Qt's own options are single-dash words; read "-platform" as one unknown option, not as eight
  // unknown letters.
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
  const QCommandLineOption version(QStringLiteral("version"));
  const QCommandLineOption settings(QStringLiteral("settings"), QString(), QStringLiteral("DIR"));
  parser.addOptions({help, version, settings});
  const bool understood = parser.parse(arguments);

  ConsoleCommand command;
  if (parser.isSet(help)) {
    command.action = ConsoleCommand::Action::ShowHelp;
  } else if (parser.isSet(version)) {
    command.action = ConsoleCommand::Action::ShowVersion;
  } else if (!understood) {
    command.action = ConsoleCommand::Action::Refuse;
    command.problem = parser.errorText();
  } else if (!parser.positionalArguments().isEmpty()) {
    command.action = ConsoleCommand::Action::Refuse;
    command.problem =
        QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().first());
  } else if (parser.isSet(settings)) {
    command.settingsFolder = QDir(parser.value(settings)).absolutePath();
  }
  return command;
}

QString consoleHelp() {
  return QStringLiteral(
      "Usage: tessarin-console [OPTION]... [QT-OPTION]...\n"
      "The console of the Tessarin / RS time-and-frequency measuring instrument: it tunes the\n"
      "instrument on its RS-232 port to an oscillator under test, records phase or\n"
      "fractional-frequency samples to a .DAT file and shows the data and the Allan deviation\n"
      "while the measurement runs.\n"
      "\n"
      "  --settings DIR  keep globalsetting.txt, setting3.txt and serialports.txt in DIR (made\n"
      "                  when missing), e.g. one folder per instrument on a PC with two; without\n"
      "                  it they are kept in the program's folder or, where that is not\n"
      "                  writable, in ~/.config/tessarin-console/\n"
      "  -h, --help      show this help and exit\n"
      "      --version   show the version and the licence and exit\n"
      "\n"
      "Qt's own options work as usual, e.g. -platform offscreen, -style Fusion, -reverse.\n"
      "Com 1 to Com 4 are /dev/ttyS0 to /dev/ttyS3 unless serialports.txt maps them\n"
      "(Com1=/dev/ttyUSB0); the operator needs access to the device (the group dialout).\n"
      "\n"
      "Example, a second instrument with its own settings and Com port map:\n"
      "  tessarin-console --settings ~/tessarin-bench2\n");
}

QString consoleVersion() {
  return QStringLiteral(
             "tessarin-console (Tessarin / RS) %1\n"
             "Copyright (C) 2026 The Tessarin / RS console developers\n"
             "License GPL-3.0-or-later: GNU GPL version 3 or later "
             "<https://gnu.org/licenses/gpl.html>.\n"
             "This is free software: you are free to change and redistribute it.\n"
             "There is NO WARRANTY, to the extent permitted by law.\n")
      .arg(QStringLiteral(TESSARIN_VERSION));
}

}  // namespace tessarin::app
