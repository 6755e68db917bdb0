#include "qt/StatusText.h"

#include <QAction>
#include <QActionEvent>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QMenuBar>
#include <QPointer>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionMenuItem>
#include <QToolTip>
#include <algorithm>
#include <vector>

namespace tessarin::qt {

namespace {

const QString kEllipsis = QStringLiteral("\u2026");

// A file or device path: folders separated by / or \, maybe a drive letter in front, then a name.
// Colons and brackets end it, so that "…/globalsetting.txt: Permission denied" and
// "(/dev/ttyS2)" give just the path.
const QRegularExpression& PathPattern() {
  static const QRegularExpression pattern(
      QStringLiteral(R"((?:[A-Za-z]:)?[\\/]?(?:[^\s\\/:()\[\]"']+[\\/])+[^\s\\/:()\[\]"']+)"));
  return pattern;
}

struct Path {
  qsizetype start;    // in the text
  qsizetype length;   // of the whole path
  qsizetype folders;  // length of the folder part, before the last separator
  qsizetype kept;     // characters of the folder part still shown; `folders`: the whole path
};

QString Compose(const QString& text, const std::vector<Path>& paths) {
  QString result;
  qsizetype from = 0;
  for (const Path& path : paths) {
    result += QStringView(text).mid(from, path.start - from);
    if (path.kept < path.folders) {
      result += QStringView(text).mid(path.start, path.kept);
      result += kEllipsis;
      result += QStringView(text).mid(path.start + path.folders, path.length - path.folders);
    } else {
      result += QStringView(text).mid(path.start, path.length);
    }
    from = path.start + path.length;
  }
  result += QStringView(text).mid(from);
  return result;
}

// Never keeps half of a surrogate pair in front of the "…".
qsizetype WholeCharacters(const QString& text, const Path& path, qsizetype kept) {
  if (kept > 0 && text.at(path.start + kept - 1).isHighSurrogate()) --kept;
  return kept;
}

// The width the menu bar gives an item: its caption (or icon) and what the style adds around it.
// Worked out here rather than asked of the bar, whose own layout may still be catching up with
// the change being handled.
int ItemWidth(const QMenuBar& bar, const QString& caption, const QIcon& icon) {
  QSize size;
  if (!icon.isNull()) {
    const int side = bar.style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, &bar);
    size = QSize(side, side);
  } else if (!caption.isEmpty()) {
    size = bar.fontMetrics().size(Qt::TextShowMnemonic, caption);
  }
  QStyleOptionMenuItem option;
  option.initFrom(&bar);
  option.menuItemType = QStyleOptionMenuItem::Normal;
  option.menuRect = bar.rect();
  option.text = caption;
  option.icon = icon;
  size = bar.style()->sizeFromContents(QStyle::CT_MenuBarItem, &option, size, &bar);
  return size.isEmpty() ? -1 : size.width();
}

// The menu bar lays its items out from the left, spaced apart, with its margin and frame at both
// ends. The status item gets what the other visible items leave; a few pixels of slack absorb
// rounding in the text measurement.
int StatusRoom(const QMenuBar& bar, const QAction& status) {
  const QStyle* style = bar.style();
  const int spacing = style->pixelMetric(QStyle::PM_MenuBarItemSpacing, nullptr, &bar);
  const int ends = 2 * (style->pixelMetric(QStyle::PM_MenuBarHMargin, nullptr, &bar) +
                        style->pixelMetric(QStyle::PM_MenuBarPanelWidth, nullptr, &bar));
  const QString sample = QStringLiteral("Status");
  const int padding = ItemWidth(bar, sample, QIcon()) -
                      bar.fontMetrics().size(Qt::TextShowMnemonic, sample).width();
  constexpr int kSlack = 4;
  int taken = ends + spacing + std::max(padding, 0) + kSlack;
  for (const QAction* item : bar.actions()) {
    if (item == &status || !item->isVisible() || item->isSeparator()) continue;
    const int width = ItemWidth(bar, item->text(), item->icon());
    if (width > 0) taken += width + spacing;
  }
  return bar.width() - taken;
}

// Keeps a status item's caption fitted to its menu bar; lives as long as the item.
class StatusFitter : public QObject {
 public:
  static constexpr const char* kName = "statusFitter";

  StatusFitter(QMenuBar& bar, QAction& status) : QObject(&status), bar_(&bar), status_(status) {
    setObjectName(kName);
    bar.installEventFilter(this);
  }

  void show(const QString& text) {
    text_ = text;
    fit();
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != bar_) return false;
    switch (event->type()) {
      case QEvent::Show:
      case QEvent::Resize:
      case QEvent::FontChange:
      case QEvent::StyleChange:
      case QEvent::ActionAdded:
      case QEvent::ActionRemoved:
        fit();
        break;
      case QEvent::ActionChanged:
        if (static_cast<QActionEvent*>(event)->action() != &status_) fit();
        break;
      case QEvent::ToolTip: {
        // The menu bar shows no tooltips of its own.
        const auto* help = static_cast<QHelpEvent*>(event);
        if (bar_->actionAt(help->pos()) != &status_ || shown_ == text_) break;
        QToolTip::showText(help->globalPos(), text_, bar_, bar_->actionGeometry(&status_));
        return true;
      }
      default:
        break;
    }
    return false;
  }

 private:
  void fit() {
    if (!bar_) return;
    // A bar not shown yet has no width of its own; it is fitted when it appears.
    shown_ = bar_->isVisible()
                 ? FitStatusText(text_, bar_->fontMetrics(), StatusRoom(*bar_, status_))
                 : text_;
    // A lone & would underline the next character as a shortcut instead of showing.
    status_.setText(QString(shown_).replace(QLatin1Char('&'), QLatin1String("&&")));
    status_.setToolTip(text_);
  }

  QPointer<QMenuBar> bar_;
  QAction& status_;
  QString text_, shown_;
};

}  // namespace

QString FitStatusText(const QString& text, const QFontMetrics& metrics, int width) {
  const auto fits = [&](const QString& candidate) {
    return metrics.horizontalAdvance(candidate) <= width;
  };
  if (fits(text)) return text;

  std::vector<Path> paths;
  for (auto match = PathPattern().globalMatch(text); match.hasNext();) {
    const QRegularExpressionMatch found = match.next();
    const QStringView path = found.capturedView();
    const qsizetype separator = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    paths.push_back({found.capturedStart(), path.size(), separator, separator});
  }
  // The longest folder part gives way first; each path keeps as much of its start as fits.
  std::vector<Path*> order;
  for (Path& path : paths) order.push_back(&path);
  std::stable_sort(order.begin(), order.end(),
                   [](const Path* a, const Path* b) { return a->folders > b->folders; });
  for (Path* path : order) {
    if (fits(Compose(text, paths))) break;
    qsizetype low = 0, high = path->folders - 1;  // the most that may be kept
    path->kept = 0;
    while (low <= high) {
      const qsizetype middle = (low + high) / 2;
      const qsizetype saved = path->kept;
      path->kept = WholeCharacters(text, *path, middle);
      if (fits(Compose(text, paths))) {
        low = middle + 1;
      } else {
        path->kept = saved;
        high = middle - 1;
      }
    }
  }
  const QString shortened = Compose(text, paths);
  if (fits(shortened)) return shortened;
  return metrics.elidedText(shortened, Qt::ElideMiddle, std::max(width, 0));
}

void ShowStatusText(QMenuBar& bar, QAction& status, const QString& text) {
  auto* fitter = static_cast<StatusFitter*>(
      status.findChild<QObject*>(StatusFitter::kName, Qt::FindDirectChildrenOnly));
  if (!fitter) fitter = new StatusFitter(bar, status);
  fitter->show(text);
}

}  // namespace tessarin::qt
