#include "TrovaVini.h"
#include "EditFlow.h"

#include "Artwork.h"
#include "FramedEdit.h"
#include "Palette.h"
#include "PictureBox.h"
#include "Platform.h"
#include "RecordArchive.h"
#include "RecordListView.h"
#include "Shapes.h"
#include "WineRecord.h"
#include "WineSearch.h"

#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>

using namespace vinarca;

namespace {
struct Criterion
{
    FramedEdit* TfrmTrovaVini::*member;
    const char* name;
    const char* field; // in the Wine record, whose caption the criterion shows
    const char* frame;
};

// In tab and Return order: left and right column, row by row.
const Criterion kCriteria[] = {
    {&TfrmTrovaVini::txtNome, "txtNome", "Nome", "effCampo01"},
    {&TfrmTrovaVini::txtProduttore, "txtProduttore", "Produttore", "effCampo02"},
    {&TfrmTrovaVini::txtDesignazione, "txtDesignazione", "Designazione", "effCampo09"},
    {&TfrmTrovaVini::txtFornitore, "txtFornitore", "Fornitore", "effCampo10"},
    {&TfrmTrovaVini::txtNazione, "txtNazione", "Nazione", "effCampo05"},
    {&TfrmTrovaVini::txtRegione, "txtRegione", "Regione", "effCampo06"},
    {&TfrmTrovaVini::txtZona, "txtZona", "Zona", "effCampo07"},
    {&TfrmTrovaVini::txtCantina, "txtCantina", "Cantina", "effCampo08"},
    {&TfrmTrovaVini::txtAnnata, "txtAnnata", "Annata", "effCampo03"},
    {&TfrmTrovaVini::txtNote, "txtNote", "Note", "effCampo04"},
};
} // namespace

TfrmTrovaVini::TfrmTrovaVini(QWidget* owner)
    : RecordListWindow(wineKind(), &WineSearchLine, QStringLiteral("vini"), QStringLiteral("Riepilogo vini in catalogo"),
                       owner)
{
    setObjectName(QStringLiteral("frmTrovaVini"));
    setWindowTitle(QStringLiteral(" Trova vini in catalogo"));

    // Criteria panel.
    panAvvio = new QWidget(this);
    panAvvio->setObjectName(QStringLiteral("panAvvio"));
    panAvvio->setGeometry(14, 15, 833, 529);
    new ShapeRect(panAvvio, QStringLiteral("shpSpiega"), QRect(0, 0, 833, 74), Qt::white);
    makePicture(panAvvio, "imgSpiega", QStringLiteral(":/wines/trova_spiega"), QRect(0, 2, 833, 70));
    makePicture(panAvvio, "imgTrova01", QStringLiteral(":/wines/trova_foto"), QRect(6, 88, 150, 360));

    const QFont captionFont(QStringLiteral("Verdana"), 12);
    const QFont boxFont(QStringLiteral("Verdana"), 12, QFont::Bold);
    QList<FramedEdit*> boxes;
    for (int i = 0; i < 10; ++i) {
        const Criterion& c = kCriteria[i];
        // Two columns of 320-wide boxes beside the photo, frames 328 x 30.
        const int x = 170 + (i % 2) * 334;
        const int y = 92 + (i / 2) * 72;
        auto* caption = new QLabel(wineKind().facts(QString::fromLatin1(c.field)).label(), panAvvio);
        caption->setObjectName(QStringLiteral("lbl") + QString::fromLatin1(c.name + 3));
        caption->setGeometry(x - 4, y, 328, 22);
        caption->setFont(captionFont);
        const QRect box(x, y + 26, 320, 28);
        auto* edit = new FramedEdit(panAvvio, QString::fromLatin1(c.name), QString::fromLatin1(c.frame), box,
                                    QRect(x - 4, y + 25, 328, 30));
        edit->setFont(boxFont);
        edit->highlight()->setGradient(palette::FocusYellow, palette::FocusPaleYellow);
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
                             QRect(166, 490, 501, 26), QStringLiteral("Verdana"), 12, true, palette::DarkCyan);
    lblAttendere->setAlignment(Qt::AlignCenter);
    lblAttendere->hide();
    lblConta = new QLabel(panAvvio);
    lblConta->setObjectName(QStringLiteral("lblConta"));
    lblConta->hide();

    // Result panel.
    panContainer = new QWidget(this);
    panContainer->setObjectName(QStringLiteral("panContainer"));
    panContainer->setGeometry(14, 15, 833, 529);
    panContainer->hide();
    makePicture(panContainer, "imgLogo", QStringLiteral(":/wines/trova_risultati"), QRect(116, 4, 600, 50));
    makePicture(panContainer, "icoIstruzioni01", QStringLiteral(":/wines/trova_istruzioni"), QRect(36, 60, 760, 40));
    new ShapeRect(panContainer, QStringLiteral("shpLente"), QRect(14, 110, 44, 38), Qt::white);
    makePicture(panContainer, "imgLente", QStringLiteral(":/wines/trova_lente"), QRect(16, 109, 40, 40));
    buildResultControls(panContainer,
                        {QRect(66, 114, 593, 30), QRect(667, 114, 150, 30), QRect(16, 156, 801, 273),
                         QRect(16, 434, 801, 24), QRect(16, 488, 150, 30), QRect(176, 490, 481, 26),
                         QRect(667, 488, 150, 30)},
                        QStringLiteral("Fare doppio clic sulla voce in elenco per richiamare la scheda"));

    connect(btnCerca, &QPushButton::pressed, this, [this] {
        // Visible while the search runs: it is painted before the scan starts.
        lblAttendere->show();
        lblAttendere->repaint();
    });
    connect(btnCerca, &QPushButton::clicked, this, &TfrmTrovaVini::btnCercaClick);
    connect(btnAnnulla, &QPushButton::clicked, this, &QDialog::reject);

    fixAndCentre(this, QSize(862, 560));
}

void TfrmTrovaVini::paintEvent(QPaintEvent*)
{
    paintGradient(this, palette::SteelBlue);
}

void TfrmTrovaVini::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    resetFind();
    if (lstRecords->count() > 0)
        lstRecords->setCurrentRow(0);
    txtNome->setFocus(Qt::OtherFocusReason);
}

void TfrmTrovaVini::done(int result)
{
    lblAttendere->hide();
    RecordListWindow::done(result);
}

void TfrmTrovaVini::btnCercaClick()
{
    QList<WineCriterion> criteria;
    for (const Criterion& c : kCriteria)
        criteria.append({QString::fromLatin1(c.field), (this->*c.member)->text()});
    lblConta->setText(QString::number(WineMatcher(criteria).filledCount()));
    ListLines lines;
    try {
        lines = searchWineLines(criteria);
    } catch (const ArchiveError&) {
        platform().plainMessage(this, accessFailureMessage());
        return;
    }
    panAvvio->hide();
    panContainer->show();
    showLines(std::move(lines));
}

namespace vinarca {
void openWineSearch(QWidget* owner, TfrmTrovaVini::Loader loader)
{
    TfrmTrovaVini window(owner);
    window.lblMemory->setText(QStringLiteral("vini"));
    window.setLoader(std::move(loader));
    platform().execDialog(window);
}
} // namespace vinarca
