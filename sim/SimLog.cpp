#include "SimLog.h"

#include <cstdio>
#include <iomanip>

namespace tessarin::sim {

std::string escaped(const std::string& bytes) {
  std::string text;
  for (const char ch : bytes) {
    if (ch == '\r') {
      text += "\\r";
    } else if (ch == '\n') {
      text += "\\n";
    } else if (ch == '\\') {
      text += "\\\\";
    } else if (ch > ' ' && ch <= '~') {
      text += ch;
    } else {
      char code[5];
      std::snprintf(code, sizeof code, "\\x%02X", static_cast<unsigned char>(ch));
      text += code;
    }
  }
  return text;
}

SimLog::SimLog(std::ostream& out) : out_(out), start_(std::chrono::steady_clock::now()) {}

std::ostream& SimLog::begin() {
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  return out_ << std::fixed << std::setprecision(3) << seconds << ' ';
}

void SimLog::command(const std::string& command, const std::string& reply) {
  begin() << "< " << escaped(command);
  // The reply without its CR LF framing.
  if (!reply.empty()) out_ << " > " << escaped(reply.substr(0, reply.find_last_not_of("\r\n") + 1));
  out_ << std::endl;
}

void SimLog::remark(const std::string& text) { begin() << "# " << text << std::endl; }

void SimLog::sampleSent(const SampleRecord& sample) {
  begin() << "> " << sample.number << ' ' << escaped(sample.sent) << " t=" << std::setprecision(6)
          << sample.instrumentTime << " x=" << std::scientific << std::setprecision(16)
          << sample.timeError << std::endl;
}

void SimLog::faultHappened(const Fault& fault) { begin() << "! " << describe(fault) << std::endl; }

}  // namespace tessarin::sim
