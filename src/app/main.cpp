#include "WindowSet.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    vinarca::FontsAhead fonts;
    // Software rendering where the platform offers the choice.
    QCoreApplication::setAttribute(Qt::AA_UseSoftwareOpenGL);
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    vinarca::prepareApplication(&app);
    fonts.wait();
    vinarca::WindowSet windows;
    windows.start();
    return app.exec();
}
