#include "report/InputFingerprint.h"

#include <QCryptographicHash>
#include <QJsonValue>
#include <algorithm>
#include <utility>

namespace tessarin::analyze::report {

namespace {

constexpr qsizetype kDigestBytes = 32;

// FNV-1a, folded to a byte: fixed, quick and the same on every platform, unlike qHash.
constexpr std::uint32_t kFnvBasis = 2166136261u;
constexpr std::uint32_t kFnvPrime = 16777619u;
constexpr qint64 kReadBlock = qint64{1} << 20;

std::uint32_t hashOn(std::uint32_t hash, QByteArrayView bytes) {
  for (const char byte : bytes) {
    hash ^= static_cast<unsigned char>(byte);
    hash *= kFnvPrime;
  }
  return hash;
}

char folded(std::uint32_t hash) {
  hash ^= hash >> 16;
  hash ^= hash >> 8;
  return static_cast<char>(hash & 0xff);
}

QByteArray blockDigest(const QByteArray& digests, std::int64_t block) {
  return digests.mid(static_cast<qsizetype>(block) * kDigestBytes, kDigestBytes);
}

}  // namespace

Fingerprinter::Fingerprinter()
    : whole_(QCryptographicHash::Sha256),
      block_(QCryptographicHash::Sha256),
      lineHash_(kFnvBasis) {}

void Fingerprinter::feed(QByteArrayView piece) {
  whole_.addData(piece);
  while (!piece.isEmpty()) {
    const qsizetype newline = piece.indexOf('\n');
    const QByteArrayView part = newline < 0 ? piece : piece.first(newline);
    lineHash_ = hashOn(lineHash_, part);
    block_.addData(part);
    lineOpen_ = lineOpen_ || !part.isEmpty();
    if (newline < 0) return;
    block_.addData(QByteArrayView("\n", 1));
    endLine();
    if (fingerprint_.lines % InputFingerprint::kBlockLines == 0) {
      fingerprint_.blockSha256.append(block_.result());
      block_.reset();
    }
    piece = piece.sliced(newline + 1);
  }
}

void Fingerprinter::endLine() {
  fingerprint_.lineHashes.append(folded(lineHash_));
  lineHash_ = kFnvBasis;
  lineOpen_ = false;
  ++fingerprint_.lines;
}

InputFingerprint Fingerprinter::finish() {
  // The last block ends with the file, on a line end or not.
  const bool lastLineOpen = lineOpen_;
  if (lastLineOpen) endLine();
  if (lastLineOpen || fingerprint_.lines % InputFingerprint::kBlockLines != 0)
    fingerprint_.blockSha256.append(block_.result());
  fingerprint_.sha256 = whole_.result();
  return std::move(fingerprint_);
}

InputFingerprint fingerprintOf(QByteArrayView bytes) {
  Fingerprinter fingerprinter;
  fingerprinter.feed(bytes);
  return fingerprinter.finish();
}

std::optional<InputFingerprint> fingerprintOf(QIODevice& device) {
  Fingerprinter fingerprinter;
  QByteArray block(kReadBlock, Qt::Uninitialized);
  while (true) {
    const qint64 got = device.read(block.data(), kReadBlock);
    if (got < 0) return std::nullopt;
    if (got == 0) return fingerprinter.finish();
    fingerprinter.feed(QByteArrayView(block.constData(), got));
  }
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

}  // namespace tessarin::analyze::report
