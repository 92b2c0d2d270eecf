#include "Photo.h"
#include "EditFlow.h"
#include "PictureBox.h"
#include "RecordArchive.h"
#include "ScriptedPlatform.h"
#include "Slideshow_Vini.h"
#include "WineRecord.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTest>

using namespace vinarca;

namespace {
void writeWines(int count)
{
    QFile f(wineArchivePath());
    QVERIFY(f.open(QIODevice::WriteOnly));
    for (int i = 0; i < count; ++i)
        f.write(wineLayout().emptyRecord());
}

// Each wine's photo is a picture whose width tells its position.
void writePhotos(int count)
{
    for (int i = 1; i <= count; ++i) {
        QImage image(100 + i, 50, QImage::Format_RGB32);
        image.fill(Qt::darkRed);
        QVERIFY(writePhotoFile(WinePhotoPath(QString::number(i)), Photo{image, {}}));
    }
}

// What the show displays at each tick: the photo's position, 0 for the placeholder.
int shownPosition(const TfrmSlideshow_Vini& show)
{
    const QImage image = show.imgFoto->image();
    return image == show.imgBianco->image() ? 0 : image.width() - 100;
}
} // namespace

class TestSlideshow : public QObject
{
    Q_OBJECT
private slots:
    void sequence_data();
    void sequence();
    void emptyArchiveClosesAfterTheFirstTick();
    void clickClosesAtOnce();
    void persistentFailureIsNotStacked();
};

void TestSlideshow::sequence_data()
{
    QTest::addColumn<int>("wines");
    QTest::addColumn<int>("withPhotos");
    QTest::addColumn<QList<int>>("shown"); // after each tick
    QTest::newRow("three wines, the last shown twice as long")
        << 3 << 3 << QList<int>{1, 2, 3, 3, 1, 2, 3, 3, 1};
    QTest::newRow("one wine") << 1 << 1 << QList<int>{1, 1, 1, 1};
    QTest::newRow("a deleted photo shows the placeholder for its turn") << 3 << 2 << QList<int>{1, 2, 0, 0, 1};
}

void TestSlideshow::sequence()
{
    QFETCH(int, wines);
    QFETCH(int, withPhotos);
    QFETCH(QList<int>, shown);
    TestWorld world;
    world.platform().screen = QSize(1024, 768);
    writeWines(wines);
    writePhotos(withPhotos);
    TfrmSlideshow_Vini show;
    show.show();
    QCOMPARE(show.windowTitle(), QStringLiteral(" Slide Show Catalogo Vini"));
    QCOMPARE(show.imgFoto->size(), QSize(964, 678));
    QVERIFY(show.Timer->isActive());
    QCOMPARE(show.Timer->interval(), 6000);
    QCOMPARE(shownPosition(show), 0); // the placeholder for the first six seconds
    QList<int> seen;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        show.cmdAvantiClick(); // one tick
        seen << shownPosition(show);
    }
    QCOMPARE(seen, shown);
    QVERIFY(world.platform().messages.isEmpty());
}

void TestSlideshow::emptyArchiveClosesAfterTheFirstTick()
{
    TestWorld world;
    TfrmSlideshow_Vini show;
    show.show();
    show.cmdAvantiClick();
    QCOMPARE(world.platform().messages.size(), 1);
    QCOMPARE(world.platform().messages[0].kind, MessageKind::Information);
    QCOMPARE(world.platform().lastMessage(), QStringLiteral("L'archivio non contiene nessuna scheda."));
    QVERIFY(!show.Timer->isActive());
    QVERIFY(!show.isVisible());
    QVERIFY(show.lblPosizione->text().isEmpty());
}

void TestSlideshow::clickClosesAtOnce()
{
    TestWorld world;
    writeWines(1);
    for (const char* target : {"imgFoto", "panContainer"}) {
        TfrmSlideshow_Vini show;
        show.show();
        QTest::mouseClick(show.findChild<QWidget*>(QString::fromLatin1(target)), Qt::LeftButton, {}, QPoint(3, 3));
        QVERIFY2(!show.isVisible(), target);
    }
}

void TestSlideshow::persistentFailureIsNotStacked()
{
    TestWorld world;
    QVERIFY(QDir().mkpath(wineArchivePath())); // cannot be opened as a file
    TfrmSlideshow_Vini show;
    show.show();
    // The timer fires again while the first message is still open.
    world.platform().onMessage = [&] { show.cmdAvantiClick(); };
    show.cmdAvantiClick();
    QCOMPARE(world.platform().messages.size(), 1);
    QCOMPARE(world.platform().messages[0].kind, MessageKind::Error);
    QCOMPARE(world.platform().lastMessage(), accessFailureMessage());
    // Once the box is closed, a later tick reports the failure again.
    world.platform().onMessage = nullptr;
    show.cmdAvantiClick();
    QCOMPARE(world.platform().messages.size(), 2);
    QVERIFY(show.Timer->isActive());
}

QTEST_MAIN(TestSlideshow)
#include "tst_slideshow.moc"
