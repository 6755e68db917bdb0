#include "link/ReplyDispatch.h"

#include "app/Console.h"
#include "link/Initialization.h"
#include "run/SampleProcessing.h"

void receiveCharacter(Console& c, char received) {
  c.st.strRxText.assign(1, received);
  collectReplyCharacter(c, c.st.strRxText);
}

void collectReplyCharacter(Console& c, const std::string& text) {
  std::string& line = c.st.strReplyLine;
  if (text == "\n") {
    line.clear();
    return;
  }
  if (text != "\r") {
    if (line.size() + text.size() <= kMaxReplyLineLength) line += text;
    return;
  }
  if (c.st.intRunning == 0) {
    handleInitializationReply(c, line);
  } else if (c.st.intRunning == 1) {
    handleSampleLine(c, line);
  }
}
