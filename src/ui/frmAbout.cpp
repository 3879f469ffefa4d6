#include "ui/frmAbout.h"

TfrmAbout::TfrmAbout(QWidget* parent) : QDialog(parent) {}
