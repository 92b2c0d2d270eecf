// Run of label stock benchmark, as the user prints it: five vertical labels
// in the archive, each with its own 1600 x 700 logo, twenty copies each in
// the run; the span runs from the run window's Stampa through the print
// window's Stampa and the print dialog's OK on a PDF printer to the complete
// PDF of 100 labels. Against gLabels' batch tool drawing one label 100
// times (/work/shared/peers: vertical-label.glabels and logo.jpg), fresh
// processes in interleaved pairs, as bench_label does:
//   time     Stampa to the finished PDF of the run  vs  glabels-3-batch -s 100
//   size     the PDF of the run: each logo once, under 1 MB
//   memory   peak resident memory of 10,000 labels against 100 (flat in the copies)
// Usage: bench_label_run [--quick] [--peers <folder>]
//        bench_label_run --child ours|peer|ours10000 <folder>
#include "DocumentWindow.h"
#include "LabelRun.h"
#include "LabelRunWindow.h"
#include "LabelWindows.h"
#include "ProgramFolder.h"
#include "RecordLayout.h"
#include "report/ReportBench.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>

using namespace vinarca;

namespace {

constexpr int kLabels = 5;
constexpr int kCopies = 20;
constexpr double kTimeBudget = 0.25;  // at most a quarter of the peer's time
constexpr double kMemoryBudget = 1.1; // 10,000 labels against 100: flat
constexpr qint64 kSizeBudget = 1024 * 1024;

class UserPlatform final : public Platform
{
public:
    explicit UserPlatform(QString pdf) : m_pdf(std::move(pdf)) {}
    int messages = 0;
    MessageAnswer message(QWidget*, MessageKind, const QString&) override { return ++messages, MessageAnswer::Ok; }
    void plainMessage(QWidget*, const QString&) override { ++messages; }
    QString openFileName(QWidget*, const OpenFileRequest&) override { return {}; }
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
        return true;
    }
    void shellOpen(const QString&) override {}
    QSize screenSize() const override { return {1920, 1080}; }
    std::unique_ptr<Camera> defaultCamera() override { return nullptr; }

private:
    QString m_pdf;
};

// Processor time (user and system) in a usage record, in ms.
double cpuMs(const rusage& usage)
{
    const auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// Five labels in the archive, each with a logo of its own: a 1600 x 700
// photo-like picture (a gradient with texture), saved as JPEG.
void writeRunArchive()
{
    const LabelKind& kind = verticalLabelKind();
    const RecordLayout& layout = labelLayout();
    QFile archive(kind.record.archivePath());
    if (!archive.open(QIODevice::WriteOnly))
        return;
    QDir().mkpath(kind.record.pictureFolderPath());
    for (int i = 1; i <= kLabels; ++i) {
        QByteArray record = layout.emptyRecord();
        const std::pair<const char*, QString> fields[] = {
            {"Prodotto", QStringLiteral("Vino %1").arg(i)}, {"Cima", QStringLiteral("AZIENDA AGRICOLA ROSSI")},
            {"Nome", QStringLiteral("Barolo %1").arg(i)},   {"Rosso", QStringLiteral("Denominazione di origine controllata")},
            {"Sottotitolo", QStringLiteral("Riserva")},      {"Rigo01", QStringLiteral("Vendemmia 2019")},
            {"Rigo02", QStringLiteral("Piemonte - Italia")}, {"Rigo03", QStringLiteral("75 cl")},
            {"Rigo04", QStringLiteral("14% vol")},          {"Calce", QStringLiteral("Imbottigliato all origine")},
        };
        for (const auto& [name, text] : fields)
            layout.encodeField(record, layout.indexOf(QString::fromLatin1(name)), text);
        archive.write(record);
        QImage logo(1600, 700, QImage::Format_RGB32);
        QPainter painter(&logo);
        QLinearGradient gradient(0, 0, 1600, 700);
        gradient.setColorAt(0, QColor::fromHsv(i * 60, 200, 230));
        gradient.setColorAt(1, QColor::fromHsv(i * 60 + 30, 120, 90));
        painter.fillRect(logo.rect(), gradient);
        for (int k = 0; k < 400; ++k)
            painter.fillRect((k * 97 * i) % 1600, (k * 53) % 700, 24, 24, QColor::fromHsv((k * 7) % 360, 150, 200));
        painter.end();
        logo.save(kind.record.picturePath(QString::number(i)), "JPG", 90);
    }
}

// One run in a fresh process; ours times the user's span inside it.
int child(const QString& mode, const QString& folder)
{
    const QString pdf = QDir(folder).filePath(mode + QStringLiteral(".pdf"));
    QFile::remove(pdf);
    if (mode == QLatin1String("peer")) {
        QProcess peer;
        peer.setWorkingDirectory(folder);
        peer.start(QStringLiteral("glabels-3-batch"), {QStringLiteral("-s"), QString::number(kLabels * kCopies),
                                                        QStringLiteral("-o"), pdf, QStringLiteral("vertical-label.glabels")});
        if (!peer.waitForFinished(-1) || peer.exitCode() != 0 || !QFileInfo::exists(pdf))
            return 2;
        rusage usage{};
        getrusage(RUSAGE_CHILDREN, &usage);
        std::printf("0 %ld %lld %.3f\n", usage.ru_maxrss, QFileInfo(pdf).size(), cpuMs(usage));
        return 0;
    }
    const int copies = mode == QLatin1String("ours10000") ? 10000 / kLabels : kCopies;
    QTemporaryDir programFolder;
    setProgramFolderForTesting(programFolder.path());
    writeRunArchive();
    auto* platform = new UserPlatform(pdf);
    installPlatform(std::unique_ptr<Platform>(platform));
    LabelRun& run = labelRunOf(verticalLabelKind());
    for (int i = 1; i <= kLabels; ++i)
        run.add(i, QStringLiteral("Vino %1").arg(i), copies);
    LabelRunWindow window(verticalLabelKind());
    window.show();
    QCoreApplication::processEvents();
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    QElapsedTimer timer;
    timer.start();
    window.btnStampa->click();
    const double ms = timer.nsecsElapsed() / 1e6;
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    if (platform->messages > 0 || !QFileInfo::exists(pdf))
        return 2;
    std::printf("%.3f %ld %lld %.3f\n", ms, bench::peakRssKiB(), QFileInfo(pdf).size(), cpuMs(after) - cpuMs(before));
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
        std::printf("bench_label_run: glabels-3-batch is not installed (Debian package glabels); no figure\n");
        return 0;
    }
    QTemporaryDir dir;
    for (const char* name : {"vertical-label.glabels", "logo.jpg"})
        if (!QFile::copy(QDir(peers).filePath(QString::fromLatin1(name)), dir.filePath(QString::fromLatin1(name)))) {
            std::fprintf(stderr, "bench_label_run: %s missing in %s\n", name, qPrintable(peers));
            return 1;
        }

    // gLabels builds its font cache on its first runs: one untimed run warms it.
    runOnce(app.applicationFilePath(), QStringLiteral("peer"), dir.path());
    const int pairs = quick ? 3 : 5;
    std::vector<double> oursMs, peerMs, oursCpu, peerCpu, smallKb, bigKb;
    Run ours, peer;
    for (int i = 0; i < pairs; ++i) {
        peer = runOnce(app.applicationFilePath(), QStringLiteral("peer"), dir.path());
        ours = runOnce(app.applicationFilePath(), QStringLiteral("ours"), dir.path());
        if (ours.kb == 0 || peer.kb == 0) {
            std::fprintf(stderr, "bench_label_run: a run failed\n");
            return 1;
        }
        oursMs.push_back(ours.ms), peerMs.push_back(peer.ms);
        oursCpu.push_back(ours.cpuMs), peerCpu.push_back(peer.cpuMs);
        smallKb.push_back(ours.kb);
    }
    const Run big = runOnce(app.applicationFilePath(), QStringLiteral("ours10000"), dir.path());
    if (big.kb == 0) {
        std::fprintf(stderr, "bench_label_run: the run of 10,000 labels failed\n");
        return 1;
    }
    bigKb.push_back(big.kb);
    bool ok = reportbench::reportRatios("Stampa to PDF of a run of 5 x 20 labels vs glabels-3-batch -s 100", oursMs,
                                        peerMs, kTimeBudget, "ms");
    reportbench::reportRatios("processor time of that span vs glabels-3-batch", oursCpu, peerCpu, kTimeBudget, "ms");
    ok = reportbench::reportRatios("peak memory printing 10,000 labels vs 100", bigKb, smallKb, kMemoryBudget, "KiB")
        && ok;
    const bool small = ours.bytes > 0 && ours.bytes < kSizeBudget;
    std::printf("PDF size: ours %.0f bytes (budget %lld), glabels %.0f bytes; 10,000 labels: %.0f bytes in %.0f ms\n",
                ours.bytes, kSizeBudget, peer.bytes, big.bytes, big.ms);
    return ok && small ? 0 : 1;
}
