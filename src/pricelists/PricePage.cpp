#include "PricePage.h"

#include "ProgramFolder.h"
#include "RecordArchive.h"

#include <QPainter>

namespace vinarca {

namespace pricepage {

namespace {
// One slot block: the field and its capacity in characters.
const std::vector<std::pair<QString, int>>& slotBlock()
{
    static const std::vector<std::pair<QString, int>> block{
        {QStringLiteral("Codice"), 25},
        {QStringLiteral("Nome"), 50},
        {QStringLiteral("UM"), 120},
        {QStringLiteral("Caratteristiche"), 250},
        {QStringLiteral("Prezzo"), 12},
    };
    return block;
}
} // namespace

const QStringList& slotLetters()
{
    static const QStringList letters{"A", "B", "C", "D", "E", "F", "G", "H"};
    return letters;
}

const QStringList& slotFields()
{
    static const QStringList fields = [] {
        QStringList names;
        for (const auto& field : slotBlock())
            names << field.first;
        return names;
    }();
    return fields;
}

const RecordLayout& layout()
{
    static const RecordLayout page = [] {
        std::vector<std::pair<QString, int>> fields;
        for (const QString& letter : slotLetters()) {
            for (const auto& [name, capacity] : slotBlock())
                fields.emplace_back(name + QLatin1Char('_') + letter, capacity);
        }
        return RecordLayout::fromFields(fields);
    }();
    return page;
}

int fieldIndex(int slot, const QString& field)
{
    return slot * static_cast<int>(slotBlock().size()) + static_cast<int>(slotFields().indexOf(field));
}

QString photoFolderPath()
{
    return kind().pictureFolderPath();
}

const RecordKind& kind()
{
    static const RecordKind page{
        QString(),
        &layout(),
        QStringLiteral("Foto_Listino"),
        QString(),
        {{QStringLiteral("Nome_A"),
          QStringLiteral("Attenzione: per salvare la scheda è necessario indicare il nome del primo prodotto.")},
         {QStringLiteral("Prezzo_A"), QStringLiteral("Attenzione: per salvare la scheda è necessario indicare il prezzo "
                                                     "di vendita del primo prodotto.")}},
    };
    return page;
}

} // namespace pricepage

int PricePageCount(const QString& path)
{
    RecordArchive archive(path, pricepage::layout(), RecordArchive::Access::Read);
    return static_cast<int>(archive.count());
}

QStringList ReadPricePage(const QString& path, int page)
{
    QByteArray record;
    {
        RecordArchive archive(path, pricepage::layout(), RecordArchive::Access::Read);
        archive.readAt(page, record);
    }
    return pricepage::layout().decode(record);
}

void WritePricePage(const QString& path, int page, const QStringList& texts)
{
    QByteArray record = pricepage::layout().emptyRecord();
    pricepage::layout().encode(record, texts);
    RecordArchive archive(path, pricepage::layout(), RecordArchive::Access::Write);
    archive.writeAt(page, record);
}

int AppendPricePage(const QString& path, const QStringList& texts)
{
    QByteArray record = pricepage::layout().emptyRecord();
    pricepage::layout().encode(record, texts);
    RecordArchive archive(path, pricepage::layout(), RecordArchive::Access::Write);
    return static_cast<int>(archive.append(record));
}

QString SlotPhotoFileName(const QString& title, const QString& letter, int page)
{
    return title + QStringLiteral("_Foto_") + letter + QLatin1Char('_') + QString::number(page) +
           QStringLiteral(".jpg");
}

QString PreviewPhotoFileName(const QString& title, const QString& letter)
{
    return title + QStringLiteral("_Anteprima_") + letter + QStringLiteral(".jpg");
}

QImage FramePicture(const QImage& picture, int width, int height)
{
    QImage framed(width, height, QImage::Format_RGB32);
    framed.fill(Qt::white);
    if (picture.isNull())
        return framed;
    // The largest size of the picture's own shape that fits, centred.
    const QSizeF fitted = QSizeF(picture.size()).scaled(QSizeF(width, height), Qt::KeepAspectRatio);
    const QRectF target(QPointF((width - fitted.width()) / 2, (height - fitted.height()) / 2), fitted);
    QPainter painter(&framed);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, picture);
    return framed;
}

} // namespace vinarca
