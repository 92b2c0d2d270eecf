#include "Artwork.h"
#include "Camera.h"
#include "FrameHandOver.h"
#include "PictureBox.h"
#include "RecordEditor.h"
#include "ScriptedPlatform.h"
#include "WebCam.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QThread>

#include <atomic>
#include <mutex>
#include <vector>

using namespace vinarca;

namespace {

QImage solid(int width, int height, QRgb colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// What a scripted camera did, readable after the camera is gone.
struct CameraLog
{
    std::atomic<int> starts{0};
    std::atomic<int> stops{0};
    std::atomic<int> destroyed{0};
    std::atomic<int> delivered{0};
    std::atomic<bool> inHandOver{false};
    // False when stop() could not join the capture thread: a deadlock.
    std::atomic<bool> joinedInTime{true};
    Camera::FrameHandler lastHandler; // set on the test's thread before start()
};

struct CameraScript
{
    QList<QImage> frames;
    bool endless = false;     // repeat the frames until stopped
    bool startFails = false;  // the device is there but refuses to start
    bool unplugs = false;     // after the frames the device goes away by itself
    // Runs on the capture thread right after each hand-over returned.
    std::function<void(int index)> afterFrame;
};

// A device whose own thread writes every frame into one reused buffer, hands
// it over and then scribbles over the buffer, as a capture driver reuses its
// memory. A receiver that kept the buffer, or a hand-over that returned
// before the copy, shows the scribble instead of the frame. stop() joins the
// thread, as real drivers do.
class ScriptedCamera final : public Camera
{
public:
    ScriptedCamera(std::shared_ptr<CameraLog> log, CameraScript script)
        : m_log(std::move(log)), m_script(std::move(script))
    {
    }
    ~ScriptedCamera() override
    {
        stop();
        ++m_log->destroyed;
    }

    void setFrameHandler(FrameHandler handler) override
    {
        m_handler = handler;
        m_log->lastHandler = std::move(handler);
    }
    bool start() override
    {
        ++m_log->starts;
        if (m_script.startFails)
            return false;
        m_stopping = false;
        m_active = true;
        m_thread.reset(QThread::create([this] { run(); }));
        m_thread->start();
        return true;
    }
    void stop() override
    {
        if (!m_thread)
            return;
        ++m_log->stops;
        m_stopping = true;
        if (!m_thread->wait(QDeadlineTimer(5000))) {
            m_log->joinedInTime = false;
            m_thread->terminate();
            m_thread->wait();
        }
        m_thread.reset();
        m_active = false;
    }
    bool isActive() const override { return m_active; }

private:
    void run()
    {
        std::vector<uchar> buffer;
        for (int i = 0; !m_stopping; ++i) {
            if (i >= m_script.frames.size() && !m_script.endless)
                break;
            const QImage& source = m_script.frames.at(i % m_script.frames.size());
            buffer.assign(source.constBits(), source.constBits() + source.sizeInBytes());
            const QImage frame(buffer.data(), source.width(), source.height(), source.bytesPerLine(), source.format());
            m_log->inHandOver = true;
            m_handler(frame);
            m_log->inHandOver = false;
            ++m_log->delivered;
            if (m_script.afterFrame)
                m_script.afterFrame(i);
            std::fill(buffer.begin(), buffer.end(), uchar(0x5A));
            if (m_script.endless)
                QThread::msleep(1);
        }
        if (m_script.unplugs)
            m_active = false;
    }

    std::shared_ptr<CameraLog> m_log;
    CameraScript m_script;
    FrameHandler m_handler;
    std::unique_ptr<QThread> m_thread;
    std::atomic<bool> m_stopping{false};
    std::atomic<bool> m_active{false};
};

CameraScript playing(const QList<QImage>& frames, bool endless = false)
{
    CameraScript script;
    script.frames = frames;
    script.endless = endless;
    return script;
}

void useCamera(ScriptedPlatform& platform, const std::shared_ptr<CameraLog>& log, const CameraScript& script)
{
    platform.cameraFactory = [log, script] { return std::make_unique<ScriptedCamera>(log, script); };
}

// Waits, without running the event loop, until the capture thread is inside
// a hand-over: with the user-interface thread busy it stays there.
bool waitUntilInHandOver(const CameraLog& log)
{
    QDeadlineTimer deadline(5000);
    while (!log.inHandOver && !deadline.hasExpired())
        QThread::yieldCurrentThread();
    QThread::msleep(20);
    return log.inHandOver;
}

QList<QImage> threeFrames()
{
    // Different sizes: the live picture takes each frame's own size.
    return {solid(640, 480, qRgb(200, 0, 0)), solid(320, 240, qRgb(0, 200, 0)), solid(800, 600, qRgb(0, 0, 200))};
}

} // namespace

class TestWebCam : public QObject
{
    Q_OBJECT
private slots:
    void windowLayout();
    void framesReachTheLivePictureOneByOneAndIntact();
    void handOverWaitsForTheCopyAndKeepsTheOrder();
    void closingReleasesAWaitingCaptureThread();
    void handlerOutlivesTheHandOver();
    void handOverOnTheInterfaceThreadIsDirect();
    void stoppingWhileFramesFlow_data();
    void stoppingWhileFramesFlow();
    void captureCopiesTheLivePicture();
    void openWebCamImportsForTheEditor_data();
    void openWebCamImportsForTheEditor();
    void saveCapturedPicture_data();
    void saveCapturedPicture();
    void cameraUnavailable_data();
    void cameraUnavailable();
    void cameraThatDisappearsKeepsTheLastFrame();
    void lateFramesAfterTheWindowIsGone();
};

void TestWebCam::windowLayout()
{
    TestWorld world;
    TfrmWebCam window;
    QCOMPARE(window.objectName(), QStringLiteral("frmWebCam"));
    QCOMPARE(window.windowTitle(), QStringLiteral(" Cattura foto con webcam"));
    QCOMPARE(window.size(), QSize(807, 405));
    QVERIFY(!(window.windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint)));

    const struct
    {
        const char* name;
        const char* text;
        QSize size;
    } buttons[] = {
        {"btnAccendi", "Accendi webcam", {382, 34}},
        {"btnSpegni", "Spegni webcam", {382, 34}},
        {"btnCattura", "Cattura foto", {188, 34}},
        {"btnSalvaFotogramma", "Salva foto su disco", {188, 34}},
        {"btnImportaFoto", "Importa foto in scheda", {188, 34}},
        {"btnClose", "Annulla", {188, 34}},
    };
    for (const auto& b : buttons) {
        auto* button = window.findChild<QPushButton*>(QString::fromLatin1(b.name));
        QVERIFY2(button, b.name);
        QCOMPARE(button->text(), QString::fromUtf8(b.text));
        QCOMPARE(button->size(), b.size);
        QCOMPARE(button->font().family(), QStringLiteral("Verdana"));
        QCOMPARE(button->cursor().shape(), Qt::PointingHandCursor);
        QVERIFY(window.rect().contains(button->geometry()));
    }
    for (const char* name : {"imgCamera", "imgTarget", "imgBianco"})
        QCOMPARE(window.findChild<PictureBox*>(QString::fromLatin1(name))->size(), QSize(366, 274));
    QVERIFY(window.findChild<QWidget*>(QStringLiteral("panCamera")));
    QVERIFY(window.findChild<QWidget*>(QStringLiteral("panTarget")));
    QVERIFY(window.imgBianco->isHidden());
    QVERIFY(window.lblMemory->isHidden());

    const QImage webcam = artwork(QStringLiteral(":/wines/webcam_drawing"));
    QVERIFY(!webcam.isNull());
    QCOMPARE(window.imgCamera->image(), webcam);
    QCOMPARE(window.imgBianco->image(), webcam);
    QCOMPARE(window.imgTarget->image(), artwork(QStringLiteral(":/wines/fotocamera_drawing")));
    QVERIFY(!window.cameraRunning());

    // Left only through its buttons: Escape does nothing.
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::keyClick(&window, Qt::Key_Escape);
    QVERIFY(window.isVisible());
}

void TestWebCam::framesReachTheLivePictureOneByOneAndIntact()
{
    TestWorld world;
    TfrmWebCam window;
    window.show();
    const QList<QImage> frames = threeFrames();

    // Right after each hand-over returns, the live picture must already be
    // that frame: the capture thread waited for the copy, and the copy does
    // not share the buffer the device scribbles over next.
    std::mutex seenMutex;
    QList<QImage> seen;
    auto log = std::make_shared<CameraLog>();
    CameraScript script = playing(frames);
    script.afterFrame = [&](int) {
        const QImage shown = window.imgCamera->image();
        std::lock_guard lock(seenMutex);
        seen << shown;
    };
    useCamera(world.platform(), log, script);

    window.btnAccendi->click();
    QVERIFY(window.cameraRunning());
    QTRY_COMPARE(log->delivered.load(), 3);
    std::lock_guard lock(seenMutex);
    QCOMPARE(seen.size(), 3);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(seen.at(i), frames.at(i)); // size and every pixel
    QCOMPARE(window.imgCamera->image(), frames.last());
    QVERIFY(world.platform().messages.isEmpty());
}

void TestWebCam::handOverWaitsForTheCopyAndKeepsTheOrder()
{
    std::mutex mutex;
    QList<QImage> received;
    FrameHandOver handOver([&](const QImage& frame) {
        std::lock_guard lock(mutex);
        received << frame;
    });
    const Camera::FrameHandler handler = handOver.open();

    // Forty frames of different sizes through one reused buffer; after each
    // hand-over the receiver must hold exactly the frames so far, the last
    // one intact even though the buffer is overwritten at once.
    const int count = 40;
    std::atomic<bool> allInStep{true};
    std::unique_ptr<QThread> capture(QThread::create([&] {
        std::vector<uchar> buffer;
        for (int i = 0; i < count; ++i) {
            const QImage source = solid(16 + i, 8 + i, qRgb(i * 5, 255 - i * 5, 7));
            buffer.assign(source.constBits(), source.constBits() + source.sizeInBytes());
            handler(QImage(buffer.data(), source.width(), source.height(), source.bytesPerLine(), source.format()));
            std::fill(buffer.begin(), buffer.end(), uchar(0));
            std::lock_guard lock(mutex);
            if (received.size() != i + 1 || received.last() != source)
                allInStep = false;
        }
    }));
    capture->start();
    QTRY_VERIFY(capture->isFinished());
    QVERIFY(allInStep);
    std::lock_guard lock(mutex);
    QCOMPARE(received.size(), count);
    for (int i = 0; i < count; ++i)
        QCOMPARE(received.at(i).size(), QSize(16 + i, 8 + i));
}

void TestWebCam::closingReleasesAWaitingCaptureThread()
{
    int received = 0;
    FrameHandOver handOver([&](const QImage&) { ++received; });
    const Camera::FrameHandler first = handOver.open();

    std::atomic<bool> returned{false};
    std::unique_ptr<QThread> capture(QThread::create([&] {
        first(solid(4, 4, qRgb(1, 2, 3)));
        returned = true;
    }));
    capture->start();
    // The event loop does not run, so the capture thread stays in the hand-over.
    QThread::msleep(50);
    QVERIFY(!returned);

    handOver.close();
    QVERIFY(capture->wait(QDeadlineTimer(5000)));
    QVERIFY(returned);

    // The frame posted before closing is not delivered, not even into a new
    // opening; frames after closing are dropped at once.
    const Camera::FrameHandler second = handOver.open();
    QCoreApplication::processEvents();
    QCOMPARE(received, 0);
    first(solid(4, 4, qRgb(1, 2, 3)));
    QCOMPARE(received, 0);
}

void TestWebCam::handlerOutlivesTheHandOver()
{
    Camera::FrameHandler handler;
    int received = 0;
    {
        FrameHandOver handOver([&](const QImage&) { ++received; });
        handler = handOver.open();
    }
    std::unique_ptr<QThread> capture(QThread::create([&] { handler(solid(4, 4, qRgb(9, 9, 9))); }));
    capture->start();
    QVERIFY(capture->wait(QDeadlineTimer(5000)));
    QCoreApplication::processEvents();
    QCOMPARE(received, 0);
}

void TestWebCam::handOverOnTheInterfaceThreadIsDirect()
{
    QImage received;
    FrameHandOver handOver([&](const QImage& frame) { received = frame; });
    const QImage frame = solid(5, 3, qRgb(10, 20, 30));
    handOver.open()(frame);
    QCOMPARE(received, frame);
}

void TestWebCam::stoppingWhileFramesFlow_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("marker");
    QTest::addColumn<bool>("staysOpen");
    QTest::addColumn<bool>("imported");
    QTest::newRow("Spegni webcam") << "btnSpegni" << "vini" << true << false;
    QTest::newRow("Annulla") << "btnClose" << "vini" << false << false;
    QTest::newRow("Importa, marker vini") << "btnImportaFoto" << "vini" << false << true;
    QTest::newRow("Importa, marker vini with blanks") << "btnImportaFoto" << " vini\t" << false << true;
    QTest::newRow("Importa, another marker") << "btnImportaFoto" << "orizzontali" << true << false;
    QTest::newRow("Importa, no marker") << "btnImportaFoto" << "" << true << false;
}

void TestWebCam::stoppingWhileFramesFlow()
{
    QFETCH(QString, button);
    QFETCH(QString, marker);
    QFETCH(bool, staysOpen);
    QFETCH(bool, imported);

    TestWorld world;
    auto log = std::make_shared<CameraLog>();
    useCamera(world.platform(), log, playing({solid(64, 48, qRgb(1, 2, 3))}, true));
    TfrmWebCam window;
    window.lblMemory->setText(marker);
    QList<QImage> targets;
    window.importTarget = [&](const QImage& picture) { targets << picture; };
    window.show();

    window.btnAccendi->click();
    QVERIFY(window.cameraRunning());
    QCOMPARE(log->starts.load(), 1);
    QTRY_VERIFY(log->delivered > 2);
    window.btnCattura->click();
    const QImage captured = window.imgTarget->image();

    // The click arrives while the capture thread waits for this thread.
    QVERIFY(waitUntilInHandOver(*log));
    window.findChild<QPushButton*>(button)->click();

    QVERIFY2(log->joinedInTime, "stopping the camera waited for a capture thread that waited for the window");
    QCOMPARE(log->stops.load(), 1);
    QCOMPARE(log->destroyed.load(), 1);
    QVERIFY(!window.cameraRunning());
    QCOMPARE(window.isVisible(), staysOpen);
    if (!staysOpen)
        QCOMPARE(window.result(), imported ? int(QDialog::Accepted) : int(QDialog::Rejected));
    QCOMPARE(targets.size(), imported ? 1 : 0);
    if (imported)
        QCOMPARE(targets.first(), captured);
    QVERIFY(world.platform().messages.isEmpty());
}

void TestWebCam::captureCopiesTheLivePicture()
{
    TestWorld world;
    auto log = std::make_shared<CameraLog>();
    const QList<QImage> frames = threeFrames();
    useCamera(world.platform(), log, playing(frames));
    TfrmWebCam window;
    window.show();

    // Before the camera runs, the capture copies the webcam drawing.
    window.btnCattura->click();
    QCOMPARE(window.imgTarget->image(), window.imgCamera->image());

    window.btnAccendi->click();
    QTRY_COMPARE(log->delivered.load(), 3);
    QTRY_COMPARE(window.imgCamera->image(), frames.last());
    window.btnCattura->click();
    QCOMPARE(window.imgTarget->image(), frames.last());
    QVERIFY(window.isVisible());
}

void TestWebCam::openWebCamImportsForTheEditor_data()
{
    QTest::addColumn<bool>("capture");
    QTest::newRow("before any capture: the photo-camera drawing") << false;
    QTest::newRow("after a capture: the captured frame") << true;
}

void TestWebCam::openWebCamImportsForTheEditor()
{
    QFETCH(bool, capture);
    TestWorld world;
    auto log = std::make_shared<CameraLog>();
    const QImage frame = solid(320, 240, qRgb(120, 30, 60));
    useCamera(world.platform(), log, playing({frame}));

    QWidget editor;
    editor.resize(1000, 700);
    editor.show();
    QString marker;
    world.platform().onDialog = [&](QDialog& dialog) {
        auto& window = dynamic_cast<TfrmWebCam&>(dialog);
        marker = window.lblMemory->text();
        if (capture) {
            window.btnAccendi->click();
            if (!QTest::qWaitFor([&] { return window.imgCamera->image() == frame; }))
                return int(QDialog::Rejected);
            window.btnCattura->click();
        }
        window.btnImportaFoto->click();
        return window.result();
    };
    QList<QImage> imported;
    openWebCam(&editor, [&](const QImage& picture) { imported << picture; });

    QCOMPARE(marker, QStringLiteral("vini"));
    QCOMPARE(imported.size(), 1);
    QCOMPARE(imported.first(), capture ? frame : artwork(QStringLiteral(":/wines/fotocamera_drawing")));
    QCOMPARE(log->destroyed.load(), capture ? 1 : 0);
    QVERIFY(editor.findChildren<TfrmWebCam*>().isEmpty());
}

void TestWebCam::saveCapturedPicture_data()
{
    QTest::addColumn<QString>("answer"); // relative to the test folder; empty: cancel
    QTest::addColumn<bool>("written");
    QTest::newRow("cancel") << "" << false;
    QTest::newRow("chosen path") << "scatti/Foto.jpg" << true;
    QTest::newRow("unwritable path") << "blocco/Foto.jpg" << false;
}

void TestWebCam::saveCapturedPicture()
{
    QFETCH(QString, answer);
    QFETCH(bool, written);
    TestWorld world;
    QFile blocker(world.path(QStringLiteral("blocco"))); // a file where a folder would have to be
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QVERIFY(QDir().mkpath(world.path(QStringLiteral("scatti"))));

    TfrmWebCam window;
    const QImage captured = solid(200, 150, qRgb(180, 40, 40));
    window.imgCamera->setImage(captured);
    window.btnCattura->click();
    const QString path = answer.isEmpty() ? QString() : world.path(answer);
    world.platform().saveAnswers.enqueue(path);

    window.btnSalvaFotogramma->click();

    QCOMPARE(world.platform().saveRequests.size(), 1);
    const SaveFileRequest& request = world.platform().saveRequests.first();
    QCOMPARE(request.title, QStringLiteral("Selezionare la cartella in cui si desidera salvare il file Jpeg."));
    QCOMPARE(request.proposedName, QStringLiteral("Foto.jpg"));
    QCOMPARE(request.filters.size(), 1);
    QCOMPARE(request.filters.first().description, QStringLiteral("File Jpeg (*.jpg)"));
    QCOMPARE(request.filters.first().patterns, QStringLiteral("*.jpg"));
    QVERIFY(request.confirmOverwrite);
    // A copy that could not be written is reported; the captured picture
    // stays, to be imported or saved elsewhere.
    QCOMPARE(world.platform().messages.size(), answer.startsWith(QLatin1String("blocco")) ? 1 : 0);
    QCOMPARE(window.imgTarget->image(), captured);

    if (written) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.read(2) == QByteArray("\xFF\xD8", 2));
        QImage back(path);
        QCOMPARE(back.size(), captured.size());
        QCOMPARE(window.imgTarget->image(), captured);
    } else if (answer.isEmpty()) {
        QCOMPARE(window.imgTarget->image(), captured);
        QCOMPARE(QDir(world.folder()).entryList(QDir::Files | QDir::NoDotAndDotDot), QStringList{"blocco"});
    } else {
        QCOMPARE(world.platform().lastMessage(), pictureCopyFailureMessage());
    }
}

void TestWebCam::cameraUnavailable_data()
{
    QTest::addColumn<bool>("deviceExists");
    QTest::addColumn<QString>("message");
    QTest::newRow("no camera on the machine")
        << false << "Attenzione: nessuna webcam disponibile.\r\n\r\nCollegare una webcam al computer e riprovare.";
    QTest::newRow("camera refuses to start")
        << true
        << "Attenzione: impossibile avviare la webcam.\r\n\r\n"
           "Verificare che la webcam sia collegata e che non sia in uso da un altro programma.";
}

void TestWebCam::cameraUnavailable()
{
    QFETCH(bool, deviceExists);
    QFETCH(QString, message);
    TestWorld world;
    auto log = std::make_shared<CameraLog>();
    if (deviceExists) {
        CameraScript script;
        script.startFails = true;
        useCamera(world.platform(), log, script);
    }
    TfrmWebCam window;
    window.show();

    window.btnAccendi->click();
    QCOMPARE(world.platform().messages.size(), 1);
    QCOMPARE(world.platform().messages.first().kind, MessageKind::Warning);
    QVERIFY(!world.platform().messages.first().plain);
    QCOMPARE(world.platform().messages.first().text, message);
    QVERIFY(!window.cameraRunning());
    QCOMPARE(log->destroyed.load(), deviceExists ? 1 : 0);

    // The window stays usable, and asks again on the next click.
    window.btnCattura->click();
    QCOMPARE(window.imgTarget->image(), artwork(QStringLiteral(":/wines/webcam_drawing")));
    window.btnSpegni->click();
    window.btnAccendi->click();
    QCOMPARE(world.platform().messages.size(), 2);
    QVERIFY(window.isVisible());
    window.btnClose->click();
    QVERIFY(!window.isVisible());
}

void TestWebCam::cameraThatDisappearsKeepsTheLastFrame()
{
    TestWorld world;
    auto log = std::make_shared<CameraLog>();
    const QList<QImage> frames = threeFrames();
    CameraScript script = playing(frames);
    script.unplugs = true;
    useCamera(world.platform(), log, script);
    TfrmWebCam window;
    window.show();

    window.btnAccendi->click();
    QTRY_VERIFY(!window.cameraRunning());
    QCOMPARE(window.imgCamera->image(), frames.last());

    // Switching on again asks for the default device afresh.
    useCamera(world.platform(), log, playing({solid(10, 10, qRgb(5, 5, 5))}));
    window.btnAccendi->click();
    QCOMPARE(log->starts.load(), 2);
    QCOMPARE(log->destroyed.load(), 1);
    QTRY_COMPARE(window.imgCamera->image().size(), QSize(10, 10));
    window.btnSpegni->click();
    QCOMPARE(log->destroyed.load(), 2);
    QVERIFY(world.platform().messages.isEmpty());
}

void TestWebCam::lateFramesAfterTheWindowIsGone()
{
    TestWorld world;
    auto log = std::make_shared<CameraLog>();
    useCamera(world.platform(), log, playing({solid(8, 8, qRgb(1, 1, 1))}, true));
    {
        TfrmWebCam window;
        window.show();
        window.btnAccendi->click();
        QTRY_VERIFY(log->delivered > 0);
        QVERIFY(waitUntilInHandOver(*log));
    }
    QVERIFY(log->joinedInTime);
    QCOMPARE(log->destroyed.load(), 1);

    // A driver that still calls the handler it was given gets an immediate return.
    std::unique_ptr<QThread> capture(QThread::create([&] { log->lastHandler(solid(8, 8, qRgb(2, 2, 2))); }));
    capture->start();
    QVERIFY(capture->wait(QDeadlineTimer(5000)));
    QCoreApplication::processEvents();
}

QTEST_MAIN(TestWebCam)
#include "tst_webcam.moc"
