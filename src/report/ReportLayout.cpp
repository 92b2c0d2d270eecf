#include "ReportLayout.h"

#include "ReportError.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QSet>
#include <QSvgRenderer>

#include <algorithm>
#include <optional>

namespace vinarca {

namespace {

// Bounds of what a layout may describe, in millimetres and points. Far
// beyond any paper a printer takes, and far inside what the drawing code
// can carry in its integer device coordinates at printer resolution.
constexpr double kMaxPaperMm = 5000;
constexpr double kMaxExtentMm = 10000;
constexpr double kMaxFontPoints = 1000;
constexpr double kMaxFrameUnits = 100;

class LayoutReader
{
public:
    explicit LayoutReader(QString source) : m_source(std::move(source)) {}

    std::unique_ptr<TReport> read(const QByteArray& json)
    {
        QJsonParseError parseError;
        const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
        if (parseError.error != QJsonParseError::NoError)
            fail(QStringLiteral("%1 at offset %2").arg(parseError.errorString()).arg(parseError.offset));
        if (!document.isObject())
            fail(QStringLiteral("the layout is not an object"));
        const QJsonObject root = document.object();

        auto report = std::make_unique<TReport>(requiredString(root, "report"));
        report->reportName = root.value(QLatin1String("name")).toString();
        readPreview(root.value(QLatin1String("preview")).toObject(), report->previewOptions);
        const QJsonObject print = root.value(QLatin1String("print")).toObject();
        report->printOptions.showProgress = print.value(QLatin1String("showProgress")).toBool(false);
        report->printOptions.printer = print.value(QLatin1String("printer")).toString();
        report->printOptions.labels = print.value(QLatin1String("labels")).toBool(false);

        const QJsonValue pageValue = root.value(QLatin1String("page"));
        if (!pageValue.isObject())
            fail(QStringLiteral("no page"));
        report->setPage(readPage(pageValue.toObject()));
        return report;
    }

private:
    [[noreturn]] void fail(const QString& what) const
    {
        const QString where = m_source.isEmpty() ? QStringLiteral("layout") : m_source;
        throw ReportError(QStringLiteral("%1: %2").arg(where, what).toStdString());
    }

    QString requiredString(const QJsonObject& object, const char* key) const
    {
        const QString value = object.value(QLatin1String(key)).toString();
        if (value.isEmpty())
            fail(QStringLiteral("missing \"%1\"").arg(QLatin1String(key)));
        return value;
    }

    double requiredNumber(const QJsonObject& object, const char* key, const QString& owner) const
    {
        const QJsonValue value = object.value(QLatin1String(key));
        if (!value.isDouble())
            fail(QStringLiteral("%1: missing number \"%2\"").arg(owner, QLatin1String(key)));
        return value.toDouble();
    }

    // A number within [low, high]; `fallback` when the key is absent.
    double bounded(const QJsonObject& object, const char* key, double fallback, double low, double high,
                   const QString& owner) const
    {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isUndefined())
            return fallback;
        return bounded(value, key, low, high, owner);
    }

    double bounded(const QJsonValue& value, const char* key, double low, double high, const QString& owner) const
    {
        if (!value.isDouble())
            fail(QStringLiteral("%1: \"%2\" is not a number").arg(owner, QLatin1String(key)));
        const double number = value.toDouble();
        if (!(number >= low && number <= high)) // also refuses NaN
            fail(QStringLiteral("%1: \"%2\" out of range (%3)").arg(owner, QLatin1String(key)).arg(number));
        return number;
    }

    double requiredBounded(const QJsonObject& object, const char* key, double low, double high,
                           const QString& owner) const
    {
        requiredNumber(object, key, owner);
        return bounded(object.value(QLatin1String(key)), key, low, high, owner);
    }

    QColor colour(const QJsonValue& value, const QColor& fallback, const QString& owner) const
    {
        if (value.isUndefined() || value.isNull())
            return fallback;
        const QString text = value.toString();
        if (text == QLatin1String("none"))
            return {};
        const QColor result = QColor::fromString(text);
        if (!result.isValid())
            fail(QStringLiteral("%1: bad colour \"%2\"").arg(owner, text));
        return result;
    }

    void readPreview(const QJsonObject& preview, PreviewOptions& options) const
    {
        options.allowEdit = preview.value(QLatin1String("allowEdit")).toBool(false);
        options.zoom = bounded(preview, "zoom", 1.0, 0.01, 100, QStringLiteral("preview"));
        const QJsonValue buttons = preview.value(QLatin1String("buttons"));
        if (buttons.isUndefined() || buttons.toString() == QLatin1String("all"))
            return;
        options.buttons = {};
        static const std::pair<const char*, PreviewButton> kNames[] = {
            {"print", PreviewButton::Print},           {"zoom", PreviewButton::Zoom},
            {"fullScreen", PreviewButton::FullScreen}, {"close", PreviewButton::Close},
            {"navigator", PreviewButton::Navigator},   {"export", PreviewButton::Export},
        };
        for (const QJsonValue& entry : buttons.toArray()) {
            bool known = false;
            for (const auto& [name, flag] : kNames)
                if (entry.toString() == QLatin1String(name)) {
                    options.buttons |= flag;
                    known = true;
                }
            if (!known)
                fail(QStringLiteral("unknown preview button \"%1\"").arg(entry.toString()));
        }
    }

    std::unique_ptr<TReportPage> readPage(const QJsonObject& object)
    {
        auto page = std::make_unique<TReportPage>(object.value(QLatin1String("name")).toString(QStringLiteral("Page1")));
        noteName(page->name());
        page->paperSize = int(bounded(object, "paper", 9, 0, 1000, page->name()));
        page->paperWidthMm = requiredBounded(object, "width", 1, kMaxPaperMm, page->name());
        page->paperHeightMm = requiredBounded(object, "height", 1, kMaxPaperMm, page->name());
        const QString orientation = object.value(QLatin1String("orientation")).toString(QStringLiteral("portrait"));
        if (orientation == QLatin1String("landscape"))
            page->setDesignedOrientation(QPageLayout::Landscape);
        else if (orientation != QLatin1String("portrait"))
            fail(QStringLiteral("unknown orientation \"%1\"").arg(orientation));
        const QJsonObject margins = object.value(QLatin1String("margins")).toObject();
        page->leftMarginMm = bounded(margins, "left", 10, 0, kMaxPaperMm, page->name());
        page->topMarginMm = bounded(margins, "top", 10, 0, kMaxPaperMm, page->name());
        page->rightMarginMm = bounded(margins, "right", 10, 0, kMaxPaperMm, page->name());
        page->bottomMarginMm = bounded(margins, "bottom", 10, 0, kMaxPaperMm, page->name());
        // Either orientation may be chosen at print time: the margins must
        // leave room on the paper both ways.
        const double shortSide = std::min(page->paperWidthMm, page->paperHeightMm);
        if (page->leftMarginMm + page->rightMarginMm >= shortSide
            || page->topMarginMm + page->bottomMarginMm >= shortSide)
            fail(QStringLiteral("%1: the margins leave no room on the paper").arg(page->name()));
        const double printableMm = std::min(page->paperWidthMm - page->leftMarginMm - page->rightMarginMm,
                                            page->paperHeightMm - page->topMarginMm - page->bottomMarginMm);
        page->views = readViews(object.value(QLatin1String("objects")).toArray());
        for (const QJsonValue& band : object.value(QLatin1String("bands")).toArray()) {
            auto read = readBand(band.toObject());
            if (Length::units(read->height).mm() > printableMm)
                fail(QStringLiteral("%1: band taller than the printable area").arg(read->name()));
            page->bands.push_back(std::move(read));
        }
        return page;
    }

    std::unique_ptr<TBand> readBand(const QJsonObject& object)
    {
        static const std::pair<const char*, BandKind> kKinds[] = {
            {"reportTitle", BandKind::ReportTitle}, {"masterData", BandKind::MasterData}, {"footer", BandKind::Footer}};
        const QString name = requiredString(object, "name");
        const QString kindText = object.value(QLatin1String("kind")).toString();
        std::optional<BandKind> kind;
        for (const auto& [text, value] : kKinds)
            if (kindText == QLatin1String(text))
                kind = value;
        if (!kind)
            fail(QStringLiteral("%1: unknown band kind \"%2\"").arg(name, kindText));
        noteName(name);
        auto band = std::make_unique<TBand>(name, *kind);
        band->height = Length::mm(requiredBounded(object, "height", 0, kMaxExtentMm, name)).units();
        band->allowSplit = object.value(QLatin1String("allowSplit")).toBool(false);
        band->views = readViews(object.value(QLatin1String("objects")).toArray());
        return band;
    }

    std::vector<std::unique_ptr<TView>> readViews(const QJsonArray& array)
    {
        std::vector<std::unique_ptr<TView>> views;
        for (const QJsonValue& value : array) {
            const QJsonObject object = value.toObject();
            if (object.value(QLatin1String("kind")).toString() == QLatin1String("repeat"))
                readRepeat(object, views);
            else
                views.push_back(readView(object));
        }
        return views;
    }

    // A block of objects stamped out several times: copy i is moved by i
    // steps ("stepLeft", "stepTop", in mm) and each "{key}" in its object
    // names becomes the i-th entry of the list "key" under "values".
    void readRepeat(const QJsonObject& object, std::vector<std::unique_ptr<TView>>& views)
    {
        const QString owner = QStringLiteral("repeat");
        const int count = static_cast<int>(requiredBounded(object, "count", 1, 1000, owner));
        const double stepLeft = bounded(object, "stepLeft", 0, -kMaxExtentMm, kMaxExtentMm, owner);
        const double stepTop = bounded(object, "stepTop", 0, -kMaxExtentMm, kMaxExtentMm, owner);
        const QJsonObject values = object.value(QLatin1String("values")).toObject();
        for (auto it = values.begin(); it != values.end(); ++it) {
            if (it.value().toArray().size() != count)
                fail(QStringLiteral("repeat: \"%1\" needs %2 values").arg(it.key()).arg(count));
        }
        const QJsonArray templates = object.value(QLatin1String("objects")).toArray();
        for (int i = 0; i < count; ++i) {
            for (const QJsonValue& entry : templates) {
                QJsonObject copy = entry.toObject();
                QString name = copy.value(QLatin1String("name")).toString();
                for (auto it = values.begin(); it != values.end(); ++it)
                    name.replace(QLatin1Char('{') + it.key() + QLatin1Char('}'), it.value().toArray().at(i).toString());
                copy.insert(QLatin1String("name"), name);
                // A template without a position is left as it is, so the
                // object's own check names what is missing.
                if (copy.contains(QLatin1String("left")))
                    copy.insert(QLatin1String("left"), copy.value(QLatin1String("left")).toDouble() + i * stepLeft);
                if (copy.contains(QLatin1String("top")))
                    copy.insert(QLatin1String("top"), copy.value(QLatin1String("top")).toDouble() + i * stepTop);
                views.push_back(readView(copy));
            }
        }
    }

    std::unique_ptr<TView> readView(const QJsonObject& object)
    {
        const QString name = requiredString(object, "name");
        noteName(name);
        const QString kind = object.value(QLatin1String("kind")).toString();
        std::unique_ptr<TView> view;
        if (kind == QLatin1String("text"))
            view = readMemo(name, object);
        else if (kind == QLatin1String("picture"))
            view = readPicture(name, object);
        else if (kind == QLatin1String("shape"))
            view = std::make_unique<TShapeView>(name);
        else
            fail(QStringLiteral("%1: unknown kind \"%2\"").arg(name, kind));

        view->geometry = QRectF(Length::mm(requiredBounded(object, "left", -kMaxExtentMm, kMaxExtentMm, name)).units(),
                                Length::mm(requiredBounded(object, "top", -kMaxExtentMm, kMaxExtentMm, name)).units(),
                                Length::mm(requiredBounded(object, "width", 0, kMaxExtentMm, name)).units(),
                                Length::mm(requiredBounded(object, "height", 0, kMaxExtentMm, name)).units());
        view->fill = colour(object.value(QLatin1String("fill")), QColor(), name);
        const QJsonObject frame = object.value(QLatin1String("frame")).toObject();
        view->frame.colour = colour(frame.value(QLatin1String("colour")), Qt::black, name);
        view->frame.width = bounded(frame, "width", 1, 0, kMaxFrameUnits, name);
        view->frame.lines = frameLines(frame.value(QLatin1String("lines")), name);
        if (kind == QLatin1String("picture"))
            loadFixedPicture(static_cast<TPictureView&>(*view), object.value(QLatin1String("picture")).toString());
        return view;
    }

    Qt::Edges frameLines(const QJsonValue& value, const QString& owner) const
    {
        if (value.toString() == QLatin1String("all"))
            return Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge;
        Qt::Edges edges;
        for (const QJsonValue& entry : value.toArray()) {
            const QString edge = entry.toString();
            if (edge == QLatin1String("left"))
                edges |= Qt::LeftEdge;
            else if (edge == QLatin1String("top"))
                edges |= Qt::TopEdge;
            else if (edge == QLatin1String("right"))
                edges |= Qt::RightEdge;
            else if (edge == QLatin1String("bottom"))
                edges |= Qt::BottomEdge;
            else
                fail(QStringLiteral("%1: unknown frame line \"%2\"").arg(owner, edge));
        }
        return edges;
    }

    std::unique_ptr<TView> readMemo(const QString& name, const QJsonObject& object) const
    {
        auto memo = std::make_unique<TMemoView>(name);
        memo->setText(object.value(QLatin1String("text")).toString());
        const QJsonObject font = object.value(QLatin1String("font")).toObject();
        memo->fontName = font.value(QLatin1String("name")).toString(memo->fontName);
        memo->fontSize = Length::points(bounded(font, "size", 10, 0.5, kMaxFontPoints, name)).units();
        memo->bold = font.value(QLatin1String("bold")).toBool(false);
        memo->italic = font.value(QLatin1String("italic")).toBool(false);
        memo->textColour = colour(font.value(QLatin1String("colour")), Qt::black, name);
        const QString align = object.value(QLatin1String("align")).toString(QStringLiteral("left"));
        if (align == QLatin1String("center"))
            memo->hAlign = HAlign::Center;
        else if (align == QLatin1String("right"))
            memo->hAlign = HAlign::Right;
        else if (align != QLatin1String("left"))
            fail(QStringLiteral("%1: unknown alignment \"%2\"").arg(name, align));
        const QString valign = object.value(QLatin1String("valign")).toString(QStringLiteral("top"));
        if (valign == QLatin1String("center"))
            memo->vAlign = VAlign::Center;
        else if (valign != QLatin1String("top"))
            fail(QStringLiteral("%1: unknown vertical alignment \"%2\"").arg(name, valign));
        memo->wordWrap = object.value(QLatin1String("wordWrap")).toBool(true);
        memo->expressions = object.value(QLatin1String("expressions")).toBool(true);
        return memo;
    }

    std::unique_ptr<TView> readPicture(const QString& name, const QJsonObject& object) const
    {
        auto picture = std::make_unique<TPictureView>(name);
        picture->center = object.value(QLatin1String("center")).toBool(true);
        picture->keepAspect = object.value(QLatin1String("keepAspect")).toBool(true);
        picture->stretch = object.value(QLatin1String("stretch")).toBool(true);
        return picture;
    }

    // A picture delivered with the layout: raster files as they are, SVG
    // drawn at 300 dots per inch of its box.
    void loadFixedPicture(TPictureView& view, const QString& path) const
    {
        if (path.isEmpty())
            return;
        QImage image;
        if (path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)) {
            QSvgRenderer svg(path);
            if (svg.isValid()) {
                // At most 4000 dots a side: a picture box as large as a wall
                // does not need a wall of pixels.
                const QSizeF box = (view.geometry.size() * (300.0 / kUnitsPerInch)).boundedTo(QSizeF(4000, 4000));
                const QSize dots = QSizeF(svg.defaultSize()).scaled(box, Qt::KeepAspectRatio).toSize();
                image = QImage(dots, QImage::Format_ARGB32_Premultiplied);
                image.fill(Qt::transparent);
                QPainter painter(&image);
                svg.render(&painter);
            }
        } else {
            image.load(path);
        }
        if (image.isNull())
            fail(QStringLiteral("%1: cannot read picture %2").arg(view.name(), path));
        view.setPicture(image);
    }

    void noteName(const QString& name)
    {
        if (m_names.contains(name))
            fail(QStringLiteral("name \"%1\" used twice").arg(name));
        m_names.insert(name);
    }

    QString m_source;
    QSet<QString> m_names;
};

} // namespace

std::unique_ptr<TReport> parseReportLayout(const QByteArray& json, const QString& source)
{
    return LayoutReader(source).read(json);
}

std::unique_ptr<TReport> loadReportLayout(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ReportError(QStringLiteral("%1: %2").arg(path, file.errorString()).toStdString());
    return parseReportLayout(file.readAll(), path);
}

} // namespace vinarca
