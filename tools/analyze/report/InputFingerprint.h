#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QCryptographicHash>
#include <QIODevice>
#include <QJsonObject>
#include <QString>
#include <cstdint>
#include <optional>

namespace tessarin::analyze::report {

// What a report keeps of its input file to tell later whether the file is still the same and, if
// not, which line changed: the SHA-256 of the whole file, the SHA-256 of every block of
// kBlockLines lines, and one byte per line (FNV-1a of the line, folded to 8 bits). Lines are cut
// at '\n' and counted from 1 as the readers count them; a '\r' belongs to its line.
struct InputFingerprint {
  static constexpr std::int64_t kBlockLines = 1000;

  QByteArray sha256;       // of the whole file
  std::int64_t lines = 0;  // a last line without its line end counts
  QByteArray blockSha256;  // 32 bytes per block, in order
  QByteArray lineHashes;   // one byte per line
};

// Fingerprints a file's bytes as they arrive, a piece at a time: the file need not be held whole.
class Fingerprinter {
 public:
  Fingerprinter();
  void feed(QByteArrayView piece);
  InputFingerprint finish();

 private:
  void endLine();

  InputFingerprint fingerprint_;
  QCryptographicHash whole_;
  QCryptographicHash block_;
  std::uint32_t lineHash_;
  bool lineOpen_ = false;  // bytes of a line seen, its line end not yet
};

InputFingerprint fingerprintOf(QByteArrayView bytes);

// The fingerprint of the open `device`, read to its end in large blocks; nothing when a read
// fails.
std::optional<InputFingerprint> fingerprintOf(QIODevice& device);

// As a report's JSON holds it, and back; nothing from an object that lacks a field.
QJsonObject toJson(const InputFingerprint& fingerprint);
std::optional<InputFingerprint> fingerprintFrom(const QJsonObject& object);

// Where `now` departs from `recorded`, for a message after "FILE:": "20: the line has changed"
// for the first line whose byte differs inside the first block whose SHA-256 differs. A change
// that the one-byte hash misses (1 in 256) names the block's lines instead. Empty when the two
// agree.
QString firstChange(const InputFingerprint& recorded, const InputFingerprint& now);

}  // namespace tessarin::analyze::report
