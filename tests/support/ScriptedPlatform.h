#pragma once

#include "Camera.h"
#include "Platform.h"

#include <QList>
#include <QPrintDialog>
#include <QQueue>
#include <QTemporaryDir>

#include <functional>
#include <memory>

// Records every platform call and answers from queues, so a whole user flow
// (click Save, read the message, answer) runs headless.
class ScriptedPlatform final : public vinarca::Platform
{
public:
    struct Message
    {
        vinarca::MessageKind kind;
        QString text;
        bool plain = false;
    };

    QList<Message> messages;
    QQueue<vinarca::MessageAnswer> answers;
    // Runs while a message box is "open" (as the user would leave it open).
    std::function<void()> onMessage;
    QQueue<QString> openAnswers;
    QQueue<QString> saveAnswers;
    QList<vinarca::OpenFileRequest> openRequests;
    QList<vinarca::SaveFileRequest> saveRequests;
    QStringList shellCommands;
    // Runs against each dialog shown modally; its return value is the result code.
    std::function<int(QDialog&)> onDialog;
    // Stands for the user in the print dialog: sets up the printer and
    // returns true to print, false to cancel. Unset: cancel.
    std::function<bool(QPrinter&, int pageCount)> onPrintDialog;
    // The print mode the user picks when printing (the calibrations stay as
    // offered); what the dialog offered first.
    vinarca::PrintChoices printChoices;
    vinarca::PrintChoices offeredPrintChoices;
    // When set, the real print dialog is built, as the user gets it, and
    // handed to this function in place of being shown: it plays the user on
    // the dialog's controls and returns true for OK, false for Cancel. On
    // OK, onPrintDialog (when set) then picks the printer.
    std::function<bool(QPrintDialog&)> onRealPrintDialog;
    int printDialogs = 0;
    // Progress windows: the text and step count of each, the last step
    // reported, and the step at which the user presses Annulla (-1: never).
    QStringList progressTexts;
    int progressSteps = 0;
    int progressDone = -1;
    int cancelProgressAt = -1;
    QSize screen{1366, 768};

    vinarca::MessageAnswer message(QWidget*, vinarca::MessageKind kind, const QString& text) override;
    void plainMessage(QWidget*, const QString& text) override;
    QString openFileName(QWidget*, const vinarca::OpenFileRequest& request) override;
    QString saveFileName(QWidget*, const vinarca::SaveFileRequest& request) override;
    int execDialog(QDialog& dialog) override;
    std::unique_ptr<vinarca::Progress> progress(QWidget*, const QString& text, int steps) override;
    bool printDialog(QWidget*, QPrinter& printer, int pageCount, vinarca::PrintChoices& choices) override;
    void shellOpen(const QString& command) override { shellCommands << command; }
    QSize screenSize() const override { return screen; }
    // Makes the camera a window asks for; unset: the machine has no camera.
    std::function<std::unique_ptr<vinarca::Camera>()> cameraFactory;
    std::unique_ptr<vinarca::Camera> defaultCamera() override
    {
        return cameraFactory ? cameraFactory() : nullptr;
    }

    QString lastMessage() const { return messages.isEmpty() ? QString() : messages.constLast().text; }
};

// Installs a fresh ScriptedPlatform and a fresh temporary program folder for
// the lifetime of the object; restores both afterwards.
class TestWorld
{
public:
    TestWorld();
    ~TestWorld();
    ScriptedPlatform& platform() { return *m_platform; }
    QString folder() const; // with trailing '/'
    QString path(const QString& relative) const { return folder() + relative; }

private:
    QTemporaryDir m_dir;
    ScriptedPlatform* m_platform;
    std::unique_ptr<vinarca::Platform> m_previous;
};
