#pragma once

// What the report benchmarks share: a platform whose print dialog chooses a
// PDF file and whose dialogs press their main button, the peak memory of a
// process, and figures taken as interleaved pairs against a floor.

#include "Camera.h"
#include "DocumentWindow.h"
#include "BenchProcess.h"
#include "Platform.h"

#include <QDialog>
#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QSize>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace reportbench {

// Prints to `pdf` whenever asked; a print or preview window of a document
// is answered by pressing its Stampa button; messages are counted.
class PdfPlatform final : public vinarca::Platform
{
public:
    explicit PdfPlatform(QString pdf) : m_pdf(std::move(pdf)) {}
    int messages = 0;

    vinarca::MessageAnswer message(QWidget*, vinarca::MessageKind, const QString&) override
    {
        ++messages;
        return vinarca::MessageAnswer::Ok;
    }
    void plainMessage(QWidget*, const QString&) override { ++messages; }
    QString openFileName(QWidget*, const vinarca::OpenFileRequest&) override { return {}; }
    QString saveFileName(QWidget*, const vinarca::SaveFileRequest&) override { return {}; }
    int execDialog(QDialog& dialog) override
    {
        if (auto* window = qobject_cast<vinarca::DocumentWindow*>(&dialog)) {
            window->show();
            window->btnStampaClick();
        }
        return dialog.result();
    }
    bool printDialog(QWidget*, QPrinter& printer, int, vinarca::PrintChoices&) override
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_pdf);
        return true;
    }
    void shellOpen(const QString&) override {}
    QSize screenSize() const override { return {1920, 1080}; }
    std::unique_ptr<vinarca::Camera> defaultCamera() override { return nullptr; }

private:
    QString m_pdf;
};

// Ratios measured / floor of interleaved pairs: prints min and median
// against the budget and returns whether the median holds it.
inline bool reportRatios(const char* what, const std::vector<double>& measured, const std::vector<double>& floor,
                         double budget, const char* unit)
{
    std::vector<double> ratios;
    for (std::size_t i = 0; i < measured.size() && i < floor.size(); ++i)
        ratios.push_back(measured[i] / floor[i]);
    if (ratios.empty()) {
        std::printf("%-52s no figure\n", what);
        return false;
    }
    auto median = [](std::vector<double> values) {
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    };
    const double mid = median(ratios);
    const double least = *std::min_element(ratios.begin(), ratios.end());
    const bool ok = mid <= budget;
    std::printf("%-52s %10.1f %s  floor %10.1f %s  ratio min %5.2f median %5.2f  budget %4.1f  %s\n", what,
                median(measured), unit, median(floor), unit, least, mid, budget, ok ? "OK" : "OVER");
    return ok;
}

} // namespace reportbench
