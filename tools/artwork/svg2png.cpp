// Build step: renders each SVG drawing at its own size into a raw picture
// (see Artwork.h), which the program maps straight from its resources: no
// SVG parsing and no decoding at start-up.
// Usage: svg2png input.svg output.img [input.svg output.img ...]
//
// With --sizes it renders one drawing into raw pictures at the given square
// sizes, for the program icon handed to the window manager:
//        svg2png --sizes input.svg size output.img [size output.img ...]
// With --png it writes PNG files instead, for the launcher's icon in the
// portable folder:
//        svg2png --png input.svg size output.png [size output.png ...]
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

namespace {

QImage render(QSvgRenderer& renderer, QSize size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    painter.end();
    return image;
}

bool writeRaw(const QImage& image, const char* path)
{
    QFile out(QString::fromLocal8Bit(path));
    const quint32 header[2] = {quint32(image.width()), quint32(image.height())};
    if (image.isNull() || !out.open(QIODevice::WriteOnly)
        || out.write(reinterpret_cast<const char*>(header), sizeof header) != 8
        || out.write(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes()) != image.sizeInBytes()) {
        std::fprintf(stderr, "svg2png: cannot write %s\n", path);
        return false;
    }
    return true;
}

// Renders argv[2] at each size given after it, into raw pictures or PNG files.
int writeSizes(int argc, char* argv[], bool png)
{
    QSvgRenderer renderer(QString::fromLocal8Bit(argv[2]));
    if (!renderer.isValid()) {
        std::fprintf(stderr, "svg2png: cannot read %s\n", argv[2]);
        return 1;
    }
    int failures = 0;
    for (int i = 3; i + 1 < argc; i += 2) {
        const int side = QByteArray(argv[i]).toInt();
        if (side <= 0) {
            std::fprintf(stderr, "svg2png: bad size %s\n", argv[i]);
            ++failures;
            continue;
        }
        const QImage image = render(renderer, QSize(side, side));
        if (png && !image.save(QString::fromLocal8Bit(argv[i + 1]), "PNG")) {
            std::fprintf(stderr, "svg2png: cannot write %s\n", argv[i + 1]);
            ++failures;
        } else if (!png && !writeRaw(image, argv[i + 1])) {
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc > 2 && (QByteArray(argv[1]) == "--sizes" || QByteArray(argv[1]) == "--png"))
        return writeSizes(argc, argv, QByteArray(argv[1]) == "--png");
    int failures = 0;
    for (int i = 1; i + 1 < argc; i += 2) {
        QSvgRenderer renderer(QString::fromLocal8Bit(argv[i]));
        if (!renderer.isValid()) {
            std::fprintf(stderr, "svg2png: cannot read %s\n", argv[i]);
            ++failures;
            continue;
        }
        if (!writeRaw(render(renderer, renderer.defaultSize()), argv[i + 1]))
            ++failures;
    }
    return failures == 0 ? 0 : 1;
}
