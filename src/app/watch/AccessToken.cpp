#include "app/watch/AccessToken.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QUrlQuery>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace tessarin::app::watch {

namespace {

constexpr QFileDevice::Permissions kOthers = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                             QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                             QFileDevice::WriteOther | QFileDevice::ExeOther;

bool looksLikeToken(const QByteArray& text) {
  if (text.size() != 64) return false;
  for (const char c : text)
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

// Writes the token to a new file that only the operator may read, then puts it in place of the
// old one at once, so that the secret is never readable by others, not even for a moment.
platform::Result<> keep(const QString& path, const QString& token) {
  const QByteArray target = QFile::encodeName(path);
  const QByteArray temporary = target + ".new";
  const QByteArray text = token.toLatin1() + '\n';
  ::unlink(temporary.constData());
  const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  bool ok = fd >= 0 && ::fchmod(fd, 0600) == 0 &&
            ::write(fd, text.constData(), std::size_t(text.size())) == text.size() &&
            ::fsync(fd) == 0;
  int error = errno;
  if (fd >= 0 && ::close(fd) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (ok && std::rename(temporary.constData(), target.constData()) == 0) return {};
  if (ok) error = errno;
  ::unlink(temporary.constData());
  return platform::Result<>::failure(path + ": " + QString::fromLocal8Bit(std::strerror(error)));
}

}  // namespace

QString makeToken() {
  std::array<quint32, 8> words;
  QRandomGenerator::system()->fillRange(words.data(), words.size());
  return QString::fromLatin1(
      QByteArray(reinterpret_cast<const char*>(words.data()), sizeof(words)).toHex());
}

platform::Result<QString> loadOrMakeToken(const QString& settingsFolder, bool renew) {
  const QString path = QDir(settingsFolder).filePath(kTokenFile);
  QFile old(path);
  if (!renew && old.open(QIODevice::ReadOnly)) {
    const QByteArray text = old.read(128).trimmed();
    // A token file others may read is no secret any more: a new one replaces it.
    if (looksLikeToken(text) && (old.permissions() & kOthers) == 0)
      return QString::fromLatin1(text);
  }
  const QString token = makeToken();
  const platform::Result<> kept = keep(path, token);
  if (!kept) return platform::Result<QString>::failure(kept.reason());
  return token;
}

bool sameSecret(QByteArrayView given, QByteArrayView expected) {
  if (given.size() != expected.size() || expected.isEmpty()) return false;
  unsigned char difference = 0;
  for (qsizetype i = 0; i < expected.size(); ++i)
    difference |= static_cast<unsigned char>(given[i] ^ expected[i]);
  return difference == 0;
}

bool carriesToken(const QByteArray& target, const QByteArray& authorization,
                  const QByteArray& token) {
  static const QByteArray kBearer = "Bearer ";
  if (authorization.startsWith(kBearer) &&
      sameSecret(QByteArrayView(authorization).sliced(kBearer.size()).trimmed(), token))
    return true;
  const qsizetype query = target.indexOf('?');
  if (query < 0) return false;
  const QUrlQuery items(QString::fromLatin1(target.mid(query + 1)));
  return sameSecret(items.queryItemValue(QStringLiteral("token"), QUrl::FullyDecoded).toLatin1(),
                    token);
}

}  // namespace tessarin::app::watch
