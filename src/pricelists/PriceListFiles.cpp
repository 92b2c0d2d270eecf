#include "PriceListFiles.h"

#include "PricePage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <limits>

namespace vinarca {

namespace {
const QString kExtension = QStringLiteral(".lis");
// The longest file name, in bytes of the file system's encoding, that the
// common file systems take.
constexpr qsizetype kMaxFileNameBytes = 255;

// Characters no file name may hold on the file systems a program folder is
// copied to (FAT and exFAT sticks, Windows disks), besides the separators.
// The typing filter refuses them as they are typed; a pasted name meets
// them here.
const QString kReservedCharacters = QStringLiteral("\"*:<>?|");

// Device names that Windows gives no file, whatever their extension.
bool isDeviceName(const QString& name)
{
    const QString stem = name.section(QLatin1Char('.'), 0, 0).trimmed().toUpper();
    static const QStringList kDevices = {QStringLiteral("CON"), QStringLiteral("PRN"), QStringLiteral("AUX"),
                                         QStringLiteral("NUL")};
    if (kDevices.contains(stem))
        return true;
    return stem.size() == 4 && (stem.startsWith(QLatin1String("COM")) || stem.startsWith(QLatin1String("LPT")))
        && stem.at(3) >= QLatin1Char('1') && stem.at(3) <= QLatin1Char('9');
}
} // namespace

QString PriceListPath(const QString& name, const QString& folder)
{
    return folder + name + kExtension;
}

QStringList ListPriceListFiles(const QString& folder)
{
    // Hidden files count too: a list is any file of the pattern, with the
    // extension in small letters as lists are made ("X.LIS" is not one).
    QDir dir(folder);
    return dir.entryList({QStringLiteral("*.lis")}, QDir::Files | QDir::Hidden | QDir::CaseSensitive, QDir::Unsorted);
}

QString PriceListTitle(const QString& shownName)
{
    return shownName.left(qMax<qsizetype>(0, shownName.size() - 4));
}

CreateOutcome CreatePriceListFile(const QString& path)
{
    // A list whose name differs from another's only in capital and small
    // letters would be the same file on a stick that ignores them (and share
    // its photos even here): it counts as existing.
    const QFileInfo target(path);
    const QStringList existing =
        target.absoluteDir().entryList({QStringLiteral("*")}, QDir::Files | QDir::Hidden | QDir::System | QDir::Dirs
                                                                  | QDir::NoDotAndDotDot);
    for (const QString& name : existing) {
        if (name.compare(target.fileName(), Qt::CaseInsensitive) == 0)
            return CreateOutcome::Exists;
    }
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
    for (QChar c : name) {
        if (kReservedCharacters.contains(c))
            return NameProblem::ReservedCharacter;
    }
    if (isDeviceName(name))
        return NameProblem::DeviceName;
    // Every file of the list must be able to exist: the list itself, and the
    // longest of its photo names, a slot photo of the highest page number.
    const QString longestPhoto = SlotPhotoFileName(name, QStringLiteral("A"), std::numeric_limits<int>::max());
    if (QFile::encodeName(name + kExtension).size() > kMaxFileNameBytes
        || QFile::encodeName(longestPhoto).size() > kMaxFileNameBytes
        || QFile::encodeName(PreviewPhotoFileName(name, QStringLiteral("A"))).size() > kMaxFileNameBytes)
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
    case NameProblem::ReservedCharacter:
        return QStringLiteral("Attenzione: il nome del listino prezzi non può contenere i caratteri "
                              "\\ / : * ? \" < > |.\r\n\r\nInserire un nome diverso.");
    case NameProblem::DeviceName:
        return QStringLiteral("Attenzione: il nome del listino prezzi è riservato dal sistema.\r\n\r\n"
                              "Inserire un nome diverso.");
    case NameProblem::TooLong:
        return QStringLiteral("Attenzione: il nome del listino prezzi è troppo lungo per il sistema.\r\n\r\n"
                              "Inserire un nome più breve.");
    }
    return {};
}

} // namespace vinarca
