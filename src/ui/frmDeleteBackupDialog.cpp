#include "ui/frmDeleteBackupDialog.h"

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

TfrmDeleteBackupDialog::TfrmDeleteBackupDialog(const TBackup::TUnitPointers& units, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setWindowTitle(QStringLiteral("Mirun"));
  setWindowIcon(hovrak::ProgramIcon());
  setFont(hovrak::JapaneseFont(false));

  Label1 = new QLabel(hovrak::Msg(TMsg::PruneQuestion), this);
  Label1->setObjectName("Label1");
  Label1->setWordWrap(true);

  lsvUnits = new QTreeWidget(this);
  lsvUnits->setObjectName("lsvUnits");
  lsvUnits->setColumnCount(3);
  lsvUnits->setHeaderLabels(
      {QStringLiteral("バックアップ元フォルダ"), QStringLiteral("バックアップ日時"), QStringLiteral("バックアップ名")});
  lsvUnits->setRootIsDecorated(false);
  lsvUnits->setItemsExpandable(false);
  lsvUnits->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lsvUnits->setSelectionBehavior(QAbstractItemView::SelectRows);
  lsvUnits->setSortingEnabled(false);
  lsvUnits->header()->setSectionsClickable(false);
  // Oldest first, as the backup store hands them over.
  QList<QTreeWidgetItem*> rows;
  for (const TBackupUnit* unit : units) {
    if (!unit) continue;
    auto* item = new QTreeWidgetItem;
    item->setText(0, hovrak::FromNarrow(unit->BaseDir));
    item->setText(1, hovrak::FromNarrow(hovrak::TimeText(unit->Time)));
    item->setText(2, hovrak::FromNarrow(unit->Name));
    rows.append(item);
  }
  lsvUnits->addTopLevelItems(rows);
  lsvUnits->setColumnWidth(0, 200);
  // The date column is as wide as its longest text, so no time is cut off.
  lsvUnits->resizeColumnToContents(1);
  lsvUnits->setColumnWidth(1, qMax(100, lsvUnits->columnWidth(1)));
  lsvUnits->resizeColumnToContents(2);
  lsvUnits->setColumnWidth(2, qMax(100, lsvUnits->columnWidth(2)));

  Button1 = new QPushButton(QStringLiteral("はい(&Y)"), this);
  Button1->setObjectName("Button1");
  Button1->setDefault(true);
  connect(Button1, &QPushButton::clicked, this, [this] { done(QMessageBox::Yes); });
  Button2 = new QPushButton(QStringLiteral("いいえ(&N)"), this);
  Button2->setObjectName("Button2");
  Button2->setAutoDefault(false);
  connect(Button2, &QPushButton::clicked, this, [this] { done(QMessageBox::No); });

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(Button1);
  buttons->addWidget(Button2);
  buttons->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 8, 8, 8);
  layout->addWidget(Label1);
  layout->addWidget(lsvUnits, 1);
  layout->addLayout(buttons);
  // Wide enough that the date and the name columns show whole, as far as the screen
  // allows; the folder column keeps its designed width.
  int columns = 0;
  for (int i = 0; i < 3; ++i) columns += lsvUnits->columnWidth(i);
  int width = qMax(441, columns + 2 * lsvUnits->frameWidth() + 16 + 8);
  if (const QScreen* screen = this->screen()) width = qMin(width, screen->availableGeometry().width() * 9 / 10);
  resize(width, 184);
}

bool TfrmDeleteBackupDialog::ShowDeleteBackupDialog(QWidget* parent, const TBackup::TUnitPointers& units) {
  TfrmDeleteBackupDialog dialog(units, parent);
  return TDialogs::Current().Exec(dialog) == QMessageBox::Yes;
}
