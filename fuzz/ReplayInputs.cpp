// Runs every file under the folders (or the files) named on the command line through the fuzz
// target once, as libFuzzer would, so the kept inputs are checked by an ordinary build. A fault
// shows as a crash or a sanitizer report; the program prints how many inputs it ran and fails
// when it ran none or could not read one.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

bool runFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  const std::vector<char> bytes{std::istreambuf_iterator<char>(file), {}};
  if (!file.is_open() || file.bad()) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    return false;
  }
  LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int ran = 0;
  int unreadable = 0;
  for (int i = 1; i < argc; ++i) {
    std::vector<std::filesystem::path> files{argv[i]};
    if (std::filesystem::is_directory(files.front())) {
      files.clear();
      for (const auto& entry : std::filesystem::recursive_directory_iterator(argv[i]))
        if (entry.is_regular_file()) files.push_back(entry.path());
    }
    for (const auto& path : files) (runFile(path) ? ran : unreadable) += 1;
  }
  std::printf("%d inputs ran\n", ran);
  return ran > 0 && unreadable == 0 ? 0 : 1;
}
