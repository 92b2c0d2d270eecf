#include "CreaCatalogo.h"

#include "Guida.h"
#include "HighlightEdit.h"
#include "Palette.h"
#include "Platform.h"
#include "PictureBox.h"
#include "PictureButton.h"
#include "PriceListFiles.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QShowEvent>

using namespace vinarca;

TfrmCreaCatalogo* frmCreaCatalogo = nullptr;

namespace {
const QString kRefusedCharacters = QStringLiteral("\"*/:<>?|\\\u00B0\u00C7\u00D1\u00E7\u00F1");
}

TfrmCreaCatalogo::TfrmCreaCatalogo(QWidget* parent) : GradientWindow(palette::SteelBlue, QSize(995, 692), parent)
{
    setObjectName(QStringLiteral("frmCreaCatalogo"));
    setWindowTitle(QStringLiteral(" Vinarca - Creazione listino prezzi"));
    QWidget* panContainer = panel();
    auto* shpContainer = new ShapeRect(panContainer, QStringLiteral("shpContainer"), panContainer->rect(),
                                       QColor(0xF4, 0xF8, 0xFC), palette::PanelOutline, 6);
    shpContainer->lower();

    icoIstruzioni =
        makePicture(panContainer, "icoIstruzioni", QStringLiteral(":/pricelists/istruzioni_crea"), QRect(67, 60, 0, 0));

    txtFile = new HighlightEdit(panContainer);
    txtFile->setObjectName(QStringLiteral("txtFile"));
    txtFile->setGeometry(67, 300, 860, 40);
    QFont font(QStringLiteral("Verdana"), 16);
    font.setBold(true);
    txtFile->setFont(font);
    txtFile->setMaxLength(250);
    txtFile->setKeyFilter(&TfrmCreaCatalogo::txtFileKeyDown);

    btnApplica = new PictureButton(QStringLiteral(":/pricelists/applica"), panContainer);
    btnApplica->setObjectName(QStringLiteral("btnApplica"));
    btnApplica->move(687, 420);
    btnAnnulla = new PictureButton(QStringLiteral(":/pricelists/annulla"), panContainer);
    btnAnnulla->setObjectName(QStringLiteral("btnAnnulla"));
    btnAnnulla->move(67, 420);
    imgGuida = new PictureButton(QStringLiteral(":/pricelists/guida_file"), panContainer);
    imgGuida->setObjectName(QStringLiteral("imgGuida"));
    imgGuida->move(437, 600);

    lblFile = new QLabel(panContainer);
    lblFile->setObjectName(QStringLiteral("lblFile"));
    lblFile->hide();

    connect(btnApplica, &QAbstractButton::clicked, this, &TfrmCreaCatalogo::btnApplicaClick);
    connect(btnAnnulla, &QAbstractButton::clicked, this, &QWidget::close);
    connect(imgGuida, &QAbstractButton::clicked, this, [this] { showHelp(this, HelpTopic::PriceLists); });
}

bool TfrmCreaCatalogo::txtFileKeyDown(const QKeyEvent& event)
{
    const QString typed = event.text();
    for (QChar c : typed) {
        if (kRefusedCharacters.contains(c))
            return false;
    }
    return true;
}

void TfrmCreaCatalogo::btnApplicaClick()
{
    const QString name = txtFile->text().trimmed();
    // Pasted text escapes the typing filter: a name that would leave the
    // program folder or that no file can carry is refused before any file is
    // made from it.
    const NameProblem problem = priceListNameProblem(name);
    if (problem != NameProblem::None) {
        platform().message(this, MessageKind::Warning, nameProblemMessage(problem));
        txtFile->setFocus();
        return;
    }
    lblFile->setText(PriceListPath(name));
    switch (CreatePriceListFile(lblFile->text())) {
    case CreateOutcome::Exists:
        platform().message(this, MessageKind::Warning,
                           QStringLiteral("Attenzione: il nome del listino prezzi indicato è già stato utilizzato in "
                                          "precedenza.\r\n\r\nInserire un nome diverso oppure, se si desidera aprire "
                                          "un listino prezzi già creato, premere il pulsante Apri listino esistente."));
        return;
    case CreateOutcome::Failed:
        platform().message(this, MessageKind::Warning,
                           QStringLiteral("Attenzione: il sistema non permette di creare il file del nuovo listino "
                                          "prezzi.\r\n\r\nAccertarsi di possedere i privilegi di scrittura nella "
                                          "cartella di installazione del programma."));
        txtFile->setFocus();
        return;
    case CreateOutcome::Created:
        break;
    }
    platform().message(this, MessageKind::Information,
                       QStringLiteral("Il file di archivio relativo al nuovo listino prezzi è stato creato con "
                                      "successo.\r\n\r\nE' ora possibile visualizzarlo nell'elenco dei listini "
                                      "esistenti."));
    close();
}

void TfrmCreaCatalogo::showEvent(QShowEvent* event)
{
    GradientWindow::showEvent(event);
    if (event->spontaneous())
        return;
    txtFile->clear();
    txtFile->setFocus();
}

void TfrmCreaCatalogo::closeEvent(QCloseEvent* event)
{
    emit closed();
    event->accept();
}
