#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <initializer_list>
#include <string_view>

namespace tessarin::app::watch {

// Metrics in the text exposition format Prometheus scrapes (version 0.0.4, which OpenMetrics
// parsers read too): each family's HELP and TYPE lines, then its samples, one a line.
class Exposition {
 public:
  static inline const QByteArray kContentType = "text/plain; version=0.0.4; charset=utf-8";

  enum class Type { Gauge, Counter };
  struct Label {
    std::string_view name;
    QString value;
  };

  // Starts the family `name`; `help` says what it measures.
  void family(std::string_view name, Type type, std::string_view help);
  // A sample of the family begun last (`name` may carry a suffix of it).
  void sample(std::string_view name, std::initializer_list<Label> labels, double value);
  void count(std::string_view name, std::initializer_list<Label> labels, std::uint64_t value);

  const QByteArray& text() const { return text_; }

 private:
  void series(std::string_view name, std::initializer_list<Label> labels);

  QByteArray text_;
};

// A double as the format writes it: the shortest digits that read back to the same value, NaN,
// +Inf or -Inf.
QByteArray exposedNumber(double value);

}  // namespace tessarin::app::watch
