// Wine sheet printing benchmark, as the user prints it: from the editor's
// Stampa, the print window painted and its Stampa clicked, the real print
// dialog painted and its OK clicked (Print to File (PDF)), to the complete
// PDF file, with the record's 24-megapixel camera photo on screen, in a
// fresh process where the user prints for the first time. Interleaved
// pairs against floors measured in the same run:
//   time     from the release of the click on Stampa to the complete PDF
//            vs  djpeg decoding the photo file
//   memory   peak of a process that opens the editor on the record and
//            prints the sheet  vs  peak of a process that shows a bare
//            window and decodes the same photo
// Usage: bench_sheet [--quick] [--keep <file.pdf>]
//        bench_sheet --child editor|floor <program folder>   (one run)
//        bench_sheet --write <program folder>   (the record and its photo, to look at)
#include "BenchSupport.h"
#include "ProgramFolder.h"
#include "ReportBench.h"
#include "SampleData.h"
#include "UserSpan.h"
#include "Vini.h"
#include "WineRecord.h"

#include "PictureBox.h"
#include "PictureButton.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLineEdit>
#include <QPrintDialog>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdio>

using namespace vinarca;

namespace {

constexpr double kTimeBudget = 1.5;
constexpr double kMemoryBudget = 1.5;


// The editor on record 1, its photo shown, idle as the user leaves it
// before clicking Stampa.
void showFirstWine(TfrmVini& editor)
{
    editor.resize(1280, 800);
    editor.show();
    bench::idleFor(300);
    editor.cmdPrimoClick();
    editor.imgFoto->repaint();
    bench::idleFor(500);
}

// The platform the user meets: the real print window and the real print
// dialog, shown modally. Messages are only counted, so a failed run ends
// instead of waiting for a click no one makes.
class UserPlatform final : public Platform
{
public:
    int messages = 0;

    MessageAnswer message(QWidget*, MessageKind, const QString& text) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        ++messages;
        return MessageAnswer::Ok;
    }
    void plainMessage(QWidget*, const QString&) override { ++messages; }
    QString openFileName(QWidget*, const OpenFileRequest&) override { return {}; }
    QString saveFileName(QWidget*, const SaveFileRequest&) override { return {}; }
    int execDialog(QDialog& dialog) override { return m_real->execDialog(dialog); }
    bool printDialog(QWidget* parent, QPrinter& printer, int pageCount, PrintChoices& choices) override
    {
        return m_real->printDialog(parent, printer, pageCount, choices);
    }
    void shellOpen(const QString&) override {}
    QSize screenSize() const override { return m_real->screenSize(); }
    std::unique_ptr<Camera> defaultCamera() override { return nullptr; }

private:
    std::unique_ptr<Platform> m_real = makeQtPlatform();
};

// The user at the screen: once the print window has been painted, a click
// on its Stampa; once the print dialog has been painted, the file name of
// "Print to File (PDF)" and a click on its OK. Each moment is noted, from
// the release of the click on the editor's Stampa.
class UserAtScreen final : public QObject
{
public:
    UserAtScreen(QElapsedTimer& clock, QString pdf) : m_clock(clock), m_pdf(std::move(pdf))
    {
        qApp->installEventFilter(this);
    }
    double windowPaintedMs = -1;
    double dialogPaintedMs = -1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Paint)
            return false;
        if (auto* window = qobject_cast<DocumentWindow*>(watched); window && windowPaintedMs < 0) {
            windowPaintedMs = m_clock.nsecsElapsed() / 1e6;
            // Queued: the window's painting finishes and reaches the screen first.
            QTimer::singleShot(0, window, [window] { QTest::mouseClick(window->btnStampa, Qt::LeftButton); });
        } else if (auto* dialog = qobject_cast<QPrintDialog*>(watched); dialog && dialogPaintedMs < 0) {
            dialogPaintedMs = m_clock.nsecsElapsed() / 1e6;
            QTimer::singleShot(0, dialog, [this, dialog] { confirm(dialog); });
        }
        return false;
    }

private:
    void confirm(QPrintDialog* dialog)
    {
        // With no printer installed the dialog's only printer is the PDF
        // file; its name is the one the benchmark reads back.
        if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("filename")))
            name->setText(m_pdf);
        else
            std::fprintf(stderr, "the print dialog has no file name box\n");
        QAbstractButton* ok = nullptr;
        if (auto* buttons = dialog->findChild<QDialogButtonBox*>())
            ok = buttons->button(QDialogButtonBox::Ok);
        if (ok)
            QTest::mouseClick(ok, Qt::LeftButton);
        else
            dialog->reject();
    }

    QElapsedTimer& m_clock;
    QString m_pdf;
};

int child(const QString& mode, const QString& folder)
{
    setProgramFolderForTesting(folder);
    const QString pdf = QDir(folder).filePath(QStringLiteral("sheet-child.pdf"));
    auto* user = new UserPlatform;
    installPlatform(std::unique_ptr<Platform>(user));
    double ms = 0;
    double windowMs = 0;
    double dialogMs = 0;
    if (mode == QLatin1String("editor")) {
        TfrmVini editor;
        showFirstWine(editor);
        QFile::remove(pdf);
        // The click's release opens the print window modally: the user's
        // span runs inside it, through the print dialog, until the file is
        // complete.
        QElapsedTimer clock;
        UserAtScreen screen(clock, pdf);
        const QPoint centre = editor.cmdStampa->rect().center();
        QTest::mousePress(editor.cmdStampa, Qt::LeftButton, {}, centre);
        QCoreApplication::processEvents();
        clock.start();
        QTest::mouseRelease(editor.cmdStampa, Qt::LeftButton, {}, centre);
        while (!QFileInfo::exists(pdf) && user->messages == 0 && clock.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
        ms = clock.nsecsElapsed() / 1e6;
        windowMs = screen.windowPaintedMs;
        dialogMs = screen.dialogPaintedMs;
        if (user->messages > 0 || QFileInfo(pdf).size() == 0 || windowMs < 0 || dialogMs < 0)
            return 2;
    } else {
        QWidget window;
        window.resize(1280, 800);
        window.show();
        QCoreApplication::processEvents();
        QImageReader reader(WinePhotoPath(QStringLiteral("1")));
        const QImage photo = reader.read();
        if (photo.isNull())
            return 2;
    }
    std::printf("%ld %.3f %.3f %.3f\n", bench::peakRssKiB(), ms, windowMs, dialogMs);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == QLatin1String("--child"))
        return child(args[2], args[3]);
    const bool quick = args.contains(QStringLiteral("--quick"));
    const int keepAt = int(args.indexOf(QStringLiteral("--keep")));
    const int pairs = quick ? 3 : 7;

    QTemporaryDir dir;
    setProgramFolderForTesting(args.size() == 3 && args[1] == QLatin1String("--write") ? args[2] : dir.path());
    tour::writeSampleWines(wineArchivePath(), 1);
    QDir().mkpath(winePhotoFolder());
    const QString photo = WinePhotoPath(QStringLiteral("1"));
    tour::writeCameraPhoto(photo);
    if (args.size() == 3 && args[1] == QLatin1String("--write"))
        return 0;
    const QString pdf = dir.filePath(QStringLiteral("sheet-child.pdf"));
    const auto djpeg = [&] {
        return bench::timedMs([&] {
            QProcess process;
            process.start(QStringLiteral("djpeg"), {QStringLiteral("-outfile"), QStringLiteral("/dev/null"), photo});
            if (!process.waitForFinished(-1) || process.exitCode() != 0)
                std::fprintf(stderr, "djpeg did not run\n");
        });
    };
    // Each pair: djpeg, then a fresh process that prints the sheet once and
    // a fresh process that shows a bare window and decodes the photo.
    std::vector<double> sheetMs, djpegMs, editorKb, floorKb, windowMs, dialogMs;
    djpeg(); // the photo in the page cache
    for (int i = 0; i < pairs; ++i) {
        djpegMs.push_back(djpeg());
        const auto editorRun = bench::childFigures(app.applicationFilePath(), {"--child", "editor", dir.path()});
        const auto floorRun = bench::childFigures(app.applicationFilePath(), {"--child", "floor", dir.path()});
        if (editorRun.size() < 4 || floorRun.empty()) {
            std::fprintf(stderr, "the sheet was not printed\n");
            return 2;
        }
        sheetMs.push_back(editorRun[1]);
        windowMs.push_back(editorRun[2]);
        dialogMs.push_back(editorRun[3]);
        editorKb.push_back(editorRun[0] / 1024);
        floorKb.push_back(floorRun[0] / 1024);
    }
    bool ok = reportbench::reportRatios("wine sheet, Stampa to PDF printer", sheetMs, djpegMs, kTimeBudget, "ms");
    std::printf("%-52s %10.1f ms  print dialog painted %.1f ms  (medians, for information)\n",
                "  of which: print window painted", bench::median(windowMs), bench::median(dialogMs));
    ok = reportbench::reportRatios("wine sheet printed, peak memory", editorKb, floorKb, kMemoryBudget, "MiB") && ok;
    std::printf("%-52s %10.1f KB  (photo JPEG %.1f KB)\n", "PDF size", QFileInfo(pdf).size() / 1024.0,
                QFileInfo(photo).size() / 1024.0);
    if (keepAt >= 0 && keepAt + 1 < args.size()) {
        QFile::remove(args[keepAt + 1]);
        QFile::copy(pdf, args[keepAt + 1]);
    }
    return ok ? 0 : 1;
}
