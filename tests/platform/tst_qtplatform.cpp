#include "Camera.h"
#include "Platform.h"
#include "PrintDialog.h"
#include "ProgramFolder.h"
#include "QtTexts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QTabWidget>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <functional>

using namespace vinarca;

namespace {

// What the user saw in the message box, and the button they pressed.
struct SeenBox
{
    QString text;
    QStringList buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Stands for the user in front of the next message box: reads it and presses
// the button whose text is `press`.
SeenBox answerNextBox(const std::function<void()>& showBox, const QString& press)
{
    SeenBox seen;
    QTimer::singleShot(0, qApp, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        auto* box = qobject_cast<QMessageBox*>(modal);
        QAbstractButton* chosen = nullptr;
        if (box) {
            seen.text = box->text();
            seen.icon = box->icon();
            for (QAbstractButton* button : box->buttons()) {
                seen.buttons << button->text().remove(QLatin1Char('&'));
                if (seen.buttons.constLast() == press)
                    chosen = button;
            }
            seen.buttons.sort();
        }
        // A box that is not what the test expects is closed, so the test fails
        // on its comparisons instead of waiting for a user.
        if (chosen)
            chosen->click();
        else if (modal)
            modal->close();
    });
    showBox();
    return seen;
}

// Every text a window shows in its controls, its title first, the rest sorted.
QStringList textsOf(const QWidget* window)
{
    QStringList texts;
    for (const QWidget* w : window->findChildren<QWidget*>()) {
        if (const auto* button = qobject_cast<const QAbstractButton*>(w))
            texts << button->text();
        else if (const auto* label = qobject_cast<const QLabel*>(w))
            texts << label->text();
        else if (const auto* group = qobject_cast<const QGroupBox*>(w))
            texts << group->title();
        else if (const auto* line = qobject_cast<const QLineEdit*>(w))
            texts << line->placeholderText();
        else if (const auto* tabs = qobject_cast<const QTabWidget*>(w))
            for (int i = 0; i < tabs->count(); ++i)
                texts << tabs->tabText(i);
        else if (const auto* combo = qobject_cast<const QComboBox*>(w))
            for (int i = 0; i < combo->count(); ++i)
                texts << combo->itemText(i);
        texts << w->toolTip();
    }
    texts.removeAll(QString());
    texts.sort();
    texts.prepend(window->windowTitle());
    return texts;
}

// Opens the real print dialog for three pages printed to a PDF file, and
// has `user` act in it (and close it); what the platform returns.
bool usePrintDialog(PrintChoices& choices, const std::function<void(QPrintDialog&, PrintModeTab&)>& user)
{
    QTemporaryDir dir;
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("out.pdf")));
    QTimer::singleShot(0, qApp, [&] {
        auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
        PrintModeTab* tab = dialog ? printModeTabOf(*dialog) : nullptr;
        if (tab) {
            user(*dialog, *tab);
        } else if (QWidget* modal = QApplication::activeModalWidget()) {
            modal->close();
        }
    });
    return platform().printDialog(nullptr, printer, 3, choices);
}

// The texts of the print dialog and of the calibration dialog opened from it.
QStringList printDialogTexts()
{
    QStringList texts;
    PrintChoices choices;
    usePrintDialog(choices, [&](QPrintDialog& dialog, PrintModeTab& tab) {
        texts << textsOf(&dialog);
        QTimer::singleShot(0, qApp, [&] {
            QWidget* calibration = QApplication::activeModalWidget();
            texts << textsOf(calibration);
            calibration->close();
        });
        tab.btnCalibration->click();
        dialog.reject();
    });
    return texts;
}

// Receives what the real platform hands to the desktop's open action.
class OpenedUrls : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

} // namespace

class TestQtPlatform : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_previous = installPlatform(makeQtPlatform()); }
    void cleanup() { installPlatform(std::move(m_previous)); }
    void messageBox_data();
    void messageBox();
    void plainMessageBox();
    void shellOpen_data();
    void shellOpen();
    void printDialogOffersThePrintModes_data();
    void printDialogOffersThePrintModes();
    void italianQtTextsFile_data();
    void italianQtTextsFile();
    void fileDialogsSpeakItalian_data();
    void fileDialogsSpeakItalian();
    void printDialogKeepsItsEnglish();
    void cameraSupportLoadsOnFirstUse();

private:
    std::unique_ptr<Platform> m_previous;
};

void TestQtPlatform::messageBox_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("press");
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("answer");
    const QStringList okCancel{"Annulla", "OK"};
    const QStringList yesNo{"No", "Sì"};
    QTest::newRow("warning, OK") << int(MessageKind::Warning) << "OK" << okCancel << int(QMessageBox::Warning)
                                 << int(MessageAnswer::Ok);
    QTest::newRow("warning, Annulla") << int(MessageKind::Warning) << "Annulla" << okCancel << int(QMessageBox::Warning)
                                      << int(MessageAnswer::Cancel);
    QTest::newRow("error") << int(MessageKind::Error) << "OK" << okCancel << int(QMessageBox::Critical)
                           << int(MessageAnswer::Ok);
    QTest::newRow("information, Annulla") << int(MessageKind::Information) << "Annulla" << okCancel
                                          << int(QMessageBox::Information) << int(MessageAnswer::Cancel);
    QTest::newRow("confirmation, Sì") << int(MessageKind::Confirmation) << "Sì" << yesNo << int(QMessageBox::Question)
                                      << int(MessageAnswer::Yes);
    QTest::newRow("confirmation, No") << int(MessageKind::Confirmation) << "No" << yesNo << int(QMessageBox::Question)
                                      << int(MessageAnswer::No);
}

void TestQtPlatform::messageBox()
{
    QFETCH(int, kind);
    QFETCH(QString, press);
    QFETCH(QStringList, buttons);
    QFETCH(int, icon);
    QFETCH(int, answer);
    // Sentences separated by LF CR LF CR reach the box as they are.
    const QString text = QStringLiteral("Attenzione: il sistema non permette di accedere all'archivio.\n\r\n\r"
                                        "Accertarsi di possedere i privilegi di scrittura.");
    MessageAnswer given{};
    const SeenBox seen = answerNextBox([&] { given = platform().message(nullptr, MessageKind(kind), text); }, press);
    QCOMPARE(seen.text, text);
    QCOMPARE(seen.buttons, buttons);
    QCOMPARE(int(seen.icon), icon);
    QCOMPARE(int(given), answer);
}

void TestQtPlatform::plainMessageBox()
{
    const QString text = QStringLiteral("Attenzione: password errata.");
    const SeenBox seen = answerNextBox([&] { platform().plainMessage(nullptr, text); }, QStringLiteral("OK"));
    QCOMPARE(seen.text, text);
    QCOMPARE(seen.buttons, QStringList{"OK"});
    QCOMPARE(seen.icon, QMessageBox::NoIcon);
}

void TestQtPlatform::shellOpen_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QUrl>("url");
    QTest::newRow("quoted manual in a folder with blanks")
        << "\"/opt/Cartella con spazi/Guida.pdf\"" << QUrl::fromLocalFile("/opt/Cartella con spazi/Guida.pdf");
    QTest::newRow("quoted manual in a folder named with # and %")
        << "\"/opt/Vini #1 al 100%/Guida.pdf\"" << QUrl::fromLocalFile("/opt/Vini #1 al 100%/Guida.pdf");
    QTest::newRow("unquoted path") << "/opt/Vinarca/Catalogo_Vini.xls" << QUrl::fromLocalFile("/opt/Vinarca/Catalogo_Vini.xls");
    QTest::newRow("web address") << "https://www.vinarca.it" << QUrl("https://www.vinarca.it");
    QTest::newRow("quoted mail command")
        << "\"mailto:info@vinarca.it?subject=Software Vinarca&body=Salve, desidererei avere le seguenti "
           "informazioni sul software in oggetto:\""
        << QUrl("mailto:info@vinarca.it?subject=Software Vinarca&body=Salve, desidererei avere le seguenti "
                "informazioni sul software in oggetto:");
}

void TestQtPlatform::shellOpen()
{
    QFETCH(QString, command);
    QFETCH(QUrl, url);
    OpenedUrls desktop;
    for (const char* scheme : {"file", "https", "mailto"})
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &desktop, "open");
    platform().shellOpen(command);
    for (const char* scheme : {"file", "https", "mailto"})
        QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    QCOMPARE(desktop.urls, QList<QUrl>{url});
    if (url.isLocalFile())
        QCOMPARE(desktop.urls.constFirst().toLocalFile(), url.toLocalFile());
}

void TestQtPlatform::printDialogOffersThePrintModes_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<int>("mode"); // PrintMode the caller gets back
    QTest::addColumn<QString>("sheetBack");
    QTest::newRow("join small pages") << "optJoinSmallPages" << QString() << true << int(PrintMode::JoinSmallPages)
                                      << "A4";
    QTest::newRow("print on an A5 sheet") << "optPrintOnSheet" << "A5" << true << int(PrintMode::PrintOnSheet) << "A5";
    QTest::newRow("cancelled: the choices stay") << "optScale" << QString() << false << int(PrintMode::Default) << "A4";
}

void TestQtPlatform::printDialogOffersThePrintModes()
{
    QFETCH(QString, option);
    QFETCH(QString, sheet);
    QFETCH(bool, confirm);
    QFETCH(int, mode);
    QFETCH(QString, sheetBack);
    QStringList offered;
    bool sheetFirstOffered = true, sheetOfferedWithMode = false;
    PrintChoices choices;
    const bool accepted = usePrintDialog(choices, [&](QPrintDialog& dialog, PrintModeTab& tab) {
        for (QRadioButton* button : tab.findChildren<QRadioButton*>())
            offered << button->text() + (button->isChecked() ? QStringLiteral(" *") : QString());
        auto* sheets = tab.findChild<QComboBox*>(QStringLiteral("cboSheet"));
        sheetFirstOffered = sheets->isEnabled();
        tab.findChild<QRadioButton*>(option)->click();
        sheetOfferedWithMode = sheets->isEnabled();
        if (!sheet.isEmpty())
            sheets->setCurrentText(sheet);
        confirm ? dialog.accept() : dialog.reject();
    });
    QCOMPARE(accepted, confirm);
    QCOMPARE(offered, (QStringList{"Default *", "Split big pages", "Join small pages", "Scale", "Print on sheet"}));
    QVERIFY(!sheetFirstOffered);
    QCOMPARE(sheetOfferedWithMode, option == QLatin1String("optPrintOnSheet"));
    QCOMPARE(int(choices.mode), mode);
    QCOMPARE(QPageSize::name(choices.sheet.id()), sheetBack);
}

void TestQtPlatform::italianQtTextsFile_data()
{
    QTest::addColumn<bool>("beside");
    QTest::newRow("beside the program, as in the portable folder") << true;
    QTest::newRow("from Qt's installed translations") << false;
}

void TestQtPlatform::italianQtTextsFile()
{
    QFETCH(bool, beside);
    const QString installed = QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_it.qm");
    QVERIFY2(QFile::exists(installed), "Qt's Italian translation (qt6-translations-l10n) is not installed");
    QTemporaryDir folder;
    const QString carried = folder.filePath(QStringLiteral("translations/qtbase_it.qm"));
    if (beside) {
        QVERIFY(QDir(folder.path()).mkpath(QStringLiteral("translations")));
        QVERIFY(QFile::copy(installed, carried));
    }
    setProgramFolderForTesting(folder.path());
    const QString found = vinarca::italianQtTextsFile();
    setProgramFolderForTesting({});
    QCOMPARE(found, QFileInfo(beside ? carried : installed).absoluteFilePath());
}

void TestQtPlatform::fileDialogsSpeakItalian_data()
{
    QTest::addColumn<bool>("save");
    QTest::addColumn<QString>("press"); // in the question about replacing the file
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<bool>("chosen");
    QTest::newRow("open") << false << QString() << QStringList{"Annulla", "Apri"} << true;
    QTest::newRow("save over a file, Sì") << true << "Sì" << QStringList{"Annulla", "Salva"} << true;
    QTest::newRow("save over a file, No") << true << "No" << QStringList{"Annulla", "Salva"} << false;
}

void TestQtPlatform::fileDialogsSpeakItalian()
{
    QFETCH(bool, save);
    QFETCH(QString, press);
    QFETCH(QStringList, buttons);
    QFETCH(bool, chosen);
    QTemporaryDir dir;
    const QString existing = dir.filePath(QStringLiteral("Etichetta.jpg"));
    QFile file(existing);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();

    QStringList seenButtons;
    QString nameLabel;
    SeenBox question;
    QTimer::singleShot(0, qApp, [&] {
        auto* fileDialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        QDialog* dialog = fileDialog;
        if (!dialog) {
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
            return;
        }
        for (QAbstractButton* button : dialog->findChild<QDialogButtonBox*>()->buttons())
            seenButtons << button->text().remove(QLatin1Char('&'));
        seenButtons.sort();
        nameLabel = dialog->findChild<QLabel*>(QStringLiteral("fileNameLabel"))->text();
        fileDialog->setDirectory(dir.path());
        fileDialog->selectFile(QStringLiteral("Etichetta.jpg"));
        // Accepting the name of a file that is there asks whether to replace
        // it before the dialog closes.
        if (save)
            question = answerNextBox([&] { dialog->accept(); }, press);
        else
            dialog->accept();
        if (dialog->isVisible())
            dialog->reject();
    });
    const QList<FileFilter> filters{{QStringLiteral("Immagine JPEG (*.jpg)"), QStringLiteral("*.jpg")}};
    const QString path = save ? platform().saveFileName(nullptr, {QStringLiteral("Salva logo"), filters,
                                                                  QStringLiteral("Logo.jpg"), true})
                              : platform().openFileName(nullptr, {QStringLiteral("Carica logo"), filters});
    QCOMPARE(seenButtons, buttons);
    QCOMPARE(nameLabel, QStringLiteral("&Nome del file:"));
    if (save) {
        QCOMPARE(question.text, QStringLiteral("Etichetta.jpg esiste già.\nVuoi sostituirlo?"));
        QCOMPARE(question.buttons, (QStringList{"No", "Sì"}));
    }
    QCOMPARE(path.isEmpty(), !chosen);
    if (chosen)
        QCOMPARE(QFileInfo(path).canonicalFilePath(), QFileInfo(existing).canonicalFilePath());
}

void TestQtPlatform::printDialogKeepsItsEnglish()
{
    // Qt's texts outside the print dialog are Italian...
    QVERIFY(installItalianQtTexts());
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Annulla"));
    const QStringList shown = printDialogTexts();
    // ...and inside it, and in the calibration opened from it, every text is
    // what the dialogs show without Italian.
    removeItalianQtTexts();
    const QStringList english = printDialogTexts();
    QVERIFY(installItalianQtTexts());
    QCOMPARE(shown, english);
    for (const char* text : {"Print mode", "Join small pages", "Label stock", "Printer calibration...",
                             "Printer calibration", "Apply to PDF files too", "Cancel", "OK"})
        QVERIFY2(shown.contains(QString::fromLatin1(text)), text);
    QVERIFY(!shown.contains(QStringLiteral("Annulla")));
}

void TestQtPlatform::cameraSupportLoadsOnFirstUse()
{
    const auto multimediaMapped = [] {
        QFile maps(QStringLiteral("/proc/self/maps"));
        return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libQt6Multimedia");
    };
    // Nothing of the program loads Qt Multimedia before a camera is asked for.
    QVERIFY(!multimediaMapped());
    QVERIFY(loadQtCameraModule());
    QVERIFY(multimediaMapped());
    // The camera it makes (when the machine has one) starts stopped.
    const std::unique_ptr<Camera> camera = makeQtCamera();
    QVERIFY(!camera || !camera->isActive());
}

QTEST_MAIN(TestQtPlatform)
#include "tst_qtplatform.moc"
