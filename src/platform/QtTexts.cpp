#include "QtTexts.h"

#include "ProgramFolder.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

namespace vinarca {

namespace {

constexpr auto kFileName = "qtbase_it.qm";

int& englishHeld()
{
    static int held = 0;
    return held;
}

// Qt's Italian texts, except while an English window is built or open.
class ItalianQtTexts final : public QTranslator
{
public:
    using QTranslator::QTranslator;

    QString translate(const char* context, const char* sourceText, const char* disambiguation, int n) const override
    {
        if (englishHeld() > 0)
            return {};
        return QTranslator::translate(context, sourceText, disambiguation, n);
    }
};

// Owned by the application, so it goes with it.
QPointer<ItalianQtTexts>& installed()
{
    static QPointer<ItalianQtTexts> translator;
    return translator;
}

} // namespace

QString italianQtTextsFile()
{
    const QString name = QString::fromLatin1(kFileName);
    for (const QString& folder : {ProgramFolder() + QStringLiteral("translations"),
                                  QLibraryInfo::path(QLibraryInfo::TranslationsPath)}) {
        const QFileInfo file(folder + QLatin1Char('/') + name);
        if (file.isFile())
            return file.absoluteFilePath();
    }
    return {};
}

bool installItalianQtTexts()
{
    if (installed())
        return true;
    QCoreApplication* application = QCoreApplication::instance();
    const QString file = italianQtTextsFile();
    if (!application || file.isEmpty())
        return false;
    auto* translator = new ItalianQtTexts(application);
    if (!translator->load(file) || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    installed() = translator;
    return true;
}

void removeItalianQtTexts()
{
    if (!installed())
        return;
    QCoreApplication::removeTranslator(installed());
    delete installed();
}

EnglishQtTexts::EnglishQtTexts()
{
    ++englishHeld();
}

EnglishQtTexts::~EnglishQtTexts()
{
    --englishHeld();
}

} // namespace vinarca
