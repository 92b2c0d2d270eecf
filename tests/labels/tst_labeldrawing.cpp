// The label as drawn: each element's box and type face, where a line sits
// in its box and where it is cut, and the pixels of rendered labels.
#include "LabelDrawing.h"
#include "Length.h"

#include <QPainter>
#include <QTest>

#include <stdexcept>

using namespace vinarca;

namespace {
const QColor kCoral(0xFF, 0x7F, 0x50);
const QColor kCornflower(0x64, 0x95, 0xED);
const QColor kBrown(0xA5, 0x2A, 0x2A);

// Colours as drawn, give or take the rounding of a scaled fill.
bool near(const QColor& a, const QColor& b)
{
    return qAbs(a.red() - b.red()) <= 3 && qAbs(a.green() - b.green()) <= 3 && qAbs(a.blue() - b.blue()) <= 3;
}
#define QCOMPARE_COLOUR(actual, expected)                                                                           \
    QVERIFY2(near(actual, expected), qPrintable((actual).name() + QStringLiteral(" is not ") + QColor(expected).name()))

const LabelGeometry& geometryNamed(const QString& kind)
{
    return kind == QLatin1String("vertical") ? verticalGeometry() : horizontalGeometry();
}

// Renders a label at `pixelsPerMm`, with a margin of 2 mm for the frame.
QImage render(const LabelGeometry& geometry, const LabelFace& face, double pixelsPerMm)
{
    const QRectF frame = geometry.element(QStringLiteral("sfoArancione")).mm();
    QImage image(qCeil((frame.width() + 2) * pixelsPerMm), qCeil((frame.height() + 2) * pixelsPerMm),
                 QImage::Format_RGB32);
    image.fill(Qt::gray);
    QPainter painter(&image);
    painter.scale(pixelsPerMm, pixelsPerMm);
    painter.translate(-frame.topLeft() + QPointF(1, 1));
    drawLabel(painter, geometry, face);
    return image;
}

// The pixel at a point of the label given in window units.
QColor at(const QImage& image, const LabelGeometry& geometry, double pixelsPerMm, QPointF units)
{
    const QPointF origin = -geometry.element(QStringLiteral("sfoArancione")).mm().topLeft() + QPointF(1, 1);
    const QPointF mm = origin + QPointF(Length::units(units.x()).mm(), Length::units(units.y()).mm());
    return image.pixelColor((mm * pixelsPerMm).toPoint());
}

// Columns (in window units from the label's left edge) where a row band of
// the image holds a colour close to `ink`.
std::pair<double, double> inkedColumns(const QImage& image, const LabelGeometry& geometry, double pixelsPerMm,
                                       const QRect& rowsUnits, const QColor& ink)
{
    const double originX = (-geometry.element(QStringLiteral("sfoArancione")).mm().x() + 1) * pixelsPerMm;
    const double top = (-geometry.element(QStringLiteral("sfoArancione")).mm().y() + 1
                        + Length::units(rowsUnits.top()).mm()) * pixelsPerMm;
    const double bottom = top + Length::units(rowsUnits.height()).mm() * pixelsPerMm;
    int first = image.width(), last = -1;
    for (int y = int(top); y < int(bottom); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (qAbs(c.red() - ink.red()) < 40 && qAbs(c.green() - ink.green()) < 40 && qAbs(c.blue() - ink.blue()) < 40) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
        }
    }
    const double unitsPerPixel = kUnitsPerMm / pixelsPerMm;
    return {(first - originX) * unitsPerPixel, (last + 1 - originX) * unitsPerPixel};
}
} // namespace

class TestLabelDrawing : public QObject
{
    Q_OBJECT
private slots:
    void elements_data();
    void elements();
    void drawingOrder();
    void labelIsThePrintedSize_data();
    void labelIsThePrintedSize();
    void textPlacement_data();
    void textPlacement();
    void fittedPictures_data();
    void fittedPictures();
    void emptyLabel_data();
    void emptyLabel();
    void linesSitInTheirBoxes_data();
    void linesSitInTheirBoxes();
    void longLinesAreCutAtTheBoxEdgeAtAnyScale_data();
    void longLinesAreCutAtTheBoxEdgeAtAnyScale();
    void logoKeepsItsProportions();
};

void TestLabelDrawing::elements_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("element");
    QTest::addColumn<QRect>("box");
    QTest::addColumn<QString>("family"); // texts only
    QTest::addColumn<int>("points");
    QTest::addColumn<QString>("style"); // "b" bold, "i" italic
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<int>("align");
    const QString arial = QStringLiteral("Arial"), times = QStringLiteral("Times New Roman");
    const int C = Qt::AlignHCenter, L = Qt::AlignLeft, R = Qt::AlignRight;
    struct Row
    {
        const char* element;
        QRect vertical, horizontal;
        QString family;
        int points;
        const char* style;
        QColor colour;
        int align;
    };
    const Row rows[] = {
        {"sfoArancione", {-5, -5, 369, 464}, {-5, -5, 426, 331}, {}, 0, "", kCoral, 0},
        {"sfoEtichetta", {0, 0, 359, 454}, {0, 0, 416, 321}, {}, 0, "", Qt::white, 0},
        {"sfoCima", {5, 5, 349, 24}, {6, 6, 405, 24}, {}, 0, "", kCornflower, 0},
        {"titCima", {10, 7, 339, 20}, {12, 8, 394, 20}, arial, 13, "b", Qt::white, C},
        {"imgFoto", {11, 39, 338, 145}, {6, 36, 405, 70}, {}, 0, "", {}, 0},
        {"titNome", {5, 199, 349, 38}, {6, 110, 404, 36}, times, 30, "b", kBrown, C},
        {"titRosso", {5, 237, 349, 20}, {6, 144, 404, 20}, times, 14, "b", Qt::black, C},
        {"icoCornice", {43, 261, 280, 159}, {76, 232, 265, 29}, {}, 0, "", {}, 0},
        {"titSottotitolo", {59, 291, 249, 26}, {6, 164, 405, 26}, times, 22, "bi", kBrown, C},
        {"titRigo01", {67, 321, 233, 20}, {6, 190, 405, 20}, times, 14, "", Qt::black, C},
        {"titRigo02", {67, 343, 233, 20}, {6, 210, 405, 20}, times, 14, "", Qt::black, C},
        {"titRigo03", {67, 365, 114, 26}, {6, 260, 190, 26}, times, 24, "b", Qt::black, L},
        {"titRigo04", {186, 365, 114, 26}, {220, 260, 190, 26}, times, 24, "b", Qt::black, R},
        {"sfoCalce", {5, 425, 349, 24}, {6, 292, 405, 24}, {}, 0, "", kCornflower, 0},
        {"titCalce", {10, 427, 339, 20}, {12, 294, 394, 20}, arial, 13, "b", Qt::white, C},
    };
    for (const Row& r : rows) {
        QTest::addRow("vertical %s", r.element) << "vertical" << r.element << r.vertical << r.family << r.points
                                                << r.style << r.colour << r.align;
        QTest::addRow("horizontal %s", r.element) << "horizontal" << r.element << r.horizontal << r.family
                                                  << r.points << r.style << r.colour << r.align;
    }
}

void TestLabelDrawing::elements()
{
    QFETCH(QString, kind);
    QFETCH(QString, element);
    QFETCH(QRect, box);
    QFETCH(QString, family);
    QFETCH(int, points);
    QFETCH(QString, style);
    QFETCH(QColor, colour);
    QFETCH(int, align);
    const LabelElement& e = geometryNamed(kind).element(element);
    QCOMPARE(e.units, box);
    if (colour.isValid())
        QCOMPARE(e.colour, colour);
    if (e.kind == LabelElementKind::Text) {
        QCOMPARE(e.font.family, family);
        QCOMPARE(e.font.pointSize, points);
        QCOMPARE(e.font.bold, style.contains(QLatin1Char('b')));
        QCOMPARE(e.font.italic, style.contains(QLatin1Char('i')));
        QCOMPARE(int(e.alignment & Qt::AlignHorizontal_Mask), align);
        QCOMPARE(labelLineField(e.line), element.mid(3)); // titNome shows the Nome line
    }
    QCOMPARE(e.outline.isValid(), element == QLatin1String("sfoArancione"));
}

void TestLabelDrawing::drawingOrder()
{
    const auto names = [](const LabelGeometry& g) {
        QStringList list;
        for (const LabelElement& e : g.elements)
            list << e.name;
        return list;
    };
    QStringList vertical = names(verticalGeometry());
    QCOMPARE(vertical.size(), 15);
    QCOMPARE(vertical.indexOf(QStringLiteral("icoCornice")), 7); // under the lines it frames
    QCOMPARE(names(horizontalGeometry()).constLast(), QStringLiteral("icoCornice"));
    QVERIFY_THROWS_EXCEPTION(std::logic_error, verticalGeometry().element(QStringLiteral("titTitolo")));
}

void TestLabelDrawing::labelIsThePrintedSize_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("vertical") << "vertical";
    QTest::newRow("horizontal") << "horizontal";
}

void TestLabelDrawing::labelIsThePrintedSize()
{
    QFETCH(QString, kind);
    const LabelKind& k = kind == QLatin1String("vertical") ? verticalLabelKind() : horizontalLabelKind();
    const QRectF mm = k.geometry->element(QStringLiteral("sfoEtichetta")).mm();
    // Within half a unit of the paper size: 359 units are 94.99 mm.
    QVERIFY(qAbs(mm.width() - k.printedSizeMm.width()) < 0.15);
    QVERIFY(qAbs(mm.height() - k.printedSizeMm.height()) < 0.15);
}

void TestLabelDrawing::textPlacement_data()
{
    QTest::addColumn<double>("text");
    QTest::addColumn<double>("box");
    QTest::addColumn<int>("align");
    QTest::addColumn<double>("left");
    QTest::newRow("centred") << 40.0 << 100.0 << int(Qt::AlignHCenter) << 30.0;
    QTest::newRow("left") << 40.0 << 100.0 << int(Qt::AlignLeft) << 0.0;
    QTest::newRow("right") << 40.0 << 100.0 << int(Qt::AlignRight) << 60.0;
    QTest::newRow("exactly the box") << 100.0 << 100.0 << int(Qt::AlignRight) << 0.0;
    // Too wide: the beginning stays readable whatever the alignment.
    QTest::newRow("too wide, centred") << 140.0 << 100.0 << int(Qt::AlignHCenter) << 0.0;
    QTest::newRow("too wide, right") << 140.0 << 100.0 << int(Qt::AlignRight) << 0.0;
}

void TestLabelDrawing::textPlacement()
{
    QFETCH(double, text);
    QFETCH(double, box);
    QFETCH(int, align);
    QFETCH(double, left);
    QCOMPARE(labelTextLeft(text, box, Qt::Alignment(align)), left);
}

void TestLabelDrawing::fittedPictures_data()
{
    QTest::addColumn<QSizeF>("picture");
    QTest::addColumn<QRectF>("box");
    QTest::addColumn<QRectF>("drawn");
    QTest::newRow("wide picture in a tall box") << QSizeF(200, 50) << QRectF(10, 10, 100, 100)
                                                << QRectF(10, 47.5, 100, 25);
    QTest::newRow("tall picture in a wide box") << QSizeF(30, 60) << QRectF(0, 0, 338, 145)
                                                << QRectF(132.75, 0, 72.5, 145);
    QTest::newRow("small picture grows") << QSizeF(338, 145) << QRectF(0, 0, 676, 290) << QRectF(0, 0, 676, 290);
    QTest::newRow("empty picture draws nothing") << QSizeF() << QRectF(0, 0, 10, 10) << QRectF();
}

void TestLabelDrawing::fittedPictures()
{
    QFETCH(QSizeF, picture);
    QFETCH(QRectF, box);
    QFETCH(QRectF, drawn);
    QCOMPARE(fittedPicture(picture, box), drawn);
}

void TestLabelDrawing::emptyLabel_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("vertical") << "vertical";
    QTest::newRow("horizontal") << "horizontal";
}

void TestLabelDrawing::emptyLabel()
{
    // Only the frame, the white label and the two empty blue bands.
    QFETCH(QString, kind);
    const LabelGeometry& g = geometryNamed(kind);
    const double scale = kUnitsPerMm; // one pixel per window unit, as on screen
    const QImage image = render(g, LabelFace{}, scale);
    const QRect label = g.labelUnits();
    QCOMPARE_COLOUR(at(image, g, scale, {-2.5, label.height() / 2.0}), kCoral);
    QCOMPARE_COLOUR(at(image, g, scale, {label.width() + 2.5, 100}), kCoral);
    QCOMPARE_COLOUR(at(image, g, scale, {-4.5, 100}), QColor(Qt::white)); // the frame's white outline
    QCOMPARE_COLOUR(at(image, g, scale, {2.5, label.height() / 2.0}), QColor(Qt::white));
    const QRect top = g.element(QStringLiteral("sfoCima")).units, bottom = g.element(QStringLiteral("sfoCalce")).units;
    QCOMPARE_COLOUR(at(image, g, scale, QRectF(top).center()), kCornflower);
    QCOMPARE_COLOUR(at(image, g, scale, QRectF(bottom).center() + QPointF(100, 0)), kCornflower);
    QCOMPARE_COLOUR(at(image, g, scale, QRectF(g.element(QStringLiteral("titNome")).units).center()), QColor(Qt::white));
}

void TestLabelDrawing::linesSitInTheirBoxes_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("element");
    QTest::addColumn<int>("line");
    QTest::addColumn<QColor>("ink");
    for (const char* kind : {"vertical", "horizontal"}) {
        QTest::addRow("%s title, brown and centred", kind) << kind << "titNome" << int(LabelLine::Nome) << kBrown;
        QTest::addRow("%s header, white on blue", kind) << kind << "titCima" << int(LabelLine::Cima) << QColor(Qt::white);
        QTest::addRow("%s lower left", kind) << kind << "titRigo03" << int(LabelLine::Rigo03) << QColor(Qt::black);
        QTest::addRow("%s lower right", kind) << kind << "titRigo04" << int(LabelLine::Rigo04) << QColor(Qt::black);
    }
}

void TestLabelDrawing::linesSitInTheirBoxes()
{
    QFETCH(QString, kind);
    QFETCH(QString, element);
    QFETCH(int, line);
    QFETCH(QColor, ink);
    const LabelGeometry& g = geometryNamed(kind);
    const LabelElement& e = g.element(element);
    LabelFace face;
    face.lines[line] = QStringLiteral("Ab");
    const double scale = 8; // pixels per mm
    const QImage image = render(g, face, scale);
    const auto [first, last] = inkedColumns(image, g, scale, e.units, ink);
    QVERIFY2(last > first, "the line is drawn");
    const double slack = 2; // window units of side bearing
    if (e.alignment & Qt::AlignLeft) {
        QVERIFY(qAbs(first - e.units.left()) < slack);
    } else if (e.alignment & Qt::AlignRight) {
        QVERIFY(qAbs(last - (e.units.left() + e.units.width())) < slack);
    } else {
        const double centre = e.units.left() + e.units.width() / 2.0;
        QVERIFY2(qAbs((first + last) / 2 - centre) < slack, qPrintable(QString::number((first + last) / 2 - centre)));
    }
}

void TestLabelDrawing::longLinesAreCutAtTheBoxEdgeAtAnyScale_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("element");
    QTest::addColumn<int>("line");
    QTest::addColumn<QColor>("ink");
    for (const char* kind : {"vertical", "horizontal"}) {
        QTest::addRow("%s title", kind) << kind << "titNome" << int(LabelLine::Nome) << kBrown;
        QTest::addRow("%s right-aligned lower line", kind) << kind << "titRigo04" << int(LabelLine::Rigo04)
                                                            << QColor(Qt::black);
    }
}

void TestLabelDrawing::longLinesAreCutAtTheBoxEdgeAtAnyScale()
{
    // The screen (one pixel per unit) and a 600-dpi printer cut the same line
    // at the same place: the box's edges.
    QFETCH(QString, kind);
    QFETCH(QString, element);
    QFETCH(int, line);
    QFETCH(QColor, ink);
    const LabelGeometry& g = geometryNamed(kind);
    const LabelElement& e = g.element(element);
    LabelFace face;
    face.lines[line] = QString(60, QLatin1Char('W'));
    for (const double scale : {kUnitsPerMm, 600 / 25.4}) {
        const QImage image = render(g, face, scale);
        const auto [first, last] = inkedColumns(image, g, scale, e.units, ink);
        const double unitPerPixel = kUnitsPerMm / scale;
        QVERIFY2(qAbs(first - e.units.left()) <= 1 + unitPerPixel, qPrintable(QString::number(first)));
        QVERIFY2(qAbs(last - (e.units.left() + e.units.width())) <= 1 + unitPerPixel, qPrintable(QString::number(last)));
    }
}

void TestLabelDrawing::logoKeepsItsProportions()
{
    const LabelGeometry& g = verticalGeometry();
    LabelFace face;
    face.logo = QImage(100, 100, QImage::Format_RGB32);
    face.logo.fill(Qt::darkGreen);
    const double scale = kUnitsPerMm;
    const QImage image = render(g, face, scale);
    // A square logo in the 338 x 145 box: 145 wide, centred, white either side.
    const QRect box = g.element(QStringLiteral("imgFoto")).units;
    const QPointF centre = QRectF(box).center();
    QCOMPARE_COLOUR(at(image, g, scale, centre), QColor(Qt::darkGreen));
    QCOMPARE_COLOUR(at(image, g, scale, centre + QPointF(70, 0)), QColor(Qt::darkGreen));
    QCOMPARE_COLOUR(at(image, g, scale, centre + QPointF(75, 0)), QColor(Qt::white));
    QCOMPARE_COLOUR(at(image, g, scale, centre - QPointF(75, 0)), QColor(Qt::white));
}

QTEST_MAIN(TestLabelDrawing)
#include "tst_labeldrawing.moc"
