#pragma once

#include <QString>
#include <QStringList>
#include <chrono>
#include <deque>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/Application.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/PlotControl.h"
#include "platform/Printer.h"
#include "platform/SerialPort.h"
#include "platform/TaskQueue.h"
#include "platform/Timer.h"

namespace tessarin::test {

// A serial port that records every write. An `instrument` callback may answer each command; its
// answers wait in `pending` until the test (or the event pump) delivers them, as a real line
// would hand them over later.
class FakeSerialPort : public platform::SerialPort {
 public:
  platform::Result<> open(int commPort) override {
    openedPort = commPort;
    ++openCount;
    if (!openError.isEmpty()) return platform::Result<>::failure(openError);
    opened = true;
    return {};
  }
  bool isOpen() const override { return opened; }
  void close() override { opened = false; }
  platform::Result<> write(std::string_view bytes) override {
    if (!opened) return platform::Result<>::failure("the port is not open");
    if (!writeError.isEmpty()) return platform::Result<>::failure(writeError);
    writes.emplace_back(bytes);
    if (instrument) {
      std::string command(bytes);
      if (command.size() >= 2 && command.compare(command.size() - 2, 2, "\r\n") == 0)
        command.resize(command.size() - 2);
      instrument(command);
    }
    return {};
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
  QString writeError;
  int openedPort = 0;
  int openCount = 0;
  bool opened = false;
};

class FakeTimer : public platform::Timer {
 public:
  void setEnabled(bool on) override { enabledFlag = on; }
  bool enabled() const override { return enabledFlag; }
  void tick() {
    if (enabledFlag && onTick) onTick();
  }
  bool enabledFlag = false;
};

// Runs posted work at once, or, with `deferred`, when the test calls runPosted().
class FakeTaskQueue : public platform::TaskQueue {
 public:
  void post(std::function<void()> task) override {
    if (deferred)
      posted.push_back(std::move(task));
    else
      task();
  }
  void runPosted() {
    while (!posted.empty()) {
      std::function<void()> task = std::move(posted.front());
      posted.pop_front();
      task();
    }
  }
  bool deferred = false;
  std::deque<std::function<void()>> posted;
};

class FakeClock : public platform::Clock {
 public:
  QString shortDate() const override { return date; }
  QString time() const override { return clockTime; }
  std::chrono::milliseconds sinceStart() const override { return now; }
  std::chrono::milliseconds now{0};
  QString date = "07/12/2026";
  QString clockTime = "09:14:02";
  QDateTime dateTime() const override {
    return QDateTime(QDate(2026, 12, 7), QTime(9, 14, 2)).addMSecs(now.count());
  }
};

class FakeDialogs : public platform::Dialogs {
 public:
  struct SaveRequest {
    QString title, filter, defaultExt, initialPath;
  };
  struct Message {
    QString text, title;
    platform::Dialogs::Icon icon;
  };
  struct Question {
    QString text, title;
  };

  std::optional<QString> saveFileName(const QString& title, const QString& filter,
                                      const QString& defaultExt,
                                      const QString& initialPath) override {
    saveRequests.push_back({title, filter, defaultExt, initialPath});
    if (saveAnswers.empty()) return std::nullopt;
    const bool cancelled = !saveAnswers.front().has_value();
    const QString answer = saveAnswers.front().value_or(QString());
    saveAnswers.pop_front();
    if (cancelled) return std::nullopt;
    return answer;
  }
  bool askYesNo(const QString& text, const QString& title) override {
    questions.push_back({text, title});
    if (whileOpen) whileOpen();
    if (yesNoAnswers.empty()) return false;
    const bool answer = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return answer;
  }
  void message(const QString& text, const QString& title, platform::Dialogs::Icon icon) override {
    messages.push_back({text, title, icon});
    if (whileOpen) whileOpen();
  }

  // What the operator does while a question or message is open (quitting, say).
  std::function<void()> whileOpen;
  std::deque<std::optional<QString>> saveAnswers;  // empty: the operator cancels
  std::deque<bool> yesNoAnswers;                   // empty: the operator answers No
  std::vector<SaveRequest> saveRequests;
  std::vector<Message> messages;
  std::vector<Question> questions;
};

// Answers the printer dialog with `copies` (nothing: cancelled) and records the prints.
class FakePrinter : public platform::Printer {
 public:
  std::optional<int> askCopies() override {
    ++dialogs;
    return copies;
  }
  platform::Result<> printClipboardPicture(int n) override {
    if (!failure.isEmpty()) return platform::Result<>::failure(failure);
    printedCopies.push_back(n);
    return {};
  }

  std::optional<int> copies = 1;
  QString failure;  // set: printing fails for this reason
  int dialogs = 0;
  std::vector<int> printedCopies;
};

class FakeApplication : public platform::Application {
 public:
  void quit() override { ++quitCalls; }
  int quitCalls = 0;
};

// Records what the console hands a plot: its curves point by point, its labels, titles and
// limits, and how often each operation was asked for.
class FakePlot : public platform::PlotControl {
 public:
  struct Label {
    QString text;
    double value;
    bool emphasised;
  };
  struct Curve {
    QString name;
    std::vector<double> x, y;
    std::vector<double> low, high;  // error bars; empty: none
    bool limitLine = false;         // drawn by setLimitLine
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
  void showOnlyYLabels() override { onlyLabels = true; }
  void addYLabel(const QString& text, double value, bool emphasised) override {
    labels.push_back({text, value, emphasised});
  }
  void autoscaleNow() override { ++autoscaleCalls; }
  void applyLimitsNow() override { ++applyLimitsCalls; }
  int curveCount() const override { return static_cast<int>(curves.size()); }
  void removeAllCurves() override {
    curves.clear();
    ++removeAllCalls;
  }
  void removeAllItems() override { ++removeItemsCalls; }
  void appendPoint(const QString& name, double x, double y) override {
    Curve& curve = curveNamed(name);
    curve.x.push_back(x);
    curve.y.push_back(y);
  }
  void replaceLastPoint(const QString& name, double y) override {
    ++replaceCalls;
    Curve& curve = curveNamed(name);
    if (!curve.y.empty()) curve.y.back() = y;
  }
  void setCurve(const QString& name, std::span<const double> x,
                std::span<const double> y) override {
    Curve& curve = curveNamed(name);
    curve.x.assign(x.begin(), x.end());
    curve.y.assign(y.begin(), y.end());
    curve.low.clear();
    curve.high.clear();
    ++setCurveCalls;
  }
  void setErrorBars(const QString& name, std::span<const double> low,
                    std::span<const double> high) override {
    for (Curve& c : curves)
      if (c.name == name) {
        c.low.assign(low.begin(), low.end());
        c.high.assign(high.begin(), high.end());
      }
  }
  void setLimitLine(const QString& name, std::span<const double> x,
                    std::span<const double> y) override {
    Curve& line = curveNamed(name);
    line.x.assign(x.begin(), x.end());
    line.y.assign(y.begin(), y.end());
    line.limitLine = true;
  }
  void setYUnit(const QString& unit) override { yUnit = unit; }
  bool interaction() const override { return interactionOn; }
  void setInteraction(bool on) override { interactionOn = on; }
  void bindKey(char key) override { boundKeys.push_back(key); }
  void setPlotAreaColor(std::uint32_t bgr) override { plotAreaColors.push_back(bgr); }
  bool copyToClipboard() override {
    ++clipboardCopies;
    if (whileCopying) whileCopying();
    return !copyFails;
  }
  platform::Result<> savePicture(const QString& path) override {
    if (!saveFailure.isEmpty()) return platform::Result<>::failure(path + ": " + saveFailure);
    savedPictures.push_back(path);
    return {};
  }
  void setWidth(int twips) override { widthTwips = twips; }
  void setHeight(int twips) override { heightTwips = twips; }
  int width() const override { return widthTwips; }
  int height() const override { return heightTwips; }

  // The curve named `name`; an empty one when there is none.
  const Curve& curve(const QString& name) const {
    static const Curve none;
    for (const Curve& c : curves)
      if (c.name == name) return c;
    return none;
  }

  QString titleText;
  QString yUnit;
  double xMin = 0, xMax = 0, yMin = 0, yMax = 0;
  bool onlyLabels = false;
  std::vector<Label> labels;
  std::vector<Curve> curves;
  std::vector<char> boundKeys;
  std::vector<std::uint32_t> plotAreaColors;
  std::vector<QString> savedPictures;
  // Set: saving a picture fails for this reason.
  QString saveFailure;
  std::function<void()> whileCopying;  // runs when the plot is copied to the clipboard
  bool copyFails = false;
  int autoscaleCalls = 0, applyLimitsCalls = 0, removeAllCalls = 0, removeItemsCalls = 0;
  int replaceCalls = 0, setCurveCalls = 0, clipboardCopies = 0;
  bool interactionOn = true;
  int widthTwips = 0, heightTwips = 0;

 private:
  Curve& curveNamed(const QString& name) {
    for (Curve& c : curves)
      if (c.name == name) return c;
    curves.push_back({name, {}, {}, {}, {}});
    return curves.back();
  }
};

}  // namespace tessarin::test
