#include "Slideshow_Vini.h"

#include "Artwork.h"
#include "Photo.h"
#include "PictureBox.h"
#include "PictureButton.h"
#include "Platform.h"
#include "ProgramFolder.h"
#include "RecordArchive.h"
#include "ShortString.h"
#include "WineRecord.h"

#include <QDir>
#include <QScopeGuard>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QShowEvent>

using namespace vinarca;

TfrmSlideshow_Vini::TfrmSlideshow_Vini(QWidget* owner) : QDialog(owner, Qt::Window)
{
    setObjectName(QStringLiteral("frmSlideshow_Vini"));
    setWindowTitle(QStringLiteral(" Slide Show Catalogo Vini"));
    applyProcessFormats();
    m_record = wineLayout().emptyRecord();

    panContainer = new QWidget(this);
    panContainer->setObjectName(QStringLiteral("panContainer"));
    imgFoto = new PictureBox(panContainer);
    imgFoto->setObjectName(QStringLiteral("imgFoto"));
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
    connect(imgFoto, &PictureBox::clicked, this, &QDialog::accept);
    panContainer->installEventFilter(this);
    setWindowState(Qt::WindowMaximized);
}

void TfrmSlideshow_Vini::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    const QSize screen = platform().screenSize();
    const QSize area(screen.width() - 60, screen.height() - 90);
    panContainer->resize(area);
    imgFoto->setGeometry(QRect(QPoint(0, 0), area));
    resizeEvent(nullptr);
    imgFoto->setImage(imgBianco->image());
    Timer->start();
}

void TfrmSlideshow_Vini::resizeEvent(QResizeEvent*)
{
    panContainer->move(std::max(0, (width() - panContainer->width()) / 2),
                       std::max(0, (height() - panContainer->height()) / 2));
}

void TfrmSlideshow_Vini::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setColorAt(0, QColor(0x46, 0x82, 0xB4));
    gradient.setColorAt(1, Qt::white);
    painter.fillRect(rect(), gradient);
}

bool TfrmSlideshow_Vini::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == panContainer && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        accept();
        return true;
    }
    return QDialog::eventFilter(watched, event);
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
            RecordArchive archive(wineArchivePath(), kWineRecordSize, RecordArchive::Access::Read);
            const QString text = trimControl(lblPosizione->text());
            if (text.isEmpty())
                lblPosizione->setText(QStringLiteral("0"));
            bool ok = true;
            const qint64 p = text.isEmpty() ? 0 : text.toLongLong(&ok);
            if (!ok || p < 0)
                throw ArchiveError("position is not a number");
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
            QDir().mkpath(winePhotoFolder());
            if (auto photo = readPhotoFile(WinePhotoPath(QString::number(shown))))
                imgFoto->setImage(photo->image, photo->jpegBytes);
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
