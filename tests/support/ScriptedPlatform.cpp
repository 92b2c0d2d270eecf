#include "ScriptedPlatform.h"

#include "ProgramFolder.h"
#include "WindowSet.h"

#include <QCoreApplication>
#include <QDialog>

using namespace vinarca;

namespace {
// Every test process runs with what the program sets at start-up, so tests
// see the formats and the keys that users get.
void prepareTestApplication()
{
    prepareApplication(QCoreApplication::instance());
}
} // namespace
Q_COREAPP_STARTUP_FUNCTION(prepareTestApplication)

MessageAnswer ScriptedPlatform::message(QWidget*, MessageKind kind, const QString& text)
{
    messages.append({kind, text, false});
    if (onMessage)
        onMessage();
    if (!answers.isEmpty())
        return answers.dequeue();
    return kind == MessageKind::Confirmation ? MessageAnswer::Yes : MessageAnswer::Ok;
}

void ScriptedPlatform::plainMessage(QWidget*, const QString& text)
{
    messages.append({MessageKind::Information, text, true});
}

QString ScriptedPlatform::openFileName(QWidget*, const OpenFileRequest& request)
{
    openRequests << request;
    return openAnswers.isEmpty() ? QString() : openAnswers.dequeue();
}

QString ScriptedPlatform::saveFileName(QWidget*, const SaveFileRequest& request)
{
    saveRequests << request;
    return saveAnswers.isEmpty() ? QString() : saveAnswers.dequeue();
}

int ScriptedPlatform::execDialog(QDialog& dialog)
{
    return onDialog ? onDialog(dialog) : QDialog::Rejected;
}

bool ScriptedPlatform::printDialog(QWidget*, QPrinter& printer, int pageCount, vinarca::PrintChoices& choices)
{
    ++printDialogs;
    offeredPrintChoices = choices;
    if (!onPrintDialog || !onPrintDialog(printer, pageCount))
        return false;
    choices = printChoices;
    return true;
}

TestWorld::TestWorld() : m_platform(new ScriptedPlatform)
{
    m_previous = installPlatform(std::unique_ptr<Platform>(m_platform));
    setProgramFolderForTesting(m_dir.path());
}

TestWorld::~TestWorld()
{
    setProgramFolderForTesting({});
    installPlatform(std::move(m_previous));
}

QString TestWorld::folder() const
{
    return ProgramFolder();
}
