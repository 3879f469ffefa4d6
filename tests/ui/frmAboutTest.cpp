#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>

#include "ui/ProgramIcon.h"
#include "ui/UiText.h"
#include "ui/frmAbout.h"

TEST(AboutBox, NameVersionNoticeAndOk) {
  TfrmAbout about;
  EXPECT_EQ(about.windowTitle(), hovrak::Msg(TMsg::AboutTitle));
  EXPECT_EQ(about.ProductName->text(), QStringLiteral("Mirun"));
  EXPECT_TRUE(about.Version->text().startsWith(QStringLiteral("Ver. ")));
  EXPECT_GT(about.Version->text().size(), 5);
  EXPECT_EQ(about.lblCopyright->text(), hovrak::Msg(TMsg::AboutNotice));
  // No address that nobody answers.
  EXPECT_FALSE(about.lblCopyright->text().contains(QStringLiteral(".invalid")));
  EXPECT_FALSE(hovrak::Msg(TMsg::PleaseReportError).contains(QStringLiteral(".invalid")));
  EXPECT_FALSE(hovrak::Msg(TMsg::PleaseReportError).contains(QLatin1Char('@')));
  EXPECT_TRUE(about.OKButton->isDefault());
  about.show();
  about.OKButton->click();
  EXPECT_EQ(about.result(), QDialog::Accepted);
}

TEST(ProgramIcon, DrawnAtEverySize) {
  const QIcon icon = hovrak::ProgramIcon();
  EXPECT_FALSE(icon.isNull());
  for (const int size : {16, 32, 48, 256}) {
    const QImage image = hovrak::ProgramIconImage(size);
    ASSERT_EQ(image.size(), QSize(size, size));
    // Something is drawn, and the corners outside the page stay transparent.
    int opaque = 0;
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) opaque += qAlpha(image.pixel(x, y)) > 128;
    EXPECT_GT(opaque, size * size / 4) << size;
    EXPECT_EQ(qAlpha(image.pixel(size - 1, 0)), 0) << size;
    EXPECT_EQ(icon.pixmap(QSize(size, size)).size(), QSize(size, size));
  }
}
