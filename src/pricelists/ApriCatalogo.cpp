#include "ApriCatalogo.h"

#include "Guida.h"
#include "Palette.h"
#include "Platform.h"
#include "PictureBox.h"
#include "PictureButton.h"
#include "PriceListFiles.h"
#include "ShortString.h"

#include <QCloseEvent>
#include <QLabel>
#include <QListWidget>
#include <QShowEvent>

using namespace vinarca;

TfrmApriCatalogo* frmApriCatalogo = nullptr;

TfrmApriCatalogo::TfrmApriCatalogo(QWidget* parent) : GradientWindow(palette::SteelBlue, QSize(995, 692), parent)
{
    setObjectName(QStringLiteral("frmApriCatalogo"));
    setWindowTitle(QStringLiteral(" Vinarca - Apertura listino prezzi"));
    QWidget* panContainer = panel();
    auto* shpContainer = new ShapeRect(panContainer, QStringLiteral("shpContainer"), panContainer->rect(),
                                       QColor(0xF4, 0xF8, 0xFC), palette::PanelOutline, 6);
    shpContainer->lower();

    icoIstruzioni =
        makePicture(panContainer, "icoIstruzioni", QStringLiteral(":/pricelists/istruzioni_apri"), QRect(67, 30, 0, 0));

    btnElimina = new PictureButton(QStringLiteral(":/pricelists/cestino"), panContainer);
    btnElimina->setObjectName(QStringLiteral("btnElimina"));
    btnElimina->move(34, 180);

    lstFiles = new QListWidget(panContainer);
    lstFiles->setObjectName(QStringLiteral("lstFiles"));
    lstFiles->setGeometry(34, 232, 926, 298);
    lstFiles->setSelectionMode(QAbstractItemView::SingleSelection);
    lstFiles->setSortingEnabled(true);

    lblCreati = makeLabel(panContainer, QStringLiteral("lblCreati"), QStringLiteral("Sono stati creati 0 listini prezzi."),
                          QRect(34, 538, 926, 24), QStringLiteral("Verdana"), 12, false, QColor(0x39, 0x6B, 0x95));

    btnAnnulla = new PictureButton(QStringLiteral(":/pricelists/annulla"), panContainer);
    btnAnnulla->setObjectName(QStringLiteral("btnAnnulla"));
    btnAnnulla->move(34, 600);
    btnApri = new PictureButton(QStringLiteral(":/pricelists/apri_archivio"), panContainer);
    btnApri->setObjectName(QStringLiteral("btnApri"));
    btnApri->move(740, 600);
    imgGuida = new PictureButton(QStringLiteral(":/pricelists/guida_file"), panContainer);
    imgGuida->setObjectName(QStringLiteral("imgGuida"));
    imgGuida->move(437, 602);

    lblMemory = new QLabel(panContainer);
    lblMemory->setObjectName(QStringLiteral("lblMemory"));
    lblMemory->hide();
    lblFile = new QLabel(panContainer);
    lblFile->setObjectName(QStringLiteral("lblFile"));
    lblFile->hide();

    connect(btnApri, &QAbstractButton::clicked, this, &TfrmApriCatalogo::btnApriClick);
    connect(btnElimina, &QAbstractButton::clicked, this, &TfrmApriCatalogo::btnEliminaClick);
    connect(btnAnnulla, &QAbstractButton::clicked, this, &QWidget::close);
    connect(imgGuida, &QAbstractButton::clicked, this, [this] { showHelp(this, HelpTopic::PriceLists); });
}

void TfrmApriCatalogo::fillList()
{
    lstFiles->clear();
    const QFont entryFont(QStringLiteral("Courier New"), 14);
    for (const QString& shown : ListPriceListFiles()) {
        auto* item = new QListWidgetItem(shown);
        item->setFont(entryFont);
        item->setForeground(Qt::black);
        lstFiles->addItem(item);
    }
    lblCreati->setText(QStringLiteral("Sono stati creati %1 listini prezzi.").arg(lstFiles->count()));
}

bool TfrmApriCatalogo::hasSelection(const QString& noSelectionWarning)
{
    if (lstFiles->count() == 0) {
        platform().message(this, MessageKind::Warning,
                           QStringLiteral("Attenzione: l'elenco non contiene nessun listino prezzi."));
        return false;
    }
    if (!lstFiles->currentItem() || !lstFiles->currentItem()->isSelected()) {
        platform().message(this, MessageKind::Warning, noSelectionWarning);
        return false;
    }
    return true;
}

QString TfrmApriCatalogo::selectedTitle() const
{
    const QListWidgetItem* item = lstFiles->currentItem();
    return item ? PriceListTitle(item->text()) : QString();
}

QString TfrmApriCatalogo::selectedPath() const
{
    // The entry is the file's own name as listed: it is used untrimmed, so a
    // name with blanks at its ends never leads to a different file.
    const QListWidgetItem* item = lstFiles->currentItem();
    return item ? ProgramFolder() + item->text() : QString();
}

void TfrmApriCatalogo::btnApriClick()
{
    if (!hasSelection(QStringLiteral("Attenzione: selezionare il listino prezzi dall'elenco prima di premere il "
                                     "pulsante Apri archivio.")))
        return;
    lblFile->setText(selectedPath());
    lblMemory->setText(QStringLiteral("listino"));
    close();
}

void TfrmApriCatalogo::btnEliminaClick()
{
    if (!hasSelection(QStringLiteral("Attenzione: selezionare dall'elenco il listino prezzi da eliminare prima di "
                                     "premere il pulsante del cestino.")))
        return;
    const MessageAnswer answer = platform().message(
        this, MessageKind::Confirmation,
        QStringLiteral("Si sta per eliminare il listino prezzi selezionato. Si ricorda che il file eliminato non potrà "
                       "essere recuperato.\r\n\r\nSi conferma l'eliminazione dell'archivio?"));
    if (answer == MessageAnswer::No)
        return;
    // Only the list file goes: its photos stay in their folder.
    lblFile->setText(selectedPath());
    if (DeletePriceListFile(lblFile->text()))
        platform().message(this, MessageKind::Information,
                           QStringLiteral("Il listino prezzi è stato eliminato con successo."));
    else
        platform().message(this, MessageKind::Warning,
                           QStringLiteral("Attenzione: il sistema non permette di eliminare il listino prezzi "
                                          "selezionato.\r\n\r\nAccertarsi di possedere i privilegi di scrittura nella "
                                          "cartella di installazione del programma."));
    lblMemory->setText(QStringLiteral("avvio"));
    fillList();
}

TfrmApriCatalogo::Route TfrmApriCatalogo::routeOf(const QString& marker)
{
    return trimControl(marker) == QLatin1String("listino") ? Route::PriceList : Route::MainMenu;
}

void TfrmApriCatalogo::showEvent(QShowEvent* event)
{
    GradientWindow::showEvent(event);
    if (event->spontaneous())
        return;
    lblMemory->setText(QStringLiteral("avvio"));
    fillList();
}

void TfrmApriCatalogo::closeEvent(QCloseEvent* event)
{
    emit closed(routeOf(lblMemory->text()));
    event->accept();
}
