#include <gtest/gtest.h>

#include <vector>

#include "app/watch/EventHook.h"

namespace tessarin::app::watch {
namespace {

using platform::Result;

// Records each start; the test ends the run in progress with the outcome it chooses.
class FakeRunner : public platform::CommandRunner {
 public:
  void start(const QString& program, const QStringList& arguments,
             std::chrono::milliseconds timeLimit, std::function<void(Result<>)> done) override {
    EXPECT_FALSE(done_) << "a second program started while one runs";
    EXPECT_EQ(program, "/usr/local/bin/alert");
    EXPECT_EQ(timeLimit, std::chrono::seconds(30));
    started.push_back(arguments);
    done_ = std::move(done);
  }
  void end(Result<> outcome = {}) {
    std::function<void(Result<>)> done;
    std::swap(done, done_);
    ASSERT_TRUE(done);
    done(outcome);
  }
  bool running() const { return static_cast<bool>(done_); }

  std::vector<QStringList> started;

 private:
  std::function<void(Result<>)> done_;
};

struct Hooked {
  FakeRunner runner;
  std::vector<QString> reports;
  EventHook hook{runner, "/usr/local/bin/alert",
                 [this](const QString& m) { reports.push_back(m); }};
};

TEST(EventHookTest, EventsRunOneAtATimeInTheOrderTheyCame) {
  Hooked h;
  h.hook.notify("Run started", "Sample rate 1 s");
  h.hook.notify("Port lost", "Com 1: device removed");
  h.hook.notify("Run stopped", "");
  EXPECT_EQ(h.runner.started.size(), 1u);
  h.runner.end(Result<>::failure("alert crashed"));
  h.runner.end();
  h.runner.end();
  EXPECT_FALSE(h.runner.running());
  EXPECT_EQ(h.runner.started, (std::vector<QStringList>{{"Run started", "Sample rate 1 s"},
                                                        {"Port lost", "Com 1: device removed"},
                                                        {"Run stopped", ""}}));
}

TEST(EventHookTest, FailureIsReportedOnceUntilTheCommandSucceedsAgain) {
  const struct {
    const char* outcomes;  // per run: 'o' succeeds, a letter fails for that reason
    std::vector<QString> reports;
  } cases[] = {
      {"oo", {}},
      {"ABC", {"Event command failed: A"}},
      {"oABooC", {"Event command failed: A", "Event command failed: C"}},
  };
  for (const auto& c : cases) {
    Hooked h;
    for (const char* o = c.outcomes; *o; ++o) {
      h.hook.notify("Run started", "");
      h.runner.end(*o == 'o' ? Result<>() : Result<>::failure(QString(QChar(*o))));
    }
    EXPECT_EQ(h.reports, c.reports) << c.outcomes;
  }
}

TEST(EventHookTest, FullQueueDropsTheOldestWaitingAndSaysSoOncePerBacklog) {
  for (const bool firstFails : {false, true}) {
    Hooked h;
    for (int i = 0; i < 1 + EventHook::kMaxWaiting + 5; ++i) h.hook.notify(QString::number(i), "");
    h.runner.end(firstFails ? Result<>::failure("alert crashed") : Result<>());
    EXPECT_EQ(h.runner.started.back().front(), "6") << "1 to 5 dropped";
    EXPECT_EQ(h.reports.at(0),
              firstFails ? "Event command failed: alert crashed (5 waiting events dropped)"
                         : "Event command is falling behind: 5 waiting events dropped");
    h.hook.notify("more", "");
    h.hook.notify("more", "");  // one more dropped in the same backlog: not said again
    while (h.runner.running()) h.runner.end();
    EXPECT_EQ(h.runner.started.size(), 2u + EventHook::kMaxWaiting);
    EXPECT_EQ(h.reports.size(), 1u);

    for (int i = 0; i < 1 + EventHook::kMaxWaiting + 1; ++i) h.hook.notify("again", "");
    h.runner.end();
    EXPECT_EQ(h.reports.back(), "Event command is falling behind: 1 waiting event dropped");
  }
}

}  // namespace
}  // namespace tessarin::app::watch
