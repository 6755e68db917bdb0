#include <gtest/gtest.h>

#include <QRegularExpression>
#include <sstream>

#include "SimLog.h"

namespace tessarin::sim {
namespace {

// The log is read by programs (the whole-program tests recompute the data file from it), so its
// line forms are fixed.
TEST(SimLogTest, EveryEventIsOneParsableLine) {
  std::ostringstream out;
  SimLog log(out);
  log.command("CB9", "CB001E8480\r\n");
  log.command("PH05", "");
  log.sampleSent({7, 12.5, -1.25e-10, "0A1B2C3D\r\n"});
  log.sampleSent({8, 13.5, 0.0, std::string("\x1b[2J \\\0\xff\r", 9)});
  log.faultHappened({FaultKind::Silence, 300, 20});
  log.remark("line gone for 4 s");

  std::istringstream lines(out.str());
  const char* forms[] = {
      R"(\d+\.\d{3} < CB9 > CB001E8480)",
      R"(\d+\.\d{3} < PH05)",
      R"(\d+\.\d{3} > 7 0A1B2C3D\\r\\n t=12\.500000 x=-1\.250*1?e-10)",
      R"(\d+\.\d{3} > 8 \\x1B\[2J\\x20\\\\\\x00\\xFF\\r t=13\.500000 x=0\.0000000000000000e\+00)",
      R"(\d+\.\d{3} ! silence@300:20)",
      R"(\d+\.\d{3} # line gone for 4 s)"};
  std::string line;
  for (const char* form : forms) {
    ASSERT_TRUE(std::getline(lines, line)) << form;
    const QRegularExpression pattern(QRegularExpression::anchoredPattern(form));
    EXPECT_TRUE(pattern.match(QString::fromStdString(line)).hasMatch()) << line;
  }
  EXPECT_FALSE(std::getline(lines, line)) << line;
}

}  // namespace
}  // namespace tessarin::sim
