#include "e2e/SimulatorLog.h"

#include <QList>

namespace tessarin::test {

namespace {

// The log writes CR, LF, backslash and every byte outside "!" to "~" as an escape.
QByteArray unescaped(const QByteArray& text) {
  QByteArray bytes;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 >= text.size()) {
      bytes += text[i];
      continue;
    }
    const char code = text[++i];
    if (code == 'r') {
      bytes += '\r';
    } else if (code == 'n') {
      bytes += '\n';
    } else if (code == 'x') {
      bytes += static_cast<char>(text.mid(i + 1, 2).toInt(nullptr, 16));
      i += 2;
    } else {
      bytes += code;
    }
  }
  return bytes;
}

// A log line is the time, a mark and the mark's fields, separated by single spaces.
QList<QByteArray> fieldsOf(const QByteArray& line) { return line.split(' ').mid(1); }

}  // namespace

std::vector<LoggedStream> readLoggedStreams(const QByteArray& log) {
  std::vector<LoggedStream> streams;
  LoggedStream tuning;
  bool streaming = false;
  for (const QByteArray& line : log.split('\n')) {
    const QList<QByteArray> fields = fieldsOf(line);
    if (fields.size() < 2) continue;
    const std::string word = fields[1].toStdString();
    if (fields[0] == "<") {
      if (word.starts_with("TA")) tuning.tauCommand = word;
      if (word.starts_with("DA")) tuning.coarseCommand = word;
      if (word.starts_with("DB")) tuning.fineCommand = word;
      if (word == "PH00" || word == "MK0") streaming = false;
      if (word == "PH05") {
        streams.push_back(tuning);
        streaming = true;
      }
    } else if (fields[0] == ">" && fields.size() >= 3 && streaming) {
      streams.back().sent += unescaped(fields[2]);
      if (fields.size() >= 4 && fields[3].startsWith("t="))
        streams.back().times.push_back(fields[3].mid(2).toDouble());
    } else if (fields[0] == "#" && word == "line" && fields.size() >= 3 && fields[2] == "gone") {
      streaming = false;
    }
  }
  return streams;
}

std::vector<QByteArray> loggedEvents(const QByteArray& log, char mark) {
  std::vector<QByteArray> events;
  for (const QByteArray& line : log.split('\n')) {
    const QList<QByteArray> fields = fieldsOf(line);
    if (!fields.isEmpty() && fields[0] == QByteArray(1, mark))
      events.push_back(fields.mid(1).join(' '));
  }
  return events;
}

}  // namespace tessarin::test
