// The exported files as a spreadsheet program reads them: LibreOffice,
// headless, converts each kind of export to CSV and every row, column and
// character comes back as it was in the grid.
#include "LabelRecord.h"
#include "RecordArchive.h"
#include "ScriptedPlatform.h"
#include "SpreadsheetExport.h"
#include "WineRecord.h"

#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

using namespace vinarca;

namespace {

// One CSV line of LibreOffice's output (comma, double quotes doubled), UTF-8.
QList<QStringList> parseCsv(const QString& text)
{
    QList<QStringList> rows;
    QStringList row;
    QString cell;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text.at(i + 1) == '"') {
                cell += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                cell += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            row << cell;
            cell.clear();
        } else if (c == '\n') {
            rows << (row << cell);
            row.clear();
            cell.clear();
        } else if (c != '\r') {
            cell += c;
        }
    }
    if (!cell.isEmpty() || !row.isEmpty())
        rows << (row << cell);
    return rows;
}

} // namespace

class TestSpreadsheetCalc : public QObject
{
    Q_OBJECT
private slots:
    void calcReadsEveryKindAsExported();
};

void TestSpreadsheetCalc::calcReadsEveryKindAsExported()
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        QSKIP("LibreOffice (Debian package libreoffice-calc-nogui) is not installed: the round trip is not checked");

    TestWorld world;
    struct Case
    {
        const RecordKind* kind;
        const ExportVariant* variant;
        QList<QStringList> rows;
    };
    QList<Case> cases{{&wineKind(), &wineExportVariant(), {}},
                      {&verticalLabelKind().record, &verticalLabelExportVariant(), {}},
                      {&horizontalLabelKind().record, &horizontalLabelExportVariant(), {}}};
    QStringList files;
    for (Case& c : cases) {
        {
            RecordArchive archive(c.kind->archivePath(), *c.kind->layout, RecordArchive::Access::Write);
            for (int r = 0; r < 3; ++r) {
                QByteArray record = c.kind->layout->emptyRecord();
                for (const ExportColumn& column : c.variant->columns)
                    c.kind->layout->encodeField(record, c.kind->field(column.field),
                                                QStringLiteral("%1 %2 più € è").arg(column.field).arg(r + 1));
                archive.append(record);
            }
        }
        c.rows = loadExportRows(*c.kind, *c.variant);
        QCOMPARE(c.rows.size(), 3);
        // As typed by the user in the grid's last (editable) column.
        c.rows[1].last() = QStringLiteral("<b>&\"x\"</b>");
        QVERIFY(writeSpreadsheet(exportFilePath(*c.variant), *c.variant, c.rows));
        files << exportFilePath(*c.variant);
    }

    QProcess calc;
    calc.setProcessChannelMode(QProcess::MergedChannels);
    calc.start(soffice, QStringList{"-env:UserInstallation=file://" + world.path("profilo"), "--headless",
                                    "--convert-to", "csv:Text - txt - csv (StarCalc):44,34,76", "--outdir",
                                    world.path("csv")}
                            + files);
    QVERIFY(calc.waitForFinished(240000));
    const QByteArray log = calc.readAll();

    for (const Case& c : cases) {
        QFile csv(world.path("csv/" + QFileInfo(c.variant->exportFile).completeBaseName() + ".csv"));
        QVERIFY2(csv.open(QIODevice::ReadOnly), log.constData());
        const QList<QStringList> read = parseCsv(QString::fromUtf8(csv.readAll()));
        QStringList titles;
        for (const ExportColumn& column : c.variant->columns)
            titles << column.title;
        QCOMPARE(read.size(), 1 + c.rows.size());
        QCOMPARE(read.at(0), titles);
        for (qsizetype r = 0; r < c.rows.size(); ++r)
            QCOMPARE(read.at(r + 1), c.rows.at(r));
    }
}

QTEST_MAIN(TestSpreadsheetCalc)
#include "tst_spreadsheetcalc.moc"
