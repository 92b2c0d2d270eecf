// Renders every window of the program, filled with sample data, to PNG files
// for review: tour [output folder]. Runs offscreen; nothing is shown.
#include "WindowSet.h"
#include "Avvio.h"
#include "CambiaPassword.h"
#include "Guida.h"
#include "Camera.h"
#include "HighlightEdit.h"
#include "Info.h"
#include "Password.h"
#include "FramedEdit.h"
#include "WineWindows.h"
#include "FramedEdit.h"
#include "PreparedReport.h"
#include "ReportModel.h"
#include "ReportOutput.h"
#include "ReportPreview.h"
#include "SchedaVinoWindow.h"
#include "Slideshow_Vini.h"
#include "TrovaVini.h"
#include "ListReport.h"
#include "WineSearch.h"
#include "WebCam.h"
#include "Zoom.h"
#include "Photo.h"
#include "PictureBox.h"
#include "Platform.h"
#include "ProgramFolder.h"
#include "SampleData.h"
#include "ExportTour.h"
#include "LabelsTour.h"
#include "PriceListsTour.h"
#include "Vini.h"
#include "WineRecord.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <functional>

using namespace vinarca;

namespace {


const QSize kScreen(1280, 800);

QString g_out;
int g_failures = 0;

void shoot(const QString& name, QWidget& window, const QSize& size)
{
    window.resize(size);
    window.show();
    QCoreApplication::processEvents();
    const QString path = g_out + QLatin1Char('/') + name + QStringLiteral(".png");
    if (!window.grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        ++g_failures;
        return;
    }
    std::printf("%s\n", qPrintable(path));
}

// A camera that delivers one painted frame as soon as it starts.
class StillCamera final : public Camera
{
public:
    void setFrameHandler(FrameHandler handler) override { m_handler = std::move(handler); }
    bool start() override
    {
        m_active = true;
        if (m_handler)
            m_handler(tour::samplePhoto({640, 480}));
        return true;
    }
    void stop() override { m_active = false; }
    bool isActive() const override { return m_active; }

private:
    FrameHandler m_handler;
    bool m_active = false;
};

void webcamWindow()
{
    TfrmWebCam fresh;
    shoot(QStringLiteral("webcam_avvio"), fresh, fresh.size());
    TfrmWebCam window;
    window.show();
    window.btnAccendiClick();
    window.btnCatturaClick();
    shoot(QStringLiteral("webcam_foto_catturata"), window, window.size());
    window.btnSpegniClick();
}

void wineEditor()
{
    TfrmVini window;
    shoot(QStringLiteral("vini_nuova_scheda"), window, kScreen);

    window.cmdPrimoClick();
    window.cmdAvantiClick();
    // Hover text of the Save button, as the user sees it while pointing at it.
    window.panInfo->setText(QStringLiteral("Salva la scheda in archivio."));
    window.txtGusto->setFocus();
    shoot(QStringLiteral("vini_scheda_2_con_foto"), window, kScreen);
}

void accessWindows()
{
    TfrmPassword login;
    login.txtPassword->setText(QStringLiteral("grappolo"));
    shoot(QStringLiteral("password_login"), login, login.size());
    TfrmCambiaPassword change;
    change.show();
    change.txtPasswordOld->setText(QStringLiteral("grappolodoraro"));
    change.txtPasswordNew->setFocus();
    shoot(QStringLiteral("password_cambia"), change, change.size());
}

void shellWindows()
{
    TfrmAvvio menu;
    shoot(QStringLiteral("avvio_menu_principale"), menu, kScreen);
    TfrmInfo info;
    shoot(QStringLiteral("info"), info, info.size());
    TfrmSplash credits;
    shoot(QStringLiteral("crediti"), credits, credits.size());
    TfrmGuida help;
    const HelpText text = helpText(HelpTopic::Wines);
    help.lblTitolo->setText(text.title);
    help.txtGuida->setPlainText(QString(text.body).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    shoot(QStringLiteral("guida_catalogo_vini"), help, help.size());
    TfrmZoom zoom;
    zoom.imgFoto->setImage(tour::samplePhoto({600, 800}));
    shoot(QStringLiteral("zoom_foto"), zoom, kScreen);
}

WineSheetInput sampleSheet()
{
    TfrmVini editor;
    editor.cmdPrimoClick();
    editor.cmdAvantiClick();
    WineSheetInput input;
    // The sheet takes the record's fields by name; each box is named after
    // its field, the stock's box excepted.
    for (HighlightEdit* box : editor.editBoxes()) {
        const QString field = box->objectName() == QLatin1String("txtTel") ? QStringLiteral("Giacenza") : box->objectName().mid(3);
        input.fields.insert(field, box->text());
    }
    input.photo = editor.imgFoto->image();
    return input;
}

void sheetWindows()
{
    const WineSheetInput input = sampleSheet();
    TfrmStampaVini print(input);
    shoot(QStringLiteral("vini_stampa_scheda"), print, print.size());
    TfrmAnteprimaVini preview(input);
    shoot(QStringLiteral("vini_anteprima_scheda"), preview, preview.size());

    auto sheet = loadWineSheet();
    fillWineSheet(*sheet, input);
    sheet->prepareReport();
    ReportPreview window(sheet->prepared());
    shoot(QStringLiteral("anteprima_report_scheda"), window, kScreen);
    const QString page = g_out + QStringLiteral("/pagina_scheda_vino.png");
    if (renderPageImage(*sheet->prepared(), 0, 96).save(page))
        std::printf("%s\n", qPrintable(page));

    auto list = prepareListReport(QStringLiteral("Riepilogo vini in catalogo"), searchWines({}));
    const QString listPage = g_out + QStringLiteral("/pagina_riepilogo_vini.png");
    if (renderPageImage(*list->prepared(), 0, 96).save(listPage))
        std::printf("%s\n", qPrintable(listPage));
}

void searchWindow()
{
    TfrmTrovaVini search;
    search.show();
    search.txtRegione->setText(QStringLiteral("o"));
    search.txtRegione->setFocus();
    shoot(QStringLiteral("trova_vini_criteri"), search, search.size());
    search.btnCercaClick();
    search.txtTrova->setText(QStringLiteral("brunello"));
    search.btnTrovaClick();
    shoot(QStringLiteral("trova_vini_risultati"), search, search.size());
}

void slideshowWindow()
{
    TfrmSlideshow_Vini show;
    show.show();
    shoot(QStringLiteral("slideshow_avvio"), show, kScreen);
    show.cmdAvantiClick();
    show.cmdAvantiClick();
    shoot(QStringLiteral("slideshow_foto_2"), show, kScreen);
    show.Timer->stop();
}

// Qt's own windows as the real platform shows them, in Italian: the dialog
// that saves a logo over a file already there, and its question.
void qtDialogs()
{
    auto previous = installPlatform(makeQtPlatform());
    QTemporaryDir dir;
    QFile existing(dir.filePath(QStringLiteral("Logo.jpg")));
    existing.open(QIODevice::WriteOnly);
    existing.close();
    const auto grabModal = [](const QString& name) {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->grab().save(g_out + QLatin1Char('/') + name + QStringLiteral(".png"))) {
            std::fprintf(stderr, "no window for %s\n", qPrintable(name));
            ++g_failures;
            return modal;
        }
        std::printf("%s/%s.png\n", qPrintable(g_out), qPrintable(name));
        return modal;
    };
    QTimer::singleShot(0, qApp, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog) {
            dialog->setDirectory(dir.path());
            QCoreApplication::processEvents();
        }
        if (!grabModal(QStringLiteral("dialogo_salva_file")) || !dialog)
            return;
        QTimer::singleShot(0, qApp, [&] {
            if (QWidget* question = grabModal(QStringLiteral("domanda_sostituisci_file")))
                question->close();
        });
        static_cast<QDialog*>(dialog)->accept();
        dialog->reject();
    });
    platform().saveFileName(nullptr, {QStringLiteral("Salva logo"), {{QStringLiteral("Immagine JPEG (*.jpg)"),
                                                                      QStringLiteral("*.jpg")}},
                                      QStringLiteral("Logo.jpg"), true});
    installPlatform(std::move(previous));
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    prepareApplication(&app);
    installPlatform(tour::makeQuietPlatform([] { return std::make_unique<StillCamera>(); }));
    g_out = QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("tour")).absolutePath();
    QDir().mkpath(g_out);

    QTemporaryDir folder;
    setProgramFolderForTesting(folder.path());
    tour::writeSampleWines(wineArchivePath(), 12);
    Photo photo{tour::samplePhoto({600, 800}), {}};
    writePhotoFile(WinePhotoPath(QStringLiteral("2")), photo);

    const std::pair<const char*, std::function<void()>> shots[] = {
        {"login and change password", accessWindows},
        {"main menu, information, credits, help, zoom", shellWindows},
        {"wine editor", wineEditor},
        {"wine sheet: print and preview windows, preview, printed pages", sheetWindows},
        {"wine search", searchWindow},
        {"slideshow", slideshowWindow},
        {"webcam, with a painted frame", webcamWindow},
        {"bottle labels: menu, both editors, live labels", [] { g_failures += tourLabels(g_out); }},
        {"price lists: menu, file windows, page editor", [] { g_failures += tourPriceLists(g_out); }},
        {"spreadsheet export and attachments", [] { g_failures += tourExport(g_out); }},
        {"Qt's file dialog and its question, in Italian", qtDialogs},
    };
    for (const auto& [what, shot] : shots) {
        std::printf("-- %s\n", what);
        shot();
    }
    return g_failures == 0 ? 0 : 1;
}
