#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <new>
#include <span>
#include <utility>

namespace tessarin::records {

// A run's samples, in one block that grows where it lies. A file's length in samples is not known
// before it is read, and a std::vector that doubles holds its old and new block at once: twice the
// series at the end of a long file. std::realloc of a large block maps its pages to a larger range
// instead of copying them (glibc's mremap), so the series never needs more memory than itself.
class SampleSeries {
 public:
  SampleSeries() = default;
  SampleSeries(const SampleSeries& other) { append(other); }
  SampleSeries(SampleSeries&& other) noexcept
      : values_(std::exchange(other.values_, nullptr)),
        size_(std::exchange(other.size_, 0)),
        capacity_(std::exchange(other.capacity_, 0)) {}
  SampleSeries& operator=(SampleSeries other) noexcept {
    std::swap(values_, other.values_);
    std::swap(size_, other.size_);
    std::swap(capacity_, other.capacity_);
    return *this;
  }
  ~SampleSeries() { std::free(values_); }

  void push_back(double value) {
    if (size_ == capacity_) grow(size_ + 1);
    values_[size_++] = value;
  }
  void append(std::size_t count, double value) {
    if (size_ + count > capacity_) grow(size_ + count);
    std::fill_n(values_ + size_, count, value);
    size_ += count;
  }
  void append(std::span<const double> values) {
    if (values.empty()) return;
    if (size_ + values.size() > capacity_) grow(size_ + values.size());
    std::copy(values.begin(), values.end(), values_ + size_);
    size_ += values.size();
  }

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  const double* data() const { return values_; }
  const double* begin() const { return values_; }
  const double* end() const { return values_ + size_; }
  double operator[](std::size_t index) const { return values_[index]; }

 private:
  // Small, for a file may hold many short runs; every block after it is twice the one before.
  static constexpr std::size_t kFirstCapacity = 16;

  void grow(std::size_t least) {
    const std::size_t capacity = std::max({least, 2 * capacity_, kFirstCapacity});
    void* grown = std::realloc(values_, capacity * sizeof(double));
    if (grown == nullptr) throw std::bad_alloc();
    values_ = static_cast<double*>(grown);
    capacity_ = capacity;
  }

  double* values_ = nullptr;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

}  // namespace tessarin::records
