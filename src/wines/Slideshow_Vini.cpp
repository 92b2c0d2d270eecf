#include "Slideshow_Vini.h"

#include "Artwork.h"
#include "EditFlow.h"
#include "PictureBox.h"
#include "PictureButton.h"
#include "Platform.h"
#include "ProgramFolder.h"
#include "RecordArchive.h"
#include "ShortString.h"
#include "WineRecord.h"

#include <QScopeGuard>
#include <QLabel>
#include <QShowEvent>

using namespace vinarca;

TfrmSlideshow_Vini::TfrmSlideshow_Vini(QWidget* owner) : PictureShowWindow(owner)
{
    setObjectName(QStringLiteral("frmSlideshow_Vini"));
    setWindowTitle(QStringLiteral(" Slide Show Catalogo Vini"));
    m_record = wineLayout().emptyRecord();

    imgBianco = new PictureBox(this);
    imgBianco->setObjectName(QStringLiteral("imgBianco"));
    imgBianco->resize(765, 525);
    imgBianco->setImage(artwork(QStringLiteral(":/wines/slideshow_placeholder")));
    imgBianco->hide();
    lblPosizione = new QLabel(this);
    lblPosizione->setObjectName(QStringLiteral("lblPosizione"));
    lblPosizione->hide();
    cmdAvanti = new PictureButton(QStringLiteral(":/wines/avanti"), this);
    cmdAvanti->setObjectName(QStringLiteral("cmdAvanti"));
    cmdAvanti->hide();

    Timer = new QTimer(this);
    Timer->setObjectName(QStringLiteral("Timer"));
    Timer->setInterval(6000);

    connect(Timer, &QTimer::timeout, this, &TfrmSlideshow_Vini::cmdAvantiClick);
    connect(cmdAvanti, &QAbstractButton::clicked, this, &TfrmSlideshow_Vini::cmdAvantiClick);
}

void TfrmSlideshow_Vini::showEvent(QShowEvent* event)
{
    PictureShowWindow::showEvent(event);
    if (event->spontaneous())
        return;
    imgFoto->setImage(imgBianco->image());
    Timer->start();
}

void TfrmSlideshow_Vini::cmdAvantiClick()
{
    // A message box runs its own event loop while the timer keeps ticking: no
    // step starts while one (with its message) is still open, so a lasting
    // failure is reported once per open box, not stacked every six seconds.
    if (m_inStep)
        return;
    m_inStep = true;
    const auto done = qScopeGuard([this] { m_inStep = false; });
    try {
        qint64 shown = 0;
        {
            RecordArchive archive(wineArchivePath(), wineLayout(), RecordArchive::Access::Read);
            // The show starts from "0", before the first record.
            const QString text = trimControl(lblPosizione->text());
            if (text.isEmpty())
                lblPosizione->setText(QStringLiteral("0"));
            const qint64 p = text == QLatin1String("0") ? 0 : parsePosition(text);
            const qint64 n = archive.count();
            if (n == 0) {
                lblPosizione->clear();
                archive.close();
                Timer->stop();
                platform().message(this, MessageKind::Information, QStringLiteral("L'archivio non contiene nessuna scheda."));
                reject();
                return;
            }
            if (p < n) {
                archive.readAt(p + 1, m_record);
                lblPosizione->setText(QString::number(p + 1));
                shown = p + 1;
            } else if (p == n) {
                lblPosizione->setText(QStringLiteral("0"));
            }
        }
        if (shown > 0) {
            const RecordPicture picture = readRecordPicture(wineKind(), QString::number(shown), imgFoto->size());
            if (picture.photo)
                imgFoto->setImage(picture.photo->image, picture.photo->jpegBytes);
            else
                imgFoto->setImage(imgBianco->image());
        }
    } catch (const ArchiveError&) {
        platform().message(this, MessageKind::Error, accessFailureMessage());
    }
}

namespace vinarca {
void openWineSlideshow(QWidget* owner)
{
    TfrmSlideshow_Vini window(owner);
    platform().execDialog(window);
}
} // namespace vinarca
