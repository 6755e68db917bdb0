#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace tessarin::app {

// The console keeps every on-screen state (menu check marks, enabled flags, captions, text boxes,
// the tau list, window geometry) as plain data. Handlers read and write it; a view renders it and
// writes the operator's edits back. A view subscribes through `changed`, which fires on every
// change made by the console (never for edits the view itself writes back with `setFromView`).

// One menu item: a top-level menu, a submenu entry, a separator ("-") or a status caption.
class MenuItem {
 public:
  MenuItem(QString name, QString caption) : name_(std::move(name)), caption_(std::move(caption)) {}
  MenuItem(const MenuItem&) = delete;
  MenuItem& operator=(const MenuItem&) = delete;

  const QString& name() const { return name_; }
  const QString& caption() const { return caption_; }
  bool checked() const { return checked_; }
  bool enabled() const { return enabled_; }
  bool visible() const { return visible_; }
  bool isSeparator() const { return caption_ == QLatin1String("-"); }

  void setCaption(const QString& caption) { update(caption_, caption); }
  void setChecked(bool checked) { update(checked_, checked); }
  void setEnabled(bool enabled) { update(enabled_, enabled); }
  void setVisible(bool visible) { update(visible_, visible); }

  // The operator chose the item: runs its handler when it has one and is enabled.
  void click() {
    if (enabled_ && onClick) onClick();
  }

  std::function<void()> onClick;
  std::function<void()> changed;

 private:
  template <typename T>
  void update(T& field, const T& value) {
    if (field == value) return;
    field = value;
    if (changed) changed();
  }

  QString name_;
  QString caption_;
  bool checked_ = false;
  bool enabled_ = true;
  bool visible_ = true;
};

// A single-line text box of a tool window.
class TextBox {
 public:
  const QString& text() const { return text_; }
  bool enabled() const { return enabled_; }
  void setText(const QString& text) {
    if (text_ == text) return;
    text_ = text;
    if (changed) changed();
  }
  void setEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    if (changed) changed();
  }
  // The operator typed: the view already shows this text.
  void setFromView(const QString& text) { text_ = text; }

  std::function<void()> changed;

 private:
  QString text_;
  bool enabled_ = true;
};

// The tau list: fixed entries, at most one selected (-1 for none).
class ListBox {
 public:
  explicit ListBox(QStringList items) : items_(std::move(items)) {}
  const QStringList& items() const { return items_; }
  int selectedIndex() const { return selected_; }
  // The text of the selected entry, empty when none is selected.
  QString text() const { return selected_ >= 0 ? items_.at(selected_) : QString(); }
  bool enabled() const { return enabled_; }
  void setEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    if (changed) changed();
  }
  void setFromView(int index) {
    if (index >= -1 && index < items_.size()) selected_ = index;
  }

  std::function<void()> changed;

 private:
  QStringList items_;
  int selected_ = -1;
  bool enabled_ = true;
};

// A push button of a tool window.
class Button {
 public:
  explicit Button(QString caption) : caption_(std::move(caption)) {}
  Button(const Button&) = delete;
  Button& operator=(const Button&) = delete;

  const QString& caption() const { return caption_; }
  // The operator pressed the button.
  void click() {
    if (onClick) onClick();
  }

  std::function<void()> onClick;

 private:
  QString caption_;
};

// How a window is shown: at its own size, as an icon, or filling its parent (the screen for the
// main window, the main window for a child window).
enum class WindowState { Normal, Minimized, Maximized };

// The main window's state; the view shows it and reports the operator's changes.
class MainWindowState {
 public:
  WindowState state() const { return state_; }
  void setState(WindowState state) {
    if (state_ == state) return;
    state_ = state;
    if (changed) changed();
  }
  void setStateFromView(WindowState state) { state_ = state; }

  std::function<void()> changed;

 private:
  WindowState state_ = WindowState::Normal;
};

// A child window of the main window. Geometry is in twips (1440 per logical inch) and is the
// outer size, border and caption included.
class ChildWindow {
 public:
  ChildWindow(QString name, QString caption, int width, int height)
      : name_(std::move(name)), caption_(std::move(caption)), width_(width), height_(height) {}
  ChildWindow(const ChildWindow&) = delete;
  ChildWindow& operator=(const ChildWindow&) = delete;

  const QString& name() const { return name_; }
  const QString& caption() const { return caption_; }
  bool visible() const { return visible_; }
  WindowState state() const { return state_; }
  int left() const { return left_; }
  int top() const { return top_; }
  int width() const { return width_; }
  int height() const { return height_; }

  void setVisible(bool visible) { update(visible_, visible); }
  void setState(WindowState state) { update(state_, state); }
  void setLeft(int left) { update(left_, left); }
  void setTop(int top) { update(top_, top); }
  void setWidth(int width) { update(width_, width); }
  void setHeight(int height) { update(height_, height); }

  // The operator moved or resized the window, or the window system adjusted it.
  void setGeometryFromView(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
  }
  void setVisibleFromView(bool visible) { visible_ = visible; }
  void setStateFromView(WindowState state) { state_ = state; }
  // Brings the window in front of the other child windows.
  void bringToFront() {
    if (broughtToFront) broughtToFront();
  }

  // Asked when the operator closes the window; returns true to refuse. The window may hide
  // itself inside the handler.
  std::function<bool()> onCloseRequest;
  std::function<void()> changed;
  std::function<void()> broughtToFront;

 private:
  template <typename T>
  void update(T& field, const T& value) {
    if (field == value) return;
    field = value;
    if (changed) changed();
  }

  QString name_;
  QString caption_;
  bool visible_ = false;
  WindowState state_ = WindowState::Normal;
  int left_ = 0;
  int top_ = 0;
  int width_;
  int height_;
};

}  // namespace tessarin::app
