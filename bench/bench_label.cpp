// Bottle label printing benchmark, as the user prints it: the vertical label
// editor shows the label of the peer file (its nine lines and logo), then
// the editor's Stampa, the print window's Stampa and the print dialog's OK
// with 100 copies on a PDF printer; the span ends when the PDF of 100 labels
// is complete. Against gLabels' batch tool drawing the same label 100 times
// (/work/shared/peers: vertical-label.glabels and logo.jpg). Each run is a
// fresh process, ours and the peer's in interleaved pairs:
//   time     Stampa to the finished PDF of 100 labels  vs  glabels-3-batch -s 100
//   memory   peak resident memory of that process      vs  the peer's
// Usage: bench_label [--quick] [--peers <folder>]
//        bench_label --child ours|peer <folder>   (one run: prints ms, KiB and bytes)
#include "DocumentWindow.h"
#include "HighlightEdit.h"
#include "LabelWindows.h"
#include "PictureButton.h"
#include "ProgramFolder.h"
#include "report/ReportBench.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>

using namespace vinarca;

namespace {

constexpr int kCopies = 100;
constexpr double kTimeBudget = 0.5;   // at most half the peer's time
constexpr double kMemoryBudget = 1.0; // for information: not part of the verdict

// The user's answers: the peer's logo in the open dialog, Stampa in the
// print window, OK in the print dialog with the copies on a PDF printer.
class UserPlatform final : public Platform
{
public:
    UserPlatform(QString pdf, QString logo, int copies) : m_pdf(std::move(pdf)), m_logo(std::move(logo)), m_copies(copies) {}
    int messages = 0;
    MessageAnswer message(QWidget*, MessageKind, const QString&) override { return ++messages, MessageAnswer::Ok; }
    void plainMessage(QWidget*, const QString&) override { ++messages; }
    QString openFileName(QWidget*, const OpenFileRequest&) override { return m_logo; }
    QString saveFileName(QWidget*, const SaveFileRequest&) override { return {}; }
    int execDialog(QDialog& dialog) override
    {
        if (auto* window = qobject_cast<DocumentWindow*>(&dialog)) {
            window->show();
            window->btnStampaClick();
        }
        return dialog.result();
    }
    bool printDialog(QWidget*, QPrinter& printer, int, PrintChoices&) override
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_pdf);
        printer.setCopyCount(m_copies);
        return true;
    }
    void shellOpen(const QString&) override {}
    QSize screenSize() const override { return {1920, 1080}; }
    std::unique_ptr<Camera> defaultCamera() override { return nullptr; }

private:
    QString m_pdf;
    QString m_logo;
    int m_copies;
};

// Processor time (user and system) in a usage record, in ms.
double cpuMs(const rusage& usage)
{
    const auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// The label of the peer file, typed into the editor: the same nine lines
// and the same logo, loaded through Carica logo.
void showPeerLabel(TfrmVerticali& editor)
{
    editor.resize(1280, 800);
    editor.show();
    QCoreApplication::processEvents();
    const std::pair<HighlightEdit*, const char*> lines[] = {
        {editor.txtCima, "AZIENDA AGRICOLA ROSSI"},
        {editor.txtNome, "Barolo"},
        {editor.txtRosso, "Denominazione di origine controllata e garantita"},
        {editor.txtSottotitolo, "Riserva"},
        {editor.txtRigo01, "Vendemmia 2019"},
        {editor.txtRigo02, "Piemonte - Italia"},
        {editor.txtRigo03, "75 cl"},
        {editor.txtRigo04, "14% vol"},
        {editor.txtCalce, "Imbottigliato all origine"},
    };
    for (const auto& [box, text] : lines)
        box->setText(QString::fromLatin1(text));
    editor.btnCaricaFoto->click();
    editor.repaint();
}

// One run in a fresh process. Ours times the user's span inside the process
// (the editor is on screen with the label before the click); the peer's
// batch tool is timed whole by the parent, as its user waits for it.
int child(const QString& mode, const QString& folder)
{
    const QString pdf = QDir(folder).filePath(mode + QStringLiteral(".pdf"));
    QFile::remove(pdf);
    if (mode == QLatin1String("peer")) {
        QProcess peer;
        peer.setWorkingDirectory(folder);
        peer.start(QStringLiteral("glabels-3-batch"), {QStringLiteral("-s"), QString::number(kCopies),
                                                        QStringLiteral("-o"), pdf, QStringLiteral("vertical-label.glabels")});
        if (!peer.waitForFinished(-1) || peer.exitCode() != 0 || !QFileInfo::exists(pdf))
            return 2;
        rusage usage{};
        getrusage(RUSAGE_CHILDREN, &usage);
        std::printf("0 %ld %lld %.3f\n", usage.ru_maxrss, QFileInfo(pdf).size(), cpuMs(usage));
        return 0;
    }
    QTemporaryDir programFolder;
    setProgramFolderForTesting(programFolder.path());
    auto* platform = new UserPlatform(pdf, QDir(folder).filePath(QStringLiteral("logo.jpg")), kCopies);
    installPlatform(std::unique_ptr<Platform>(platform));
    TfrmVerticali editor;
    showPeerLabel(editor);
    if (platform->messages > 0)
        return 2;
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    QElapsedTimer timer;
    timer.start();
    editor.cmdStampa->click();
    const double ms = timer.nsecsElapsed() / 1e6;
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    if (platform->messages > 0 || !QFileInfo::exists(pdf))
        return 2;
    std::printf("%.3f %ld %lld %.3f\n", ms, bench::peakRssKiB(), QFileInfo(pdf).size(),
                cpuMs(after) - cpuMs(before));
    return 0;
}

// One run of a child: its wall time (ms), peak memory (KiB) and PDF size.
struct Run
{
    double ms = 0;
    double kb = 0;
    double bytes = 0;
    double cpuMs = 0;
};

Run runOnce(const QString& program, const QString& mode, const QString& folder)
{
    QElapsedTimer timer;
    timer.start();
    const std::vector<double> numbers = bench::childFigures(program, {QStringLiteral("--child"), mode, folder});
    Run run;
    run.ms = timer.nsecsElapsed() / 1e6;
    if (numbers.size() == 4) {
        if (numbers[0] > 0)
            run.ms = numbers[0]; // ours: the span from Stampa to the complete file
        run.kb = numbers[1];
        run.bytes = numbers[2];
        run.cpuMs = numbers[3];
    }
    return run;
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
    const int peersAt = int(args.indexOf(QStringLiteral("--peers")));
    const QString peers = peersAt > 0 && peersAt + 1 < args.size() ? args[peersAt + 1] : QStringLiteral("/work/shared/peers");
    if (QStandardPaths::findExecutable(QStringLiteral("glabels-3-batch")).isEmpty()) {
        std::printf("bench_label: glabels-3-batch is not installed (Debian package glabels); no figure\n");
        return 0;
    }
    QTemporaryDir dir;
    for (const char* name : {"vertical-label.glabels", "logo.jpg"})
        if (!QFile::copy(QDir(peers).filePath(QString::fromLatin1(name)), dir.filePath(QString::fromLatin1(name)))) {
            std::fprintf(stderr, "bench_label: %s missing in %s\n", name, qPrintable(peers));
            return 1;
        }

    // gLabels builds its font cache on its first runs: one untimed run warms it.
    runOnce(app.applicationFilePath(), QStringLiteral("peer"), dir.path());
    const int pairs = quick ? 3 : 7;
    std::vector<double> oursMs, peerMs, oursKb, peerKb, oursCpu, peerCpu;
    Run ours, peer;
    for (int i = 0; i < pairs; ++i) {
        peer = runOnce(app.applicationFilePath(), QStringLiteral("peer"), dir.path());
        ours = runOnce(app.applicationFilePath(), QStringLiteral("ours"), dir.path());
        if (ours.kb == 0 || peer.kb == 0) {
            std::fprintf(stderr, "bench_label: a run failed\n");
            return 1;
        }
        oursMs.push_back(ours.ms), peerMs.push_back(peer.ms);
        oursKb.push_back(ours.kb), peerKb.push_back(peer.kb);
        oursCpu.push_back(ours.cpuMs), peerCpu.push_back(peer.cpuMs);
    }
    bool ok = reportbench::reportRatios("Stampa to PDF of 100 labels vs glabels-3-batch", oursMs, peerMs, kTimeBudget,
                                        "ms");
    // For information: processor time, which other work on a shared
    // machine does not inflate the way it inflates the peer's long wall time.
    reportbench::reportRatios("processor time of that span vs glabels-3-batch", oursCpu, peerCpu, kTimeBudget, "ms");
    reportbench::reportRatios("peak memory of that process vs glabels-3-batch", oursKb, peerKb, kMemoryBudget, "KiB");
    std::printf("PDF size: ours %.0f bytes, glabels %.0f bytes\n", ours.bytes, peer.bytes);
    return ok ? 0 : 1;
}
