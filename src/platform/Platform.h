#pragma once

#include "PrintChoices.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

#include <memory>

class QDialog;
class QPrinter;
class QWidget;

// Everything that blocks a user flow or needs a device goes through this one
// interface: the program installs the real Qt implementation at start-up, tests
// install a scripted one that records each call and answers from a queue.
namespace vinarca {

class Camera;

enum class MessageKind { Warning, Error, Information, Confirmation, Choice };

// A confirmation box offers Yes and No; a choice offers Yes, No and Cancel
// (Cancel: the user stays where they were); warnings, errors and information
// notices offer OK and Cancel and the answer makes no difference to the caller.
enum class MessageAnswer { Ok, Cancel, Yes, No };

struct FileFilter
{
    QString description; // "Immagine JPEG (*.jpg; *.jpeg)"
    QString patterns;    // "*.jpg;*.jpeg"
};

struct OpenFileRequest
{
    QString title;
    QList<FileFilter> filters;
};

struct SaveFileRequest
{
    QString title;
    QList<FileFilter> filters;
    QString proposedName;
    bool confirmOverwrite = true;
};

// A long job's progress window: how far the job is, and Annulla.
class Progress
{
public:
    virtual ~Progress() = default;
    // `done` of the job's steps are finished; false once the user chose Annulla.
    virtual bool advance(int done) = 0;
};

class Platform
{
public:
    virtual ~Platform() = default;

    // A message box of a kind: OK + Cancel, Yes + No for confirmations, Yes +
    // No + Cancel for choices.
    virtual MessageAnswer message(QWidget* parent, MessageKind kind, const QString& text) = 0;
    // A plain box: the text and one OK button, no icon.
    virtual void plainMessage(QWidget* parent, const QString& text) = 0;

    // Empty result: the user cancelled.
    virtual QString openFileName(QWidget* parent, const OpenFileRequest& request) = 0;
    virtual QString saveFileName(QWidget* parent, const SaveFileRequest& request) = 0;

    // Shows a dialog window modally and returns its result code.
    virtual int execDialog(QDialog& dialog) = 0;

    // The print dialog (printer, printing to a PDF file, copies, collate, page
    // range, print mode) for `pageCount` pages; false when the user cancels.
    // `choices` comes in with what the dialog offers first and goes out with
    // what the user chose; when the user cancels, with the printer
    // calibrations made in the dialog all the same.
    virtual bool printDialog(QWidget* parent, QPrinter& printer, int pageCount, PrintChoices& choices) = 0;

    // A progress window for a job of `steps` steps, shown while the job runs
    // and closed when the returned object goes. By default the job simply
    // runs to its end.
    virtual std::unique_ptr<Progress> progress(QWidget* parent, const QString& text, int steps);

    // The desktop's open action; the result is not examined by callers.
    virtual void shellOpen(const QString& command) = 0;

    virtual QSize screenSize() const = 0;

    // The system's default camera, or nothing when the machine has none.
    virtual std::unique_ptr<Camera> defaultCamera() = 0;
};

Platform& platform();
// Installs an implementation and returns the previous one (tests restore it).
std::unique_ptr<Platform> installPlatform(std::unique_ptr<Platform> implementation);

// The production implementation over QMessageBox, QFileDialog and QDesktopServices.
std::unique_ptr<Platform> makeQtPlatform();

// "Immagine JPEG (*.jpg *.jpeg)" as Qt's file dialogs want it.
QString qtFilterText(const FileFilter& filter);

} // namespace vinarca
