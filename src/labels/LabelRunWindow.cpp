#include "LabelRunWindow.h"

#include "DocumentWindow.h"
#include "LabelRun.h"
#include "Palette.h"
#include "Platform.h"
#include "PrintSettings.h"
#include "Shapes.h"
#include "StatusHints.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include <algorithm>

namespace vinarca {

LabelRunWindow::LabelRunWindow(const LabelKind& kind, QWidget* owner)
    : QDialog(owner, fixedWindowFlags()), m_kind(kind), m_run(labelRunOf(kind))
{
    const bool vertical = &kind == &verticalLabelKind();
    setObjectName(vertical ? QStringLiteral("frmSerieVerticali") : QStringLiteral("frmSerieOrizzontali"));
    setWindowTitle(vertical ? QStringLiteral(" Serie di stampa - Etichette verticali")
                            : QStringLiteral(" Serie di stampa - Etichette orizzontali"));

    auto* panel = new ShapeRect(this, QStringLiteral("shpSfondo"), QRect(8, 8, 624, 392), Qt::white,
                                palette::PanelOutline, 4);
    auto* title = makeLabel(panel, QStringLiteral("lblTitolo"), QStringLiteral("Serie di stampa"), QRect(16, 10, 400, 26),
                            QStringLiteral("Verdana"), 13, true, palette::CaptionBlue);
    title->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    auto* how = makeLabel(panel, QStringLiteral("lblIstruzioni"),
                          QStringLiteral("Le etichette si stampano nell'ordine dell'elenco, ciascuna con le sue copie "
                                         "di seguito, riempiendo i fogli riga per riga."),
                          QRect(16, 38, 592, 34), QStringLiteral("Verdana"), 9, false, palette::CaptionBlue);
    how->setWordWrap(true);

    grdSerie = new QTableWidget(0, 2, panel);
    grdSerie->setObjectName(QStringLiteral("grdSerie"));
    grdSerie->setGeometry(16, 78, 480, 232);
    grdSerie->setHorizontalHeaderLabels({QStringLiteral("Prodotto"), QStringLiteral("Copie")});
    grdSerie->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    grdSerie->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Fixed);
    grdSerie->setColumnWidth(1, 80);
    grdSerie->verticalHeader()->setDefaultSectionSize(22);
    grdSerie->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdSerie->setSelectionMode(QAbstractItemView::SingleSelection);
    grdSerie->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdSerie->setFont(QFont(QStringLiteral("Verdana"), 10));

    makeLabel(panel, QStringLiteral("lblCopie"), QStringLiteral("Copie:"), QRect(508, 80, 100, 20),
              QStringLiteral("Verdana"), 9, true, palette::CaptionBlue);
    txtCopie = new QLineEdit(panel);
    txtCopie->setObjectName(QStringLiteral("txtCopie"));
    txtCopie->setGeometry(508, 102, 100, 26);
    txtCopie->setMaxLength(6);
    txtCopie->setFont(QFont(QStringLiteral("Verdana"), 11, QFont::Bold));
    btnCopie = makeButton(panel, "btnCopie", QStringLiteral("Cambia copie"), QRect(508, 132, 100, 26), 9);
    btnSu = makeButton(panel, "btnSu", QStringLiteral("Sposta su"), QRect(508, 176, 100, 26), 9);
    btnGiu = makeButton(panel, "btnGiu", QStringLiteral("Sposta giù"), QRect(508, 206, 100, 26), 9);
    btnTogli = makeButton(panel, "btnTogli", QStringLiteral("Togli"), QRect(508, 250, 100, 26), 9);
    btnSvuota = makeButton(panel, "btnSvuota", QStringLiteral("Svuota"), QRect(508, 284, 100, 26), 9);

    lblFogli = makeLabel(panel, QStringLiteral("lblFogli"), QString(), QRect(16, 318, 592, 22), QStringLiteral("Verdana"),
                         10, true, palette::DarkCyan);
    btnChiudi = makeButton(panel, "btnChiudi", QStringLiteral("Chiudi"), QRect(16, 350, 150, 30));
    btnAnteprima = makeButton(panel, "btnAnteprima", QStringLiteral("Anteprima"), QRect(300, 350, 150, 30));
    btnStampa = makeButton(panel, "btnStampa", QStringLiteral("Stampa"), QRect(458, 350, 150, 30));

    panInfo = makeLabel(this, QStringLiteral("panInfo"), QStringLiteral("Pronto per stampare la serie di etichette..."),
                        QRect(8, 408, 624, 26), QStringLiteral("Tahoma"), 12, false, Qt::white);
    panInfo->setAutoFillBackground(true);
    QPalette statusPalette = panInfo->palette();
    statusPalette.setColor(QPalette::Window, palette::StatusBlue);
    panInfo->setPalette(statusPalette);
    panInfo->setIndent(12);
    auto* hints = new StatusHints(panInfo, this);
    hints->addBackground(this);
    hints->addBackground(panel);
    const std::pair<QWidget*, const char*> kHints[] = {
        {grdSerie, "Le etichette della serie nell'ordine di stampa, con le copie di ciascuna."},
        {txtCopie, "Le copie dell'etichetta scelta: premere Invio o Cambia copie per cambiarle."},
        {btnCopie, "Cambia le copie dell'etichetta scelta."},
        {btnSu, "Sposta l'etichetta scelta prima della precedente."},
        {btnGiu, "Sposta l'etichetta scelta dopo la successiva."},
        {btnTogli, "Toglie l'etichetta scelta dalla serie."},
        {btnSvuota, "Toglie tutte le etichette dalla serie."},
        {btnAnteprima, "Visualizza i fogli della serie come appariranno in stampa."},
        {btnStampa, "Stampa la serie di etichette."},
        {btnChiudi, "Chiude questa finestra; la serie resta pronta per la prossima stampa."},
    };
    for (const auto& [control, text] : kHints)
        hints->addButton(control, QString::fromUtf8(text));

    connect(grdSerie, &QTableWidget::itemSelectionChanged, this, &LabelRunWindow::rowChanged);
    connect(txtCopie, &QLineEdit::returnPressed, this, &LabelRunWindow::btnCopieClick);
    connect(btnCopie, &QPushButton::clicked, this, &LabelRunWindow::btnCopieClick);
    connect(btnSu, &QPushButton::clicked, this, [this] { moveClick(-1); });
    connect(btnGiu, &QPushButton::clicked, this, [this] { moveClick(1); });
    connect(btnTogli, &QPushButton::clicked, this, &LabelRunWindow::btnTogliClick);
    connect(btnSvuota, &QPushButton::clicked, this, &LabelRunWindow::btnSvuotaClick);
    connect(btnAnteprima, &QPushButton::clicked, this, &LabelRunWindow::btnAnteprimaClick);
    connect(btnStampa, &QPushButton::clicked, this, &LabelRunWindow::btnStampaClick);
    connect(btnChiudi, &QPushButton::clicked, this, &QDialog::reject);
    QWidget* const order[] = {grdSerie, txtCopie,  btnCopie,  btnSu,        btnGiu,
                                    btnTogli, btnSvuota, btnChiudi, btnAnteprima, btnStampa};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    fixAndCentre(this, QSize(640, 442), owner);
    showRun();
}

void LabelRunWindow::paintEvent(QPaintEvent*)
{
    paintGradient(this, palette::WindowBlue);
}

void LabelRunWindow::showRun(int row)
{
    const QList<LabelRunEntry>& entries = m_run.entries();
    {
        const QSignalBlocker quiet(grdSerie);
        grdSerie->setRowCount(int(entries.size()));
        for (int i = 0; i < entries.size(); ++i) {
            grdSerie->setItem(i, 0, new QTableWidgetItem(entries.at(i).product));
            auto* copies = new QTableWidgetItem(QString::number(entries.at(i).copies));
            copies->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            grdSerie->setItem(i, 1, copies);
        }
    }
    if (!entries.isEmpty())
        grdSerie->selectRow(std::clamp(row, 0, int(entries.size()) - 1));
    rowChanged();
    const qint64 copies = m_run.totalCopies();
    const LabelStock stock = loadDocumentPrintSettings(runDocumentName(m_kind)).choices.stock;
    const int sheets = runSheetCount(m_kind, copies, stock);
    lblFogli->setText(QStringLiteral("Etichette: %1    Copie: %2    Fogli A4: %3")
                          .arg(entries.size())
                          .arg(copies)
                          .arg(sheets));
}

void LabelRunWindow::rowChanged()
{
    const int row = grdSerie->currentRow();
    const bool chosen = row >= 0 && row < m_run.entries().size();
    txtCopie->setText(chosen ? QString::number(m_run.entries().at(row).copies) : QString());
    for (QWidget* control : {static_cast<QWidget*>(txtCopie), static_cast<QWidget*>(btnCopie),
                             static_cast<QWidget*>(btnSu), static_cast<QWidget*>(btnGiu),
                             static_cast<QWidget*>(btnTogli)})
        control->setEnabled(chosen);
}

void LabelRunWindow::btnCopieClick()
{
    const int row = grdSerie->currentRow();
    if (row < 0 || row >= m_run.entries().size())
        return;
    const std::optional<int> copies = parseRunCopies(txtCopie->text());
    if (!copies) {
        platform().message(this, MessageKind::Warning, runCopiesMessage());
        txtCopie->setFocus();
        txtCopie->selectAll();
        return;
    }
    m_run.setCopies(row, *copies);
    showRun(row);
}

void LabelRunWindow::moveClick(int step)
{
    const int row = grdSerie->currentRow();
    if (m_run.move(row, step))
        showRun(row + step);
}

void LabelRunWindow::btnTogliClick()
{
    const int row = grdSerie->currentRow();
    m_run.remove(row);
    showRun(row);
}

void LabelRunWindow::btnSvuotaClick()
{
    if (m_run.isEmpty())
        return;
    if (platform().message(this, MessageKind::Confirmation,
                           QStringLiteral("Togliere tutte le etichette dalla serie di stampa?"))
        != MessageAnswer::Yes)
        return;
    m_run.clear();
    showRun();
}

void LabelRunWindow::btnAnteprimaClick()
{
    openRunDocument(this, m_kind, DocumentAction::Preview);
}

void LabelRunWindow::btnStampaClick()
{
    openRunDocument(this, m_kind, DocumentAction::Print);
    // A print from a start label changes the remembered stock: the count follows.
    showRun(grdSerie->currentRow());
}

void openLabelRun(QWidget* owner, const LabelKind& kind)
{
    LabelRunWindow window(kind, owner);
    platform().execDialog(window);
}

} // namespace vinarca
