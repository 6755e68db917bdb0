#include "qt/watch/QtCommandRunner.h"

#include <QRegularExpression>

namespace tessarin::qt {

using platform::Result;

namespace {

// How long the runner, when it goes, waits for its killed program to be gone.
constexpr int kKilledWaitMs = 1000;

// Why the program did not start, without the name of the system call Qt puts in front
// ("execvp: No such file or directory" is "No such file or directory" to the operator).
QString startFailure(const QString& errorString) {
  static const QRegularExpression systemCall(QStringLiteral("^.*\\bexec\\w*: "));
  QString reason = errorString;
  return reason.remove(systemCall);
}

}  // namespace

QtCommandRunner::QtCommandRunner() {
  limit_.setSingleShot(true);
  QObject::connect(&limit_, &QTimer::timeout, &context_, [this] {
    if (!process_) return;
    overTime_ = true;
    process_->kill();  // the time-limit failure is reported once it has ended
  });
}

QtCommandRunner::~QtCommandRunner() {
  if (!process_) return;
  QObject::disconnect(process_.get(), nullptr, &context_, nullptr);
  process_->kill();
  process_->waitForFinished(kKilledWaitMs);  // reaps it: no zombie is left behind
}

void QtCommandRunner::start(const QString& program, const QStringList& arguments,
                            std::chrono::milliseconds timeLimit,
                            std::function<void(Result<>)> done) {
  program_ = program;
  timeLimit_ = timeLimit;
  done_ = std::move(done);
  overTime_ = false;
  process_ = std::make_unique<QProcess>();
  process_->setStandardInputFile(QProcess::nullDevice());
  process_->setStandardOutputFile(QProcess::nullDevice());
  process_->setStandardErrorFile(QProcess::nullDevice());
  QObject::connect(
      process_.get(), &QProcess::errorOccurred, &context_, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart && process_)
          finish(Result<>::failure(program_ +
                                   " did not start: " + startFailure(process_->errorString())));
      });
  QObject::connect(process_.get(), &QProcess::finished, &context_,
                   [this](int code, auto status) { ended(code, status); });
  // Armed first: some failures to start are reported from inside QProcess::start.
  limit_.start(timeLimit);
  process_->start(program, arguments);
}

void QtCommandRunner::ended(int exitCode, QProcess::ExitStatus status) {
  if (overTime_) {
    const QString seconds = QString::number(static_cast<double>(timeLimit_.count()) / 1000.0);
    finish(Result<>::failure(program_ + " ran longer than " + seconds + " s and was ended"));
  } else if (status == QProcess::CrashExit) {
    finish(Result<>::failure(program_ + " crashed"));
  } else if (exitCode != 0) {
    finish(Result<>::failure(program_ + " exited with status " + QString::number(exitCode)));
  } else {
    finish({});
  }
}

void QtCommandRunner::finish(Result<> outcome) {
  limit_.stop();
  QObject::disconnect(process_.get(), nullptr, &context_, nullptr);
  // It may be in the middle of emitting a signal; it is deleted once that is over.
  process_.release()->deleteLater();
  // Queued, so that `done` never runs inside start() and may start the next program itself.
  QMetaObject::invokeMethod(
      &context_, [done = std::move(done_), outcome] { done(outcome); }, Qt::QueuedConnection);
}

}  // namespace tessarin::qt
