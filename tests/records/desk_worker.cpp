// Another desk on the same program folder, in a process of its own: shows a
// stored record in a real editor, types a text into one of its boxes, loads
// a picture when one is given, and presses Salva. Prints each message it
// was shown, each followed by a NUL byte.
//   desk_worker <program folder> <editor> <position> <box> <text> [<picture file>]
#include "EditorFixture.h"
#include "ProgramFolder.h"
#include "RecordArchive.h"

#include <QApplication>

#include <cstdio>

using namespace vinarca;

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 6)
        return 2;
    setProgramFolderForTesting(args[1]);
    auto* scripted = new ScriptedPlatform;
    installPlatform(std::unique_ptr<Platform>(scripted));

    const std::unique_ptr<RecordEditor> editor = makeEditor(args[2], args[1]);
    editor->show();
    const qint64 position = args[3].toLongLong();
    QByteArray record;
    {
        RecordArchive archive(editor->archive().path, *editor->archive().layout, RecordArchive::Access::Read);
        archive.readAt(position, record);
    }
    editor->showRecord(record, position);
    editor->editBoxes().at(args[4].toInt())->setText(args[5]);
    if (args.size() > 6) {
        scripted->openAnswers << args[6];
        loadPicture(*editor);
    }
    editor->cmdSalvaClick();

    QByteArray seen;
    for (const auto& message : scripted->messages)
        seen += message.text.toUtf8() + '\0';
    std::fwrite(seen.constData(), 1, size_t(seen.size()), stdout);
    return 0;
}
