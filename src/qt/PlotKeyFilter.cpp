#include "qt/PlotKeyFilter.h"

#include <QKeyEvent>

namespace tessarin::qt {

PlotKeyFilter::PlotKeyFilter(std::function<bool(char16_t)> onKey, QObject* parent)
    : QObject(parent), onKey_(std::move(onKey)) {}

bool PlotKeyFilter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
  const auto* key = static_cast<QKeyEvent*>(event);
  const Qt::KeyboardModifiers commandKeys =
      Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
  if (key->text().size() != 1 || (key->modifiers() & commandKeys))
    return QObject::eventFilter(watched, event);
  return onKey_(key->text().front().toLower().unicode());
}

}  // namespace tessarin::qt
