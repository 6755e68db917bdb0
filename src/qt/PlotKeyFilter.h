#pragma once

#include <QObject>
#include <functional>

namespace tessarin::qt {

// Hands the character keys typed on a plot to `onKey`, which returns true when the key did
// something. Keys pressed with Ctrl, Alt or Meta pass on untouched, so shortcuts keep working.
class PlotKeyFilter : public QObject {
 public:
  PlotKeyFilter(std::function<bool(char16_t)> onKey, QObject* parent);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<bool(char16_t)> onKey_;
};

}  // namespace tessarin::qt
