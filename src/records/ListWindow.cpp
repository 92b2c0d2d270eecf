#include "ListWindow.h"

#include "FramedEdit.h"
#include "ListReport.h"
#include "Palette.h"
#include "Platform.h"
#include "RecordArchive.h"
#include "RecordListView.h"
#include "ShortString.h"
#include "Shapes.h"
#include "StatusHints.h"

#include <QLabel>
#include <QPushButton>

namespace vinarca {

RecordListWindow::RecordListWindow(const RecordKind& kind, RecordLine lineOf, QString tag, const QString& listTitle,
                                   QWidget* owner)
    : QDialog(owner, fixedWindowFlags()), m_kind(kind), m_lineOf(std::move(lineOf)), m_tag(std::move(tag)),
      // Each search keeps its own print settings ("riepilogo_verticali").
      m_printer([listTitle, document = QStringLiteral("riepilogo_") + m_tag](QWidget* window, const QStringList& lines) {
          printList(window, listTitle, lines, document);
      })
{
    lblMemory = new QLabel(this);
    lblMemory->setObjectName(QStringLiteral("lblMemory"));
    lblMemory->hide();
}

void RecordListWindow::buildResultControls(QWidget* panel, const ListWindowGeometry& geometry, const QString& hint)
{
    txtTrova = new FramedEdit(panel, QStringLiteral("txtTrova"), QStringLiteral("effTrova"), geometry.find);
    txtTrova->setFont(QFont(QStringLiteral("Verdana"), 12, QFont::Bold));
    btnTrova = makeButton(panel, "btnTrova", QStringLiteral("Trova"), geometry.findButton);
    lstRecords = new RecordListView(panel);
    lstRecords->setObjectName(QStringLiteral("lstRecords"));
    lstRecords->setGeometry(geometry.list);
    lstRecords->setFont(QFont(QStringLiteral("Courier New"), 12));
    lstRecords->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    lblRigo03 = makeLabel(panel, QStringLiteral("lblRigo03"), hint, geometry.hint, QStringLiteral("Verdana"), 11, true,
                          palette::Crimson);
    lblRigo03->setAlignment(Qt::AlignCenter);
    btnChiudi = makeButton(panel, "btnChiudi", QStringLiteral("Chiudi"), geometry.close);
    lblTrovate = makeLabel(panel, QStringLiteral("lblTrovate"), QStringLiteral("Il presente riepilogo contiene 0 schede"),
                           geometry.count, QStringLiteral("Verdana"), 12, true, palette::DarkCyan);
    lblTrovate->setAlignment(Qt::AlignCenter);
    btnStampa = makeButton(panel, "btnStampa", QStringLiteral("Stampa"), geometry.print);

    connect(btnTrova, &QPushButton::clicked, this, &RecordListWindow::btnTrovaClick);
    // Return in the find box moves to Trova; it does not start the find.
    connect(txtTrova, &FramedEdit::returnKey, btnTrova, [this] { btnTrova->setFocus(Qt::TabFocusReason); });
    connect(lstRecords, &QAbstractItemView::doubleClicked, this, &RecordListWindow::lstRecordsDblClick);
    connect(btnStampa, &QPushButton::clicked, this, &RecordListWindow::btnStampaClick);
    connect(btnChiudi, &QPushButton::clicked, this, &QDialog::reject);
}

void RecordListWindow::showLines(ListLines lines)
{
    const qsizetype count = lines.size();
    lstRecords->setLines(std::move(lines));
    lblTrovate->setText(QStringLiteral("Il presente riepilogo contiene %1 schede.").arg(count));
    resetFind();
    txtTrova->setFocus(Qt::OtherFocusReason);
}

void RecordListWindow::resetFind()
{
    m_lastFind.clear();
    txtTrova->clear();
}

void RecordListWindow::done(int result)
{
    lstRecords->clear();
    QDialog::done(result);
}

void RecordListWindow::btnTrovaClick()
{
    if (lstRecords->count() == 0) {
        platform().plainMessage(this, QStringLiteral("Ricerca non applicabile: la lista non contiene nessuna voce."));
        return;
    }
    if (lstRecords->currentRow() < 0)
        lstRecords->setCurrentRow(0);
    const ListLines& items = lstRecords->lines();
    const QString text = foldAsciiCase(txtTrova->text());
    const int found = findInList(
        items.size(), [&items](qsizetype i) { return items.at(i); }, lstRecords->currentRow(), text,
        text == m_lastFind);
    if (found >= 0)
        lstRecords->setCurrentRow(found);
    m_lastFind = text;
}

void RecordListWindow::lstRecordsDblClick()
{
    const int row = lstRecords->currentRow();
    if (row >= 0 && trimControl(lblMemory->text()) == m_tag && m_loader) {
        try {
            if (const auto found = findListedRecord(m_kind, m_lineOf, lstRecords->text(row)))
                m_loader(found->record, found->position);
        } catch (const ArchiveError&) {
            // The window simply closes.
        }
    }
    accept();
}

void RecordListWindow::btnStampaClick()
{
    if (m_printer)
        m_printer(this, lstRecords->lines().toStringList());
}

} // namespace vinarca
