#pragma once

#include <QString>
#include <optional>
#include <utility>

namespace tessarin::platform {

// The outcome of an operation that can fail: a value (nothing for Result<void>) or the reason it
// failed, worded for the operator ("/data/osc1.DAT: Permission denied").
template <typename T = void>
class [[nodiscard]] Result {
 public:
  Result(T value) : value_(std::move(value)) {}
  static Result failure(QString reason) { return Result(std::move(reason), Failed{}); }

  explicit operator bool() const { return value_.has_value(); }
  const T& value() const { return *value_; }
  T& value() { return *value_; }
  const QString& reason() const { return reason_; }

 private:
  struct Failed {};
  Result(QString reason, Failed) : reason_(std::move(reason)) {}
  std::optional<T> value_;
  QString reason_;
};

template <>
class [[nodiscard]] Result<void> {
 public:
  Result() = default;
  static Result failure(QString reason) { return Result(std::move(reason)); }

  explicit operator bool() const { return !failed_; }
  const QString& reason() const { return reason_; }

 private:
  explicit Result(QString reason) : reason_(std::move(reason)), failed_(true) {}
  QString reason_;
  bool failed_ = false;
};

}  // namespace tessarin::platform
