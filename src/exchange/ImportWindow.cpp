#include "ImportWindow.h"

#include "Guida.h"
#include "Platform.h"
#include "Shapes.h"
#include "StatusHints.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>

namespace vinarca {

namespace {
constexpr QSize kImportWindowSize(862, 600);
const QColor kImportGrey(0xEE, 0xED, 0xED);
const QColor kImportSlateBlue(0x6A, 0x5A, 0xCD);

const QString kFailed = QStringLiteral("Attenzione: il sistema non permette di importare i dati.\n\r\n\r"
                                       "Il catalogo è rimasto com'era prima dell'importazione.");

QLabel* caption(QWidget* parent, const char* name, const QString& text, const QRect& geometry)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(geometry);
    return label;
}

// A progress window that appears only for work longer than half a second;
// its Annulla stops the work.
class ProgressWindow
{
public:
    ProgressWindow(QWidget* parent, const QString& text)
        : m_dialog(text, QStringLiteral("Annulla"), 0, 1000, parent)
    {
        m_dialog.setObjectName(QStringLiteral("frmAvanzamento"));
        m_dialog.setWindowModality(Qt::WindowModal);
        m_dialog.setMinimumDuration(500);
        m_dialog.setAutoClose(false);
        m_dialog.setAutoReset(false);
    }
    bool step(qint64 done, qint64 total)
    {
        m_dialog.setValue(total > 0 ? int(done * 1000 / total) : 0);
        QCoreApplication::processEvents();
        return !m_dialog.wasCanceled();
    }
    ImportProgress callback()
    {
        return [this](qint64 done, qint64 total) { return step(done, total); };
    }

private:
    QProgressDialog m_dialog;
};
} // namespace

ImportWindow::ImportWindow(const RecordKind& kind, QWidget* owner)
    : QDialog(owner, fixedWindowFlags()), m_kind(kind), m_choices(importChoices(kind))
{
    setObjectName(QString(kind.exporting.windowName).replace(QLatin1String("Exp"), QLatin1String("Imp")));
    setWindowTitle(QStringLiteral(" Importa vini da un foglio di calcolo"));
    setWindowFill(this, kImportGrey);

    caption(this, "lblFile", QStringLiteral("File da importare:"), QRect(20, 16, 130, 24));
    txtFile = new QLineEdit(this);
    txtFile->setObjectName(QStringLiteral("txtFile"));
    txtFile->setReadOnly(true);
    txtFile->setGeometry(150, 16, 560, 24);
    cmdSfoglia = new QPushButton(QStringLiteral("&Sfoglia..."), this);
    cmdSfoglia->setObjectName(QStringLiteral("cmdSfoglia"));
    cmdSfoglia->setGeometry(722, 14, 120, 28);

    caption(this, "lblCodifica", QStringLiteral("Codifica:"), QRect(20, 50, 130, 24));
    cboCodifica = new QComboBox(this);
    cboCodifica->setObjectName(QStringLiteral("cboCodifica"));
    cboCodifica->addItems({QStringLiteral("UTF-8"), QStringLiteral("Windows-1252 (ANSI)")});
    cboCodifica->setGeometry(150, 50, 200, 24);
    caption(this, "lblSeparatore", QStringLiteral("Separatore:"), QRect(380, 50, 100, 24));
    cboSeparatore = new QComboBox(this);
    cboSeparatore->setObjectName(QStringLiteral("cboSeparatore"));
    cboSeparatore->addItems({QStringLiteral("Punto e virgola"), QStringLiteral("Virgola"), QStringLiteral("Tabulazione")});
    cboSeparatore->setGeometry(480, 50, 200, 24);

    grdAnteprima = new QTableWidget(this);
    grdAnteprima->setObjectName(QStringLiteral("grdAnteprima"));
    grdAnteprima->setGeometry(20, 84, 821, 220);
    grdAnteprima->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdAnteprima->setSelectionBehavior(QAbstractItemView::SelectColumns);
    grdAnteprima->setSelectionMode(QAbstractItemView::SingleSelection);
    grdAnteprima->verticalHeader()->setDefaultSectionSize(21);

    caption(this, "lblColonna", QStringLiteral("Colonna:"), QRect(20, 314, 130, 24));
    cboColonna = new QComboBox(this);
    cboColonna->setObjectName(QStringLiteral("cboColonna"));
    cboColonna->setGeometry(150, 314, 260, 24);
    caption(this, "lblCampo", QStringLiteral("diventa il campo:"), QRect(420, 314, 120, 24));
    cboCampo = new QComboBox(this);
    cboCampo->setObjectName(QStringLiteral("cboCampo"));
    for (const auto& [field, words] : m_choices)
        cboCampo->addItem(words, field);
    cboCampo->setGeometry(540, 314, 300, 24);

    caption(this, "lblRisultati", QStringLiteral("Controllo delle righe:"), QRect(20, 346, 400, 20));
    lstRisultati = new QListWidget(this);
    lstRisultati->setObjectName(QStringLiteral("lstRisultati"));
    lstRisultati->setGeometry(20, 368, 410, 140);
    lstRisultati->setWordWrap(true);
    caption(this, "lblDoppioni", QStringLiteral("Vini già in archivio:"), QRect(440, 346, 400, 20));
    lstDoppioni = new QListWidget(this);
    lstDoppioni->setObjectName(QStringLiteral("lstDoppioni"));
    lstDoppioni->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstDoppioni->setGeometry(440, 368, 400, 110);
    cboDoppione = new QComboBox(this);
    cboDoppione->setObjectName(QStringLiteral("cboDoppione"));
    cboDoppione->addItems({QStringLiteral("Salta"), QStringLiteral("Aggiorna la scheda in archivio"),
                           QStringLiteral("Aggiungi comunque")});
    cboDoppione->setGeometry(440, 484, 400, 24);

    int x = 20;
    const auto button = [this, &x](const char* name, const QString& text, int width) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(x, 520, width, 30);
        x += width + 10;
        return b;
    };
    cmdVerifica = button("cmdVerifica", QStringLiteral("&Verifica"), 120);
    cmdImporta = button("cmdImporta", QStringLiteral("&Importa"), 120);
    cmdAnnullaImportazione = button("cmdAnnullaImportazione", QStringLiteral("&Annulla importazione"), 200);
    x = 582;
    cmdGuida = button("cmdGuida", QStringLiteral("&Guida"), 120);
    cmdEsci = button("cmdEsci", QStringLiteral("&Esci"), 120);

    panInfo = makeLabel(this, QStringLiteral("panInfo"), QStringLiteral("Importazione di un elenco di vini nel catalogo."),
                        QRect(0, kImportWindowSize.height() - 34, kImportWindowSize.width(), 34), QStringLiteral("Tahoma"),
                        12, false, Qt::white);
    panInfo->setAutoFillBackground(true);
    QPalette p = panInfo->palette();
    p.setColor(QPalette::Window, kImportSlateBlue);
    panInfo->setPalette(p);
    panInfo->setIndent(10);

    auto* hints = new StatusHints(panInfo, this);
    hints->addButton(cmdSfoglia, QStringLiteral("Scegli il file da importare: CSV o il file esportato da Vinarca."));
    hints->addButton(cboCodifica, QStringLiteral("La codifica dei caratteri del file CSV."));
    hints->addButton(cboSeparatore, QStringLiteral("Il carattere che separa le colonne del file CSV."));
    hints->addButton(cboCampo, QStringLiteral("Il campo della scheda che riceve la colonna scelta."));
    hints->addButton(cboDoppione, QStringLiteral("Che cosa fare dei vini scelti, già presenti in archivio."));
    hints->addButton(cmdVerifica, QStringLiteral("Controlla tutte le righe senza scrivere nulla in archivio."));
    hints->addButton(cmdImporta, QStringLiteral("Importa le righe nel catalogo."));
    hints->addButton(cmdAnnullaImportazione, QStringLiteral("Riporta il catalogo com'era prima dell'ultima importazione."));
    hints->addButton(cmdGuida, QStringLiteral("Visualizza la pagina della guida sensibile al contesto."));
    hints->addButton(cmdEsci, QStringLiteral("Esci da questo ambiente di lavoro."));
    hints->addBackground(this);
    hints->addBackground(panInfo);

    connect(cmdSfoglia, &QPushButton::clicked, this, &ImportWindow::cmdSfogliaClick);
    connect(cboCodifica, &QComboBox::activated, this, [this](int index) {
        m_dialect.encoding = index == 0 ? TextEncoding::Utf8 : TextEncoding::Windows1252;
        reload();
    });
    connect(cboSeparatore, &QComboBox::activated, this, [this](int index) {
        m_dialect.delimiter = QLatin1Char(index == 0 ? ';' : index == 1 ? ',' : '\t');
        reload();
    });
    connect(cboColonna, &QComboBox::currentIndexChanged, this, &ImportWindow::showColumn);
    connect(grdAnteprima, &QTableWidget::currentCellChanged, this, [this](int, int column) {
        if (column >= 0)
            cboColonna->setCurrentIndex(column);
    });
    connect(cboCampo, &QComboBox::activated, this, &ImportWindow::chooseField);
    connect(cboDoppione, &QComboBox::activated, this, &ImportWindow::chooseDuplicates);
    connect(cmdVerifica, &QPushButton::clicked, this, &ImportWindow::cmdVerificaClick);
    connect(cmdImporta, &QPushButton::clicked, this, &ImportWindow::cmdImportaClick);
    connect(cmdAnnullaImportazione, &QPushButton::clicked, this, &ImportWindow::cmdAnnullaImportazioneClick);
    connect(cmdGuida, &QPushButton::clicked, this, [this] { showHelp(this, m_kind.exporting.help); });
    connect(cmdEsci, &QPushButton::clicked, this, &QDialog::reject);

    const QList<QWidget*> order{cmdSfoglia,   cboCodifica, cboSeparatore, grdAnteprima, cboColonna,
                                cboCampo,     lstRisultati, lstDoppioni, cboDoppione,  cmdVerifica,
                                cmdImporta,   cmdAnnullaImportazione, cmdGuida, cmdEsci};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));
    reload();
    fixAndCentre(this, kImportWindowSize);
}

ImportWindow::~ImportWindow() = default;

void ImportWindow::cmdSfogliaClick()
{
    const QString path = platform().openFileName(
        this, {QStringLiteral("Importa vini"),
               {{QStringLiteral("Elenco di vini (*.csv *.txt *.xls)"), QStringLiteral("*.csv;*.txt;*.xls")},
                {QStringLiteral("Tutti i file (*.*)"), QStringLiteral("*")}}});
    if (!path.isEmpty())
        openFile(path);
}

void ImportWindow::openFile(const QString& path)
{
    m_path = path;
    txtFile->setText(QDir::toNativeSeparators(path));
    QFile file(path);
    m_dialect = file.open(QIODevice::ReadOnly) ? detectCsvDialect(file.read(64 * 1024)) : CsvDialect{};
    cboCodifica->setCurrentIndex(m_dialect.encoding == TextEncoding::Utf8 ? 0 : 1);
    cboSeparatore->setCurrentIndex(m_dialect.delimiter == QLatin1Char(';') ? 0 : m_dialect.delimiter == QLatin1Char(',') ? 1 : 2);
    reload();
}

void ImportWindow::reload()
{
    forgetPlan();
    m_headers.clear();
    QList<QStringList> rows;
    const bool exportFile = !m_path.isEmpty() && isExportFile(m_path);
    cboCodifica->setEnabled(!m_path.isEmpty() && !exportFile);
    cboSeparatore->setEnabled(!m_path.isEmpty() && !exportFile);
    if (!m_path.isEmpty()) {
        const auto table = openTable(m_path, m_dialect);
        table->next(m_headers);
        QStringList row;
        while (rows.size() < previewRows() && table->next(row))
            rows << row;
    }
    m_fields = matchColumns(m_kind, m_headers, loadRememberedColumns(m_kind));
    grdAnteprima->clear();
    grdAnteprima->setColumnCount(int(m_headers.size()));
    grdAnteprima->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < rows.at(r).size() && c < m_headers.size(); ++c)
            grdAnteprima->setItem(r, c, new QTableWidgetItem(rows.at(r).at(c)));
    }
    {
        const QSignalBlocker blocker(cboColonna);
        cboColonna->clear();
        for (int c = 0; c < m_headers.size(); ++c)
            cboColonna->addItem(m_headers.at(c).isEmpty() ? QStringLiteral("Colonna %1").arg(c + 1) : m_headers.at(c));
    }
    refreshHeaders();
    showColumn(cboColonna->currentIndex());
    const bool open = !m_headers.isEmpty();
    for (QWidget* w : {static_cast<QWidget*>(cboColonna), static_cast<QWidget*>(cboCampo),
                       static_cast<QWidget*>(cmdVerifica), static_cast<QWidget*>(cmdImporta)})
        w->setEnabled(open);
}

void ImportWindow::refreshHeaders()
{
    QStringList labels;
    for (int c = 0; c < m_headers.size(); ++c) {
        QString field = m_choices.front().second;
        for (const auto& [name, words] : m_choices) {
            if (name == m_fields.at(c))
                field = words;
        }
        labels << m_headers.at(c) + QStringLiteral("\n→ ") + field;
    }
    grdAnteprima->setHorizontalHeaderLabels(labels);
}

void ImportWindow::showColumn(int column)
{
    if (column < 0 || column >= m_fields.size())
        return;
    const QSignalBlocker blocker(cboCampo);
    cboCampo->setCurrentIndex(std::max(0, cboCampo->findData(m_fields.at(column))));
}

void ImportWindow::chooseField(int choice)
{
    const int column = cboColonna->currentIndex();
    if (column < 0 || column >= m_fields.size())
        return;
    const QString field = cboCampo->itemData(choice).toString();
    // A field takes one column: the column that had it gives it up.
    if (!field.isEmpty()) {
        for (QString& other : m_fields) {
            if (other == field)
                other.clear();
        }
    }
    m_fields[column] = field;
    refreshHeaders();
    forgetPlan();
}

void ImportWindow::chooseDuplicates(int choice)
{
    if (!m_plan)
        return;
    QList<QListWidgetItem*> chosen = lstDoppioni->selectedItems();
    if (chosen.isEmpty()) {
        for (int i = 0; i < lstDoppioni->count(); ++i)
            chosen << lstDoppioni->item(i);
    }
    for (QListWidgetItem* item : chosen) {
        DuplicateRow& duplicate = m_plan->duplicates.at(std::size_t(lstDoppioni->row(item)));
        duplicate.choice = DuplicateChoice(choice);
        item->setText(QStringLiteral("Riga %1: %2 — %3").arg(duplicate.line).arg(duplicate.description, cboDoppione->itemText(choice)));
    }
}

void ImportWindow::forgetPlan()
{
    m_plan.reset();
    lstRisultati->clear();
    lstDoppioni->clear();
    cboDoppione->setEnabled(false);
}

bool ImportWindow::runCheck()
{
    forgetPlan();
    auto table = openTable(m_path, m_dialect);
    QStringList headers;
    table->next(headers);
    auto plan = std::make_unique<ImportPlan>();
    ProgressWindow progress(this, QStringLiteral("Controllo delle righe in corso..."));
    const CheckResult result =
        checkImport(m_kind, *table, m_fields, QFileInfo(m_path).absolutePath(), *plan, progress.callback());
    if (result == CheckResult::Cancelled)
        return false;
    if (result == CheckResult::Failed) {
        platform().message(this, MessageKind::Error, QStringLiteral("Attenzione: il file non può essere letto."));
        return false;
    }
    m_plan = std::move(plan);
    lstRisultati->addItem(QStringLiteral("Righe da importare: %1; righe saltate: %2; vini già in archivio: %3.")
                              .arg(m_plan->rowsStaged)
                              .arg(m_plan->rowsSkipped)
                              .arg(m_plan->duplicates.size()));
    for (const ImportNote& note : m_plan->notes)
        lstRisultati->addItem(noteText(note));
    for (const DuplicateRow& duplicate : m_plan->duplicates)
        lstDoppioni->addItem(QStringLiteral("Riga %1: %2 — %3").arg(duplicate.line).arg(duplicate.description, cboDoppione->itemText(0)));
    cboDoppione->setEnabled(!m_plan->duplicates.empty());
    return true;
}

void ImportWindow::cmdVerificaClick()
{
    if (!m_path.isEmpty())
        runCheck();
}

void ImportWindow::cmdImportaClick()
{
    if (m_path.isEmpty() || (!m_plan && !runCheck()))
        return;
    qint64 toWrite = m_plan->rowsStaged;
    for (const DuplicateRow& duplicate : m_plan->duplicates) {
        if (duplicate.choice == DuplicateChoice::Skip)
            --toWrite;
    }
    if (toWrite <= 0) {
        platform().message(this, MessageKind::Information, QStringLiteral("Non ci sono righe da importare."));
        return;
    }
    const MessageAnswer go = platform().message(
        this, MessageKind::Confirmation,
        QStringLiteral("Schede da importare nel catalogo: %1.\r\n\r\n"
                       "L'importazione si potrà annullare finché non si salva un'altra scheda. Si vuole importare adesso?")
            .arg(toWrite));
    if (go == MessageAnswer::No)
        return;
    saveRememberedColumns(m_kind, m_headers, m_fields);
    ProgressWindow progress(this, QStringLiteral("Importazione in corso..."));
    const ApplyOutcome outcome = applyImport(m_kind, *m_plan, progress.callback());
    switch (outcome.result) {
    case ApplyResult::Done:
        forgetPlan();
        platform().message(this, MessageKind::Information,
                           QStringLiteral("Importazione completata.\r\n\r\nSchede aggiunte: %1; schede aggiornate: %2.")
                               .arg(outcome.added)
                               .arg(outcome.updated));
        break;
    case ApplyResult::Cancelled:
        platform().message(this, MessageKind::Information,
                           QStringLiteral("Importazione annullata: il catalogo è rimasto com'era."));
        break;
    case ApplyResult::Failed:
        platform().message(this, MessageKind::Error, kFailed);
        break;
    }
}

void ImportWindow::cmdAnnullaImportazioneClick()
{
    if (!canUndoImport(m_kind)) {
        platform().message(this, MessageKind::Warning,
                           QStringLiteral("Attenzione: non c'è un'importazione da annullare.\r\n\r\n"
                                          "L'ultima importazione si può annullare solo finché nessuna scheda "
                                          "del catalogo è stata salvata dopo di essa."));
        return;
    }
    if (platform().message(this, MessageKind::Confirmation,
                           QStringLiteral("Si vuole annullare l'ultima importazione?\r\n\r\n"
                                          "Il catalogo tornerà com'era prima dell'importazione."))
        == MessageAnswer::No)
        return;
    switch (undoImport(m_kind)) {
    case UndoResult::Done:
        platform().message(this, MessageKind::Information, QStringLiteral("L'ultima importazione è stata annullata."));
        break;
    case UndoResult::Changed:
    case UndoResult::Nothing:
        platform().message(this, MessageKind::Warning,
                           QStringLiteral("Attenzione: l'importazione non si può più annullare, perché il catalogo "
                                          "è stato modificato dopo di essa."));
        break;
    case UndoResult::Failed:
        platform().message(this, MessageKind::Error,
                           QStringLiteral("Attenzione: il sistema non permette di annullare l'importazione."));
        break;
    }
}

} // namespace vinarca
