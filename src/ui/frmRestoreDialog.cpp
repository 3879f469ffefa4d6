#include "ui/frmRestoreDialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "backup/BackupUnit.h"
#include "front/TimeText.h"
#include "ui/Dialogs.h"
#include "ui/ProgramIcon.h"
#include "ui/UiText.h"

namespace {

enum TColumn { kTime, kBaseDir, kFiles, kSize, kRestored, kColumns };

// Where a row keeps its unit's name: the bytes as the index holds them.
constexpr int kNameRole = Qt::UserRole;

}  // namespace

TfrmRestoreDialog::TfrmRestoreDialog(const TBackup::TUnitPointers& units, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
  setWindowTitle(hovrak::Msg(TMsg::RestoreTitle));
  setWindowIcon(hovrak::ProgramIcon());
  setFont(hovrak::JapaneseFont(false));

  lblMessage = new QLabel(this);
  lblMessage->setObjectName("lblMessage");
  lblMessage->setWordWrap(true);

  lsvUnits = new QTreeWidget(this);
  lsvUnits->setObjectName("lsvUnits");
  lsvUnits->setColumnCount(kColumns);
  lsvUnits->setHeaderLabels({hovrak::Msg(TMsg::RestoreColumnTime), hovrak::Msg(TMsg::RestoreColumnBaseDir),
                             hovrak::Msg(TMsg::RestoreColumnFiles), hovrak::Msg(TMsg::RestoreColumnSize),
                             hovrak::Msg(TMsg::RestoreColumnRestored)});
  lsvUnits->setRootIsDecorated(false);
  lsvUnits->setItemsExpandable(false);
  lsvUnits->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lsvUnits->setSelectionMode(QAbstractItemView::SingleSelection);
  lsvUnits->setSelectionBehavior(QAbstractItemView::SelectRows);
  lsvUnits->setSortingEnabled(false);
  lsvUnits->setAllColumnsShowFocus(true);
  // A long folder keeps its last names in sight; the tip shows it whole.
  lsvUnits->setTextElideMode(Qt::ElideMiddle);
  lsvUnits->header()->setSectionsClickable(false);
  lsvUnits->header()->setStretchLastSection(false);
  // Newest first: the unit just made by a mistaken replace is the one wanted most.
  QList<QTreeWidgetItem*> rows;
  for (auto it = units.rbegin(); it != units.rend(); ++it) {
    const TBackupUnit* unit = *it;
    if (!unit) continue;
    auto* item = new QTreeWidgetItem;
    item->setText(kTime, hovrak::FromNarrow(hovrak::TimeText(unit->Time)));
    item->setText(kBaseDir, hovrak::FromNarrow(unit->BaseDir));
    item->setToolTip(kBaseDir, hovrak::FromNarrow(unit->BaseDir));
    item->setText(kFiles, QString::number(unit->Files.size()));
    item->setTextAlignment(kFiles, Qt::AlignRight | Qt::AlignVCenter);
    item->setText(kSize, hovrak::FromNarrow(TBackup::SizeText(unit->Size)));
    item->setTextAlignment(kSize, Qt::AlignRight | Qt::AlignVCenter);
    if (!unit->Restored.is_special()) item->setText(kRestored, hovrak::FromNarrow(hovrak::TimeText(unit->Restored)));
    item->setData(kTime, kNameRole, QByteArray::fromStdString(unit->Name));
    rows.append(item);
  }
  lsvUnits->addTopLevelItems(rows);
  // Times, counts and sizes show whole; the folder takes what is left.
  // A little room between columns, so that right-aligned numbers do not run into
  // the next column's text.
  const int gap = lsvUnits->fontMetrics().horizontalAdvance(QLatin1Char(' ')) * 2;
  for (int column : {kTime, kFiles, kSize, kRestored}) {
    lsvUnits->resizeColumnToContents(column);
    lsvUnits->setColumnWidth(column, lsvUnits->columnWidth(column) + gap);
  }
  lsvUnits->setColumnWidth(kRestored, qMax(lsvUnits->columnWidth(kTime), lsvUnits->columnWidth(kRestored)));
  lsvUnits->setColumnWidth(kBaseDir, 220);
  lsvUnits->header()->setSectionResizeMode(kBaseDir, QHeaderView::Stretch);

  btnRestore = new QPushButton(hovrak::Msg(TMsg::RestoreButton), this);
  btnRestore->setObjectName("btnRestore");
  btnRestore->setDefault(true);
  connect(btnRestore, &QPushButton::clicked, this, [this] {
    if (!ChosenUnit().empty()) accept();
  });
  btnCancel = new QPushButton(hovrak::Msg(TMsg::Cancel), this);
  btnCancel->setObjectName("btnCancel");
  btnCancel->setAutoDefault(false);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(lsvUnits, &QTreeWidget::itemDoubleClicked, this, [this] { btnRestore->click(); });

  if (rows.isEmpty()) {
    lblMessage->setText(hovrak::Msg(TMsg::NoUnitToRestore));
    btnRestore->setEnabled(false);
    btnCancel->setDefault(true);
  } else {
    lblMessage->setText(hovrak::Msg(TMsg::RestoreDescription));
    lsvUnits->setCurrentItem(rows.front());
  }

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(btnRestore);
  buttons->addWidget(btnCancel);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 8, 8, 8);
  layout->addWidget(lblMessage);
  layout->addWidget(lsvUnits, 1);
  layout->addLayout(buttons);
  lsvUnits->setFocus();

  // Wide enough for every column with the folder at its starting width, as far as
  // the screen allows.
  int columns = 0;
  for (int i = 0; i < kColumns; ++i) columns += lsvUnits->columnWidth(i);
  int width = qMax(560, columns + 2 * lsvUnits->frameWidth() + 20 + 16);
  if (const QScreen* screen = this->screen()) width = qMin(width, screen->availableGeometry().width() * 9 / 10);
  resize(width, qMax(260, sizeHint().height()));
}

std::string TfrmRestoreDialog::ChosenUnit() const {
  const QTreeWidgetItem* item = lsvUnits->currentItem();
  if (!item || !item->isSelected()) return std::string();
  return item->data(kTime, kNameRole).toByteArray().toStdString();
}

std::string TfrmRestoreDialog::ShowRestoreDialog(QWidget* parent, const TBackup::TUnitPointers& units) {
  TfrmRestoreDialog dialog(units, parent);
  if (TDialogs::Current().Exec(dialog) != QDialog::Accepted) return std::string();
  return dialog.ChosenUnit();
}
