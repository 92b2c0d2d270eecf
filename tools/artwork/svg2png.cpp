// Build step: renders each SVG drawing at its own size into a raw picture
// (see Artwork.h), which the program maps straight from its resources: no
// SVG parsing and no decoding at start-up.
// Usage: svg2png input.svg output.img [input.svg output.img ...]
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    int failures = 0;
    for (int i = 1; i + 1 < argc; i += 2) {
        QSvgRenderer renderer(QString::fromLocal8Bit(argv[i]));
        if (!renderer.isValid()) {
            std::fprintf(stderr, "svg2png: cannot read %s\n", argv[i]);
            ++failures;
            continue;
        }
        QImage image(renderer.defaultSize(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
        painter.end();
        QFile out(QString::fromLocal8Bit(argv[i + 1]));
        const quint32 header[2] = {quint32(image.width()), quint32(image.height())};
        if (!out.open(QIODevice::WriteOnly) || out.write(reinterpret_cast<const char*>(header), sizeof header) != 8
            || out.write(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes()) != image.sizeInBytes()) {
            std::fprintf(stderr, "svg2png: cannot write %s\n", argv[i + 1]);
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
