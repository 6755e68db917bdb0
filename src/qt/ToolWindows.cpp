#include "qt/ToolWindows.h"

#include <QFontDatabase>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/Windows.h"

namespace tessarin::qt {

namespace {

// A line edit that shows `box` and writes the operator's typing back to it.
QLineEdit* boundLineEdit(app::TextBox& box, QWidget* parent, bool readOnly = false) {
  auto* edit = new QLineEdit(parent);
  edit->setReadOnly(readOnly);
  edit->setText(box.text());
  edit->setEnabled(box.enabled());
  box.changed = [edit, &box] {
    if (edit->text() != box.text()) edit->setText(box.text());
    edit->setEnabled(box.enabled());
  };
  QObject::connect(edit, &QLineEdit::textEdited, [&box](const QString& t) { box.setFromView(t); });
  return edit;
}

// A box wide enough for a whole frequency such as 10,000,000.00000.
QLineEdit* frequencyEdit(app::TextBox& box, QWidget* parent) {
  QLineEdit* edit = boundLineEdit(box, parent);
  edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance("00,000,000.00000") + 12);
  return edit;
}

}  // namespace

QWidget* CreateFrequencyPanel(app::Windows& w) {
  auto* panel = new QWidget;
  auto* form = new QFormLayout(panel);
  form->setContentsMargins(4, 2, 4, 2);
  form->addRow("DUT frequency :", frequencyEdit(w.measuredFrequencyBox, panel));
  form->addRow("Fprogrammed :", frequencyEdit(w.programmedFrequencyBox, panel));
  return panel;
}

QWidget* CreateNominalPanel(app::Windows& w) {
  auto* panel = new QWidget;
  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(4, 2, 4, 2);
  layout->addWidget(frequencyEdit(w.nominalFrequencyBox, panel));
  return panel;
}

QWidget* CreateTauPanel(app::Windows& w) {
  auto* panel = new QWidget;
  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(2, 2, 2, 2);
  auto* list = new QListWidget(panel);
  list->addItems(w.tauList.items());
  // A small window between the DUT frequency and the nominal DUT: two entries show at a time.
  list->setMinimumHeight(2 * list->sizeHintForRow(0) + 2 * list->frameWidth() + 2);
  app::ListBox& model = w.tauList;
  auto selectedRow = [list] {
    const QList<QListWidgetItem*> items = list->selectedItems();
    return items.isEmpty() ? -1 : list->row(items.constFirst());
  };
  model.changed = [list, &model, selectedRow] {
    if (selectedRow() != model.selectedIndex()) {
      list->clearSelection();
      if (model.selectedIndex() >= 0) list->item(model.selectedIndex())->setSelected(true);
    }
    list->setEnabled(model.enabled());
  };
  // Only an entry the operator selected counts; the list's current-item cursor does not.
  QObject::connect(list, &QListWidget::itemSelectionChanged,
                   [&model, selectedRow] { model.setFromView(selectedRow()); });
  layout->addWidget(list);
  return panel;
}

QWidget* CreateScalePanel(app::Windows& w) {
  static const char* const kLabels[] = {"Sample-min", "Sample-max", "Delta F-min", "Delta F-max",
                                        "Tau-min",    "Tau-max",    "SigmaY-min",  "SigmaY-max"};
  auto* panel = new QWidget;
  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(4, 4, 4, 4);
  for (int frame = 0; frame < 2; ++frame) {
    auto* group = new QGroupBox(frame == 0 ? "Data plot" : "Allan deviation plot", panel);
    auto* grid = new QGridLayout(group);
    // X limits on the left, Y limits on the right, the minimum above the maximum.
    for (int i = 0; i < 4; ++i) {
      const int index = frame * 4 + i;
      const int column = (i / 2) * 2;
      const int row = (i % 2) * 2;
      grid->addWidget(new QLabel(kLabels[index], group), row, column);
      grid->addWidget(boundLineEdit(w.scaleBoxes[index], group), row + 1, column);
    }
    layout->addWidget(group);
  }
  return panel;
}

QWidget* CreateTitlePanel(app::Windows& w) {
  auto* panel = new QWidget;
  auto* form = new QFormLayout(panel);
  form->setContentsMargins(4, 4, 4, 4);
  form->addRow("Data :", boundLineEdit(w.dataTitleBox, panel));
  form->addRow("Stability :", boundLineEdit(w.stabilityTitleBox, panel));
  auto* ok = new QPushButton(w.titleOkButton.caption(), panel);
  app::Button& button = w.titleOkButton;
  QObject::connect(ok, &QPushButton::clicked, [&button] { button.click(); });
  form->addRow(ok);
  return panel;
}

QWidget* CreateAboutPanel(app::Windows& w) {
  auto* panel = new QWidget;
  panel->setAutoFillBackground(true);
  panel->setStyleSheet("background: white;");
  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(2, 2, 2, 2);
  auto* name = new QLabel(panel);
  QPixmap picture(193, 23);
  picture.fill(Qt::white);
  QPainter painter(&picture);
  painter.setPen(QColor(0, 0, 128));
  QFont font = painter.font();
  font.setBold(true);
  font.setPixelSize(15);
  painter.setFont(font);
  painter.drawText(picture.rect(), Qt::AlignCenter, "TESSARIN / RS");
  painter.end();
  name->setPixmap(picture);
  name->setAlignment(Qt::AlignCenter);
  layout->addWidget(name);
  // The served page's address and token, to be copied from here to a browser.
  auto* served = new QLabel(panel);
  served->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  served->setTextInteractionFlags(Qt::TextSelectableByMouse);
  app::TextBox& box = w.servedPageBox;
  const auto show = [served, &box] {
    served->setText(box.text());
    served->setVisible(!box.text().isEmpty());
  };
  show();
  box.changed = show;
  layout->addWidget(served);
  return panel;
}

}  // namespace tessarin::qt
