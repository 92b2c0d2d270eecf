#include "DocumentWindow.h"

#include "Artwork.h"
#include "Palette.h"
#include "PictureBox.h"
#include "Platform.h"
#include "ProgramFolder.h"
#include "ReportError.h"
#include "ReportLayout.h"
#include "ReportModel.h"
#include "ReportOutput.h"
#include "ReportPreview.h"
#include "Shapes.h"

#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSvgRenderer>

namespace vinarca {

namespace {

QImage standByPicture(const QString& path)
{
    if (path.isEmpty())
        return {};
    QSvgRenderer svg(path);
    QImage image(QSize(640, 480), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    svg.render(&painter);
    return image;
}

QLabel* instruction(QWidget* parent, const char* name, const QString& text, const QRect& geometry, int pointSize,
                    bool bold)
{
    QLabel* label = makeLabel(parent, QString::fromLatin1(name), text, geometry, QStringLiteral("Verdana"), pointSize,
                              bold, palette::CaptionBlue);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QLabel* icon(QWidget* parent, const char* name, const QString& artworkName, const QRect& geometry)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    const QImage picture = artwork(artworkName);
    if (!picture.isNull())
        label->setPixmap(QPixmap::fromImage(picture.scaled(geometry.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

DocumentWindowSpec documentSetup(DocumentAction action, const QString& artFolder)
{
    DocumentWindowSpec setup;
    setup.action = action;
    setup.howIcon = artFolder + QStringLiteral("/guida");
    if (action == DocumentAction::Print) {
        setup.how = QStringLiteral("Premere il pulsante Stampa per dare avvio alla stampa oppure premere Annulla per "
                                   "annullare l'operazione.");
        setup.button = QStringLiteral("Stampa");
        setup.icon = QStringLiteral(":/records/stampa_titolo");
    } else {
        setup.caption = QStringLiteral(" Anteprima di stampa");
        setup.heading = QStringLiteral("Anteprima di stampa");
        setup.button = QStringLiteral("Mostra anteprima");
        setup.icon = QStringLiteral(":/records/anteprima_titolo");
    }
    return setup;
}

DocumentWindow::DocumentWindow(DocumentWindowSpec setup, QImage picture, Fill fill, QWidget* parent)
    : QDialog(parent), m_setup(std::move(setup)), m_picture(std::move(picture)), m_fill(std::move(fill))
{
    applyProcessFormats();
    setObjectName(m_setup.objectName);
    setWindowTitle(m_setup.caption);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(364, 287);

    auto* shpSfondo = new ShapeRect(this, QStringLiteral("shpSfondo"), QRect(8, 8, 348, 230), Qt::white,
                                    palette::PanelOutline, 4);
    icon(shpSfondo, "imgIcona01", m_setup.icon, QRect(14, 12, 40, 40));
    instruction(shpSfondo, "imgIstruzioni01", m_setup.heading, QRect(64, 20, 270, 24), 12, true);
    instruction(shpSfondo, "imgIstruzioni02", m_setup.what, QRect(16, 60, 316, 54), 9, false);
    auto* separator = new ShapeRect(shpSfondo, QStringLiteral("shpSeparatore"), QRect(16, 122, 316, 3),
                                    palette::WindowBlue);
    separator->lower();
    icon(shpSfondo, "imgIcona02", m_setup.howIcon, QRect(14, 138, 40, 40));
    instruction(shpSfondo, "imgIstruzioni03", m_setup.how, QRect(64, 138, 268, 80), 9, false);

    btnAnnulla = makeButton(this, "btnAnnulla", QStringLiteral("Annulla"), QRect(8, 250, 145, 28), 9);
    btnStampa = makeButton(this, "btnStampa", m_setup.button, QRect(211, 250, 145, 28), 9);
    btnStampa->setDefault(true);

    imgLogo = new PictureBox(this);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setGeometry(8, 8, 64, 48);
    imgLogo->hide();
    imgTemp = new PictureBox(this);
    imgTemp->setObjectName(QStringLiteral("imgTemp"));
    imgTemp->setGeometry(80, 8, 64, 48);
    imgTemp->setImage(standByPicture(m_setup.standBy));
    imgTemp->hide();

    connect(btnAnnulla, &QPushButton::clicked, this, &DocumentWindow::btnAnnullaClick);
    connect(btnStampa, &QPushButton::clicked, this, &DocumentWindow::btnStampaClick);

    // The window owns its own copy of the layout; a fault in the delivered
    // file surfaces when the user asks for the document.
    try {
        m_report = loadReportLayout(m_setup.layout);
    } catch (const ReportError& error) {
        m_layoutError = QString::fromStdString(error.what());
    }
}

DocumentWindow::~DocumentWindow() = default;

void DocumentWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void DocumentWindow::paintEvent(QPaintEvent*)
{
    paintGradient(this, palette::WindowBlue);
}

void DocumentWindow::FormShow()
{
    // The picture is shared with the opener's picture box, not copied: a
    // camera photo is 100 MB, and neither side changes it while the window
    // is open, so taking it cannot fail and the stand-by is never needed.
    imgLogo->setImage(m_picture);
}

void DocumentWindow::btnAnnullaClick()
{
    reject();
}

void DocumentWindow::btnStampaClick()
{
    try {
        if (m_output)
            m_output(*this);
        else
            fillAndOutput();
    } catch (const OutputFileError&) {
        platform().message(this, MessageKind::Warning, QString::fromUtf8(kOutputFileFailureMessage));
    } catch (const std::exception&) {
        // ReportError, a name the layout or the record lacks, and
        // std::bad_alloc from a picture beyond the memory left.
        platform().message(this, MessageKind::Warning, m_setup.failure);
    }
    accept();
}

void DocumentWindow::fillAndOutput()
{
    if (!m_report)
        throw ReportError(m_layoutError.toStdString());
    if (!m_setup.pictureView.isEmpty()) {
        auto* picture = m_report->find<TPictureView>(m_setup.pictureView);
        if (!picture)
            throw ReportError("the layout has no picture " + m_setup.pictureView.toStdString());
        if (!m_comingPicture.valid())
            picture->setPicture(imgLogo->image());
        else if (m_setup.action == DocumentAction::Print)
            picture->setPicture(m_comingPicture);
        else
            picture->setPicture(m_comingPicture.get()); // the preview shows it at once
    }
    if (m_fill)
        m_fill(*m_report);
    // The print settings are remembered per document, the print and the
    // preview window of one document sharing them: named after its layout
    // ("etichetta_verticale").
    m_report->printOptions.document = QFileInfo(m_setup.layout).completeBaseName();
    m_report->prepareReport();
    if (m_setup.action == DocumentAction::Print)
        printReport(this, *m_report);
    else
        showReport(*m_report, this);
}

} // namespace vinarca
