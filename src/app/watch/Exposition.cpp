#include "app/watch/Exposition.h"

#include <charconv>
#include <cmath>

namespace tessarin::app::watch {

namespace {

QByteArrayView view(std::string_view s) { return {s.data(), qsizetype(s.size())}; }

// A label value: its backslashes, double quotes and line ends escaped; HELP text escapes all but
// the quotes.
void appendEscaped(QByteArray& out, QByteArrayView text, bool quoted) {
  for (const char c : text) {
    if (c == '\\')
      out += "\\\\";
    else if (c == '\n')
      out += "\\n";
    else if (c == '"' && quoted)
      out += "\\\"";
    else
      out += c;
  }
}

}  // namespace

QByteArray exposedNumber(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "+Inf" : "-Inf";
  char digits[32];
  const std::to_chars_result end = std::to_chars(std::begin(digits), std::end(digits), value);
  return {digits, end.ptr - digits};
}

void Exposition::family(std::string_view name, Type type, std::string_view help) {
  text_ += "# HELP ";
  text_ += view(name);
  text_ += ' ';
  appendEscaped(text_, view(help), false);
  text_ += "\n# TYPE ";
  text_ += view(name);
  text_ += type == Type::Counter ? " counter\n" : " gauge\n";
}

void Exposition::series(std::string_view name, std::initializer_list<Label> labels) {
  text_ += view(name);
  if (labels.size() == 0) {
    text_ += ' ';
    return;
  }
  char separator = '{';
  for (const Label& label : labels) {
    text_ += separator;
    text_ += view(label.name);
    text_ += "=\"";
    appendEscaped(text_, label.value.toUtf8(), true);
    text_ += '"';
    separator = ',';
  }
  text_ += "} ";
}

void Exposition::sample(std::string_view name, std::initializer_list<Label> labels, double value) {
  series(name, labels);
  text_ += exposedNumber(value);
  text_ += '\n';
}

void Exposition::count(std::string_view name, std::initializer_list<Label> labels,
                       std::uint64_t value) {
  series(name, labels);
  text_ += QByteArray::number(value);
  text_ += '\n';
}

}  // namespace tessarin::app::watch
