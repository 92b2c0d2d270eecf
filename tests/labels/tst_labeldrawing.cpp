// The live label: its boxes stand on the label in label order, its lines ink
// the screen where the printed label inks the paper, and its pixels.
#include "LabelDrawing.h"
#include "LabelPrint.h"
#include "LiveLabel.h"
#include "Length.h"
#include "PreparedReport.h"
#include "ReportModel.h"
#include "ReportOutput.h"
#include "../report/ReportTestSupport.h"

#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <map>

using namespace vinarca;

namespace {
const QColor kCoral(0xFF, 0x7F, 0x50);
const QColor kCornflower(0x64, 0x95, 0xED);

bool near(const QColor& a, const QColor& b)
{
    return qAbs(a.red() - b.red()) <= 3 && qAbs(a.green() - b.green()) <= 3 && qAbs(a.blue() - b.blue()) <= 3;
}
#define QCOMPARE_COLOUR(actual, expected)                                                                           \
    QVERIFY2(near(actual, expected), qPrintable((actual).name() + QStringLiteral(" is not ") + QColor(expected).name()))

const LabelKind& kindNamed(const QString& kind)
{
    return kind == QLatin1String("vertical") ? verticalLabelKind() : horizontalLabelKind();
}

void kinds()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("vertical") << "vertical";
    QTest::newRow("horizontal") << "horizontal";
}

// The label drawn at one pixel per window unit, as on screen, with a margin
// of 10 units around the label for its frame.
constexpr int kMargin = 10;
QImage render(const LabelGeometry& geometry, const LabelFace& face)
{
    QImage image(geometry.labelUnits().size() + QSize(2 * kMargin, 2 * kMargin), QImage::Format_RGB32);
    image.fill(Qt::gray);
    QPainter painter(&image);
    painter.translate(kMargin, kMargin);
    drawLabel(painter, geometry, face);
    return image;
}

QColor at(const QImage& image, QPointF units)
{
    return image.pixelColor(qFloor(units.x()) + kMargin, qFloor(units.y()) + kMargin);
}

// Where ink was added to `before` inside `region` (pixels): the inked
// pixels' bounding box, empty when none.
QRect inkAdded(const QImage& before, const QImage& after, const QRect& region)
{
    int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
    const QRect r = region.intersected(after.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (!reporttest::near(before.pixelColor(x, y), after.pixelColor(x, y), 24)) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

QString describe(const QRectF& r)
{
    return QStringLiteral("(%1, %2)-(%3, %4)").arg(r.left()).arg(r.top()).arg(r.right()).arg(r.bottom());
}
} // namespace

class TestLabelDrawing : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void labelIsThePrintedSize_data() { kinds(); }
    void labelIsThePrintedSize();
    void elementsLieOnTheLabel_data() { kinds(); }
    void elementsLieOnTheLabel();
    void linesStandInLabelOrder_data() { kinds(); }
    void linesStandInLabelOrder();
    void liveLineInksWhereThePaperDoes_data();
    void liveLineInksWhereThePaperDoes();
    void fittedPictures_data();
    void fittedPictures();
    void emptyLabel_data() { kinds(); }
    void emptyLabel();
    void logoKeepsItsProportions();

private:
    // The printed label with one line (or none) at two pixels a unit (192
    // dpi), as poppler draws its PDF.
    QImage paper(const QString& kind, LabelLine line, const QString& text);

    QTemporaryDir m_dir;
    bool m_tools = false;
    std::map<QString, QImage> m_emptyPaper;
};

void TestLabelDrawing::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_tools = reporttest::haveTool("pdftoppm");
}

QImage TestLabelDrawing::paper(const QString& kind, LabelLine line, const QString& text)
{
    LabelPrintInput input;
    input.lines[int(line)] = text;
    auto report = loadLabelLayout(kindNamed(kind));
    fillLabel(*report, input);
    report->prepareReport();
    const QString pdf = m_dir.filePath(QStringLiteral("label.pdf"));
    writePdf(*report->prepared(), pdf);
    // Only the part of the sheet from its corner to 10 mm past the label.
    const QSizeF cropped = (kindNamed(kind).printedSizeMm + QSizeF(20, 20)) * kUnitsPerMm * 2;
    const QString prefix = m_dir.filePath(QStringLiteral("label"));
    reporttest::run(QStringLiteral("pdftoppm"),
                    {QStringLiteral("-r"), QString::number(2 * 96), QStringLiteral("-x"), QStringLiteral("0"),
                     QStringLiteral("-y"), QStringLiteral("0"), QStringLiteral("-W"),
                     QString::number(qCeil(cropped.width())), QStringLiteral("-H"),
                     QString::number(qCeil(cropped.height())), QStringLiteral("-singlefile"), QStringLiteral("-png"),
                     pdf, prefix});
    return QImage(prefix + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

void TestLabelDrawing::labelIsThePrintedSize()
{
    QFETCH(QString, kind);
    const LabelKind& k = kindNamed(kind);
    const QSizeF mm = QSizeF(k.geometry->labelUnits().size()) / kUnitsPerMm;
    // Within half a unit of the paper size: 359 units are 94.99 mm.
    QVERIFY(qAbs(mm.width() - k.printedSizeMm.width()) < 0.15);
    QVERIFY(qAbs(mm.height() - k.printedSizeMm.height()) < 0.15);
}

void TestLabelDrawing::elementsLieOnTheLabel()
{
    QFETCH(QString, kind);
    const LabelGeometry& g = *kindNamed(kind).geometry;
    const QRectF label = g.labelUnits();
    QVERIFY(QRectF(g.frameUnits()).contains(label.adjusted(-4, -4, 4, 4)));
    for (const LabelElement& e : g.elements) {
        if (e.name != QLatin1String("sfoArancione"))
            QVERIFY2(label.contains(e.units), qPrintable(e.name + describe(e.units)));
    }
    // The header and the footer stand on their bands, the logo between
    // the header band and the title.
    QVERIFY(g.element(QStringLiteral("sfoCima")).units.contains(g.element(QStringLiteral("titCima")).units));
    QVERIFY(g.element(QStringLiteral("sfoCalce")).units.contains(g.element(QStringLiteral("titCalce")).units));
    const QRectF logo = g.element(QStringLiteral("imgFoto")).units;
    QVERIFY(logo.top() >= g.element(QStringLiteral("sfoCima")).units.bottom());
    QVERIFY(logo.bottom() <= g.element(QStringLiteral("titNome")).units.top());
}

void TestLabelDrawing::linesStandInLabelOrder()
{
    // Top to bottom in label order, no line over another; the two large
    // lines side by side, the left one first.
    QFETCH(QString, kind);
    const LabelGeometry& g = *kindNamed(kind).geometry;
    const auto box = [&g](const char* name) { return g.element(QString::fromLatin1(name)).units; };
    const char* const order[] = {"titCima", "titNome", "titRosso", "titSottotitolo", "titRigo01", "titRigo02",
                                 "titRigo03", "titCalce"};
    for (size_t i = 1; i < std::size(order); ++i)
        QVERIFY2(box(order[i - 1]).bottom() <= box(order[i]).top() + 1e-9,
                 qPrintable(QString::fromLatin1(order[i - 1]) + QStringLiteral(" over ") + QString::fromLatin1(order[i])));
    QCOMPARE(box("titRigo04").top(), box("titRigo03").top());
    QVERIFY(box("titRigo03").right() <= box("titRigo04").left());
}

void TestLabelDrawing::liveLineInksWhereThePaperDoes_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("element");
    QTest::addColumn<QString>("text");
    const QString shortText = QStringLiteral("Barolo 2019");
    const QString longText = QStringLiteral("Denominazione di Origine Controllata e Garantita Superiore");
    for (const char* kind : {"vertical", "horizontal"}) {
        for (const char* element : {"titCima", "titNome", "titRosso", "titSottotitolo", "titRigo01", "titRigo02",
                                    "titRigo03", "titRigo04", "titCalce"}) {
            QTest::addRow("%s %s short", kind, element) << kind << element << shortText;
            QTest::addRow("%s %s long, cut", kind, element) << kind << element << longText;
        }
        QTest::addRow("%s title of a guaranteed origin", kind)
            << kind << "titNome" << "Denominazione di Origine Controllata e Garantita";
        QTest::addRow("%s strength at the lower right", kind) << kind << "titRigo04" << "14,5% vol";
    }
}

void TestLabelDrawing::liveLineInksWhereThePaperDoes()
{
    // The live label and the printed PDF, scaled to the live label: the ink
    // of a line starts and ends at the same place, left, right, top and
    // bottom, within two pixels of the screen: the screen cuts a line at
    // whole pixels, the paper within the pixel.
    if (!m_tools)
        QSKIP("poppler's pdftoppm is needed to rasterise the printed label");
    QFETCH(QString, kind);
    QFETCH(QString, element);
    QFETCH(QString, text);
    const LabelKind& k = kindNamed(kind);
    const LabelGeometry& g = *k.geometry;
    const LabelElement& e = g.element(element);

    LiveLabel live(k, nullptr);
    const QImage liveBefore = live.grab().toImage().convertToFormat(QImage::Format_RGB32);
    live.setLine(e.line, text);
    const QImage liveAfter = live.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QPoint offset = live.labelOffset();
    const QRect liveRegion = e.units.toAlignedRect().adjusted(-4, -4, 4, 4).translated(offset);
    const QRectF liveInk = QRectF(inkAdded(liveBefore, liveAfter, liveRegion)).translated(-offset);
    QVERIFY2(!liveInk.isEmpty(), "the live line is drawn");

    if (!m_emptyPaper.count(kind))
        m_emptyPaper[kind] = paper(kind, e.line, QString());
    const QImage& paperBefore = m_emptyPaper[kind];
    const QImage paperAfter = paper(kind, e.line, text);
    // The label's corner lies 10 mm into the sheet; a paper pixel is half a unit.
    const double corner = 10 * kUnitsPerMm;
    const QSizeF s = g.paperScale;
    const QRectF paperBox(e.units.x() / s.width() + corner, e.units.y() / s.height() + corner,
                          e.units.width() / s.width(), e.units.height() / s.height());
    const QRect paperRegion(QRectF(paperBox.topLeft() * 2, paperBox.size() * 2).toAlignedRect().adjusted(-8, -8, 8, 8));
    const QRect paperInkPixels = inkAdded(paperBefore, paperAfter, paperRegion);
    QVERIFY2(!paperInkPixels.isEmpty(), "the printed line is drawn");
    const QRectF p = QRectF(QRectF(paperInkPixels).topLeft() / 2, QRectF(paperInkPixels).size() / 2)
                         .translated(-corner, -corner);
    const QRectF paperInk(p.x() * s.width(), p.y() * s.height(), p.width() * s.width(), p.height() * s.height());

    const QString where = QStringLiteral("live ") + describe(liveInk) + QStringLiteral(", paper ") + describe(paperInk);
    const double tolerance = 2;
    QVERIFY2(qAbs(liveInk.left() - paperInk.left()) <= tolerance, qPrintable(where));
    QVERIFY2(qAbs(liveInk.right() - paperInk.right()) <= tolerance, qPrintable(where));
    QVERIFY2(qAbs(liveInk.top() - paperInk.top()) <= tolerance, qPrintable(where));
    QVERIFY2(qAbs(liveInk.bottom() - paperInk.bottom()) <= tolerance, qPrintable(where));
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

void TestLabelDrawing::emptyLabel()
{
    // Only the frame, the white label and the two empty blue bands.
    QFETCH(QString, kind);
    const LabelGeometry& g = *kindNamed(kind).geometry;
    const QImage image = render(g, LabelFace{});
    const QRect label = g.labelUnits();
    QCOMPARE_COLOUR(at(image, {-2.5, label.height() / 2.0}), kCoral);
    QCOMPARE_COLOUR(at(image, {label.width() + 2.5, 100}), kCoral);
    QCOMPARE_COLOUR(at(image, {-4.5, 100}), QColor(Qt::white)); // the frame's white outline
    QCOMPARE_COLOUR(at(image, {2.5, label.height() / 2.0}), QColor(Qt::white));
    const QRectF top = g.element(QStringLiteral("sfoCima")).units, bottom = g.element(QStringLiteral("sfoCalce")).units;
    QCOMPARE_COLOUR(at(image, top.center()), kCornflower);
    QCOMPARE_COLOUR(at(image, bottom.center() + QPointF(100, 0)), kCornflower);
    QCOMPARE_COLOUR(at(image, g.element(QStringLiteral("titNome")).units.center()), QColor(Qt::white));
}

void TestLabelDrawing::logoKeepsItsProportions()
{
    const LabelGeometry& g = verticalGeometry();
    LabelFace face;
    face.logo = QImage(100, 100, QImage::Format_RGB32);
    face.logo.fill(Qt::darkGreen);
    const QImage image = render(g, face);
    // A square logo in the wide logo box: as wide as the box is high, centred, white either side.
    const QRectF box = g.element(QStringLiteral("imgFoto")).units;
    const double half = box.height() / 2;
    QCOMPARE_COLOUR(at(image, box.center()), QColor(Qt::darkGreen));
    QCOMPARE_COLOUR(at(image, box.center() + QPointF(half - 2, 0)), QColor(Qt::darkGreen));
    QCOMPARE_COLOUR(at(image, box.center() + QPointF(half + 2, 0)), QColor(Qt::white));
    QCOMPARE_COLOUR(at(image, box.center() - QPointF(half + 2, 0)), QColor(Qt::white));
}

QTEST_MAIN(TestLabelDrawing)
#include "tst_labeldrawing.moc"
