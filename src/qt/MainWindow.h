#pragma once

#include <QMainWindow>
#include <map>

#include "app/Console.h"
#include "qt/Twips.h"

class QAction;
class QMdiArea;
class QMdiSubWindow;

namespace tessarin::qt {

// The main window on screen: renders the console's menus, status line and child windows, and
// hands the operator's clicks, typing, moves and close requests back to the console.
class MainWindow : public QMainWindow {
 public:
  MainWindow(app::Console& console, QWidget* dataPlot, QWidget* stabilityPlot);

  // The sub-window that shows `window`.
  QMdiSubWindow* subWindowOf(const app::ChildWindow& window) const;
  QAction* actionOf(const app::MenuItem& item) const;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildMenus();
  QAction* bindMenuItem(app::MenuItem& item, QAction* action, bool checkable);
  void addChildWindow(app::ChildWindow& window, QWidget* content, bool fitToContent);
  void showWindowState(app::ChildWindow& window, QMdiSubWindow* sub);
  void reportMainSize();
  void showMainState();

  app::Console& c_;
  Twips twips_;
  QMdiArea* area_;
  std::map<QMdiSubWindow*, app::ChildWindow*> windows_;
  std::map<const app::MenuItem*, QAction*> actions_;
  bool applying_ = false;  // the view is applying the console's state: not the operator's doing
};

}  // namespace tessarin::qt
