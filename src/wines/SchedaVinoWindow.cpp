#include "SchedaVinoWindow.h"

#include "AnteprimaVini.h"
#include "Artwork.h"
#include "PictureBox.h"
#include "Platform.h"
#include "ProgramFolder.h"
#include "ReportError.h"
#include "ReportLayout.h"
#include "ReportModel.h"
#include "Shapes.h"
#include "ShortString.h"
#include "StampaVini.h"

#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QSvgRenderer>

namespace vinarca {

const SheetField kSheetFields[22] = {
    {"txtVino", "txtNome"},
    {"txtProduttore", "txtProduttore"},
    {"txtDesignazione", "txtDesignazione"},
    {"txtNazione", "txtNazione"},
    {"txtRegione", "txtRegione"},
    {"txtZona", "txtZona"},
    {"txtCantina", "txtCantina"},
    {"txtAnnata", "txtAnnata"},
    {"txtInvecchiamento", "txtInvecchiamento"},
    {"txtMaturazione", "txtMaturazione"},
    {"txtColore", "txtColore"},
    {"txtProfumo", "txtProfumo"},
    {"txtGusto", "txtGusto"},
    {"txtRetrogusto", "txtRetrogusto"},
    {"txtGrado", "txtGrado"},
    {"txtAcidita", "txtAcidita"},
    {"txtTemperatura", "txtTemperatura"},
    {"txtFornitore", "txtFornitore"},
    {"txtTel", "txtTel"},
    {"txtPrezzo", "txtPrezzo"},
    {"txtConservazione", "txtConservazione"},
    {"txtNote", "txtNote"},
};

namespace {

const QColor kWindowBlue(0x42, 0x7A, 0xA8);
const QColor kTextBlue(0x1C, 0x3F, 0x6E);
const QColor kPanelOutline(0xB0, 0xC4, 0xDE);
const QString kLayout = QStringLiteral(":/reports/scheda_vino.json");
const QString kStandBy = QStringLiteral(":/reports/foto_attesa.svg");

struct WindowTexts
{
    const char* objectName;
    QString caption;
    QString heading;
    QString what;
    QString how;
    QString button;
    QString icon;
};

WindowTexts textsFor(SheetAction action)
{
    if (action == SheetAction::Print)
        return {"frmStampaVini",
                QStringLiteral(" Stampa scheda"),
                QStringLiteral("Stampa scheda"),
                QStringLiteral("Questa operazione provvederà a stampare la scheda corrente su carta con i dati immessi "
                               "dall'utente."),
                QStringLiteral("Premere il pulsante Stampa per dare avvio alla stampa oppure premere Annulla per "
                               "annullare l'operazione."),
                QStringLiteral("Stampa"),
                QStringLiteral(":/wines/stampa")};
    return {"frmAnteprimaVini",
            QStringLiteral(" Anteprima di stampa"),
            QStringLiteral("Anteprima di stampa"),
            QStringLiteral("Questa operazione consente di visualizzare in anteprima i dati che appariranno in stampa."),
            QStringLiteral("Fare clic su Mostra anteprima per visualizzare il documento sullo schermo prima di eseguire "
                           "la stampa su carta."),
            QStringLiteral("Mostra anteprima"),
            QStringLiteral(":/wines/anteprima")};
}

QImage standByPicture()
{
    QSvgRenderer svg(kStandBy);
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
                              bold, kTextBlue);
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

QString sheetFailureMessage(SheetAction action)
{
    return action == SheetAction::Print
        ? QStringLiteral("Attenzione: la stampa non è andata a buon fine.\n\r\n\r"
                         "Si consiglia di ridurre le dimensioni della foto.")
        : QStringLiteral("Attenzione: la visualizzazione dell'anteprima di stampa non è andata a buon fine.\n\r\n\r"
                         "Si consiglia di ridurre le dimensioni della foto.");
}

SchedaVinoWindow::SchedaVinoWindow(SheetAction action, WineSheetInput input, QWidget* parent)
    : QDialog(parent), m_action(action), m_input(std::move(input))
{
    applyProcessFormats();
    const WindowTexts texts = textsFor(action);
    setObjectName(QString::fromLatin1(texts.objectName));
    setWindowTitle(texts.caption);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(364, 287);

    auto* shpSfondo = new ShapeRect(this, QStringLiteral("shpSfondo"), QRect(8, 8, 348, 230), Qt::white,
                                    kPanelOutline, 4);
    icon(shpSfondo, "imgIcona01", texts.icon, QRect(14, 12, 40, 40));
    instruction(shpSfondo, "imgIstruzioni01", texts.heading, QRect(64, 20, 270, 24), 12, true);
    instruction(shpSfondo, "imgIstruzioni02", texts.what, QRect(16, 60, 316, 54), 9, false);
    auto* separator = new ShapeRect(shpSfondo, QStringLiteral("shpSeparatore"), QRect(16, 122, 316, 3), kWindowBlue);
    separator->lower();
    icon(shpSfondo, "imgIcona02", QStringLiteral(":/wines/guida"), QRect(14, 138, 40, 40));
    instruction(shpSfondo, "imgIstruzioni03", texts.how, QRect(64, 138, 268, 80), 9, false);

    btnAnnulla = makeButton(this, "btnAnnulla", QStringLiteral("Annulla"), QRect(8, 250, 145, 28), 9);
    btnStampa = makeButton(this, "btnStampa", texts.button, QRect(211, 250, 145, 28), 9);
    btnStampa->setDefault(true);

    imgLogo = new PictureBox(this);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setGeometry(8, 8, 64, 48);
    imgLogo->hide();
    imgTemp = new PictureBox(this);
    imgTemp->setObjectName(QStringLiteral("imgTemp"));
    imgTemp->setGeometry(80, 8, 64, 48);
    imgTemp->setImage(standByPicture());
    imgTemp->hide();

    connect(btnAnnulla, &QPushButton::clicked, this, &SchedaVinoWindow::btnAnnullaClick);
    connect(btnStampa, &QPushButton::clicked, this, &SchedaVinoWindow::btnStampaClick);

    // The window owns its own copy of the layout; a fault in the delivered
    // file surfaces when the user asks for the sheet.
    try {
        m_report = loadWineSheet();
    } catch (const ReportError& error) {
        m_layoutError = QString::fromStdString(error.what());
    }
}

SchedaVinoWindow::~SchedaVinoWindow() = default;

void SchedaVinoWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void SchedaVinoWindow::paintEvent(QPaintEvent*)
{
    paintGradient(this, kWindowBlue);
}

void SchedaVinoWindow::FormShow()
{
    // The window keeps its own copy of the editor's photo; should even that
    // copy fail for lack of memory, the stand-by picture prints instead.
    const QImage copy = m_input.photo.copy();
    imgLogo->setImage(!m_input.photo.isNull() && copy.isNull() ? imgTemp->image() : copy);
}

void SchedaVinoWindow::btnAnnullaClick()
{
    reject();
}

void SchedaVinoWindow::btnStampaClick()
{
    try {
        fillAndOutput();
    } catch (const std::exception&) {
        // ReportError, and std::bad_alloc from a photo beyond the memory left.
        platform().message(this, MessageKind::Warning, sheetFailureMessage(m_action));
    }
    accept();
}

void SchedaVinoWindow::fillAndOutput()
{
    if (!m_report)
        throw ReportError(m_layoutError.toStdString());
    WineSheetInput shown = m_input;
    shown.photo = imgLogo->image();
    fillWineSheet(*m_report, shown);
    m_report->prepareReport();
    if (m_action == SheetAction::Print)
        m_report->print(this);
    else
        m_report->showReport(this);
}

std::unique_ptr<TReport> loadWineSheet()
{
    return loadReportLayout(kLayout);
}

void fillWineSheet(TReport& sheet, const WineSheetInput& input)
{
    sheet.page().setOrientation(QPageLayout::Portrait);
    auto* picture = sheet.find<TPictureView>(QStringLiteral("imgLogo"));
    if (!picture)
        throw ReportError("the sheet has no picture imgLogo");
    picture->setPicture(input.photo);
    for (const SheetField& field : kSheetFields) {
        auto* memo = sheet.find<TMemoView>(QString::fromLatin1(field.layoutName));
        if (!memo)
            throw ReportError(std::string("the sheet has no text box ") + field.layoutName);
        memo->setText(trimControl(input.fields.value(QString::fromLatin1(field.editorField))));
    }
}

void openWineSheet(QWidget* owner, const WineSheetInput& input, SheetAction action)
{
    std::unique_ptr<SchedaVinoWindow> window;
    if (action == SheetAction::Print)
        window = std::make_unique<TfrmStampaVini>(input, owner);
    else
        window = std::make_unique<TfrmAnteprimaVini>(input, owner);
    platform().execDialog(*window);
}

} // namespace vinarca
