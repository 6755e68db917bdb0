// The rich-text reader behind globalsetting.txt and setting3.txt: any bytes as a file's content.
// Whatever text it reads must come back unchanged when the console writes it and reads it again,
// since the settings make that trip at every save.
#include <QByteArray>
#include <QString>
#include <cstdint>

#include "app/RichText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tessarin::app;
  const QByteArray document(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const QString text = rtfToPlainText(document);
  if (rtfToPlainText(plainTextToRtf(text)) != text) __builtin_trap();
  return 0;
}
