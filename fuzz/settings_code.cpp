// globalsetting.txt's text, as readGlobalSettings reads it: the leading number of the document's
// plain text applied to the option menus, then packed again as the next run start saves it.
#include <QByteArray>
#include <cstdint>

#include "app/Menus.h"
#include "app/RichText.h"
#include "app/RunChoicesFromMenus.h"
#include "app/SettingsCode.h"
#include "app/Windows.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tessarin::app;
  const QByteArray document(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  Menus menus;
  const Windows windows;
  applySettingsCode(menus, leadingNumber(rtfToPlainText(document)));
  const int code = encodeSettingsCode(readRunChoices(menus, windows));
  // Three digits: data type 0 to 2, port 0 to 4, filter 0 or 1.
  if (code < 0 || code > 241 || code / 10 % 10 > 4 || code % 10 > 1) __builtin_trap();
  return 0;
}
