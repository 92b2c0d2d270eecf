// Chooses one file in the attachments window and tells what the user saw:
// on standard output, each message followed by a NUL byte, then the text of
// the slot's name field. The test that starts it limits the size of the files
// it may write, so the copy meets a full disk. An overwrite question is
// answered Yes.
//   attach_worker <program folder> <chosen file>
#include "AllegaCartella.h"
#include "ProgramFolder.h"
#include "ScriptedPlatform.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

#include <cstdio>

using namespace vinarca;

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3)
        return 2;
    setProgramFolderForTesting(args[1]);
    auto* scripted = new ScriptedPlatform;
    installPlatform(std::unique_ptr<Platform>(scripted));
    scripted->openAnswers << args[2];

    TfrmAllegaCartella window;
    window.fill(QStringLiteral("vini"), {}, {});
    window.btnSfoglia[0]->click();

    QByteArray seen;
    for (const auto& message : scripted->messages)
        seen += message.text.toUtf8() + '\0';
    seen += window.txtFile[0]->text().toUtf8();
    std::fwrite(seen.constData(), 1, size_t(seen.size()), stdout);
    return 0;
}
