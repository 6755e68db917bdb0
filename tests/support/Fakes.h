#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Application.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/EventPump.h"
#include "platform/PlotControl.h"
#include "platform/SerialPort.h"
#include "platform/Timer.h"

// A serial port that records every write. An `instrument` callback may answer each command; its
// answers wait in `pending` until the test (or the event pump) delivers them, as a real line
// would hand them over later.
class FakeSerialPort : public SerialPort {
 public:
  bool open(int commPort, QString& error) override {
    openedPort = commPort;
    ++openCount;
    if (!openError.isEmpty()) {
      error = openError;
      return false;
    }
    opened = true;
    return true;
  }
  bool isOpen() const override { return opened; }
  bool write(const std::string& bytes) override {
    if (!opened) return false;
    writes.push_back(bytes);
    if (instrument) {
      std::string command = bytes;
      if (command.size() >= 2 && command.compare(command.size() - 2, 2, "\r\n") == 0)
        command.resize(command.size() - 2);
      instrument(command);
    }
    return true;
  }

  // The commands written so far, without their CR LF.
  std::vector<std::string> commands() const {
    std::vector<std::string> result;
    for (const std::string& w : writes)
      result.push_back(w.size() >= 2 ? w.substr(0, w.size() - 2) : w);
    return result;
  }
  // Queues text the instrument sends.
  void queue(const std::string& text) { pending.insert(pending.end(), text.begin(), text.end()); }
  // Queues one reply line framed as the instrument frames it: text, CR, LF.
  void queueLine(const std::string& line) { queue(line + "\r\n"); }
  // Hands every queued character to the console, including those queued meanwhile.
  void deliverPending() {
    while (!pending.empty()) {
      const char ch = pending.front();
      pending.pop_front();
      if (onReceived) onReceived(ch);
    }
  }
  // Sends `text` to the console at once, character by character.
  void receive(const std::string& text) {
    for (char ch : text)
      if (onReceived) onReceived(ch);
  }
  void fail(const QString& message) {
    opened = false;
    if (onFault) onFault(message);
  }

  std::function<void(const std::string& command)> instrument;
  std::deque<char> pending;
  std::vector<std::string> writes;
  QString openError;
  int openedPort = 0;
  int openCount = 0;
  bool opened = false;
};

class FakeTimer : public Timer {
 public:
  void setEnabled(bool on) override { enabledFlag = on; }
  bool enabled() const override { return enabledFlag; }
  void tick() {
    if (enabledFlag && onTick) onTick();
  }
  bool enabledFlag = false;
};

class FakeEventPump : public EventPump {
 public:
  void processPendingEvents() override {
    ++calls;
    if (onProcess) onProcess();
  }
  int calls = 0;
  std::function<void()> onProcess;
};

class FakeClock : public Clock {
 public:
  QString shortDate() const override { return date; }
  QString time() const override { return clockTime; }
  QString date = "07/12/2026";
  QString clockTime = "09:14:02";
};

class FakeDialogs : public Dialogs {
 public:
  struct SaveRequest {
    QString title, filter, defaultExt, initialPath;
  };
  struct Message {
    QString text, title;
    Icon icon;
  };
  struct Question {
    QString text, title;
  };

  std::optional<QString> saveFileName(const QString& title, const QString& filter,
                                      const QString& defaultExt,
                                      const QString& initialPath) override {
    saveRequests.push_back({title, filter, defaultExt, initialPath});
    if (saveAnswers.empty()) return std::nullopt;
    auto answer = saveAnswers.front();
    saveAnswers.pop_front();
    return answer;
  }
  bool askYesNo(const QString& text, const QString& title) override {
    questions.push_back({text, title});
    if (yesNoAnswers.empty()) return false;
    const bool answer = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return answer;
  }
  void message(const QString& text, const QString& title, Icon icon) override {
    messages.push_back({text, title, icon});
  }

  std::deque<std::optional<QString>> saveAnswers;  // empty: the operator cancels
  std::deque<bool> yesNoAnswers;                   // empty: the operator answers No
  std::vector<SaveRequest> saveRequests;
  std::vector<Message> messages;
  std::vector<Question> questions;
};

class FakeApplication : public Application {
 public:
  void quit() override { ++quitCalls; }
  int quitCalls = 0;
};

// Records what the console asks of a plot.
class FakePlot : public PlotControl {
 public:
  struct Label {
    QString text;
    double value;
    bool priority;
    int ticmark, gridline;
  };
  struct Curve {
    QString name;
    std::vector<double> x, y;
    bool flag = false;
  };

  QString title() const override { return titleText; }
  void setTitle(const QString& t) override { titleText = t; }
  void setXMinimum(double v) override { xMin = v; }
  void setXMaximum(double v) override { xMax = v; }
  void setYMinimum(double v) override { yMin = v; }
  void setYMaximum(double v) override { yMax = v; }
  double xMinimum() const override { return xMin; }
  double xMaximum() const override { return xMax; }
  double yMinimum() const override { return yMin; }
  double yMaximum() const override { return yMax; }
  void setYAxisMode(int mode) override { yAxisMode = mode; }
  void addYLabel(const QString& text, double value, bool priority, int ticmark,
                 int gridline) override {
    labels.push_back({text, value, priority, ticmark, gridline});
  }
  void autoscaleNow() override { ++autoscaleCalls; }
  void applyLimitsNow() override { ++applyLimitsCalls; }
  int curveCount() const override { return static_cast<int>(curves.size()); }
  void removeAllCurves() override {
    curves.clear();
    ++removeAllCalls;
  }
  void clearSecondItemList() override { ++clearSecondListCalls; }
  void addCurve(const QString& name, double xStart, double xStep, const double* y,
                int count) override {
    Curve curve{name, {}, {}, false};
    for (int i = 0; i < count; ++i) {
      curve.x.push_back(xStart + i * xStep);
      curve.y.push_back(y[i]);
    }
    curves.push_back(curve);
  }
  void addCurveXY(const QString& name, const double* x, const double* y, int count,
                  bool flag) override {
    curves.push_back(
        {name, std::vector<double>(x, x + count), std::vector<double>(y, y + count), flag});
  }
  void replaceCurveData(double xStart, double xStep, const double* y, int count) override {
    ++replaceCalls;
    if (curves.empty()) return;
    Curve& curve = curves.front();
    curve.x.clear();
    curve.y.clear();
    for (int i = 0; i < count; ++i) {
      curve.x.push_back(xStart + i * xStep);
      curve.y.push_back(y[i]);
    }
  }
  bool interaction() const override { return interactionOn; }
  void setInteraction(bool on) override { interactionOn = on; }
  void bindKey(std::int32_t kind, std::int32_t modifier, std::int32_t charCode,
               std::int32_t action) override {
    keyBindings.push_back({kind, modifier, charCode, action});
  }
  void setPlotAreaColor(std::uint32_t bgr) override { plotAreaColors.push_back(bgr); }
  bool copyToClipboard() override {
    ++clipboardCopies;
    return true;
  }
  bool savePicture(const QString& path) override {
    savedPictures.push_back(path);
    return true;
  }
  void setWidth(int twips) override { widthTwips = twips; }
  void setHeight(int twips) override { heightTwips = twips; }
  int width() const override { return widthTwips; }
  int height() const override { return heightTwips; }

  QString titleText;
  double xMin = 0, xMax = 0, yMin = 0, yMax = 0;
  int yAxisMode = 0;
  std::vector<Label> labels;
  std::vector<Curve> curves;
  std::vector<std::vector<std::int32_t>> keyBindings;
  std::vector<std::uint32_t> plotAreaColors;
  std::vector<QString> savedPictures;
  int autoscaleCalls = 0, applyLimitsCalls = 0, removeAllCalls = 0, clearSecondListCalls = 0;
  int replaceCalls = 0, clipboardCopies = 0;
  bool interactionOn = true;
  int widthTwips = 0, heightTwips = 0;
};
