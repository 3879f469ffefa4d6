#include <gtest/gtest.h>

#include <QComboBox>

#include "ScriptedDialogs.h"
#include "TestSupport.h"
#include "ui/frmMain.h"
#include "ui/frmResult.h"

// The windows come up on the offscreen platform and the main window owns the rest.
TEST(UiSmoke, MainWindowCreatesItsWindows) {
  TScriptedDialogs dialogs;
  const TTempDir home;
  TfrmMain main(home.Path() + "/Mirun.kel");
  EXPECT_NE(main.frmResult(), nullptr);
  EXPECT_NE(main.findChild<QComboBox*>(), nullptr);
}
