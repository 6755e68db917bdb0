#include "app/TextFileStore.h"

#include <QFile>
#include <QSaveFile>

#include "app/RichText.h"

std::optional<QString> TextFileStore::LoadFile(const QString& path, QString& error) {
  error.clear();
  QFile file(path);
  if (!file.exists()) return std::nullopt;
  if (!file.open(QIODevice::ReadOnly)) {
    error = path + ": " + file.errorString();
    return std::nullopt;
  }
  const QByteArray document = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    error = path + ": " + file.errorString();
    return std::nullopt;
  }
  return rtfToPlainText(document);
}

bool TextFileStore::SaveFile(const QString& path, const QString& text, QString& error) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(plainTextToRtf(text)) < 0 || !file.commit()) {
    error = path + ": " + file.errorString();
    return false;
  }
  return true;
}
