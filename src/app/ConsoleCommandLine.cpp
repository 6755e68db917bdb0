#include "app/ConsoleCommandLine.h"

#include <QCommandLineParser>
#include <QDir>

namespace tessarin::app {

namespace {

// PORT, ADDR:PORT or [IPV6]:PORT.
std::optional<ServeAddress> readServeAddress(const QString& text) {
  ServeAddress address;
  QString port = text;
  const qsizetype colon = text.lastIndexOf(':');
  if (colon >= 0) {
    address.host = text.left(colon);
    if (address.host.startsWith('[') && address.host.endsWith(']'))
      address.host = address.host.mid(1, address.host.size() - 2);
    port = text.mid(colon + 1);
  }
  bool ok = false;
  address.port = port.toInt(&ok);
  if (!ok || address.port < 0 || address.port > 65535 || address.host.isEmpty())
    return std::nullopt;
  return address;
}

}  // namespace

ConsoleCommand readConsoleCommand(const QStringList& arguments) {
  QCommandLineParser parser;
  // Qt's own options are single-dash words; read "-platform" as one unknown option, not as eight
  // unknown letters.
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
  const QCommandLineOption version(QStringLiteral("version"));
  const QCommandLineOption settings(QStringLiteral("settings"), QString(), QStringLiteral("DIR"));
  const QCommandLineOption serve(QStringLiteral("serve"), QString(), QStringLiteral("ADDR"));
  const QCommandLineOption newToken(QStringLiteral("new-token"));
  const QCommandLineOption onEvent(QStringLiteral("on-event"), QString(), QStringLiteral("CMD"));
  const QCommandLineOption stabilityAlarm(QStringLiteral("stability-alarm"), QString(),
                                          QStringLiteral("SIGMAS"));
  parser.addOptions({help, version, settings, serve, newToken, onEvent, stabilityAlarm});
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
  } else {
    if (parser.isSet(settings))
      command.settingsFolder = QDir(parser.value(settings)).absolutePath();
    if (parser.isSet(serve)) command.serve = readServeAddress(parser.value(serve));
    command.newToken = parser.isSet(newToken);
    command.eventCommand = parser.value(onEvent);
    bool threshold = true;
    if (parser.isSet(stabilityAlarm))
      command.stabilityThreshold = parser.value(stabilityAlarm).toDouble(&threshold);
    if (parser.isSet(serve) && !command.serve)
      command.problem =
          QStringLiteral("--serve takes PORT or ADDR:PORT, not '%1'.").arg(parser.value(serve));
    else if (command.newToken && !command.serve)
      command.problem = QStringLiteral("--new-token goes with --serve.");
    else if (parser.isSet(onEvent) && command.eventCommand.isEmpty())
      command.problem = QStringLiteral("--on-event needs a command.");
    else if (!threshold || (command.stabilityThreshold && !(*command.stabilityThreshold >= 1 &&
                                                            *command.stabilityThreshold <= 100)))
      command.problem = QStringLiteral("--stability-alarm takes a number from 1 to 100, not '%1'.")
                            .arg(parser.value(stabilityAlarm));
    if (!command.problem.isEmpty()) command.action = ConsoleCommand::Action::Refuse;
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
      "  --serve [ADDR:]PORT\n"
      "                  serve a read-only page of the run, with its plots, facts and events\n"
      "                  and a JSON API, at http://ADDR:PORT/ (ADDR 127.0.0.1 unless given;\n"
      "                  PORT 0 takes a free one). Bound to any address but a loopback one\n"
      "                  (0.0.0.0 included), every request must carry the token printed at\n"
      "                  start-up, as \"Authorization: Bearer TOKEN\" or ?token=TOKEN\n"
      "  --new-token     with --serve: replace the kept token by a new one\n"
      "  --on-event CMD  run the program CMD for every event of a run (started, stopped,\n"
      "                  sample-limit, port-lost, resumed, silence, file-not-written,\n"
      "                  file-written-again, filter-unlocked, mask-failed, mask-met,\n"
      "                  stability-changed, stability-settled) with the event's name and\n"
      "                  text as its two arguments; no shell, one at a time, ended after 30 s\n"
      "  --stability-alarm SIGMAS\n"
      "                  the threshold of the live alarm for a change in the oscillator's\n"
      "                  stability (events stability-changed and stability-settled), in\n"
      "                  units of its tests' spread: default 5, higher for fewer alarms\n"
      "  -h, --help      show this help and exit\n"
      "      --version   show the version and the licence and exit\n"
      "\n"
      "Qt's own options work as usual, e.g. -platform offscreen, -style Fusion, -reverse.\n"
      "Com 1 to Com 4 are /dev/ttyS0 to /dev/ttyS3 unless serialports.txt maps them\n"
      "(Com1=/dev/ttyUSB0); the operator needs access to the device (the group dialout).\n"
      "\n"
      "Example, a second instrument with its own settings and Com port map:\n"
      "  tessarin-console --settings ~/tessarin-bench2\n"
      "Example, a week-long run watched from the office, with a mail for every event:\n"
      "  tessarin-console --serve 0.0.0.0:8080 --on-event ~/bin/mail-event\n");
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
