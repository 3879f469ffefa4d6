#pragma once
// The replace preview: per ticked place its file, line, and the line before and
// after the replacement with the changed part marked, like a diff; the caption
// counts the places. Created once and reused.

#include <vector>

#include <QDialog>

#include "ui/PreviewRow.h"

class QTreeView;
class TPreviewModel;

class TfrmConfirm : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmConfirm(QWidget* parent = nullptr);

  // Shows these rows, in order, and their count in the caption.
  void SetRows(std::vector<TPreviewRow> rows);
  int RowCount() const;
  const TPreviewModel& Model() const { return *model_; }

  QTreeView* lsvConfirm = nullptr;

 private:
  TPreviewModel* model_ = nullptr;
};
