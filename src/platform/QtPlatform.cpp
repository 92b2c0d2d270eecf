#include "Platform.h"

#include "Camera.h"
#include "PrintDialog.h"
#include "QtTexts.h"

#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPrintDialog>
#include <QProgressDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QUrl>

namespace vinarca {

namespace {

QString titleFor(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Warning:
        return QStringLiteral("Attenzione");
    case MessageKind::Error:
        return QStringLiteral("Errore");
    case MessageKind::Information:
        return QStringLiteral("Informazione");
    case MessageKind::Confirmation:
    case MessageKind::Choice:
        return QStringLiteral("Conferma");
    }
    return {};
}

QMessageBox::Icon iconFor(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Warning:
        return QMessageBox::Warning;
    case MessageKind::Error:
        return QMessageBox::Critical;
    case MessageKind::Information:
        return QMessageBox::Information;
    case MessageKind::Confirmation:
    case MessageKind::Choice:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QString filterList(const QList<FileFilter>& filters)
{
    QStringList parts;
    for (const auto& f : filters)
        parts << qtFilterText(f);
    return parts.join(QStringLiteral(";;"));
}

class QtPlatform final : public Platform
{
public:
    MessageAnswer message(QWidget* parent, MessageKind kind, const QString& text) override
    {
        QMessageBox box(iconFor(kind), titleFor(kind), text, QMessageBox::NoButton, parent);
        if (kind == MessageKind::Confirmation) {
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.button(QMessageBox::Yes)->setText(QStringLiteral("Sì"));
            box.setDefaultButton(QMessageBox::Yes);
        } else if (kind == MessageKind::Choice) {
            // Escape and the title bar's close answer Cancel: nothing happens.
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            box.button(QMessageBox::Yes)->setText(QStringLiteral("Sì"));
            box.button(QMessageBox::Cancel)->setText(QStringLiteral("Annulla"));
            box.setDefaultButton(QMessageBox::Yes);
            box.setEscapeButton(QMessageBox::Cancel);
        } else {
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            box.button(QMessageBox::Cancel)->setText(QStringLiteral("Annulla"));
            box.setDefaultButton(QMessageBox::Ok);
        }
        switch (box.exec()) {
        case QMessageBox::Yes:
            return MessageAnswer::Yes;
        case QMessageBox::No:
            return MessageAnswer::No;
        case QMessageBox::Cancel:
            return MessageAnswer::Cancel;
        default:
            if (kind == MessageKind::Choice)
                return MessageAnswer::Cancel;
            return kind == MessageKind::Confirmation ? MessageAnswer::Yes : MessageAnswer::Ok;
        }
    }

    void plainMessage(QWidget* parent, const QString& text) override
    {
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Vinarca"), text, QMessageBox::Ok, parent);
        box.exec();
    }

    QString openFileName(QWidget* parent, const OpenFileRequest& request) override
    {
        return QFileDialog::getOpenFileName(parent, request.title, QString(), filterList(request.filters));
    }

    QString saveFileName(QWidget* parent, const SaveFileRequest& request) override
    {
        QFileDialog dialog(parent, request.title, QString(), filterList(request.filters));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
        dialog.setOption(QFileDialog::ReadOnly, false);
        dialog.setSizeGripEnabled(true);
        dialog.selectFile(request.proposedName);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        return dialog.selectedFiles().constFirst();
    }

    int execDialog(QDialog& dialog) override { return dialog.exec(); }

    bool printDialog(QWidget* parent, QPrinter& printer, int pageCount, PrintChoices& choices) override
    {
        // Everything the dialog shows or opens while it is open, English.
        const EnglishQtTexts english;
        const auto dialog = createPrintDialog(parent, printer, pageCount, choices);
        const bool accepted = dialog->exec() == QDialog::Accepted;
        takePrintChoices(*dialog, accepted, choices);
        return accepted;
    }

    std::unique_ptr<Progress> progress(QWidget* parent, const QString& text, int steps) override
    {
        // A real progress window with Annulla; it shows itself only when
        // the job lasts more than a moment.
        class DialogProgress final : public Progress
        {
        public:
            DialogProgress(QWidget* parent, const QString& text, int steps)
                : m_dialog(text, QStringLiteral("Annulla"), 0, steps, parent)
            {
                m_dialog.setObjectName(QStringLiteral("frmAvanzamento"));
                m_dialog.setWindowTitle(QStringLiteral(" Vinarca"));
                m_dialog.setWindowModality(Qt::WindowModal);
                m_dialog.setMinimumDuration(500);
                m_dialog.setValue(0);
            }
            bool advance(int done) override
            {
                // A window-modal progress dialog lets events through here,
                // so Annulla is seen between two steps.
                m_dialog.setValue(done);
                return !m_dialog.wasCanceled();
            }

        private:
            QProgressDialog m_dialog;
        };
        return std::make_unique<DialogProgress>(parent, text, steps);
    }

    void shellOpen(const QString& command) override
    {
        QString target = command;
        if (target.size() >= 2 && target.startsWith(QLatin1Char('"')) && target.endsWith(QLatin1Char('"')))
            target = target.mid(1, target.size() - 2);
        const bool isAddress = target.contains(QLatin1String("://")) || target.startsWith(QLatin1String("mailto:"));
        QDesktopServices::openUrl(isAddress ? QUrl(target) : QUrl::fromLocalFile(target));
    }

    std::unique_ptr<Camera> defaultCamera() override { return makeQtCamera(); }

    QSize screenSize() const override
    {
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            return screen->size();
        return {1280, 800};
    }
};

} // namespace

std::unique_ptr<Platform> makeQtPlatform()
{
    return std::make_unique<QtPlatform>();
}

} // namespace vinarca
