// Wine search benchmark, against a floor measured in the same run on the same
// data (the photo benchmark is bench_photo):
//   search   "Cerca" from click to list shown, over 100,000 wines, with no
//            criterion and with three  vs  grep -c -i of a word over the file
// Usage: bench_wines [--quick]
#include "BenchSupport.h"
#include "FramedEdit.h"
#include "Platform.h"
#include "PictureBox.h"
#include "ProgramFolder.h"
#include "SampleData.h"
#include "TrovaVini.h"
#include "Vini.h"
#include "WineRecord.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QImageWriter>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QRandomGenerator>
#include <QPushButton>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace vinarca;

namespace {

int g_over = 0;

void report(const char* what, double measured, double floor, double budget)
{
    g_over += bench::report(what, measured, floor, budget) ? 0 : 1;
}

double runCommand(const QString& program, const QStringList& arguments, int runs)
{
    return bench::medianMs(runs, [&] {
        // Output to a pipe, read here: grep stops at the first match when
        // its output is /dev/null, which would not be a full scan.
        QProcess process;
        process.start(program, arguments);
        if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit)
            std::fprintf(stderr, "%s did not run: %s\n", qPrintable(program), qPrintable(process.errorString()));
        process.readAllStandardOutput();
    });
}

void searchBench(int wines, int runs)
{
    tour::writeSampleWines(wineArchivePath(), wines);
    const QString path = wineArchivePath();
    const double grep = runCommand(QStringLiteral("grep"), {QStringLiteral("-c"), QStringLiteral("-i"),
                                                           QStringLiteral("montalcino"), path}, runs);

    auto search = [&](const std::function<void(TfrmTrovaVini&)>& criteria) {
        return bench::medianMs(runs, [&] {
            TfrmTrovaVini window;
            window.resize(862, 560);
            window.show();
            criteria(window);
            window.btnCercaClick();
            QCoreApplication::processEvents(); // the list drawn
        });
    };
    const double none = search([](TfrmTrovaVini&) {});
    const double three = search([](TfrmTrovaVini& w) {
        w.txtRegione->setText(QStringLiteral("toscana"));
        w.txtAnnata->setText(QStringLiteral("201"));
        w.txtNote->setText(QStringLiteral("tartufo"));
    });
    char label[96];
    std::snprintf(label, sizeof label, "Cerca, no criterion, %d wines", wines);
    report(label, none, grep, 3.0);
    std::snprintf(label, sizeof label, "Cerca, three criteria, %d wines", wines);
    report(label, three, grep, 3.0);
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const bool quick = argc == 2 && qstrcmp(argv[1], "--quick") == 0;
    QApplication app(argc, argv);
    const int runs = quick ? 3 : 7;
    installPlatform(tour::makeQuietPlatform());
    QTemporaryDir folder;
    setProgramFolderForTesting(folder.path());
    searchBench(quick ? 10000 : 100000, runs);
    return g_over == 0 ? 0 : 1;
}
