// render-icon IN.svg SIZE OUT.png: the icon theme's fixed sizes, drawn from
// the one SVG each icon is made from.

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <iostream>
#include <string>

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: render-icon IN.svg SIZE OUT.png\n";
    return 1;
  }
  QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
  if (!renderer.isValid()) {
    std::cerr << "render-icon: " << argv[1] << ": not a readable SVG\n";
    return 1;
  }
  const int size = std::stoi(argv[2]);
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  renderer.render(&painter);
  painter.end();
  if (!image.save(QString::fromLocal8Bit(argv[3]), "PNG")) {
    std::cerr << "render-icon: " << argv[3] << ": cannot be written\n";
    return 1;
  }
  return 0;
}
