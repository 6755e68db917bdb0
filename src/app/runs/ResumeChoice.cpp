#include "app/runs/ResumeChoice.h"

#include <QDir>

#include "app/Console.h"
#include "app/Startup.h"
#include "app/TextFileStore.h"

namespace tessarin::app::runs {

namespace {

const QString kResumeFile = QStringLiteral("resume.txt");
const QString kOn = QStringLiteral("on");
const QString kOff = QStringLiteral("off");

QString resumeFile(const Console& c) { return QDir(c.settingsFolder()).filePath(kResumeFile); }

}  // namespace

void toggleResumeAfterPortLoss(Console& c) {
  MenuItem& item = c.menus().resumeAfterPortLoss;
  item.setChecked(!item.checked());
  const platform::Result<> saved = saveTextFile(resumeFile(c), item.checked() ? kOn : kOff);
  if (!saved) c.setStatus("Resume choice not saved: " + saved.reason());
}

void restoreResumeAfterPortLoss(Console& c) {
  c.menus().resumeAfterPortLoss.setChecked(false);
  const platform::Result<std::optional<QString>> text = loadTextFile(resumeFile(c));
  if (!text) {
    reportStartupProblem(c, "Resume choice not read: " + text.reason());
    return;
  }
  if (!text.value()) return;
  const QString word = text.value()->trimmed().toLower();
  if (word == kOn || word == kOff) {
    c.menus().resumeAfterPortLoss.setChecked(word == kOn);
    return;
  }
  reportStartupProblem(c, kResumeFile + " says neither on nor off: \"" + word.left(40) + "\"");
}

}  // namespace tessarin::app::runs
