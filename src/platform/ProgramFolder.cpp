#include "ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>

namespace vinarca {

namespace {
QString& testFolder()
{
    static QString folder;
    return folder;
}

QString withSeparator(QString path)
{
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path;
}
} // namespace

QString ProgramFolder()
{
    if (!testFolder().isEmpty())
        return testFolder();
    return withSeparator(QDir(QCoreApplication::applicationDirPath()).absolutePath());
}

void setProgramFolderForTesting(const QString& folder)
{
    testFolder() = folder.isEmpty() ? QString() : withSeparator(QDir(folder).absolutePath());
}

void applyProcessFormats()
{
    // Italian numbers use ',' as the decimal separator; dates are always
    // written through shortDateText, which does not depend on the locale.
    QLocale locale(QLocale::Italian, QLocale::Italy);
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    QLocale::setDefault(locale);
}

QString shortDateText(const QDate& date)
{
    return date.toString(QStringLiteral("dd/MM/yyyy"));
}

} // namespace vinarca
