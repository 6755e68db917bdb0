#include "InputFingerprint.h"

#include <QCryptographicHash>
#include <QJsonValue>
#include <algorithm>

namespace tessarin::analyze {

namespace {

constexpr qsizetype kDigestBytes = 32;

// FNV-1a: fixed, quick and the same on every platform, unlike qHash.
char lineHash(QByteArrayView line) {
  std::uint32_t hash = 2166136261u;
  for (const char byte : line) {
    hash ^= static_cast<unsigned char>(byte);
    hash *= 16777619u;
  }
  hash ^= hash >> 16;
  hash ^= hash >> 8;
  return static_cast<char>(hash & 0xff);
}

QByteArray blockDigest(const QByteArray& digests, std::int64_t block) {
  return digests.mid(static_cast<qsizetype>(block) * kDigestBytes, kDigestBytes);
}

}  // namespace

InputFingerprint fingerprintOf(const QByteArray& bytes) {
  InputFingerprint fingerprint;
  fingerprint.sha256 = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
  QCryptographicHash block(QCryptographicHash::Sha256);
  qsizetype start = 0;
  while (start < bytes.size()) {
    qsizetype end = bytes.indexOf('\n', start);
    end = end < 0 ? bytes.size() : end + 1;
    const QByteArrayView line(bytes.constData() + start, end - start);
    fingerprint.lineHashes.append(lineHash(line.endsWith('\n') ? line.chopped(1) : line));
    block.addData(line);
    if (++fingerprint.lines % InputFingerprint::kBlockLines == 0 || end == bytes.size()) {
      fingerprint.blockSha256.append(block.result());
      block.reset();
    }
    start = end;
  }
  return fingerprint;
}

QJsonObject toJson(const InputFingerprint& fingerprint) {
  return {{"sha256", QString::fromLatin1(fingerprint.sha256.toHex())},
          {"lines", static_cast<qint64>(fingerprint.lines)},
          {"blockLines", static_cast<qint64>(InputFingerprint::kBlockLines)},
          {"blockSha256", QString::fromLatin1(fingerprint.blockSha256.toBase64())},
          {"lineHashes", QString::fromLatin1(fingerprint.lineHashes.toBase64())}};
}

std::optional<InputFingerprint> fingerprintFrom(const QJsonObject& object) {
  const QStringList fields = {"sha256", "blockSha256", "lineHashes"};
  for (const QString& field : fields)
    if (!object.value(field).isString()) return std::nullopt;
  if (!object.value("lines").isDouble() ||
      object.value("blockLines").toInteger() != InputFingerprint::kBlockLines)
    return std::nullopt;
  InputFingerprint fingerprint;
  fingerprint.sha256 = QByteArray::fromHex(object.value("sha256").toString().toLatin1());
  fingerprint.lines = object.value("lines").toInteger();
  fingerprint.blockSha256 =
      QByteArray::fromBase64(object.value("blockSha256").toString().toLatin1());
  fingerprint.lineHashes = QByteArray::fromBase64(object.value("lineHashes").toString().toLatin1());
  if (fingerprint.lineHashes.size() != fingerprint.lines) return std::nullopt;
  return fingerprint;
}

QString firstChange(const InputFingerprint& recorded, const InputFingerprint& now) {
  if (recorded.sha256 == now.sha256) return {};
  const std::int64_t blocks =
      std::max(recorded.blockSha256.size(), now.blockSha256.size()) / kDigestBytes;
  for (std::int64_t block = 0; block < blocks; ++block) {
    if (blockDigest(recorded.blockSha256, block) == blockDigest(now.blockSha256, block)) continue;
    const std::int64_t first = block * InputFingerprint::kBlockLines;
    const std::int64_t last =
        std::min(first + InputFingerprint::kBlockLines, std::max(recorded.lines, now.lines));
    for (std::int64_t line = first; line < last; ++line) {
      if (line >= now.lines) return QString("%1: the file now ends before this line").arg(line + 1);
      if (line >= recorded.lines)
        return QString("%1: the file now goes on past its last line, %2")
            .arg(line + 1)
            .arg(recorded.lines);
      const auto at = static_cast<qsizetype>(line);
      if (recorded.lineHashes.at(at) != now.lineHashes.at(at))
        return QString("%1: the line has changed").arg(line + 1);
    }
    return QString("%1: a line from here to line %2 has changed (their one-byte hashes agree)")
        .arg(first + 1)
        .arg(last);
  }
  return QStringLiteral("1: the file has changed (its SHA-256 differs)");
}

}  // namespace tessarin::analyze
