#include "link/InstrumentLink.h"

#include <string>

namespace tessarin::link {

void InstrumentLink::send(std::string_view command) {
  if (shut_) return;
  std::string framed(command);
  framed += "\r\n";
  const platform::Result<> written = port_.write(framed);
  if (!written && onFailure)
    onFailure(QString::fromLatin1(command.data(), static_cast<qsizetype>(command.size())) + ": " +
              written.reason());
}

}  // namespace tessarin::link
