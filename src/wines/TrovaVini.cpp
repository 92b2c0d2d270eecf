#include "TrovaVini.h"

#include "Artwork.h"
#include "FramedEdit.h"
#include "PictureBox.h"
#include "Platform.h"
#include "ProgramFolder.h"
#include "RecordArchive.h"
#include "ShortString.h"
#include "Shapes.h"
#include "WineRecord.h"
#include "WineSearch.h"

#include <QLabel>
#include <QLinearGradient>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>

using namespace vinarca;

namespace {
const QColor kDarkCyan(0x00, 0x8B, 0x8B);

struct Criterion
{
    FramedEdit* TfrmTrovaVini::*member;
    const char* name;
    const char* caption;
    int field; // in the Wine record
    const char* frame;
};

// In tab and Return order: left and right column, row by row.
const Criterion kCriteria[] = {
    {&TfrmTrovaVini::txtNome, "txtNome", "Nome vino:", 0, "effCampo01"},
    {&TfrmTrovaVini::txtProduttore, "txtProduttore", "Produttore:", 1, "effCampo02"},
    {&TfrmTrovaVini::txtDesignazione, "txtDesignazione", "Designazione:", 2, "effCampo09"},
    {&TfrmTrovaVini::txtFornitore, "txtFornitore", "Fornitore:", 20, "effCampo10"},
    {&TfrmTrovaVini::txtNazione, "txtNazione", "Nazione:", 3, "effCampo05"},
    {&TfrmTrovaVini::txtRegione, "txtRegione", "Regione:", 4, "effCampo06"},
    {&TfrmTrovaVini::txtZona, "txtZona", "Zona:", 5, "effCampo07"},
    {&TfrmTrovaVini::txtCantina, "txtCantina", "Cantina:", 6, "effCampo08"},
    {&TfrmTrovaVini::txtAnnata, "txtAnnata", "Annata:", 7, "effCampo03"},
    {&TfrmTrovaVini::txtNote, "txtNote", "Note:", 25, "effCampo04"},
};
} // namespace

TfrmTrovaVini::TfrmTrovaVini(QWidget* owner) : QDialog(owner, fixedWindowFlags())
{
    setObjectName(QStringLiteral("frmTrovaVini"));
    setWindowTitle(QStringLiteral(" Trova vini in catalogo"));
    applyProcessFormats();

    // Criteria panel.
    panAvvio = new QWidget(this);
    panAvvio->setObjectName(QStringLiteral("panAvvio"));
    panAvvio->setGeometry(14, 15, 833, 529);
    new ShapeRect(panAvvio, QStringLiteral("shpSpiega"), QRect(0, 0, 833, 74), Qt::white);
    makePicture(panAvvio, "imgSpiega", QStringLiteral(":/wines/trova_spiega"), QRect(0, 2, 833, 70));
    makePicture(panAvvio, "imgTrova01", QStringLiteral(":/wines/trova_foto"), QRect(6, 88, 200, 360));

    const QFont captionFont(QStringLiteral("Verdana"), 12);
    const QFont boxFont(QStringLiteral("Verdana"), 12, QFont::Bold);
    QList<FramedEdit*> boxes;
    for (int i = 0; i < 10; ++i) {
        const Criterion& c = kCriteria[i];
        const int x = 228 + (i % 2) * 300;
        const int y = 92 + (i / 2) * 72;
        auto* caption = new QLabel(QString::fromUtf8(c.caption), panAvvio);
        caption->setObjectName(QStringLiteral("lbl") + QString::fromLatin1(c.name + 3));
        caption->setGeometry(x - 4, y, 280, 22);
        caption->setFont(captionFont);
        const QRect box(x, y + 26, 272, 28);
        auto* edit = new FramedEdit(panAvvio, QString::fromLatin1(c.name), QString::fromLatin1(c.frame), box,
                                    QRect(x - 4, y + 25, 280, 30));
        edit->setFont(boxFont);
        edit->highlight()->setGradient(QColor(0xFF, 0xFF, 0x00), QColor(0xFF, 0xFF, 0xE0));
        this->*c.member = edit;
        boxes << edit;
    }
    for (qsizetype i = 0; i < boxes.size(); ++i) {
        FramedEdit* next = boxes.at((i + 1) % boxes.size());
        connect(boxes[i], &FramedEdit::returnKey, next, [next] { next->setFocus(Qt::TabFocusReason); });
        if (i > 0)
            setTabOrder(boxes[i - 1], boxes[i]);
    }

    btnAnnulla = makeButton(panAvvio, "btnAnnulla", QStringLiteral("Chiudi"), QRect(6, 488, 150, 30));
    btnCerca = makeButton(panAvvio, "btnCerca", QStringLiteral("Cerca"), QRect(677, 488, 150, 30));
    lblAttendere = makeLabel(panAvvio, QStringLiteral("lblAttendere"), QStringLiteral("Ricerca schede in corso. Attendere..."),
                             QRect(166, 490, 501, 26), QStringLiteral("Verdana"), 12, true, kDarkCyan);
    lblAttendere->setAlignment(Qt::AlignCenter);
    lblAttendere->hide();
    lblConta = new QLabel(panAvvio);
    lblConta->setObjectName(QStringLiteral("lblConta"));
    lblConta->hide();
    lblMemory = new QLabel(this);
    lblMemory->setObjectName(QStringLiteral("lblMemory"));
    lblMemory->hide();

    // Result panel.
    panContainer = new QWidget(this);
    panContainer->setObjectName(QStringLiteral("panContainer"));
    panContainer->setGeometry(14, 15, 833, 529);
    panContainer->hide();
    makePicture(panContainer, "imgLogo", QStringLiteral(":/wines/trova_risultati"), QRect(116, 4, 600, 50));
    makePicture(panContainer, "icoIstruzioni01", QStringLiteral(":/wines/trova_istruzioni"), QRect(36, 60, 760, 40));
    new ShapeRect(panContainer, QStringLiteral("shpLente"), QRect(14, 110, 44, 38), Qt::white);
    makePicture(panContainer, "imgLente", QStringLiteral(":/wines/trova_lente"), QRect(16, 109, 40, 40));
    txtTrova = new FramedEdit(panContainer, QStringLiteral("txtTrova"), QStringLiteral("effTrova"), QRect(66, 114, 593, 30));
    txtTrova->setFont(boxFont);
    btnTrova = makeButton(panContainer, "btnTrova", QStringLiteral("Trova"), QRect(667, 114, 150, 30));
    lstRecords = new QListWidget(panContainer);
    lstRecords->setObjectName(QStringLiteral("lstRecords"));
    lstRecords->setGeometry(16, 156, 801, 273);
    lstRecords->setFont(QFont(QStringLiteral("Courier New"), 12));
    lstRecords->setUniformItemSizes(true);
    lstRecords->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    lblRigo03 = makeLabel(panContainer, QStringLiteral("lblRigo03"),
                          QStringLiteral("Fare doppio clic sulla voce in elenco per richiamare la scheda"),
                          QRect(16, 434, 801, 24), QStringLiteral("Verdana"), 11, true, QColor(0xDC, 0x14, 0x3C));
    lblRigo03->setAlignment(Qt::AlignCenter);
    btnChiudi = makeButton(panContainer, "btnChiudi", QStringLiteral("Chiudi"), QRect(16, 488, 150, 30));
    lblTrovate = makeLabel(panContainer, QStringLiteral("lblTrovate"), QStringLiteral("Il presente riepilogo contiene 0 schede"),
                           QRect(176, 490, 481, 26), QStringLiteral("Verdana"), 12, true, kDarkCyan);
    lblTrovate->setAlignment(Qt::AlignCenter);
    btnStampa = makeButton(panContainer, "btnStampa", QStringLiteral("Stampa"), QRect(667, 488, 150, 30));

    connect(btnCerca, &QPushButton::pressed, this, [this] {
        // Visible while the search runs: it is painted before the scan starts.
        lblAttendere->show();
        lblAttendere->repaint();
    });
    connect(btnCerca, &QPushButton::clicked, this, &TfrmTrovaVini::btnCercaClick);
    connect(btnTrova, &QPushButton::clicked, this, &TfrmTrovaVini::btnTrovaClick);
    // Return in the find box moves to Trova; it does not start the find.
    connect(txtTrova, &FramedEdit::returnKey, btnTrova, [this] { btnTrova->setFocus(Qt::TabFocusReason); });
    connect(lstRecords, &QListWidget::itemDoubleClicked, this, &TfrmTrovaVini::lstRecordsDblClick);
    connect(btnStampa, &QPushButton::clicked, this, &TfrmTrovaVini::btnStampaClick);
    connect(btnAnnulla, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnChiudi, &QPushButton::clicked, this, &QDialog::reject);

    fixAndCentre(this, QSize(862, 560));
}

QList<FramedEdit*> TfrmTrovaVini::criteriaBoxes() const
{
    QList<FramedEdit*> boxes;
    for (const Criterion& c : kCriteria)
        boxes << this->*c.member;
    return boxes;
}

void TfrmTrovaVini::paintEvent(QPaintEvent*)
{
    paintGradient(this, QColor(0x46, 0x82, 0xB4));
}

void TfrmTrovaVini::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    m_lastFind.clear();
    if (lstRecords->count() > 0)
        lstRecords->setCurrentRow(0);
    txtTrova->clear();
    txtNome->setFocus(Qt::OtherFocusReason);
}

void TfrmTrovaVini::done(int result)
{
    lstRecords->clear();
    lblAttendere->hide();
    QDialog::done(result);
}

void TfrmTrovaVini::btnCercaClick()
{
    QList<WineCriterion> criteria;
    for (const Criterion& c : kCriteria)
        criteria.append({c.field, (this->*c.member)->text()});
    const WineMatcher matcher(criteria);
    lblConta->setText(QString::number(matcher.filledCount()));
    QStringList lines;
    try {
        lines = searchWines(wineArchivePath(), criteria);
    } catch (const ArchiveError&) {
        platform().plainMessage(this, accessFailureMessage());
        return;
    }
    lstRecords->clear();
    lstRecords->addItems(lines);
    lblTrovate->setText(QStringLiteral("Il presente riepilogo contiene %1 schede.").arg(lines.size()));
    panAvvio->hide();
    panContainer->show();
    txtTrova->clear();
    txtTrova->setFocus(Qt::OtherFocusReason);
}

void TfrmTrovaVini::btnTrovaClick()
{
    if (lstRecords->count() == 0) {
        platform().plainMessage(this, QStringLiteral("Ricerca non applicabile: la lista non contiene nessuna voce."));
        return;
    }
    if (lstRecords->currentRow() < 0)
        lstRecords->setCurrentRow(0);
    QStringList items;
    items.reserve(lstRecords->count());
    for (int i = 0; i < lstRecords->count(); ++i)
        items << lstRecords->item(i)->text();
    const QString text = foldAsciiCase(txtTrova->text());
    const int found = findInList(items, lstRecords->currentRow(), text, text == m_lastFind);
    if (found >= 0)
        lstRecords->setCurrentRow(found);
    m_lastFind = text;
}

void TfrmTrovaVini::lstRecordsDblClick()
{
    QListWidgetItem* item = lstRecords->currentItem();
    if (item && trimControl(lblMemory->text()) == QLatin1String("vini") && m_loader) {
        const QString wanted = trimControl(item->text());
        try {
            RecordArchive archive(wineArchivePath(), kWineRecordSize, RecordArchive::Access::Read);
            QByteArray record;
            QByteArray last;
            qint64 lastPosition = 0;
            // Identical lines: the last equal record in the archive is the one loaded.
            while (archive.readNext(record)) {
                if (trimControl(WineSearchLine(record)) == wanted) {
                    last = record;
                    lastPosition = archive.lastPosition();
                }
            }
            archive.close();
            if (lastPosition > 0)
                m_loader(last, lastPosition);
        } catch (const ArchiveError&) {
            // The window simply closes.
        }
    }
    accept();
}

void TfrmTrovaVini::btnStampaClick()
{
    QStringList lines;
    for (int i = 0; i < lstRecords->count(); ++i)
        lines << lstRecords->item(i)->text();
    if (m_printer)
        m_printer(this, lines);
}

namespace vinarca {
void openWineSearch(QWidget* owner, TfrmTrovaVini::Loader loader, TfrmTrovaVini::ListPrinter printer)
{
    TfrmTrovaVini window(owner);
    window.lblMemory->setText(QStringLiteral("vini"));
    window.setLoader(std::move(loader));
    window.setListPrinter(std::move(printer));
    platform().execDialog(window);
}
} // namespace vinarca
