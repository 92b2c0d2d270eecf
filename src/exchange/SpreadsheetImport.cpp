#include "SpreadsheetImport.h"

#include "AtomicSave.h"
#include "Photo.h"
#include "ProgramFolder.h"
#include "RecordArchive.h"
#include "ShortString.h"

#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>
#include <QSet>
#include <QTemporaryFile>
#include <QUrl>

#include <algorithm>
#include <unordered_map>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vinarca {

namespace {

constexpr qint64 kReadChunk = 256 * 1024;
constexpr int kProgressEvery = 512;

QString decodeChunk(const QByteArray& bytes, TextEncoding encoding, QStringDecoder& utf8)
{
    return encoding == TextEncoding::Utf8 ? QString(utf8.decode(bytes)) : fromWindows1252(bytes);
}

bool isBlankRow(const QStringList& row)
{
    return std::all_of(row.cbegin(), row.cend(), [](const QString& cell) { return trimControl(cell).isEmpty(); });
}

} // namespace

// ---------------------------------------------------------------------------
// CSV

CsvDialect detectCsvDialect(const QByteArray& head)
{
    CsvDialect dialect;
    QByteArray body = head;
    if (body.startsWith("\xEF\xBB\xBF")) {
        dialect.encoding = TextEncoding::Utf8;
        body.remove(0, 3);
    } else {
        // A multi-byte character cut by the end of the sample is not an error.
        qsizetype end = body.size();
        qsizetype lead = end - 1;
        while (lead >= 0 && end - lead <= 3 && (static_cast<unsigned char>(body.at(lead)) & 0xC0) == 0x80)
            --lead;
        if (lead >= 0 && static_cast<unsigned char>(body.at(lead)) >= 0xC0)
            end = lead;
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString text = utf8.decode(QByteArrayView(body).first(end));
        dialect.encoding = utf8.hasError() ? TextEncoding::Windows1252 : TextEncoding::Utf8;
    }
    // Count the candidates in the first line, outside quotes.
    int semicolons = 0, commas = 0, tabs = 0;
    bool quoted = false;
    for (const char c : body) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && (c == '\n' || c == '\r'))
            break;
        else if (!quoted && c == ';')
            ++semicolons;
        else if (!quoted && c == ',')
            ++commas;
        else if (!quoted && c == '\t')
            ++tabs;
    }
    if (tabs > semicolons && tabs > commas)
        dialect.delimiter = QLatin1Char('\t');
    else if (commas > semicolons)
        dialect.delimiter = QLatin1Char(',');
    else
        dialect.delimiter = QLatin1Char(';');
    return dialect;
}

CsvReader::CsvReader(const QString& path, CsvDialect dialect)
    : m_file(path), m_dialect(dialect)
{
    if (!m_file.open(QIODevice::ReadOnly)) {
        m_failed = true;
        m_eof = true;
        return;
    }
    m_total = m_file.size();
}

bool CsvReader::fill()
{
    if (m_eof)
        return false;
    QByteArray bytes = m_file.read(kReadChunk);
    if (bytes.isEmpty()) {
        m_eof = true;
        if (m_file.error() != QFileDevice::NoError)
            m_failed = true;
        return false;
    }
    m_consumed += bytes.size();
    if (m_consumed == bytes.size() && m_dialect.encoding == TextEncoding::Windows1252 && bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    m_text += decodeChunk(bytes, m_dialect.encoding, m_utf8);
    return true;
}

bool CsvReader::next(QStringList& row)
{
    const QChar delimiter = m_dialect.delimiter;
    for (;;) {
        const qsizetype n = m_text.size();
        const QChar* text = m_text.constData();
        const bool atEnd = m_eof;
        qsizetype i = m_at;
        row.clear();
        QString field;
        bool quoted = false;
        bool fieldStart = true;
        bool complete = false;
        while (i < n) {
            const QChar c = text[i];
            if (quoted) {
                if (c == QLatin1Char('"')) {
                    if (i + 1 < n) {
                        if (text[i + 1] == QLatin1Char('"')) {
                            field += QLatin1Char('"');
                            i += 2;
                        } else {
                            quoted = false;
                            ++i;
                        }
                        continue;
                    }
                    if (!atEnd)
                        break; // the next chunk says whether the quote is doubled
                    quoted = false;
                    ++i;
                    continue;
                }
                field += c;
                ++i;
                continue;
            }
            if (c == QLatin1Char('"') && fieldStart) {
                quoted = true;
                fieldStart = false;
                ++i;
                continue;
            }
            if (c == delimiter) {
                row << field;
                field.clear();
                fieldStart = true;
                ++i;
                continue;
            }
            if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
                if (c == QLatin1Char('\r')) {
                    if (i + 1 >= n && !atEnd)
                        break; // a LF may follow in the next chunk
                    if (i + 1 < n && text[i + 1] == QLatin1Char('\n'))
                        ++i;
                }
                ++i;
                row << field;
                complete = true;
                break;
            }
            field += c;
            fieldStart = false;
            ++i;
        }
        if (complete) {
            m_at = i;
            return true;
        }
        if (atEnd) {
            if (m_at >= n) {
                row.clear();
                return false;
            }
            row << field;
            m_at = n;
            return true;
        }
        m_text.remove(0, m_at);
        m_at = 0;
        fill();
    }
}

// ---------------------------------------------------------------------------
// The program's own export

namespace {
constexpr char kExportStart[] = "<html xmlns:o=\"urn:schemas-microsoft-com:office:office\"";

QString decodeMarkupText(const QByteArray& bytes)
{
    const QString text = fromWindows1252(bytes);
    if (!text.contains(QLatin1Char('&')))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) != QLatin1Char('&')) {
            out += text.at(i);
            continue;
        }
        const qsizetype semi = text.indexOf(QLatin1Char(';'), i);
        if (semi < 0) {
            out += text.at(i);
            continue;
        }
        const QStringView name = QStringView(text).sliced(i + 1, semi - i - 1);
        bool ok = false;
        char32_t code = 0;
        if (name.startsWith(QLatin1Char('#')))
            code = name.sliced(1).toUInt(&ok);
        else if (name == QLatin1String("amp"))
            code = '&', ok = true;
        else if (name == QLatin1String("lt"))
            code = '<', ok = true;
        else if (name == QLatin1String("gt"))
            code = '>', ok = true;
        else if (name == QLatin1String("quot"))
            code = '"', ok = true;
        if (!ok) {
            out += text.at(i);
            continue;
        }
        out += QString::fromUcs4(&code, 1);
        i = semi;
    }
    return out;
}
} // namespace

bool isExportFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return file.read(sizeof kExportStart - 1) == QByteArray(kExportStart);
}

ExportFileReader::ExportFileReader(const QString& path)
    : m_file(path)
{
    if (!m_file.open(QIODevice::ReadOnly)) {
        m_failed = true;
        m_eof = true;
        return;
    }
    m_total = m_file.size();
}

bool ExportFileReader::fill()
{
    if (m_eof)
        return false;
    const QByteArray bytes = m_file.read(kReadChunk);
    if (bytes.isEmpty()) {
        m_eof = true;
        m_failed = m_file.error() != QFileDevice::NoError;
        return false;
    }
    m_consumed += bytes.size();
    m_buffer.remove(0, m_at);
    m_at = 0;
    m_buffer += bytes;
    return true;
}

// The offset of `what` from the reading point on, reading more as needed; -1 at the end.
qsizetype ExportFileReader::find(const char* what)
{
    qsizetype from = m_at;
    const qsizetype length = qsizetype(qstrlen(what));
    for (;;) {
        const qsizetype at = m_buffer.indexOf(what, from);
        if (at >= 0)
            return at;
        const qsizetype kept = m_at;
        from = std::max(m_at, m_buffer.size() - length);
        if (!fill())
            return -1;
        from -= kept; // the buffer lost the bytes before the reading point
    }
}

bool ExportFileReader::next(QStringList& row)
{
    row.clear();
    qsizetype at = find("<tr>");
    if (at < 0)
        return false;
    m_at = at + 4;
    for (;;) {
        const qsizetype cell = find("<td");
        const qsizetype rowEnd = find("</tr>");
        if (rowEnd < 0) {
            m_failed = true;
            return false;
        }
        if (cell < 0 || rowEnd < cell) {
            m_at = rowEnd + 5;
            return true;
        }
        m_at = cell;
        const qsizetype open = find(">");
        if (open < 0) {
            m_failed = true;
            return false;
        }
        m_at = open + 1;
        const qsizetype close = find("</td>");
        if (close < 0) {
            m_failed = true;
            return false;
        }
        row << decodeMarkupText(m_buffer.sliced(m_at, close - m_at));
        m_at = close + 5;
    }
}

std::unique_ptr<TableReader> openTable(const QString& path, const CsvDialect& dialect)
{
    if (isExportFile(path))
        return std::make_unique<ExportFileReader>(path);
    return std::make_unique<CsvReader>(path, dialect);
}

// ---------------------------------------------------------------------------
// Columns to fields

QString headerKey(const QString& header)
{
    const QString decomposed = header.normalized(QString::NormalizationForm_D);
    QString key;
    key.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.isLetterOrNumber())
            key += c.toLower();
    }
    return key;
}

namespace {

// The words shops put over a column, beyond the export titles and captions.
const QList<std::pair<QString, QStringList>>& shopWords()
{
    static const QList<std::pair<QString, QStringList>> words{
        {QStringLiteral("Nome"), {"vino", "nome", "nomedelvino", "etichetta", "prodotto", "articolo"}},
        {QStringLiteral("Produttore"), {"azienda", "aziendaagricola", "casavinicola", "marca", "produttori"}},
        {QStringLiteral("Annata"), {"anno", "vendemmia", "millesimo"}},
        {QStringLiteral("Giacenza"), {"quantita", "qta", "qt", "pezzi", "bottiglie", "scorta", "magazzino", "stock", "disponibilita"}},
        {QStringLiteral("Prezzo"), {"prezzoeuro", "euro", "prezzodivendita", "prezzovendita", "costo", "prezzounitario"}},
        {QStringLiteral("Grado"), {"gradazione", "gradazionealcolica", "alcol", "grado"}},
        {QStringLiteral("Nazione"), {"paese", "stato", "nazionalita"}},
        {QStringLiteral("Designazione"), {"denominazione", "doc", "docg", "igt"}},
        {QStringLiteral("Temperatura"), {"temperatura", "temperaturadiservizio"}},
        {QStringLiteral("Accostamenti"), {"abbinamenti", "abbinamento", "accostamenti"}},
        {QStringLiteral("Note"), {"annotazioni", "osservazioni", "commento", "commenti"}},
        {QStringLiteral("Fornitore"), {"distributore", "grossista"}},
        {kPhotoColumn, {"foto", "fotografia", "immagine", "percorsofoto", "filefoto", "fileimmagine"}},
    };
    return words;
}

QString rememberedPath(const RecordKind& kind)
{
    return ProgramFolder() + QFileInfo(kind.archiveFile).completeBaseName() + QStringLiteral("_Importazione.txt");
}

} // namespace

QList<std::pair<QString, QString>> importChoices(const RecordKind& kind)
{
    QList<std::pair<QString, QString>> choices{{QString(), QStringLiteral("(non importare)")}};
    for (const FieldFacts& facts : kind.fields)
        choices.append({facts.field, facts.caption.isEmpty() ? facts.title() : facts.caption});
    if (!kind.pictureFolder.isEmpty())
        choices.append({kPhotoColumn, QStringLiteral("Foto (percorso del file)")});
    return choices;
}

QStringList matchColumns(const RecordKind& kind, const QStringList& headers, const QHash<QString, QString>& remembered)
{
    QStringList fields(headers.size());
    QSet<QString> taken;
    QSet<QString> known;
    for (const auto& choice : importChoices(kind))
        known.insert(choice.first);
    const auto assign = [&](const std::function<QString(const QString& key)>& pick) {
        for (qsizetype c = 0; c < headers.size(); ++c) {
            if (!fields.at(c).isEmpty())
                continue;
            const QString key = headerKey(headers.at(c));
            if (key.isEmpty())
                continue;
            const QString field = pick(key);
            if (!field.isEmpty() && !taken.contains(field) && known.contains(field)) {
                fields[c] = field;
                taken.insert(field);
            }
        }
    };
    // The user's earlier choice; an earlier "none" keeps the column out.
    QSet<qsizetype> refused;
    for (qsizetype c = 0; c < headers.size(); ++c) {
        const auto it = remembered.constFind(headerKey(headers.at(c)));
        if (it != remembered.cend() && it->isEmpty())
            refused.insert(c);
    }
    assign([&](const QString& key) { return remembered.value(key); });
    assign([&](const QString& key) {
        for (const FieldFacts& facts : kind.fields) {
            if (key == headerKey(facts.title()) || key == headerKey(facts.caption) || key == headerKey(facts.field))
                return facts.field;
        }
        return QString();
    });
    assign([&](const QString& key) {
        for (const auto& [field, words] : shopWords()) {
            if (words.contains(key))
                return field;
        }
        return QString();
    });
    for (const qsizetype c : refused)
        fields[c].clear();
    return fields;
}

QHash<QString, QString> loadRememberedColumns(const RecordKind& kind)
{
    QHash<QString, QString> remembered;
    QFile file(rememberedPath(kind));
    if (!file.open(QIODevice::ReadOnly))
        return remembered;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const qsizetype tab = line.indexOf('\t');
        if (tab > 0)
            remembered.insert(QString::fromUtf8(line.first(tab)), QString::fromUtf8(line.sliced(tab + 1)).trimmed());
    }
    return remembered;
}

bool saveRememberedColumns(const RecordKind& kind, const QStringList& headers, const QStringList& fields)
{
    QHash<QString, QString> remembered = loadRememberedColumns(kind);
    for (qsizetype c = 0; c < headers.size() && c < fields.size(); ++c) {
        const QString key = headerKey(headers.at(c));
        if (!key.isEmpty())
            remembered.insert(key, fields.at(c));
    }
    QStringList keys = remembered.keys();
    keys.sort();
    QByteArray bytes;
    for (const QString& key : keys)
        bytes += key.toUtf8() + '\t' + remembered.value(key).toUtf8() + '\n';
    return saveWholeFile(rememberedPath(kind), bytes);
}

// ---------------------------------------------------------------------------
// Checking

QString noteText(const ImportNote& note)
{
    const QString row = QStringLiteral("Riga %1: ").arg(note.line);
    switch (note.kind) {
    case NoteKind::TooLong:
        return row + QStringLiteral("il testo di \"%1\" è troppo lungo e sarà salvato così: \"%2\".").arg(note.field, note.text);
    case NoteKind::NotAPrice:
        return row + QStringLiteral("\"%1\" non è un prezzo: il campo \"%2\" resterà vuoto.").arg(note.text, note.field);
    case NoteKind::NotAQuantity:
        return row + QStringLiteral("\"%1\" non è una quantità: il campo \"%2\" resterà vuoto.").arg(note.text, note.field);
    case NoteKind::MissingName:
        return row + QStringLiteral("manca il campo \"%1\": la riga non sarà importata.").arg(note.field);
    case NoteKind::PhotoMissing:
        return row + QStringLiteral("la foto \"%1\" non esiste: il vino sarà importato senza foto.").arg(note.text);
    case NoteKind::PhotoUnreadable:
        return row + QStringLiteral("la foto \"%1\" non è un'immagine JPEG o BMP leggibile: il vino sarà importato senza foto.")
                         .arg(note.text);
    case NoteKind::Duplicate:
        return row + QStringLiteral("il vino \"%1\" è già in archivio.").arg(note.text);
    }
    return row;
}

std::optional<QString> fieldText(CellType type, const QString& cell, NoteKind& note)
{
    QString text = trimControl(cell);
    if (text.isEmpty() || type == CellType::Text)
        return text;
    if (type == CellType::Money) {
        // The price box takes digits with a comma or a point; a currency
        // sign and blanks around or inside are what a shop adds, not part of the price.
        QString price;
        for (const QChar c : text) {
            if (c.isSpace() || c == QChar(0x20AC) || c == QChar(0xA0))
                continue;
            price += c;
        }
        if (price.endsWith(QLatin1String("EUR"), Qt::CaseInsensitive))
            price.chop(3);
        if (price.startsWith(QLatin1String("EUR"), Qt::CaseInsensitive))
            price.remove(0, 3);
        const bool digits = std::any_of(price.cbegin(), price.cend(), [](QChar c) { return c.isDigit(); });
        const bool onlyPriceKeys = std::all_of(price.cbegin(), price.cend(), [](QChar c) {
            return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char(',') || c == QLatin1Char('.');
        });
        if (!digits || !onlyPriceKeys) {
            note = NoteKind::NotAPrice;
            return std::nullopt;
        }
        return price;
    }
    // A quantity: digits, as the stock box takes them; a spreadsheet's
    // "12.0" or "12,00" is the 12 the user typed.
    QString quantity = text;
    qsizetype separator = quantity.indexOf(QLatin1Char(','));
    if (separator < 0)
        separator = quantity.indexOf(QLatin1Char('.'));
    if (separator > 0) {
        const QStringView fraction = QStringView(quantity).sliced(separator + 1);
        if (std::all_of(fraction.cbegin(), fraction.cend(), [](QChar c) { return c == QLatin1Char('0'); }))
            quantity.truncate(separator);
    }
    const bool onlyDigits = std::all_of(quantity.cbegin(), quantity.cend(), [](QChar c) {
        return c >= QLatin1Char('0') && c <= QLatin1Char('9');
    });
    if (!onlyDigits) {
        note = NoteKind::NotAQuantity;
        return std::nullopt;
    }
    return quantity;
}

ImportPlan::~ImportPlan()
{
    if (!stagedPath.isEmpty())
        QFile::remove(stagedPath);
}

namespace {

// The fields that tell one wine from another: the required ones and the vintage.
std::vector<int> identityFields(const RecordKind& kind)
{
    std::vector<int> indexes;
    for (const RequiredField& required : kind.required)
        indexes.push_back(kind.field(required.field));
    const int vintage = kind.layout->indexOf(QStringLiteral("Annata"));
    if (vintage >= 0)
        indexes.push_back(vintage);
    return indexes;
}

QString identityKey(const RecordLayout& layout, const QByteArray& record, const std::vector<int>& fields)
{
    QString key;
    for (const int f : fields) {
        key += layout.decodeField(record, f).toCaseFolded();
        key += QChar(0x1F);
    }
    return key;
}

QString identityText(const RecordLayout& layout, const QByteArray& record, const std::vector<int>& fields)
{
    QStringList parts;
    for (const int f : fields) {
        const QString text = layout.decodeField(record, f);
        if (!text.isEmpty())
            parts << text;
    }
    return parts.join(QStringLiteral(", "));
}

QString resolvePicture(const QString& folder, const QString& text)
{
    QString path = text;
    if (path.startsWith(QLatin1String("file://")))
        path = QUrl(path).toLocalFile();
    path = QDir::fromNativeSeparators(path);
    if (QDir::isRelativePath(path))
        path = QDir(folder).filePath(path);
    return QDir::cleanPath(path);
}

} // namespace

CheckResult checkImport(const RecordKind& kind, TableReader& table, const QStringList& fields,
                        const QString& sourceFolder, ImportPlan& plan, const ImportProgress& progress)
{
    const RecordLayout& layout = *kind.layout;
    plan.fields = fields;
    plan.sourceFolder = sourceFolder;

    // What each column fills: a field's index, capacity and cell type.
    struct Target
    {
        int index = -1;
        int capacity = 0;
        CellType type = CellType::Text;
        QString caption;
        bool photo = false;
    };
    std::vector<Target> targets(static_cast<std::size_t>(fields.size()));
    for (qsizetype c = 0; c < fields.size(); ++c) {
        Target& t = targets[static_cast<std::size_t>(c)];
        if (fields.at(c) == kPhotoColumn) {
            t.photo = true;
        } else if (!fields.at(c).isEmpty()) {
            const FieldFacts& facts = kind.facts(fields.at(c));
            t.index = kind.field(facts.field);
            t.capacity = layout.field(t.index).capacity;
            t.type = facts.cell;
            t.caption = facts.caption.isEmpty() ? facts.title() : facts.caption;
        }
    }

    // The stored wines by what tells them apart.
    const std::vector<int> identity = identityFields(kind);
    std::unordered_map<QString, qint64> stored;
    try {
        RecordArchive archive(kind.archivePath(), layout, RecordArchive::Access::Read);
        QByteArray record;
        while (archive.readNextInPlace(record))
            stored.emplace(identityKey(layout, record, identity), archive.lastPosition());
    } catch (const ArchiveError&) {
        return CheckResult::Failed;
    }

    QTemporaryFile staged(ProgramFolder() + QStringLiteral(".importazione-XXXXXX"));
    staged.setAutoRemove(false);
    if (!staged.open())
        return CheckResult::Failed;
    plan.stagedPath = staged.fileName();
    QDataStream out(&staged);

    QStringList row;
    QByteArray record = layout.emptyRecord();
    qint64 line = 1;
    while (table.next(row)) {
        ++line;
        if (progress && line % kProgressEvery == 0 && !progress(table.bytesRead(), table.bytesTotal()))
            return CheckResult::Cancelled;
        if (isBlankRow(row))
            continue;
        ++plan.rowsRead;
        record.fill('\0');
        QString picture;
        for (qsizetype c = 0; c < row.size() && c < fields.size(); ++c) {
            const Target& t = targets[static_cast<std::size_t>(c)];
            if (t.photo) {
                picture = trimControl(row.at(c));
                continue;
            }
            if (t.index < 0)
                continue;
            NoteKind refused = NoteKind::TooLong;
            const std::optional<QString> text = fieldText(t.type, row.at(c), refused);
            if (!text) {
                plan.notes.push_back({line, refused, t.caption, trimControl(row.at(c))});
                continue;
            }
            if (text->size() > t.capacity)
                plan.notes.push_back({line, NoteKind::TooLong, t.caption, trimControl(text->left(t.capacity))});
            layout.encodeField(record, t.index, *text);
        }
        bool missing = false;
        for (const RequiredField& required : kind.required) {
            if (layout.decodeField(record, kind.field(required.field)).isEmpty()) {
                plan.notes.push_back({line, NoteKind::MissingName, kind.facts(required.field).caption, {}});
                missing = true;
                break;
            }
        }
        if (missing) {
            ++plan.rowsSkipped;
            continue;
        }
        QString picturePath;
        if (!picture.isEmpty()) {
            const QString path = resolvePicture(sourceFolder, picture);
            const PhotoRead read = readPhoto(path, QSize(64, 64));
            if (read.state == PhotoFileState::Read) {
                picturePath = path;
                ++plan.photos;
            } else {
                plan.notes.push_back({line, read.state == PhotoFileState::Missing ? NoteKind::PhotoMissing
                                                                                   : NoteKind::PhotoUnreadable,
                                      {}, picture});
            }
        }
        const auto match = stored.find(identityKey(layout, record, identity));
        if (match != stored.end()) {
            DuplicateRow duplicate;
            duplicate.line = line;
            duplicate.staged = plan.rowsStaged;
            duplicate.storedPosition = match->second;
            duplicate.description = identityText(layout, record, identity);
            plan.duplicates.push_back(duplicate);
        }
        out.writeRawData(record.constData(), record.size());
        out << picturePath;
        ++plan.rowsStaged;
    }
    if (table.failed() || out.status() != QDataStream::Ok || !staged.flush())
        return CheckResult::Failed;
    return CheckResult::Ready;
}

// ---------------------------------------------------------------------------
// Writing and undoing

namespace {

struct PictureMove
{
    QString target;
    QString temporary;
    QString backup;     // where a file already at the target is kept
    bool hadFile = false;
};

struct Journal
{
    bool finished = false;
    qint64 before = 0;
    qint64 afterSize = 0;
    qint64 afterTime = 0;
    std::vector<std::pair<qint64, QByteArray>> updated; // position, the record as it was
    std::vector<PictureMove> pictures;
};

qint64 modificationTime(const QString& path)
{
#ifdef Q_OS_UNIX
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return -1;
    return qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
#else
    return QFileInfo(path).lastModified().toMSecsSinceEpoch();
#endif
}

bool syncFile(const QString& path)
{
#ifdef Q_OS_UNIX
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return ::fsync(file.handle()) == 0;
#else
    Q_UNUSED(path);
    return true;
#endif
}

QByteArray journalBytes(const Journal& journal)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << QByteArray("VINARCA-IMPORTAZIONE-1") << journal.finished << journal.before << journal.afterSize
        << journal.afterTime << quint64(journal.updated.size());
    for (const auto& [position, record] : journal.updated)
        out << position << record;
    out << quint64(journal.pictures.size());
    for (const PictureMove& move : journal.pictures)
        out << move.target << move.temporary << move.backup << move.hadFile;
    return bytes;
}

std::optional<Journal> readJournal(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QDataStream in(&file);
    QByteArray magic;
    Journal journal;
    quint64 count = 0;
    in >> magic >> journal.finished >> journal.before >> journal.afterSize >> journal.afterTime >> count;
    if (magic != "VINARCA-IMPORTAZIONE-1" || in.status() != QDataStream::Ok)
        return std::nullopt;
    for (quint64 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        qint64 position = 0;
        QByteArray record;
        in >> position >> record;
        journal.updated.emplace_back(position, record);
    }
    in >> count;
    for (quint64 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        PictureMove move;
        in >> move.target >> move.temporary >> move.backup >> move.hadFile;
        journal.pictures.push_back(move);
    }
    if (in.status() != QDataStream::Ok)
        return std::nullopt;
    return journal;
}

// Puts the archive and the pictures back as the journal says they were;
// the caller holds the archive's write lock through `archive`.
bool rollBack(const RecordKind& kind, RecordArchive& archive, const Journal& journal)
{
    const qint64 recordSize = kind.layout->recordSize();
    QFile file(kind.archivePath());
    if (!file.open(QIODevice::ReadWrite) || !file.resize(journal.before * recordSize))
        return false;
    file.close();
    try {
        for (const auto& [position, record] : journal.updated)
            archive.writeAt(position, record);
    } catch (const ArchiveError&) {
        return false;
    }
    bool ok = syncFile(kind.archivePath());
    for (const PictureMove& move : journal.pictures) {
        QFile::remove(move.temporary);
        if (move.hadFile) {
            // Until the kept file moved aside, the target still is the old file.
            if (QFile::exists(move.backup)) {
                QFile::remove(move.target);
                ok = QFile::rename(move.backup, move.target) && ok;
            }
        } else if (QFile::exists(move.target)) {
            ok = QFile::remove(move.target) && ok;
        }
    }
    return ok;
}

// Forgets a finished import: its kept pictures go, it can no longer be undone.
void forgetFinished(const QString& journalPath, const Journal& journal)
{
    for (const PictureMove& move : journal.pictures) {
        if (!move.backup.isEmpty())
            QFile::remove(move.backup);
    }
    QFile::remove(journalPath);
}

} // namespace

QString importJournalPath(const RecordKind& kind)
{
    return ProgramFolder() + QFileInfo(kind.archiveFile).completeBaseName() + QStringLiteral("_Importazione.annulla");
}

bool recoverInterruptedImport(const RecordKind& kind)
{
    const QString path = importJournalPath(kind);
    if (!QFile::exists(path))
        return true;
    const std::optional<Journal> journal = readJournal(path);
    if (!journal)
        return QFile::remove(path);
    if (journal->finished)
        return true;
    try {
        RecordArchive archive(kind.archivePath(), *kind.layout, RecordArchive::Access::Write);
        if (!rollBack(kind, archive, *journal))
            return false;
    } catch (const ArchiveError&) {
        return false;
    }
    return QFile::remove(path);
}

bool canUndoImport(const RecordKind& kind)
{
    const std::optional<Journal> journal = readJournal(importJournalPath(kind));
    return journal && journal->finished && QFileInfo(kind.archivePath()).size() == journal->afterSize
           && modificationTime(kind.archivePath()) == journal->afterTime;
}

UndoResult undoImport(const RecordKind& kind)
{
    const QString path = importJournalPath(kind);
    const std::optional<Journal> journal = readJournal(path);
    if (!journal || !journal->finished)
        return UndoResult::Nothing;
    try {
        RecordArchive archive(kind.archivePath(), *kind.layout, RecordArchive::Access::Write);
        // Checked under the lock: a save from any desk since the import
        // changed the file, and that save is not thrown away.
        if (QFileInfo(kind.archivePath()).size() != journal->afterSize
            || modificationTime(kind.archivePath()) != journal->afterTime)
            return UndoResult::Changed;
        if (!rollBack(kind, archive, *journal))
            return UndoResult::Failed;
    } catch (const ArchiveError&) {
        return UndoResult::Failed;
    }
    QFile::remove(path);
    return UndoResult::Done;
}

ApplyOutcome applyImport(const RecordKind& kind, const ImportPlan& plan, const ImportProgress& progress)
{
    ApplyOutcome outcome;
    const RecordLayout& layout = *kind.layout;
    const int recordSize = layout.recordSize();
    const QString journalPath = importJournalPath(kind);
    if (!recoverInterruptedImport(kind))
        return outcome;
    // The import before this one can no longer be undone.
    if (const std::optional<Journal> earlier = readJournal(journalPath))
        forgetFinished(journalPath, *earlier);

    std::vector<DuplicateRow> duplicates = plan.duplicates;
    std::sort(duplicates.begin(), duplicates.end(),
              [](const DuplicateRow& a, const DuplicateRow& b) { return a.staged < b.staged; });
    const auto duplicateOf = [&duplicates](qint64 staged) -> const DuplicateRow* {
        const auto it = std::lower_bound(duplicates.begin(), duplicates.end(), staged,
                                         [](const DuplicateRow& d, qint64 s) { return d.staged < s; });
        return it != duplicates.end() && it->staged == staged ? &*it : nullptr;
    };
    std::vector<int> mapped;
    for (const QString& field : plan.fields) {
        if (!field.isEmpty() && field != kPhotoColumn)
            mapped.push_back(kind.field(field));
    }

    QFile staged(plan.stagedPath);
    if (!staged.open(QIODevice::ReadOnly))
        return outcome;
    QDataStream in(&staged);
    QByteArray record(recordSize, '\0');
    QString picture;
    const auto readStaged = [&] {
        in.readRawData(record.data(), recordSize);
        in >> picture;
        return in.status() == QDataStream::Ok;
    };

    // The pictures, prepared beside their places before the archive is
    // locked: decoding them is the slow part and other desks keep working.
    // A picture of a new wine knows its place only under the lock, so it is
    // kept by its order among the new wines.
    struct Prepared
    {
        qint64 staged = 0;
        qint64 position = 0;   // the stored wine's, for an update
        qint64 newOrdinal = 0; // from 1 among the added rows, for a new wine
        QString temporary;
    };
    std::vector<Prepared> prepared;
    const QString pictureFolder = kind.pictureFolderPath();
    std::vector<QString> temporaries;
    const auto dropTemporaries = [&temporaries] {
        for (const QString& path : temporaries)
            QFile::remove(path);
    };
    qint64 adds = 0;
    if (plan.photos > 0) {
        QDir().mkpath(pictureFolder);
        for (qint64 i = 0; i < plan.rowsStaged; ++i) {
            if (!readStaged()) {
                dropTemporaries();
                return outcome;
            }
            const DuplicateRow* duplicate = duplicateOf(i);
            const DuplicateChoice choice = duplicate ? duplicate->choice : DuplicateChoice::Add;
            if (choice == DuplicateChoice::Add)
                ++adds;
            if (picture.isEmpty() || choice == DuplicateChoice::Skip)
                continue;
            if (progress && !progress(i, plan.rowsStaged * 2)) {
                dropTemporaries();
                outcome.result = ApplyResult::Cancelled;
                return outcome;
            }
            const std::optional<Photo> photo = readPhotoFile(picture);
            if (!photo)
                continue; // it was readable at the check; now it is not there: no photo, as listed
            const QString temporary = pictureFolder + QStringLiteral("/.importazione-%1.jpg").arg(i);
            temporaries.push_back(temporary);
            if (!writePhotoFile(temporary, *photo)) {
                dropTemporaries();
                return outcome;
            }
            prepared.push_back({i, choice == DuplicateChoice::Update ? duplicate->storedPosition : 0,
                                choice == DuplicateChoice::Add ? adds : 0, temporary});
        }
        staged.seek(0);
        in.resetStatus();
    }

    const auto stepTotal = plan.photos > 0 ? plan.rowsStaged * 2 : plan.rowsStaged;
    const auto stepBase = plan.photos > 0 ? plan.rowsStaged : 0;
    try {
        RecordArchive archive(kind.archivePath(), layout, RecordArchive::Access::Write);
        Journal journal;
        journal.before = archive.count();
        // The stored wines about to be updated, as they are.
        QByteArray old;
        for (const DuplicateRow& duplicate : duplicates) {
            if (duplicate.choice == DuplicateChoice::Update) {
                archive.readAt(duplicate.storedPosition, old);
                journal.updated.emplace_back(duplicate.storedPosition, old);
            }
        }
        for (const Prepared& p : prepared) {
            PictureMove move;
            const qint64 position = p.position > 0 ? p.position : journal.before + p.newOrdinal;
            move.target = kind.picturePath(QString::number(position));
            move.temporary = p.temporary;
            move.hadFile = QFile::exists(move.target);
            if (move.hadFile)
                move.backup = pictureFolder + QStringLiteral("/.prima-importazione-%1.jpg").arg(position);
            journal.pictures.push_back(move);
        }
        if (!saveWholeFile(journalPath, journalBytes(journal))) {
            dropTemporaries();
            return outcome;
        }
        const auto putBack = [&] {
            if (rollBack(kind, archive, journal))
                QFile::remove(journalPath);
        };

        // New rows go after the last whole record in large blocks through a
        // second handle on the file, while `archive` holds the write lock: one
        // write per record would cost more in calls than the data itself.
        QFile tail(kind.archivePath());
        if (!tail.open(QIODevice::ReadWrite) || !tail.seek(journal.before * recordSize)) {
            putBack();
            return {};
        }
        QByteArray block;
        const auto writeBlock = [&] {
            const bool ok = block.isEmpty() || (tail.write(block) == block.size() && tail.flush());
            block.clear();
            return ok;
        };
        QByteArray merged;
        for (qint64 i = 0; i < plan.rowsStaged; ++i) {
            if (progress && i % kProgressEvery == 0 && !progress(stepBase + i, stepTotal)) {
                putBack();
                outcome = {ApplyResult::Cancelled, 0, 0};
                return outcome;
            }
            if (!readStaged()) {
                putBack();
                outcome = {};
                return outcome;
            }
            const DuplicateRow* duplicate = duplicateOf(i);
            const DuplicateChoice choice = duplicate ? duplicate->choice : DuplicateChoice::Add;
            if (choice == DuplicateChoice::Skip)
                continue;
            if (choice == DuplicateChoice::Update) {
                // The columns of the file replace the stored fields; the rest stays.
                archive.readAt(duplicate->storedPosition, merged);
                for (const int f : mapped) {
                    const RecordLayout::Field& field = layout.field(f);
                    std::copy_n(record.constData() + field.offset, field.capacity + 1, merged.data() + field.offset);
                }
                archive.writeAt(duplicate->storedPosition, merged);
                ++outcome.updated;
            } else {
                block += record;
                ++outcome.added;
                if (block.size() >= 1024 * 1024 && !writeBlock()) {
                    tail.close();
                    putBack();
                    return {};
                }
            }
        }
        if (!writeBlock() || ::fsync(tail.handle()) != 0) {
            tail.close();
            putBack();
            return {};
        }
        tail.close();
        for (const PictureMove& move : journal.pictures) {
            if ((move.hadFile && !QFile::rename(move.target, move.backup)) || !QFile::rename(move.temporary, move.target)) {
                putBack();
                return {};
            }
        }
        journal.finished = true;
        journal.afterSize = QFileInfo(kind.archivePath()).size();
        journal.afterTime = modificationTime(kind.archivePath());
        if (!saveWholeFile(journalPath, journalBytes(journal))) {
            putBack();
            return {};
        }
    } catch (const ArchiveError&) {
        // The archive could not be locked (nothing written yet), or a write
        // failed on the way: put back what the journal says.
        dropTemporaries();
        recoverInterruptedImport(kind);
        return {};
    }
    outcome.result = ApplyResult::Done;
    return outcome;
}

} // namespace vinarca
