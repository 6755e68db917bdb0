#pragma once

#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>

#include "platform/Result.h"

namespace tessarin::platform {

// Runs an outside program the operator named, such as a script that mails an alert. The program
// is started directly with its arguments, never through a shell, so no text in an argument is
// ever taken as a command. Its input is empty and its output is thrown away.
class CommandRunner {
 public:
  virtual ~CommandRunner() = default;

  // Starts `program` with `arguments`; the caller starts the next one only after `done`. `done`
  // is called exactly once, later, from the event loop (never from inside start), with success
  // when the program exited with status 0, or a failure worded for the operator:
  //   "<program> did not start: <reason>"
  //   "<program> exited with status 3"
  //   "<program> crashed"
  //   "<program> ran longer than 30 s and was ended"   (after `timeLimit`, the program is killed)
  // A runner destroyed while its program runs kills the program and does not call `done`.
  virtual void start(const QString& program, const QStringList& arguments,
                     std::chrono::milliseconds timeLimit, std::function<void(Result<>)> done) = 0;
};

}  // namespace tessarin::platform
