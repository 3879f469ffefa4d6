#include "ui/frmConfirm.h"

#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "ui/ProgramIcon.h"
#include "ui/UiText.h"

namespace {

QTreeWidgetItem* MakeRow(const QString& before, const QString& after) {
  auto* item = new QTreeWidgetItem;
  item->setText(0, before);
  item->setText(1, after);
  return item;
}

}  // namespace

TfrmConfirm::TfrmConfirm(QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::WindowMinMaxButtonsHint) {
  setWindowTitle(QStringLiteral("Mirun - 置換結果の確認"));
  setWindowIcon(hovrak::ProgramIcon());
  setFont(hovrak::JapaneseFont(false));

  lsvConfirm = new QTreeWidget(this);
  lsvConfirm->setObjectName("lsvConfirm");
  lsvConfirm->setFont(hovrak::JapaneseFont(true));
  lsvConfirm->setColumnCount(2);
  lsvConfirm->setHeaderLabels({QStringLiteral("置換前"), QStringLiteral("置換後")});
  lsvConfirm->setRootIsDecorated(false);
  lsvConfirm->setItemsExpandable(false);
  lsvConfirm->setUniformRowHeights(true);  // keeps long lists fast
  lsvConfirm->setSelectionMode(QAbstractItemView::SingleSelection);
  lsvConfirm->setSelectionBehavior(QAbstractItemView::SelectRows);
  lsvConfirm->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lsvConfirm->setSortingEnabled(false);
  lsvConfirm->header()->setSectionsClickable(false);
  lsvConfirm->header()->setSectionsMovable(false);
  lsvConfirm->header()->setStretchLastSection(false);
  lsvConfirm->setColumnWidth(0, 300);
  lsvConfirm->setColumnWidth(1, 300);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(lsvConfirm);
  resize(634, 286);
}

void TfrmConfirm::Clear() { lsvConfirm->clear(); }

void TfrmConfirm::Add(const QString& before, const QString& after) {
  lsvConfirm->addTopLevelItem(MakeRow(before, after));
}

void TfrmConfirm::AddRows(const std::vector<std::pair<QString, QString>>& rows) {
  QList<QTreeWidgetItem*> items;
  items.reserve(static_cast<qsizetype>(rows.size()));
  for (const auto& row : rows) items.append(MakeRow(row.first, row.second));
  lsvConfirm->addTopLevelItems(items);
}
