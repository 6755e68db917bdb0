#include <gtest/gtest.h>

#include <QBuffer>
#include <QCryptographicHash>
#include <algorithm>
#include <string>

#include "report/InputFingerprint.h"

namespace tessarin::analyze::report {
namespace {

// The whole fingerprint in a few hex digits: the SHA-256 of its parts.
std::string digestOf(const InputFingerprint& fingerprint) {
  const QByteArray parts = fingerprint.sha256 + fingerprint.blockSha256 + fingerprint.lineHashes +
                           QByteArray::number(static_cast<qint64>(fingerprint.lines));
  return QCryptographicHash::hash(parts, QCryptographicHash::Sha256).toHex().left(16).toStdString();
}

std::string numberedLines(int count, const char* lineEnd) {
  std::string text;
  for (int k = 1; k <= count; ++k) text += "line " + std::to_string(k) + lineEnd;
  return text;
}

// A report's fingerprint of its input stays what earlier reports recorded, so that they still
// verify; and it does not depend on how the file's bytes arrive.
TEST(InputFingerprint, StaysWhatReportsRecordedHoweverTheBytesArrive) {
  const struct {
    const char* label;
    std::string text;
    std::int64_t lines;
    const char* digest;
  } cases[] = {
      {"empty", "", 0, "38fe84930aa05289"},
      {"CR LF and LF", "a\r\nbc\n", 2, "e95cca53886f0ef0"},
      {"last line without its end", "x\ny", 2, "57d99ec7396c624e"},
      {"one block exactly", numberedLines(1000, "\n"), 1000, "866d130e8c82daf2"},
      {"a block and a line without its end", numberedLines(1000, "\r\n") + "tail", 1001,
       "9b7bd77b801a5aa2"},
      {"three blocks", numberedLines(2500, "\n"), 2500, "3d4e090796fbf191"},
  };
  for (const auto& t : cases) {
    const QByteArray bytes = QByteArray::fromStdString(t.text);
    const InputFingerprint whole = fingerprintOf(bytes);
    EXPECT_EQ(whole.lines, t.lines) << t.label;
    EXPECT_EQ(digestOf(whole), t.digest) << t.label;
    for (const qsizetype piece : {1, 7, 4096}) {
      Fingerprinter pieces;
      for (qsizetype at = 0; at < bytes.size(); at += piece)
        pieces.feed(QByteArrayView(bytes).sliced(at, std::min(piece, bytes.size() - at)));
      EXPECT_EQ(digestOf(pieces.finish()), t.digest) << t.label << ", pieces of " << piece;
    }
    QBuffer file;
    file.setData(bytes);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const auto read = fingerprintOf(file);
    ASSERT_TRUE(read) << t.label;
    EXPECT_EQ(digestOf(*read), t.digest) << t.label << ", read from a device";
  }
}

}  // namespace
}  // namespace tessarin::analyze::report
