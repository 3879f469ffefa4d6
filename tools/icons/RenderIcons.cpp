// Renders the program's icon into hicolor PNG files at build time, so the icon the
// desktop shows is the one the windows draw: RenderIcons OUT_DIR writes
// OUT_DIR/<N>x<N>/apps/mirun.png for every size.

#include <cstdio>

#include <QDir>
#include <QImage>
#include <QString>

#include "ui/ProgramIcon.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: RenderIcons OUT_DIR\n");
    return 2;
  }
  const QString out = QString::fromLocal8Bit(argv[1]);
  for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
    const QString folder = QStringLiteral("%1/%2x%2/apps").arg(out).arg(size);
    if (!QDir().mkpath(folder)) {
      std::fprintf(stderr, "RenderIcons: cannot create %s\n", qPrintable(folder));
      return 1;
    }
    const QString file = folder + QStringLiteral("/mirun.png");
    if (!hovrak::ProgramIconImage(size).save(file, "PNG")) {
      std::fprintf(stderr, "RenderIcons: cannot write %s\n", qPrintable(file));
      return 1;
    }
  }
  return 0;
}
