#include "LabelSearch.h"
#include "EditFlow.h"

#include "LabelEditor.h"
#include "LabelRun.h"
#include "LabelRunWindow.h"
#include "RecordListView.h"
#include "Palette.h"
#include "PictureBox.h"
#include "Platform.h"
#include "RecordArchive.h"
#include "ShortString.h"
#include "Shapes.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QListWidget>
#include <QShowEvent>
#include <QHash>
#include <QItemSelectionModel>

#include <algorithm>

namespace vinarca {

namespace {
struct LineFields
{
    int prodotto, imbottigliatore, lotto, prezzo, note;
};

const LineFields& lineFields()
{
    static const LineFields f = [] {
        const RecordLayout& layout = labelLayout();
        return LineFields{layout.indexOf(QStringLiteral("Prodotto")), layout.indexOf(QStringLiteral("Imbottigliatore")),
                          layout.indexOf(QStringLiteral("Lotto")), layout.indexOf(QStringLiteral("Prezzo")),
                          layout.indexOf(QStringLiteral("Note"))};
    }();
    return f;
}

QString field(const QByteArray& record, int index)
{
    return trimControl(labelLayout().decodeField(record, index));
}
} // namespace

QString LabelSearchLine(const QByteArray& record)
{
    const LineFields& f = lineFields();
    return listColumn(field(record, f.prodotto), 30) + QLatin1String("  ") + listColumn(field(record, f.imbottigliatore), 28)
        + QLatin1String("  Lotto: ") + listColumn(field(record, f.lotto), 20) + QStringLiteral("  Prezzo: € ")
        + listColumn(field(record, f.prezzo), 15) + QLatin1String("  Note: ") + field(record, f.note);
}

QStringList listLabelLines(const LabelKind& kind)
{
    const int prodotto = lineFields().prodotto;
    return listRecordLines(
        kind.record, [prodotto](const QByteArray& record) { return !field(record, prodotto).isEmpty(); },
        &LabelSearchLine);
}

QList<LabelRunEntry> listedLabels(const LabelKind& kind, const QStringList& lines, int copies)
{
    QHash<QString, qsizetype> wanted;
    for (qsizetype i = 0; i < lines.size(); ++i)
        wanted.insert(trimControl(lines.at(i)), i);
    QList<LabelRunEntry> entries(lines.size());
    RecordArchive archive(kind.record.archivePath(), *kind.record.layout, RecordArchive::Access::Read);
    QByteArray record;
    const int prodotto = lineFields().prodotto;
    while (archive.readNext(record)) {
        const qint64 position = archive.lastPosition();
        const QString product = field(record, prodotto);
        if (product.isEmpty())
            continue;
        const auto found = wanted.constFind(trimControl(LabelSearchLine(record)));
        if (found != wanted.cend())
            entries[found.value()] = {position, product, copies}; // the last equal record wins
    }
    entries.removeIf([](const LabelRunEntry& entry) { return entry.position == 0; });
    return entries;
}

LabelSearchWindow::LabelSearchWindow(const LabelKind& kind, QWidget* owner)
    : RecordListWindow(kind.record, &LabelSearchLine, kind.tag, QStringLiteral("Riepilogo etichette in archivio"), owner),
      m_labelKind(kind)
{
    setObjectName(kind.searchWindowName);
    setWindowTitle(QStringLiteral(" Trova schede in archivio"));
    panContainer = new QWidget(this);
    panContainer->setObjectName(QStringLiteral("panContainer"));
    panContainer->setGeometry(14, 15, 833, 529);
    imgLogo = makePicture(panContainer, "imgLogo", QStringLiteral(":/labels/trova_titolo"), QRect(8, 4, 817, 53));
    icoIstruzioni = makePicture(panContainer, "icoIstruzioni", QStringLiteral(":/labels/trova_istruzioni"),
                                QRect(95, 62, 642, 32));
    new ShapeRect(panContainer, QStringLiteral("shpLente"), QRect(16, 106, 64, 41), Qt::white);
    imgLente = makePicture(panContainer, "imgLente", QStringLiteral(":/labels/trova_lente"), QRect(16, 106, 64, 41));
    buildResultControls(panContainer,
                        {QRect(88, 112, 593, 30), QRect(689, 112, 128, 30), QRect(16, 156, 801, 273),
                         QRect(16, 434, 801, 24), QRect(16, 488, 150, 30), QRect(176, 490, 481, 26),
                         QRect(667, 488, 150, 30)},
                        QStringLiteral("Fare doppio clic su una voce in elenco per richiamare la scheda"));
    // Several labels may be marked for the run (Ctrl and Shift with the
    // pointer or the arrow keys); a double click still opens one.
    lstRecords->setSelectionMode(QAbstractItemView::ExtendedSelection);
    panContainer->resize(833, 573);
    makeLabel(panContainer, QStringLiteral("lblCopie"), QStringLiteral("Copie:"), QRect(16, 534, 64, 24),
              QStringLiteral("Verdana"), 10, true, palette::CaptionBlue);
    txtCopie = new QLineEdit(QStringLiteral("1"), panContainer);
    txtCopie->setObjectName(QStringLiteral("txtCopie"));
    txtCopie->setGeometry(80, 530, 86, 30);
    txtCopie->setMaxLength(6);
    txtCopie->setFont(QFont(QStringLiteral("Verdana"), 11, QFont::Bold));
    btnAggiungi = makeButton(panContainer, "btnAggiungi", QStringLiteral("Aggiungi alla serie"), QRect(176, 530, 200, 30));
    btnAggiungiTutte =
        makeButton(panContainer, "btnAggiungiTutte", QStringLiteral("Aggiungi tutte"), QRect(386, 530, 170, 30));
    btnSerie = makeButton(panContainer, "btnSerie", QStringLiteral("Serie di stampa..."), QRect(647, 530, 170, 30));
    txtCopie->setToolTip(QStringLiteral("Le copie di ciascuna etichetta aggiunta alla serie di stampa."));
    btnAggiungi->setToolTip(QStringLiteral("Aggiunge alla serie di stampa le etichette evidenziate in elenco."));
    btnAggiungiTutte->setToolTip(QStringLiteral("Aggiunge alla serie di stampa tutte le etichette in elenco."));
    btnSerie->setToolTip(QStringLiteral("Apre la serie di stampa: ordine, copie, anteprima e stampa."));
    connect(btnAggiungi, &QPushButton::clicked, this, &LabelSearchWindow::btnAggiungiClick);
    connect(btnAggiungiTutte, &QPushButton::clicked, this, &LabelSearchWindow::btnAggiungiTutteClick);
    connect(btnSerie, &QPushButton::clicked, this, [this] { openLabelRun(this, m_labelKind); });
    fixAndCentre(this, QSize(862, 604));
}

void LabelSearchWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void LabelSearchWindow::paintEvent(QPaintEvent*)
{
    paintGradient(this, palette::SteelBlue);
}

void LabelSearchWindow::FormShow()
{
    resetFind();
    QStringList lines;
    try {
        lines = listLabelLines(m_labelKind);
    } catch (const ArchiveError&) {
        // An archive that cannot be read is said so: a short list must not
        // pass for the whole archive.
        platform().plainMessage(this, accessFailureMessage());
    }
    showLines(lines);
}

void LabelSearchWindow::btnAggiungiClick()
{
    QStringList lines;
    const QModelIndexList marked = lstRecords->selectionModel()->selectedRows();
    QList<int> rows;
    for (const QModelIndex& index : marked)
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    for (int row : rows)
        lines << lstRecords->text(row);
    if (lines.isEmpty()) {
        platform().plainMessage(this, QStringLiteral("Evidenziare in elenco le etichette da aggiungere alla serie di "
                                                     "stampa."));
        return;
    }
    addToRun(lines);
}

void LabelSearchWindow::btnAggiungiTutteClick()
{
    if (lstRecords->count() == 0) {
        platform().plainMessage(this, QStringLiteral("Ricerca non applicabile: la lista non contiene nessuna voce."));
        return;
    }
    addToRun(lstRecords->lines().toStringList());
}

void LabelSearchWindow::addToRun(const QStringList& lines)
{
    const std::optional<int> copies = parseRunCopies(txtCopie->text());
    if (!copies) {
        platform().message(this, MessageKind::Warning, runCopiesMessage());
        txtCopie->setFocus();
        txtCopie->selectAll();
        return;
    }
    QList<LabelRunEntry> entries;
    try {
        entries = listedLabels(m_labelKind, lines, *copies);
    } catch (const ArchiveError&) {
        platform().plainMessage(this, accessFailureMessage());
        return;
    }
    LabelRun& run = labelRunOf(m_labelKind);
    for (const LabelRunEntry& entry : entries)
        run.add(entry.position, entry.product, entry.copies);
    platform().plainMessage(this, QStringLiteral("Etichette aggiunte alla serie di stampa: %1. La serie contiene ora "
                                                 "%2 etichette, %3 copie in tutto.")
                                      .arg(entries.size())
                                      .arg(run.entries().size())
                                      .arg(run.totalCopies()));
}

void openLabelSearch(LabelEditor& editor)
{
    const std::unique_ptr<LabelSearchWindow> window = editor.labelKind().windows().search(&editor);
    window->lblMemory->setText(editor.labelKind().tag);
    window->setLoader([&editor](const QByteArray& record, qint64 position) { editor.openRecord(record, position); });
    platform().execDialog(*window);
}

} // namespace vinarca
