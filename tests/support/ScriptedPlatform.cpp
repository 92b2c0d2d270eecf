#include "ScriptedPlatform.h"

#include "PrintDialog.h"
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
    // Unscripted, a choice is answered No: the answer that changes least
    // (leaving an editor discards its edits, as before the question existed).
    if (kind == MessageKind::Choice)
        return MessageAnswer::No;
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
    if (onRealPrintDialog) {
        const auto dialog = createPrintDialog(nullptr, printer, pageCount, choices);
        dialog->show();
        bool accepted = onRealPrintDialog(*dialog);
        if (accepted) {
            dialog->accept(); // hands the printer what the dialog shows
            // The printer the user picks, when the test says which.
            if (onPrintDialog)
                accepted = onPrintDialog(printer, pageCount);
        } else {
            dialog->reject();
        }
        takePrintChoices(*dialog, accepted, choices);
        return accepted;
    }
    if (!onPrintDialog || !onPrintDialog(printer, pageCount))
        return false;
    const vinarca::Calibrations calibrations = choices.calibrations;
    choices = printChoices;
    choices.calibrations = calibrations;
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

std::unique_ptr<vinarca::Progress> ScriptedPlatform::progress(QWidget*, const QString& text, int steps)
{
    class Scripted final : public vinarca::Progress
    {
    public:
        explicit Scripted(ScriptedPlatform& platform) : m_platform(platform) {}
        bool advance(int done) override
        {
            m_platform.progressDone = done;
            return m_platform.cancelProgressAt < 0 || done < m_platform.cancelProgressAt;
        }

    private:
        ScriptedPlatform& m_platform;
    };
    progressTexts << text;
    progressSteps = steps;
    progressDone = -1;
    return std::make_unique<Scripted>(*this);
}
