// Build step: writes the password store delivered with the program, holding
// the first-access password enciphered with the program's own constants.
// Usage: makestore <output file>
#include "Crypt.h"
#include "PasswordStore.h"

#include <QFile>

int main(int argc, char* argv[])
{
    if (argc != 2)
        return 2;
    const QString hex = Crypt::EncryptToHex(vinarca::NormalizePassword(QStringLiteral("grappolodoraro")));
    const QByteArray content = vinarca::iniWithValue({}, QStringLiteral("Accesso"), QStringLiteral("Valore"), hex);
    QFile file(QString::fromLocal8Bit(argv[1]));
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size() ? 0 : 1;
}
