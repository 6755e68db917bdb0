#include "qt/MainWindow.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScopedValueRollback>
#include <QScreen>
#include <set>

#include "app/Closing.h"
#include "app/Console.h"
#include "app/WindowLayout.h"
#include "app/plots/PlotSetup.h"
#include "qt/StatusText.h"
#include "qt/ToolWindows.h"

namespace tessarin::qt {
namespace {

Qt::WindowStates ToQt(app::WindowState state) {
  switch (state) {
    case app::WindowState::Minimized:
      return Qt::WindowMinimized;
    case app::WindowState::Maximized:
      return Qt::WindowMaximized;
    case app::WindowState::Normal:
      break;
  }
  return Qt::WindowNoState;
}

app::WindowState FromQt(Qt::WindowStates state) {
  if (state & Qt::WindowMinimized) return app::WindowState::Minimized;
  if (state & Qt::WindowMaximized) return app::WindowState::Maximized;
  return app::WindowState::Normal;
}

}  // namespace

MainWindow::MainWindow(app::Console& console, QWidget* dataPlot, QWidget* stabilityPlot)
    : c_(console), area_(new QMdiArea(this)) {
  if (const QScreen* screen = this->screen()) {
    twips_.dpiX = screen->logicalDotsPerInchX();
    twips_.dpiY = screen->logicalDotsPerInchY();
  }
  setWindowTitle("  Tessarin / RS");
  area_->setBackground(palette().brush(QPalette::Dark));
  setCentralWidget(area_);
  buildMenus();

  app::Windows& w = c_.windows();
  addChildWindow(w.dataWindow, dataPlot, false);
  addChildWindow(w.stabilityWindow, stabilityPlot, false);
  addChildWindow(w.dutFrequencyWindow, CreateFrequencyPanel(w), true);
  addChildWindow(w.tauWindow, CreateTauPanel(w), true);
  addChildWindow(w.nominalWindow, CreateNominalPanel(w), true);
  addChildWindow(w.scalesWindow, CreateScalePanel(w), true);
  addChildWindow(w.titleWindow, CreateTitlePanel(w), true);
  addChildWindow(w.aboutWindow, CreateAboutPanel(w), true);
  // The right-hand column of tool windows shares one width.
  int columnWidth = 0;
  for (const app::ChildWindow* tool :
       {&w.dutFrequencyWindow, &w.tauWindow, &w.nominalWindow, &w.scalesWindow})
    columnWidth = std::max(columnWidth, tool->width());
  for (app::ChildWindow* tool :
       {&w.dutFrequencyWindow, &w.tauWindow, &w.nominalWindow, &w.scalesWindow})
    tool->setGeometryFromView(tool->left(), tool->top(), columnWidth, tool->height());

  // The design size of the main window's client area, 9120 x 7785 twips, widened so that the menu
  // bar shows a status of the usual length whole; a longer one is shortened (StatusText).
  const int statusRoom =
      fontMetrics().horizontalAdvance("Port not opened: Com 1 (/dev/ttyUSB0): no such device") + 24;
  resize(std::max(twips_.toPixelsX(9120), menuBar()->sizeHint().width() + statusRoom),
         twips_.toPixelsY(7785) + menuBar()->sizeHint().height());
  reportMainSize();
  c_.windows().mainState.changed = [this] { showMainState(); };
  showMainState();
}

QMdiSubWindow* MainWindow::subWindowOf(const app::ChildWindow& window) const {
  for (const auto& [sub, child] : windows_)
    if (child == &window) return sub;
  return nullptr;
}

QAction* MainWindow::actionOf(const app::MenuItem& item) const {
  const auto found = actions_.find(&item);
  return found == actions_.end() ? nullptr : found->second;
}

void MainWindow::buildMenus() {
  app::Menus& m = c_.menus();
  // Items that carry a check mark: the option groups and toggles.
  std::set<const app::MenuItem*> checkable = {
      &m.com1,          &m.com2,      &m.com3,
      &m.com4,          &m.filtered,  &m.nonFiltered,
      &m.frequencyData, &m.phaseData, &m.showFrequencyDiff,
      &m.showPhaseDiff, &m.autoscale, &m.limits,
      &m.tau,           &m.normalize, &m.resumeAfterPortLoss};
  checkable.insert({&m.showStandardAllan, &m.showModifiedAllan, &m.showTdev, &m.showMtie});
  checkable.insert({&m.maskNone, &m.maskPrc, &m.maskPrtcA, &m.maskPrtcB, &m.maskEprtc, &m.maskEec1,
                    &m.maskEec2});
  std::map<const app::MenuItem*, QMenu*> menus;
  for (const app::Menus::Node& node : m.tree()) {
    app::MenuItem& item = *node.item;
    const bool hasChildren = !m.childrenOf(&item).empty();
    QWidget* container = node.parent ? static_cast<QWidget*>(menus.at(node.parent))
                                     : static_cast<QWidget*>(menuBar());
    if (hasChildren) {
      auto* menu = new QMenu(item.caption(), container);
      menus[&item] = menu;
      bindMenuItem(item, menu->menuAction(), false);
      container->addAction(menu->menuAction());
      continue;
    }
    auto* action = new QAction(item.isSeparator() ? QString() : item.caption(), container);
    action->setSeparator(item.isSeparator());
    bindMenuItem(item, action, checkable.count(&item) > 0);
    container->addAction(action);
  }
}

QAction* MainWindow::bindMenuItem(app::MenuItem& item, QAction* action, bool checkable) {
  actions_[&item] = action;
  action->setCheckable(checkable);
  // The status text is shortened to the room the menu bar leaves it, with the whole text as its
  // tooltip, so that a long one does not fold away behind the bar's overflow button.
  const bool status = &item == &c_.menus().statusText;
  auto show = [this, action, &item, status] {
    if (status)
      ShowStatusText(*menuBar(), *action, item.caption());
    else if (!action->isSeparator())
      action->setText(item.caption());
    action->setChecked(item.checked());
    action->setEnabled(item.enabled());
    action->setVisible(item.visible());
  };
  show();
  item.changed = show;
  QObject::connect(action, &QAction::triggered, [&item, show] {
    item.click();
    // A checkable action toggles itself; the console alone decides the check mark.
    show();
  });
  return action;
}

void MainWindow::addChildWindow(app::ChildWindow& window, QWidget* content, bool fitToContent) {
  auto* sub = new QMdiSubWindow;
  sub->setWidget(content);
  sub->setWindowTitle(window.caption());
  sub->setWindowFlag(Qt::WindowMaximizeButtonHint, !fitToContent);
  area_->addSubWindow(sub);
  sub->installEventFilter(this);
  windows_[sub] = &window;
  if (fitToContent) {
    // The window system decides the outer size: never smaller than the contents need.
    const QSize needed = sub->minimumSizeHint();
    window.setGeometryFromView(window.left(), window.top(),
                               std::max(window.width(), twips_.fromPixelsX(needed.width())),
                               std::max(window.height(), twips_.fromPixelsY(needed.height())));
  }
  window.changed = [this, &window, sub] { showWindowState(window, sub); };
  window.broughtToFront = [this, sub] { area_->setActiveSubWindow(sub); };
  showWindowState(window, sub);
}

void MainWindow::showWindowState(app::ChildWindow& window, QMdiSubWindow* sub) {
  QScopedValueRollback<bool> guard(applying_, true);
  // The state first: a window put back to normal takes its own geometry again.
  if (window.visible() && FromQt(sub->windowState()) != window.state())
    sub->setWindowState(ToQt(window.state()));
  const QRect rect(twips_.toPixelsX(window.left()), twips_.toPixelsY(window.top()),
                   twips_.toPixelsX(window.width()), twips_.toPixelsY(window.height()));
  if (sub->geometry() != rect && !sub->isMinimized() && !sub->isMaximized()) sub->setGeometry(rect);
  // Explicitly, so that a hidden window stays hidden when the main window is first shown.
  const bool appearing = window.visible() && sub->isHidden();
  sub->setVisible(window.visible());
  if (appearing) sub->raise();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  auto* sub = qobject_cast<QMdiSubWindow*>(watched);
  const auto found = sub ? windows_.find(sub) : windows_.end();
  if (found == windows_.end()) return QMainWindow::eventFilter(watched, event);
  app::ChildWindow& window = *found->second;
  switch (event->type()) {
    case QEvent::Close:
      if (window.onCloseRequest && window.onCloseRequest()) {
        event->ignore();
        return true;
      }
      window.setVisibleFromView(false);
      break;
    case QEvent::WindowStateChange:
      if (!applying_) window.setStateFromView(FromQt(sub->windowState()));
      break;
    case QEvent::Move:
    case QEvent::Resize:
      if (!applying_ && !sub->isMinimized()) {
        const QRect g = sub->geometry();
        window.setGeometryFromView(twips_.fromPixelsX(g.x()), twips_.fromPixelsY(g.y()),
                                   twips_.fromPixelsX(g.width()), twips_.fromPixelsY(g.height()));
        if (event->type() == QEvent::Resize &&
            (&window == &c_.windows().dataWindow || &window == &c_.windows().stabilityWindow))
          app::plots::fitPlotToWindow(c_, window);
      }
      break;
    default:
      break;
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainWindow::reportMainSize() {
  c_.windows().mainWidth = twips_.fromPixelsX(frameGeometry().width());
  c_.windows().mainHeight = twips_.fromPixelsY(frameGeometry().height());
}

void MainWindow::showMainState() {
  QScopedValueRollback<bool> guard(applying_, true);
  const Qt::WindowStates wanted = ToQt(c_.windows().mainState.state());
  if (FromQt(windowState()) != c_.windows().mainState.state())
    setWindowState((windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized)) | wanted);
}

void MainWindow::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange && !applying_)
    c_.windows().mainState.setStateFromView(FromQt(windowState()));
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  reportMainSize();
  app::layOutWindows(c_);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  app::prepareToClose(c_);
  for (QMdiSubWindow* sub : area_->subWindowList()) sub->close();
  event->accept();
  app::quitConsole(c_);
}

}  // namespace tessarin::qt
