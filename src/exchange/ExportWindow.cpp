#include "ExportWindow.h"

#include "Guida.h"
#include "ImportWindow.h"
#include "OpenURL.h"
#include "Palette.h"
#include "PictureBox.h"
#include "PictureButton.h"
#include "Platform.h"
#include "ProgramFolder.h"
#include "Shapes.h"
#include "StatusHints.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

#include <algorithm>

namespace vinarca {

namespace {
constexpr QSize kExportWindowSize(862, 560);
const QColor kWindowGrey(0xEE, 0xED, 0xED);
const QColor kSlateBlue(0x6A, 0x5A, 0xCD);
} // namespace

QString exportFailureMessage()
{
    return QStringLiteral("Attenzione: il sistema non permette di esportare i dati.\n\r\n\r"
                          "Accertarsi che il file di Excel non sia già aperto.");
}

ExportGridModel::ExportGridModel(const RecordKind& kind, QObject* parent)
    : QAbstractTableModel(parent), m_kind(kind), m_columns(kind.exportColumns())
{
}

void ExportGridModel::load()
{
    beginResetModel();
    m_sheet = std::make_unique<ExportSheet>(m_kind);
    endResetModel();
}

int ExportGridModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return m_sheet ? m_sheet->rowCount() : kEmptyExportRows;
}

int ExportGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size()) + 1;
}

QVariant ExportGridModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    if (!m_sheet)
        return QString();
    if (index.column() == 0)
        return m_sheet->holdsRecords() ? QString::number(index.row() + 1) : QString();
    return m_sheet->cell(index.row(), index.column() - 1);
}

bool ExportGridModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !m_sheet || !(flags(index) & Qt::ItemIsEditable))
        return false;
    m_sheet->setCell(index.row(), index.column() - 1, value.toString());
    emit dataChanged(index, index);
    return true;
}

QVariant ExportGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == 0 ? QStringLiteral("N.") : m_columns.value(section - 1).title();
}

Qt::ItemFlags ExportGridModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() > 0 && m_columns.at(index.column() - 1).gridEditable)
        f |= Qt::ItemIsEditable;
    return f;
}

ExportWindow::ExportWindow(const RecordKind& kind, QWidget* owner)
    : QDialog(owner, fixedWindowFlags()), m_kind(kind), m_model(new ExportGridModel(kind, this))
{
    setObjectName(kind.exporting.windowName);
    setWindowTitle(kind.exporting.caption);
    setWindowFill(this, kWindowGrey);

    auto* band = new ShapeRect(this, QStringLiteral("shpLogo"), QRect(0, 0, kExportWindowSize.width(), 84), Qt::white);
    imgLogo = makePicture(this, "imgLogo", QStringLiteral(":/exchange/logo_export"), QRect(20, 10, 0, 0));
    icoHand = makePicture(this, "icoHand", QStringLiteral(":/exchange/mano"), QRect(640, 26, 0, 0));
    cmdEsporta = new PictureButton(QStringLiteral(":/exchange/esporta"), this);
    cmdGuida = new PictureButton(QStringLiteral(":/exchange/guida"), this);
    cmdEsci = new PictureButton(QStringLiteral(":/exchange/esci"), this);
    int x = 700;
    for (auto [button, name] : {std::pair{cmdEsporta, "cmdEsporta"}, std::pair{cmdGuida, "cmdGuida"},
                                std::pair{cmdEsci, "cmdEsci"}}) {
        button->setObjectName(QLatin1String(name));
        button->setGeometry(QRect(QPoint(x, 18), button->sizeHint()));
        x += 52;
    }

    grdRecords = new QTableView(this);
    grdRecords->setObjectName(QStringLiteral("grdRecords"));
    grdRecords->setGeometry(20, 100, 821, 409);
    grdRecords->setModel(m_model);
    grdRecords->setAlternatingRowColors(true);
    grdRecords->verticalHeader()->hide();
    grdRecords->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grdRecords->verticalHeader()->setDefaultSectionSize(21);
    grdRecords->setColumnWidth(0, 60);
    const QList<FieldFacts> columns = kind.exportColumns();
    for (int c = 0; c < columns.size(); ++c)
        grdRecords->setColumnWidth(c + 1, columns.at(c).gridWidth);

    panInfo = makeLabel(this, QStringLiteral("panInfo"), QStringLiteral("Esportazione archivio in Microsoft Excel."),
                        QRect(0, kExportWindowSize.height() - 34, kExportWindowSize.width(), 34), QStringLiteral("Tahoma"), 12,
                        false, Qt::white);
    panInfo->setAutoFillBackground(true);
    QPalette p = panInfo->palette();
    p.setColor(QPalette::Window, kSlateBlue);
    panInfo->setPalette(p);
    panInfo->setIndent(10);

    auto* hints = new StatusHints(panInfo, this);
    hints->addButton(cmdEsporta, QStringLiteral("Esporta l'archivio in formato Microsoft Excel."));
    hints->addButton(cmdGuida, QStringLiteral("Visualizza la pagina della guida sensibile al contesto."));
    hints->addButton(cmdEsci, QStringLiteral("Esci da questo ambiente di lavoro."));
    for (QWidget* w : {static_cast<QWidget*>(this), static_cast<QWidget*>(band), static_cast<QWidget*>(panInfo),
                       static_cast<QWidget*>(grdRecords), grdRecords->viewport(), static_cast<QWidget*>(imgLogo),
                       static_cast<QWidget*>(icoHand)})
        hints->addBackground(w);

    m_hints = hints;
    connect(cmdEsporta, &QAbstractButton::clicked, this, &ExportWindow::cmdEsportaClick);
    connect(cmdGuida, &QAbstractButton::clicked, this, [this] { showHelp(this, m_kind.exporting.help); });
    connect(cmdEsci, &QAbstractButton::clicked, this, &QDialog::reject);
    fixAndCentre(this, kExportWindowSize);
}

void ExportWindow::allowImport()
{
    // Beside Esporta: the archive meets spreadsheets here, both ways.
    cmdImporta = new QPushButton(QStringLiteral("&Importa..."), this);
    cmdImporta->setObjectName(QStringLiteral("cmdImporta"));
    cmdImporta->setGeometry(QRect(540, 30, 90, 28));
    m_hints->addButton(cmdImporta, QStringLiteral("Importa nel catalogo un elenco di vini da un foglio di calcolo (CSV)."));
    setTabOrder(cmdImporta, cmdEsporta);
    connect(cmdImporta, &QPushButton::clicked, this, &ExportWindow::cmdImportaClick);
}

void ExportWindow::cmdImportaClick()
{
    ImportWindow window(m_kind, this);
    platform().execDialog(window);
    // The grid shows the archive as the import left it.
    FormShow();
}

void ExportWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_loaded)
        FormShow();
}

void ExportWindow::FormShow()
{
    m_loaded = true;
    m_model->load();
}

void ExportWindow::cmdEsportaClick()
{
    const MessageAnswer go = platform().message(
        this, MessageKind::Confirmation,
        QStringLiteral("L'esportazione dei dati in Excel può richiedere diversi minuti a seconda del numero di schede "
                       "presenti in archivio.\r\n\r\nSi vuole esportare i dati adesso?"));
    if (go == MessageAnswer::No)
        return;
    // Finish an edit still open in the grid, so what the user sees is what is written.
    grdRecords->setCurrentIndex(QModelIndex());
    if (!m_loaded)
        FormShow();
    if (!writeSpreadsheet(exportFilePath(m_kind), m_model->sheet())) {
        platform().plainMessage(this, exportFailureMessage());
        return;
    }
    const MessageAnswer open = platform().message(
        this, MessageKind::Confirmation,
        QStringLiteral("Le schede in archivio sono state esportate con successo.\r\n\r\nSi vuole aprire il file di Excel?"));
    if (open != MessageAnswer::No)
        TMisc::Open(QLatin1Char('"') + exportFilePath(m_kind) + QLatin1Char('"'));
}

} // namespace vinarca
