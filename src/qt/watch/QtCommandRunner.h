#pragma once

#include <QObject>
#include <QProcess>
#include <QTimer>
#include <memory>

#include "platform/CommandRunner.h"

namespace tessarin::qt {

// Runs the operator's program on QProcess, with empty input and its output going to the null
// device, so that a chatty program can never stall on a full pipe.
class QtCommandRunner : public platform::CommandRunner {
 public:
  QtCommandRunner();
  ~QtCommandRunner() override;

  void start(const QString& program, const QStringList& arguments,
             std::chrono::milliseconds timeLimit,
             std::function<void(platform::Result<>)> done) override;

 private:
  void ended(int exitCode, QProcess::ExitStatus status);
  void finish(platform::Result<> outcome);

  // Receives the queued calls of `done`; those still waiting go with it when the runner goes.
  QObject context_;
  QTimer limit_;
  std::unique_ptr<QProcess> process_;  // the program running; null between runs
  QString program_;
  std::chrono::milliseconds timeLimit_{0};
  std::function<void(platform::Result<>)> done_;
  bool overTime_ = false;  // the time limit ended the program
};

}  // namespace tessarin::qt
