#include "AllegaCartella.h"

#include "OpenURL.h"
#include "PictureBox.h"
#include "PictureButton.h"
#include "Platform.h"
#include "ShortString.h"
#include "Shapes.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>

#include <limits>

using namespace vinarca;

namespace {
constexpr QSize kAttachWindowSize(634, 534);
const QColor kGradientTop(0x79, 0xA6, 0xCB);
constexpr int kBandTop = 84;
constexpr int kBandHeight = 134;
// Resolution of the progress bar: sizes past 2 GB do not fit its int range.
constexpr int kProgressSteps = 1000;

QString twoDigits(int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); }
} // namespace

namespace vinarca {

QString attachmentCopyFailureMessage()
{
    return QStringLiteral("Attenzione: il sistema non permette di allegare il file.\n\r\n\r"
                          "Accertarsi che il file esista e di possedere i privilegi di scrittura nella cartella "
                          "dei documenti allegati.");
}

QString attachmentNameRefusedMessage()
{
    return QStringLiteral("Attenzione: il nome del file allegato non è valido.\n\r\n\r"
                          "Il file non si trova nella cartella dei documenti allegati.");
}

void openAttachments(QWidget* owner, const QString& tag, const AttachmentLabels& labels)
{
    AttachmentSlots values;
    for (int i = 0; i < 3; ++i) {
        values.files[i] = trimControl(labels.files[i]->text());
        values.descriptions[i] = trimControl(labels.descriptions[i]->text());
    }
    TfrmAllegaCartella window(owner);
    window.fill(tag, values, [&labels](const AttachmentSlots& applied) {
        for (int i = 0; i < 3; ++i) {
            labels.files[i]->setText(applied.files[i]);
            labels.descriptions[i]->setText(applied.descriptions[i]);
        }
    });
    platform().execDialog(window);
}

} // namespace vinarca

TfrmAllegaCartella::TfrmAllegaCartella(QWidget* owner) : QDialog(owner, fixedWindowFlags())
{
    setObjectName(QStringLiteral("frmAllegaCartella"));
    setWindowTitle(QStringLiteral(" Allega file"));
    imgIstruzioni = makePicture(this, "imgIstruzioni", QStringLiteral(":/exchange/istruzioni_allega"),
                                QRect(17, 10, 0, 0));
    const QFont nameFont(QStringLiteral("Verdana"), 12, QFont::Bold);
    for (int i = 0; i < 3; ++i) {
        const int top = kBandTop + i * kBandHeight;
        const QString n = twoDigits(i + 1);
        lblCampo[2 * i] = makeLabel(this, QStringLiteral("lblCampo") + twoDigits(2 * i + 1),
                                    QStringLiteral("Nome %1° file allegato:").arg(i + 1), QRect(17, top, 400, 22),
                                    QStringLiteral("Verdana"), 12);
        txtFile[i] = new QLineEdit(this);
        txtFile[i]->setObjectName(QStringLiteral("txtFile") + n);
        txtFile[i]->setReadOnly(true);
        txtFile[i]->setFont(nameFont);
        txtFile[i]->setStyleSheet(QStringLiteral("color: #696969;"));
        txtFile[i]->setGeometry(17, top + 24, 370, 28);
        btnSfoglia[i] = makeButton(this, "", QStringLiteral("Sfoglia..."), QRect(395, top + 23, 95, 30));
        btnSfoglia[i]->setObjectName(QStringLiteral("btnSfoglia") + n);
        btnApri[i] = makeButton(this, "", QStringLiteral("Apri"), QRect(496, top + 23, 80, 30));
        btnApri[i]->setObjectName(QStringLiteral("btnApri") + n);
        btnApri[i]->setEnabled(false);
        imgCancella[i] = new PictureButton(QStringLiteral(":/exchange/cancella"), this);
        imgCancella[i]->setObjectName(QStringLiteral("imgCancella") + n);
        imgCancella[i]->setGeometry(QRect(QPoint(584, top + 22), imgCancella[i]->sizeHint()));
        lblCampo[2 * i + 1] = makeLabel(this, QStringLiteral("lblCampo") + twoDigits(2 * i + 2),
                                        QStringLiteral("Descrizione %1° file allegato:").arg(i + 1),
                                        QRect(17, top + 60, 400, 22), QStringLiteral("Verdana"), 12);
        txtDesc[i] = new QLineEdit(this);
        txtDesc[i]->setObjectName(QStringLiteral("txtDesc") + n);
        txtDesc[i]->setFont(nameFont);
        txtDesc[i]->setMaxLength(250);
        txtDesc[i]->setGeometry(17, top + 84, 600, 28);

        connect(txtFile[i], &QLineEdit::textChanged, this,
                [this, i](const QString& text) { btnApri[i]->setEnabled(!trimControl(text).isEmpty()); });
        connect(btnSfoglia[i], &QPushButton::clicked, this, [this, i] { btnSfogliaClick(i); });
        connect(btnApri[i], &QPushButton::clicked, this, [this, i] { btnApriClick(i); });
        connect(imgCancella[i], &QAbstractButton::clicked, this, [this, i] { imgCancellaClick(i); });
    }
    btnApplica = makeButton(this, "btnApplica", QStringLiteral("Applica e chiudi"), QRect(322, 488, 150, 32));
    btnAnnulla = makeButton(this, "btnAnnulla", QStringLiteral("Annulla"), QRect(480, 488, 137, 32));
    lblMemory = new QLabel(this);
    lblMemory->setObjectName(QStringLiteral("lblMemory"));
    lblMemory->hide();
    connect(btnApplica, &QPushButton::clicked, this, &TfrmAllegaCartella::btnApplicaClick);
    connect(btnAnnulla, &QPushButton::clicked, this, &QDialog::reject);
    fixAndCentre(this, kAttachWindowSize);
}

void TfrmAllegaCartella::fill(const QString& tag, const AttachmentSlots& values, Apply apply)
{
    lblMemory->setText(tag);
    m_apply = std::move(apply);
    for (int i = 0; i < 3; ++i) {
        txtFile[i]->setText(trimControl(values.files[i]));
        txtDesc[i]->setText(trimControl(values.descriptions[i]));
        btnApri[i]->setEnabled(!txtFile[i]->text().isEmpty());
    }
}

void TfrmAllegaCartella::btnSfogliaClick(int slot)
{
    const QString chosen = platform().openFileName(
        this, {QStringLiteral("Selezionare il file da allegare:"), {{QStringLiteral("Tutti i file (*.*)"), QStringLiteral("*")}}});
    if (chosen.isEmpty())
        return;
    const QString chosenName = trimControl(QFileInfo(chosen).fileName());
    // The record must hold the copy's real name: a name it cannot store is
    // copied under a storable one that no file in the folder has yet.
    const QString name = storableAttachmentName(chosenName, attachmentFolder());
    const QString target = attachmentPath(name);
    if (target.isEmpty()) {
        platform().plainMessage(this, attachmentNameRefusedMessage());
        return;
    }
    if (name == chosenName && QFileInfo::exists(target)) {
        const MessageAnswer answer = platform().message(
            this, MessageKind::Confirmation,
            QStringLiteral("Attenzione: nella cartella dei documenti allegati è presente un file con lo stesso nome."
                           "\r\n\r\nSi vuole sovrascrivere il file esistente?"));
        if (answer == MessageAnswer::No) {
            // The name now designates the file already in the folder.
            txtFile[slot]->setText(name);
            return;
        }
        if (QFileInfo(chosen).canonicalFilePath() == QFileInfo(target).canonicalFilePath()) {
            txtFile[slot]->setText(name);
            return;
        }
    }
    switch (copyWithProgress(chosen, name)) {
    case CopyOutcome::Copied:
        txtFile[slot]->setText(name);
        break;
    case CopyOutcome::Failed:
        platform().plainMessage(this, attachmentCopyFailureMessage());
        break;
    case CopyOutcome::Cancelled: // the user's own choice: nothing to report
        break;
    }
}

CopyOutcome TfrmAllegaCartella::copyWithProgress(const QString& source, const QString& name)
{
    QProgressDialog progressWindow(QStringLiteral("Copia del file in corso..."), QStringLiteral("Annulla"), 0,
                                   kProgressSteps, this);
    progressWindow.setObjectName(QStringLiteral("dlgCopia"));
    progressWindow.setWindowTitle(QStringLiteral(" Allega file"));
    // Blocks this window, so nothing else can be chosen or applied while the
    // copy runs between the pieces.
    progressWindow.setWindowModality(Qt::WindowModal);
    // Shown by the clock below, never by the dialog's own estimate.
    progressWindow.setMinimumDuration(std::numeric_limits<int>::max());
    progressWindow.setAutoClose(false);
    progressWindow.setAutoReset(false);
    progressWindow.hide();
    QElapsedTimer clock;
    clock.start();
    return copyAttachment(source, name, [&](qint64 done, qint64 total) {
        if (!progressWindow.isVisible()) {
            // A short copy never shows the window, and events wait until it
            // does: before it blocks this window, a click could start a
            // second copy or close the window under this one.
            if (clock.elapsed() < copyProgressDelay.count())
                return true;
            if (total <= 0)
                progressWindow.setRange(0, 0); // a source of unknown size: a busy bar
            progressWindow.show();
        }
        if (total > 0)
            progressWindow.setValue(int(std::min(done, total) * kProgressSteps / total));
        QCoreApplication::processEvents();
        return !progressWindow.wasCanceled();
    });
}

void TfrmAllegaCartella::btnApriClick(int slot)
{
    const QString name = trimControl(txtFile[slot]->text());
    if (!isBareAttachmentName(name)) {
        platform().plainMessage(this, attachmentNameRefusedMessage());
        return;
    }
    TMisc::Open(QLatin1Char('"') + attachmentFolder() + QLatin1Char('/') + name + QLatin1Char('"'));
}

void TfrmAllegaCartella::imgCancellaClick(int slot)
{
    txtFile[slot]->clear();
}

void TfrmAllegaCartella::btnApplicaClick()
{
    AttachmentSlots values;
    for (int i = 0; i < 3; ++i) {
        values.files[i] = trimControl(txtFile[i]->text());
        values.descriptions[i] = trimControl(txtDesc[i]->text());
    }
    if (m_apply)
        m_apply(values);
    accept();
}

void TfrmAllegaCartella::paintEvent(QPaintEvent*)
{
    paintGradient(this, kGradientTop);
}
