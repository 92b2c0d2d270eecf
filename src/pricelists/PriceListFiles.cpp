#include "PriceListFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vinarca {

namespace {
const QString kExtension = QStringLiteral(".lis");
// The longest file name, in bytes of the file system's encoding, that the
// common file systems take.
constexpr qsizetype kMaxFileNameBytes = 255;
} // namespace

QString PriceListPath(const QString& name, const QString& folder)
{
    return folder + name + kExtension;
}

QStringList ListPriceListFiles(const QString& folder)
{
    // Hidden files count too: a list is any file of the pattern.
    QDir dir(folder);
    return dir.entryList({QStringLiteral("*.lis")}, QDir::Files | QDir::Hidden, QDir::Unsorted);
}

QString PriceListTitle(const QString& shownName)
{
    return shownName.left(qMax<qsizetype>(0, shownName.size() - 4));
}

CreateOutcome CreatePriceListFile(const QString& path)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return CreateOutcome::Created;
    return QFileInfo::exists(path) || QFileInfo(path).isSymLink() ? CreateOutcome::Exists : CreateOutcome::Failed;
}

bool DeletePriceListFile(const QString& path)
{
    return QFile::remove(path);
}

NameProblem priceListNameProblem(const QString& name)
{
    if (name.isEmpty())
        return NameProblem::Empty;
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        return NameProblem::Separator;
    if (name.count(QLatin1Char('.')) == name.size())
        return NameProblem::OnlyDots;
    for (QChar c : name) {
        if (c.unicode() < 32 || c.unicode() == 127)
            return NameProblem::ControlCharacter;
    }
    if (QFile::encodeName(name + kExtension).size() > kMaxFileNameBytes)
        return NameProblem::TooLong;
    return NameProblem::None;
}

QString nameProblemMessage(NameProblem problem)
{
    switch (problem) {
    case NameProblem::None:
        return {};
    case NameProblem::Empty:
        return QStringLiteral("Attenzione: per creare l'archivio è necessario indicare il nome del nuovo listino "
                              "prezzi.");
    case NameProblem::Separator:
        return QStringLiteral("Attenzione: il nome del listino prezzi non può contenere i caratteri / e \\.\r\n\r\n"
                              "Inserire un nome diverso.");
    case NameProblem::OnlyDots:
        return QStringLiteral("Attenzione: il nome del listino prezzi non può essere formato da soli punti.\r\n\r\n"
                              "Inserire un nome diverso.");
    case NameProblem::ControlCharacter:
        return QStringLiteral("Attenzione: il nome del listino prezzi contiene caratteri non ammessi.\r\n\r\n"
                              "Inserire un nome diverso.");
    case NameProblem::TooLong:
        return QStringLiteral("Attenzione: il nome del listino prezzi è troppo lungo per il sistema.\r\n\r\n"
                              "Inserire un nome più breve.");
    }
    return {};
}

} // namespace vinarca
