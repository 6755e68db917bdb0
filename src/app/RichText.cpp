#include "app/RichText.h"

#include <QHash>
#include <QSet>
#include <QStringDecoder>
#include <algorithm>
#include <optional>
#include <vector>

namespace tessarin::app {

namespace {

constexpr int kDefaultCodePage = 1252;

// Windows-1252 in 0x80-0x9F, where it differs from Latin-1. The five holes keep their byte value,
// as Windows itself decodes them.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString decodeCp1252(const QByteArray& bytes) {
  QString text;
  text.reserve(bytes.size());
  for (const char byte : bytes) {
    const auto b = static_cast<unsigned char>(byte);
    text += (b >= 0x80 && b <= 0x9F) ? QChar(kCp1252High[b - 0x80]) : QChar(b);
  }
  return text;
}

// Decodes the bytes of the document's text in its code page. A code page the system cannot
// decode is read as Windows-1252, the code page of nearly every file these editors write.
class CodePageDecoder {
 public:
  void setCodePage(int codePage) {
    decoder_.reset();
    if (codePage == 65001) {
      decoder_.emplace(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
      return;
    }
    const QByteArray number = QByteArray::number(codePage);
    const QByteArray names[] = {codePage == 10000 ? QByteArray("macintosh") : "windows-" + number,
                                "CP" + number, "IBM" + number};
    for (const QByteArray& name : names) {
      QStringDecoder decoder(name.constData(), QStringDecoder::Flag::Stateless);
      if (!decoder.isValid()) continue;
      decoder_.emplace(std::move(decoder));
      return;
    }
  }
  QString decode(const QByteArray& bytes) {
    return decoder_ ? decoder_->decode(bytes) : decodeCp1252(bytes);
  }

 private:
  std::optional<QStringDecoder> decoder_;
};

// Destinations whose content is not part of the document's text.
bool isSkippedDestination(const QByteArray& word) {
  static const QSet<QByteArray> skipped = {
      "fonttbl",      "colortbl",   "stylesheet", "info",       "pict",
      "header",       "headerl",    "headerr",    "headerf",    "footer",
      "footerl",      "footerr",    "footerf",    "listtable",  "listoverridetable",
      "revtbl",       "rsidtbl",    "filetbl",    "generator",  "xmlnstbl",
      "fldinst",      "object",     "objdata",    "themedata",  "colorschememapping",
      "latentstyles", "datastore",  "footnote",   "annotation", "atnid",
      "atnauthor",    "nonshppict", "template",   "userprops",  "bkmkstart",
      "bkmkend",      "pgdsctbl",   "mmathPr",    "private"};
  return skipped.contains(word);
}

// Control words that stand for one character of text.
std::optional<char16_t> characterOf(const QByteArray& word) {
  static const QHash<QByteArray, char16_t> characters = {
      {"line", u'\n'},        {"sect", u'\n'},          {"row", u'\n'},
      {"tab", u'\t'},         {"cell", u'\t'},          {"emdash", u'\u2014'},
      {"endash", u'\u2013'},  {"bullet", u'\u2022'},    {"lquote", u'\u2018'},
      {"rquote", u'\u2019'},  {"ldblquote", u'\u201C'}, {"rdblquote", u'\u201D'},
      {"emspace", u'\u2003'}, {"enspace", u'\u2002'},   {"qmspace", u'\u2005'}};
  const auto it = characters.find(word);
  return it == characters.end() ? std::nullopt : std::optional<char16_t>(*it);
}

int hexValue(char ch) {
  if (ch >= '0' && ch <= '9') return ch - '0';
  if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
  if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
  return -1;
}

bool isLetter(char ch) { return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z'); }
bool isDigit(char ch) { return ch >= '0' && ch <= '9'; }

// One pass over the document. Every step consumes at least one byte, so any input ends.
class RtfReader {
 public:
  explicit RtfReader(const QByteArray& document) : in_(document) {
    decoder_.setCodePage(kDefaultCodePage);
  }

  QString read() {
    // The document is the group that opens at the first brace; anything after it is not.
    pos_ = in_.indexOf('{');
    while (pos_ >= 0 && pos_ < in_.size()) {
      const char ch = in_[pos_++];
      switch (ch) {
        case '{':
          fallbackLeft_ = 0;
          groups_.push_back(groups_.empty() ? Group{} : groups_.back());
          break;
        case '}':
          fallbackLeft_ = 0;
          groups_.pop_back();
          if (groups_.empty()) pos_ = in_.size();
          break;
        case '\\':
          readControl();
          break;
        case '\r':
        case '\n':
          break;
        default:
          if (consumeFallback()) break;
          if (ch == '\t') {
            appendChar(u'\t');
          } else if (static_cast<unsigned char>(ch) >= 0x20) {
            appendByte(ch);
          }
      }
    }
    flushBytes();
    // The mark that ends the last paragraph is the document's own, not part of its text.
    if (lastParagraphEnd_ == out_.size() && out_.endsWith(u'\n')) out_.chop(1);
    return out_;
  }

 private:
  struct Group {
    bool skipped = false;
    int fallbackLength = 1;
  };

  struct ControlWord {
    QByteArray word;
    std::optional<long long> parameter;
  };

  // After "\uN" the next characters of the group are the substitute for readers without Unicode.
  bool consumeFallback() {
    if (fallbackLeft_ == 0) return false;
    --fallbackLeft_;
    return true;
  }

  void readControl() {
    if (pos_ >= in_.size()) return;
    const char ch = in_[pos_];
    if (isLetter(ch)) {
      handleWord(readWord());
      return;
    }
    ++pos_;
    if (ch == '\'') {
      // A byte in the document's code page; an escape without its two hex digits is dropped.
      if (pos_ + 1 >= in_.size() || hexValue(in_[pos_]) < 0 || hexValue(in_[pos_ + 1]) < 0) return;
      const int value = hexValue(in_[pos_]) * 16 + hexValue(in_[pos_ + 1]);
      pos_ += 2;
      if (!consumeFallback()) appendByte(static_cast<char>(value));
      return;
    }
    if (consumeFallback()) return;
    switch (ch) {
      case '\\':
      case '{':
      case '}':
        appendByte(ch);
        break;
      case '~':
        appendChar(u'\u00A0');
        break;
      case '_':
        appendChar(u'\u2011');
        break;
      case '*':
        groups_.back().skipped = true;
        break;
      case '\r':
      case '\n':
        appendParagraphMark();
        break;
      default:
        break;  // the optional hyphen and index marks have no text of their own
    }
  }

  ControlWord readWord() {
    ControlWord control;
    while (pos_ < in_.size() && isLetter(in_[pos_])) control.word += in_[pos_++];
    bool negative = false;
    if (pos_ + 1 < in_.size() && in_[pos_] == '-' && isDigit(in_[pos_ + 1])) {
      negative = true;
      ++pos_;
    }
    if (pos_ < in_.size() && isDigit(in_[pos_])) {
      long long value = 0;
      while (pos_ < in_.size() && isDigit(in_[pos_]))
        value = std::min(value * 10 + (in_[pos_++] - '0'), 1LL << 40);
      control.parameter = negative ? -value : value;
    }
    if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;
    return control;
  }

  void handleWord(const ControlWord& control) {
    const QByteArray& word = control.word;
    if (word == "bin") {
      const long long length = std::max(0LL, control.parameter.value_or(0));
      pos_ += static_cast<qsizetype>(std::min<long long>(length, in_.size() - pos_));
      consumeFallback();
      return;
    }
    if (consumeFallback()) return;
    if (word == "u" && control.parameter) {
      // A UTF-16 unit, written signed above 32767; a value out of range has no character.
      if (*control.parameter >= -32768 && *control.parameter <= 65535)
        appendChar(static_cast<char16_t>(*control.parameter & 0xFFFF));
      fallbackLeft_ = groups_.back().fallbackLength;
    } else if (word == "uc") {
      groups_.back().fallbackLength =
          static_cast<int>(std::clamp(control.parameter.value_or(1), 0LL, 16LL));
    } else if (word == "ansicpg" && control.parameter) {
      setCodePage(static_cast<int>(*control.parameter));
    } else if (word == "ansi") {
      setCodePage(kDefaultCodePage);
    } else if (word == "mac") {
      setCodePage(10000);
    } else if (word == "pc") {
      setCodePage(437);
    } else if (word == "pca") {
      setCodePage(850);
    } else if (word == "par") {
      appendParagraphMark();
    } else if (isSkippedDestination(word)) {
      groups_.back().skipped = true;
    } else if (const std::optional<char16_t> ch = characterOf(word)) {
      appendChar(*ch);
    }
  }

  void setCodePage(int codePage) {
    flushBytes();
    decoder_.setCodePage(codePage);
  }

  void appendByte(char byte) {
    if (!groups_.back().skipped) bytes_ += byte;
  }

  void appendChar(char16_t ch) {
    if (groups_.back().skipped) return;
    flushBytes();
    out_ += QChar(ch);
  }

  // Paragraph ends read as "\n" (not the "\r\n" of a Windows text box): the settings files
  // are split on TABs and read by their leading number, so the line end never matters there.
  void appendParagraphMark() {
    if (groups_.back().skipped) return;
    appendChar(u'\n');
    lastParagraphEnd_ = out_.size();
  }

  // Bytes are decoded in runs, so that the two bytes of a double-byte character stay together.
  void flushBytes() {
    if (bytes_.isEmpty()) return;
    out_ += decoder_.decode(bytes_);
    bytes_.clear();
  }

  const QByteArray& in_;
  qsizetype pos_ = 0;
  std::vector<Group> groups_;
  int fallbackLeft_ = 0;
  CodePageDecoder decoder_;
  QByteArray bytes_;
  QString out_;
  qsizetype lastParagraphEnd_ = -1;
};

bool isRtf(const QByteArray& document) { return document.trimmed().startsWith("{\\rtf"); }

// A file written by hand holds the bare text, in UTF-8 or an 8-bit code.
QString decodeBareText(const QByteArray& bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  const QString text = utf8.decode(bytes);
  return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

}  // namespace

QString rtfToPlainText(const QByteArray& document) {
  if (!isRtf(document)) return decodeBareText(document);
  return RtfReader(document).read();
}

QByteArray plainTextToRtf(const QString& text) {
  QByteArray body;
  for (const QChar ch : text) {
    const char16_t u = ch.unicode();
    if (u == '\\' || u == '{' || u == '}') {
      body += '\\';
      body += static_cast<char>(u);
    } else if (u == '\t') {
      body += "\\tab ";
    } else if (u == '\n') {
      body += "\\par\r\n";
    } else if (u >= 0x20 && u < 0x7F) {
      body += static_cast<char>(u);
    } else {
      // Signed 16-bit, as the format wants, then a substitute for readers without Unicode: the
      // Latin-1 byte where there is one.
      body += "\\u" + QByteArray::number(static_cast<int16_t>(u));
      body += u >= 0xA0 && u <= 0xFF ? "\\'" + QByteArray::number(u, 16) : QByteArray("?");
    }
  }
  // Like a rich-text control, the document closes its last paragraph with "\par"; the reader
  // drops that mark again, so the text comes back without a line break it did not have.
  return "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033"
         "{\\fonttbl{\\f0\\fswiss\\fcharset0 MS Sans Serif;}}\r\n"
         "\\viewkind4\\uc1\\pard\\f0\\fs17 " +
         body + "\\par\r\n}\r\n";
}

}  // namespace tessarin::app
