#include "TableFiles.h"

#include <algorithm>
#include <fstream>
#include <iostream>

namespace tessarin::coverage {

std::vector<int> numbersFrom(const std::string& list) {
  std::vector<int> numbers;
  for (std::size_t start = 0; start <= list.size();) {
    const std::size_t comma = std::min(list.find(',', start), list.size());
    numbers.push_back(std::stoi(list.substr(start, comma - start)));
    start = comma + 1;
  }
  return numbers;
}

void writeTable(const std::string& path, const std::string& text) {
  if (path.empty()) {
    std::cout << text << '\n';
    return;
  }
  std::ofstream(path) << text;
}

}  // namespace tessarin::coverage
