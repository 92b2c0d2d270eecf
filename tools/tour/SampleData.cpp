#include "SampleData.h"


#include "Camera.h"
#include "Platform.h"
#include "WineRecord.h"

#include <QFile>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>

#include <algorithm>

namespace tour {

void writeSampleWines(const QString& path, int count)
{
    static const char* const names[][5] = {
        {"Barolo Cannubi", "Borgogno", "DOCG", "Piemonte", "Langhe"},
        {"Brunello di Montalcino", "Biondi-Santi", "DOCG", "Toscana", "Montalcino"},
        {"Amarone della Valpolicella", "Quintarelli", "DOCG", "Veneto", "Valpolicella"},
        {"Etna Rosso", "Benanti", "DOC", "Sicilia", "Etna"},
        {"Verdicchio dei Castelli di Jesi", "Bucci", "DOC", "Marche", "Castelli di Jesi"},
    };
    QFile file(path);
    if (!file.open(QIODevice::Append))
        return;
    const vinarca::RecordLayout& layout = vinarca::wineLayout();
    QByteArray record = layout.emptyRecord();
    for (int i = 0; i < count; ++i) {
        const auto& n = names[i % 5];
        const QStringList texts{
            QString::fromUtf8(n[0]), QString::fromUtf8(n[1]), QString::fromUtf8(n[2]), QStringLiteral("Italia"),
            QString::fromUtf8(n[3]), QString::fromUtf8(n[4]), QStringLiteral("Cantina storica"),
            QString::number(2010 + i % 12), QStringLiteral("36 mesi"), QStringLiteral("Botte grande di rovere"),
            QStringLiteral("Rosso granato"), QStringLiteral("Viola, ciliegia, spezie"),
            QStringLiteral("Pieno, elegante"), QStringLiteral("Liquirizia"), QStringLiteral("14,5% vol"),
            QStringLiteral("Fresca"), QStringLiteral("Media"), QStringLiteral("Brasati e formaggi stagionati"),
            QStringLiteral("Tannino vellutato"), QStringLiteral("18 °C"), QStringLiteral("Enoteca Rossi"),
            QString::number(12 + i % 40), QStringLiteral("%1,50").arg(18 + i % 60),
            QStringLiteral("Bottiglia coricata, 14 °C"), QStringLiteral("Calice ampio"),
            QStringLiteral("Ottimo con il tartufo bianco d'Alba. Aprire un'ora prima."),
        };
        layout.encode(record, texts);
        file.write(record);
    }
}

QImage samplePhoto(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(0xF5, 0xE6, 0xC8));
    sky.setColorAt(1, QColor(0x8B, 0x5A, 0x2B));
    p.fillRect(image.rect(), sky);
    const double w = size.width(), h = size.height();
    QPainterPath bottle;
    bottle.moveTo(w * 0.44, h * 0.08);
    bottle.lineTo(w * 0.56, h * 0.08);
    bottle.lineTo(w * 0.56, h * 0.32);
    bottle.cubicTo(w * 0.66, h * 0.38, w * 0.68, h * 0.42, w * 0.68, h * 0.5);
    bottle.lineTo(w * 0.68, h * 0.92);
    bottle.lineTo(w * 0.32, h * 0.92);
    bottle.lineTo(w * 0.32, h * 0.5);
    bottle.cubicTo(w * 0.32, h * 0.42, w * 0.34, h * 0.38, w * 0.44, h * 0.32);
    bottle.closeSubpath();
    QLinearGradient glass(w * 0.32, 0, w * 0.68, 0);
    glass.setColorAt(0, QColor(0x10, 0x30, 0x18));
    glass.setColorAt(0.35, QColor(0x3A, 0x6B, 0x3F));
    glass.setColorAt(1, QColor(0x08, 0x20, 0x10));
    p.fillPath(bottle, glass);
    p.fillRect(QRectF(w * 0.35, h * 0.55, w * 0.30, h * 0.22), QColor(0xF4, 0xEE, 0xDC));
    p.setPen(QColor(0x7B, 0x1E, 0x3A));
    QFont font(QStringLiteral("Times New Roman"), std::max(6, int(h / 40)), QFont::Bold);
    p.setFont(font);
    p.drawText(QRectF(w * 0.35, h * 0.55, w * 0.30, h * 0.22), Qt::AlignCenter, QStringLiteral("BAROLO\n2016"));
    p.fillRect(QRectF(w * 0.44, h * 0.08, w * 0.12, h * 0.06), QColor(0x7B, 0x1E, 0x3A));
    return image;
}

namespace {
class QuietPlatform final : public vinarca::Platform
{
public:
    std::function<std::unique_ptr<vinarca::Camera>()> camera;

    vinarca::MessageAnswer message(QWidget*, vinarca::MessageKind, const QString&) override
    {
        return vinarca::MessageAnswer::Ok;
    }
    void plainMessage(QWidget*, const QString&) override {}
    QString openFileName(QWidget*, const vinarca::OpenFileRequest&) override { return {}; }
    QString saveFileName(QWidget*, const vinarca::SaveFileRequest&) override { return {}; }
    int execDialog(QDialog&) override { return 0; }
    bool printDialog(QWidget*, QPrinter&, int, vinarca::PrintChoices&) override { return false; }
    void shellOpen(const QString&) override {}
    QSize screenSize() const override { return {1280, 800}; }
    std::unique_ptr<vinarca::Camera> defaultCamera() override { return camera ? camera() : nullptr; }
};
} // namespace

std::unique_ptr<vinarca::Platform> makeQuietPlatform(std::function<std::unique_ptr<vinarca::Camera>()> camera)
{
    auto platform = std::make_unique<QuietPlatform>();
    platform->camera = std::move(camera);
    return platform;
}

void writeCameraPhoto(const QString& path)
{
    QImage picture = samplePhoto({6000, 4000});
    QRandomGenerator grain(7);
    for (int y = 0; y < picture.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            const int n = int(grain.bounded(24)) - 12;
            const QRgb p = line[x];
            line[x] = qRgb(std::clamp(qRed(p) + n, 0, 255), std::clamp(qGreen(p) + n, 0, 255),
                           std::clamp(qBlue(p) + n, 0, 255));
        }
    }
    QImageWriter writer(path, "jpeg");
    writer.setQuality(90);
    writer.write(picture);
}

} // namespace tour
