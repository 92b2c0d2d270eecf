// Bottle label printing benchmark: 100 copies of the vertical label with a
// logo to PDF, from the label's print window through the print dialog,
// against gLabels' batch tool drawing the same label 100 times
// (/work/shared/peers: vertical-label.glabels and logo.jpg). Each run is a
// process of its own, ours and the peer's in interleaved pairs:
//   time     start to finished PDF of 100 labels   vs  glabels-3-batch -s 100
//   memory   peak resident memory of that process  vs  the peer's
// Usage: bench_label [--quick] [--peers <folder>]
//        bench_label --child ours|peer <folder>   (one run: prints ms and KiB)
#include "LabelPrint.h"
#include "PreparedReport.h"
#include "ProgramFolder.h"
#include "LabelWindows.h"
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
constexpr double kBudget = 1.0; // faster and no larger than the peer

// Prints to a PDF with the copies the user would choose in the print dialog.
class CopiesPlatform final : public Platform
{
public:
    CopiesPlatform(QString pdf, int copies) : m_pdf(std::move(pdf)), m_copies(copies) {}
    int messages = 0;
    MessageAnswer message(QWidget*, MessageKind, const QString&) override { return ++messages, MessageAnswer::Ok; }
    void plainMessage(QWidget*, const QString&) override { ++messages; }
    QString openFileName(QWidget*, const OpenFileRequest&) override { return {}; }
    QString saveFileName(QWidget*, const SaveFileRequest&) override { return {}; }
    int execDialog(QDialog& dialog) override { return dialog.result(); }
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
    int m_copies;
};

// The label of the peer file: the same nine lines and logo.
LabelPrintInput peerLabel(const QString& folder)
{
    LabelPrintInput input;
    input.lines = {QStringLiteral("AZIENDA AGRICOLA ROSSI"),
                   QStringLiteral("Barolo"),
                   QStringLiteral("Denominazione di origine controllata e garantita"),
                   QStringLiteral("Riserva"),
                   QStringLiteral("Vendemmia 2019"),
                   QStringLiteral("Piemonte - Italia"),
                   QStringLiteral("75 cl"),
                   QStringLiteral("14% vol"),
                   QStringLiteral("Imbottigliato all origine")};
    input.logo = QImage(QDir(folder).filePath(QStringLiteral("logo.jpg")));
    return input;
}

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
        std::printf("%ld %lld\n", usage.ru_maxrss, QFileInfo(pdf).size());
        return 0;
    }
    QTemporaryDir programFolder;
    setProgramFolderForTesting(programFolder.path());
    auto* platform = new CopiesPlatform(pdf, kCopies);
    installPlatform(std::unique_ptr<Platform>(platform));
    TfrmStampaVerticale window(peerLabel(folder));
    window.show();
    window.btnStampaClick();
    if (platform->messages > 0 || !QFileInfo::exists(pdf))
        return 2;
    std::printf("%ld %lld\n", reportbench::peakRssKb(), QFileInfo(pdf).size());
    return 0;
}

// One run of a child: its wall time (ms), peak memory (KiB) and PDF size.
struct Run
{
    double ms = 0;
    double kb = 0;
    double bytes = 0;
};

Run runOnce(const QString& program, const QString& mode, const QString& folder)
{
    QElapsedTimer timer;
    timer.start();
    const std::vector<double> numbers = reportbench::runChild(program, {QStringLiteral("--child"), mode, folder});
    Run run;
    run.ms = timer.nsecsElapsed() / 1e6;
    if (numbers.size() == 2) {
        run.kb = numbers[0];
        run.bytes = numbers[1];
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

    const int pairs = quick ? 3 : 7;
    std::vector<double> oursMs, peerMs, oursKb, peerKb;
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
    }
    bool ok = reportbench::reportRatios("100 vertical labels to PDF vs glabels-3-batch", oursMs, peerMs, kBudget, "ms");
    ok &= reportbench::reportRatios("peak memory of that process vs glabels-3-batch", oursKb, peerKb, kBudget, "KiB");
    std::printf("PDF size: ours %.0f bytes, glabels %.0f bytes\n", ours.bytes, peer.bytes);
    return ok ? 0 : 1;
}
