#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <utility>

#include "platform/Dialogs.h"

namespace tessarin::unattended {

// The dialogs answered as an operator who lets a measurement run would answer them: the data file
// given here to every save dialog, No to every question, OK to every message. Each message is
// printed on stderr, so that the program's log shows what the operator would have read.
class OperatorAnswers : public platform::Dialogs {
 public:
  explicit OperatorAnswers(QString dataFile) : dataFile_(std::move(dataFile)) {}

  std::optional<QString> saveFileName(const QString& title, const QString& filter,
                                      const QString& defaultExt,
                                      const QString& initialPath) override;
  bool askYesNo(const QString& text, const QString& title) override;
  void message(const QString& text, const QString& title, Icon icon) override;

  // Hears each message's text once it is printed.
  std::function<void(const QString& text)> onMessage;

 private:
  QString dataFile_;
};

}  // namespace tessarin::unattended
