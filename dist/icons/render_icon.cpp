// Renders the program's SVG icon as square PNG pictures for the hicolor theme,
// at build time: render_icon ICON.svg SIZE OUT.png [SIZE OUT.png ...]
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc < 4 || argc % 2 != 0) {
    std::fputs("usage: render_icon ICON.svg SIZE OUT.png [SIZE OUT.png ...]\n", stderr);
    return 2;
  }
  QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
  if (!renderer.isValid()) {
    std::fprintf(stderr, "render_icon: cannot read %s\n", argv[1]);
    return 1;
  }
  for (int i = 2; i < argc; i += 2) {
    const int size = std::atoi(argv[i]);
    if (size < 1 || size > 1024) {
      std::fprintf(stderr, "render_icon: bad size %s\n", argv[i]);
      return 2;
    }
    QImage picture(size, size, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    renderer.render(&painter);
    painter.end();
    const QString out = QString::fromLocal8Bit(argv[i + 1]);
    if (!QDir().mkpath(QFileInfo(out).path()) || !picture.save(out, "PNG")) {
      std::fprintf(stderr, "render_icon: cannot write %s\n", argv[i + 1]);
      return 1;
    }
  }
  return 0;
}
