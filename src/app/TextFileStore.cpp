#include "app/TextFileStore.h"

#include <QFile>
#include <QSaveFile>

#include "app/RichText.h"

namespace tessarin::app {

platform::Result<std::optional<QString>> loadTextFile(const QString& path) {
  using Loaded = platform::Result<std::optional<QString>>;
  QFile file(path);
  if (!file.exists()) return std::optional<QString>();
  if (!file.open(QIODevice::ReadOnly)) return Loaded::failure(path + ": " + file.errorString());
  const QByteArray document = file.readAll();
  if (file.error() != QFileDevice::NoError)
    return Loaded::failure(path + ": " + file.errorString());
  return std::optional<QString>(rtfToPlainText(document));
}

platform::Result<> saveTextFile(const QString& path, const QString& text) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(plainTextToRtf(text)) < 0 || !file.commit())
    return platform::Result<>::failure(path + ": " + file.errorString());
  return {};
}

}  // namespace tessarin::app
