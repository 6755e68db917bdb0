#pragma once

#include <QMainWindow>
#include <map>

#include "platform/qt/Twips.h"

class ChildWindow;
class Console;
class MenuItem;
class QAction;
class QMdiArea;
class QMdiSubWindow;

// The main window on screen: renders the console's menus, status line and child windows, and
// hands the operator's clicks, typing, moves and close requests back to the console.
class MainWindow : public QMainWindow {
 public:
  MainWindow(Console& console, QWidget* dataPlot, QWidget* stabilityPlot);

  // The sub-window that shows `window`.
  QMdiSubWindow* subWindowOf(const ChildWindow& window) const;
  QAction* actionOf(const MenuItem& item) const;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildMenus();
  QAction* bindMenuItem(MenuItem& item, QAction* action, bool checkable);
  void addChildWindow(ChildWindow& window, QWidget* content, bool fitToContent);
  void showWindowState(ChildWindow& window, QMdiSubWindow* sub);
  void reportMainSize();

  Console& c_;
  Twips twips_;
  QMdiArea* area_;
  std::map<QMdiSubWindow*, ChildWindow*> windows_;
  std::map<const MenuItem*, QAction*> actions_;
  bool applying_ = false;  // the view is applying the console's state: not the operator's doing
};
