#include "OperatorAnswers.h"

#include <cstdio>

namespace tessarin::unattended {

std::optional<QString> OperatorAnswers::saveFileName(const QString&, const QString&, const QString&,
                                                     const QString&) {
  return dataFile_;
}

bool OperatorAnswers::askYesNo(const QString&, const QString&) { return false; }

void OperatorAnswers::message(const QString& text, const QString&, Icon) {
  std::fprintf(stderr, "message: %s\n", qPrintable(text));
  if (onMessage) onMessage(text);
}

}  // namespace tessarin::unattended
