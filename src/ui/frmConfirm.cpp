#include "ui/frmConfirm.h"

#include <utility>

#include <QHeaderView>
#include <QTreeView>
#include <QVBoxLayout>

#include "ui/PreviewDelegate.h"
#include "ui/PreviewModel.h"
#include "ui/ProgramIcon.h"
#include "ui/UiText.h"

namespace {

const QString kCaption = QStringLiteral("Mirun - 置換結果の確認");

}  // namespace

TfrmConfirm::TfrmConfirm(QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::WindowMinMaxButtonsHint) {
  setWindowTitle(kCaption);
  setWindowIcon(hovrak::ProgramIcon());
  setFont(hovrak::JapaneseFont(false));

  model_ = new TPreviewModel(this);
  lsvConfirm = new QTreeView(this);
  lsvConfirm->setObjectName("lsvConfirm");
  lsvConfirm->setFont(hovrak::JapaneseFont(true));
  lsvConfirm->setModel(model_);
  lsvConfirm->setItemDelegateForColumn(TPreviewModel::BeforeColumn, new TPreviewDelegate(false, lsvConfirm));
  lsvConfirm->setItemDelegateForColumn(TPreviewModel::AfterColumn, new TPreviewDelegate(true, lsvConfirm));
  lsvConfirm->setRootIsDecorated(false);
  lsvConfirm->setItemsExpandable(false);
  lsvConfirm->setUniformRowHeights(true);  // keeps long lists fast
  lsvConfirm->setAlternatingRowColors(true);
  lsvConfirm->setSelectionMode(QAbstractItemView::SingleSelection);
  lsvConfirm->setSelectionBehavior(QAbstractItemView::SelectRows);
  lsvConfirm->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lsvConfirm->setSortingEnabled(false);
  lsvConfirm->setTextElideMode(Qt::ElideLeft);  // a long file name keeps its end
  QHeaderView* header = lsvConfirm->header();
  header->setSectionsClickable(false);
  header->setSectionsMovable(false);
  header->setStretchLastSection(false);
  header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  header->setSectionResizeMode(TPreviewModel::BeforeColumn, QHeaderView::Stretch);
  header->setSectionResizeMode(TPreviewModel::AfterColumn, QHeaderView::Stretch);
  lsvConfirm->setColumnWidth(TPreviewModel::FileColumn, 150);
  lsvConfirm->setColumnWidth(TPreviewModel::LineColumn,
                             lsvConfirm->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 8);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(lsvConfirm);
  // Wider than designed: two lines side by side need the room.
  resize(860, 320);
}

void TfrmConfirm::SetRows(std::vector<TPreviewRow> rows) {
  const int count = static_cast<int>(rows.size());
  model_->SetRows(std::move(rows));
  setWindowTitle(QStringLiteral("%1（%2件）").arg(kCaption).arg(count));
}

int TfrmConfirm::RowCount() const { return model_->rowCount(); }
