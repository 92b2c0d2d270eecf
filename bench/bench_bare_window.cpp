// The floor of the start-up benchmark: a program that links Qt Widgets only
// and shows one empty window, of the login window's size or of the size
// given (bench_bare_window WIDTH HEIGHT). It writes "shown" once the
// window's first painting has reached the screen, with its peak resident
// memory in KiB (the floor of the memory benchmarks), then exits. A larger
// window costs more memory on its own (its pixels on screen), so a memory
// benchmark runs it at the size of the window it measures.
#include "BenchProcess.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace {
class OnFirstPaint final : public QObject
{
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, qApp, [] {
                std::printf("shown %ld\n", bench::peakRssKiB());
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        }
        return false;
    }
};
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication::setAttribute(Qt::AA_UseSoftwareOpenGL);
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QSize size = args.size() == 3 ? QSize(args[1].toInt(), args[2].toInt()) : QSize(388, 405);
    QWidget window;
    window.setFixedSize(size);
    OnFirstPaint watch;
    window.installEventFilter(&watch);
    window.show();
    window.activateWindow();
    return app.exec();
}
