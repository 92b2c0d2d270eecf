#include "ViniFixture.h"

#include "FramedEdit.h"
#include "RecordEditor.h"
#include "RecordArchive.h"
#include "RecordListView.h"
#include "TrovaVini.h"

#include <QBuffer>
#include <QDir>
#include <QImageReader>

#include <unistd.h>

using namespace vinarca;

namespace {
const QString kEmpty = QStringLiteral("L'archivio non contiene nessuna scheda.");
const QString kInserted = QStringLiteral("La scheda corrente è stata inserita in archivio.");
const QString kModified = QStringLiteral("Le modifiche apportate alla scheda corrente sono state salvate in archivio.");

QImage solid(const QColor& colour, QSize size = {120, 160})
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// Record 1 on show with a photo file of its own: the file's path, empty
// when it could not be written.
QString showWineWithPhoto(ViniFixture& f)
{
    f.seed(1);
    QDir().mkpath(f.world.path(QStringLiteral("Catalogo_Vini")));
    const QString path = f.world.path(QStringLiteral("Catalogo_Vini/Catalogo_Vini_Foto_1.jpg"));
    if (!solid(Qt::darkBlue, {64, 48}).save(path, "JPEG"))
        return {};
    f.click("cmdPrimo");
    return path;
}

QByteArray encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}
} // namespace

class TestVini : public QObject
{
    Q_OBJECT
private slots:
    void designedState();
    void firstUseCreatesArchiveAndSavesRecordOne();
    void saveRefusals_data();
    void saveRefusals();
    void savedTextsAreTrimmedAndBoxesKeepTheirs();
    void everyFieldReachesItsOffset();
    void secondSaveOverwrites();
    void attachmentsTravelThroughSaveAndLoad();
    void duplicate();
    void duplicateInNewState();
    void showResetsToNewRecord();
    void longStoredGiacenzaSurvivesBrowsing();
    void accessFailures_data();
    void accessFailures();
    void photoFileLifeCycle();
    void browsingShowsEachRecordsOwnPhoto();
    void photoFolderNotWritable();
    void failedPhotoWriteNeverReplacesTheStoredPhoto_data();
    void failedPhotoWriteNeverReplacesTheStoredPhoto();
    void unchangedPhotoIsNotReencoded();
    void badPhotoFilesShowThePlaceholderAndSurviveSaving();
    void loadPhotoButton_data();
    void loadPhotoButton();
    void unreadableChosenFileKeepsTheRecordsPhoto_data();
    void unreadableChosenFileKeepsTheRecordsPhoto();
    void savePhotoButton_data();
    void savePhotoButton();
    void buttonsOpenTheirWindows_data();
    void buttonsOpenTheirWindows();
    void searchDoubleClickLoadsIntoTheEditor();
};

void TestVini::designedState()
{
    ViniFixture f;
    QCOMPARE(f.window.objectName(), QStringLiteral("frmVini"));
    QCOMPARE(f.window.windowTitle(), QStringLiteral(" Vinarca - Catalogo Vini"));
    QCOMPARE(f.find("panContainer")->size(), QSize(996, 692));
    QCOMPARE(f.find("imgFoto")->size(), QSize(307, 409));
    QCOMPARE(f.edit("txtTel")->text(), QStringLiteral("0"));
    QCOMPARE(f.edit("txtTel")->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QCOMPARE(f.edit("txtPrezzo")->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    QVERIFY(f.label("lblPosizione")->text().isEmpty());
    QCOMPARE(f.label("panInfo")->text(), QStringLiteral("Pronto per archiviare una nuova scheda..."));
    QCOMPARE(QApplication::focusWidget(), f.edit("txtNome"));
    QCOMPARE(f.find<PictureBox>("imgFoto")->image(), f.find<PictureBox>("imgBianco")->image());
    QVERIFY(!f.find<PictureBox>("imgFoto")->image().isNull());
    QCOMPARE(f.window.editBoxes().size(), 26);
    for (const char* name : {"lblFile01", "lblFile02", "lblFile03", "lblDesc01", "lblDesc02", "lblDesc03", "imgBianco"})
        QVERIFY2(f.find(name) && !f.find(name)->isVisible(), name);
    for (const char* name : {"cmdNuovo", "cmdDuplica", "cmdSalva", "cmdTrova", "cmdFile", "cmdAnteprima", "cmdStampa",
                             "cmdPrimo", "cmdIndietro", "cmdAvanti", "cmdUltimo", "cmdEsporta", "cmdSlideshow",
                             "cmdGuida", "cmdEsci", "btnCaricaFoto", "btnSalvaFoto", "btnWebcam", "btnZoomFoto"}) {
        QWidget* button = f.find(name);
        QVERIFY2(button && button->isVisible(), name);
        QCOMPARE(button->cursor().shape(), Qt::PointingHandCursor);
    }
    const QFont font = f.edit("txtNome")->font();
    QCOMPARE(font.family(), QStringLiteral("Verdana"));
    QCOMPARE(font.pointSize(), 12);
    QVERIFY(font.bold());
    QCOMPARE(f.label("lblNome")->text(), QStringLiteral("Nome vino:"));
    QCOMPARE(f.label("lblConservazione")->text(), QStringLiteral("Contenitore per conservazione:"));
}

void TestVini::firstUseCreatesArchiveAndSavesRecordOne()
{
    ViniFixture f;
    f.click("cmdAvanti");
    QVERIFY(QFile::exists(f.archivePath()));
    QCOMPARE(QFileInfo(f.archivePath()).size(), 0);
    QCOMPARE(f.world.platform().messages.size(), 1);
    QCOMPARE(f.world.platform().messages[0].kind, MessageKind::Information);
    QCOMPARE(f.world.platform().lastMessage(), kEmpty);

    f.type("txtNome", QStringLiteral("Barolo"));
    f.type("txtProduttore", QStringLiteral("Borgogno"));
    f.click("cmdSalva");
    QCOMPARE(f.world.platform().lastMessage(), kInserted);
    QCOMPARE(f.world.platform().messages.last().kind, MessageKind::Information);
    QCOMPARE(f.label("lblPosizione")->text(), QStringLiteral("1"));
    QCOMPARE(f.archiveBytes().size(), 2997);
    QCOMPARE(f.storedRecord(1).mid(0, 2), (QStringList{QStringLiteral("Barolo"), QStringLiteral("Borgogno")}));
    QCOMPARE(f.storedRecord(1).at(21), QStringLiteral("0")); // Giacenza's default
}

void TestVini::saveRefusals_data()
{
    QTest::addColumn<QString>("nome");
    QTest::addColumn<QString>("produttore");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::newRow("empty name") << "" << "Gaja"
                                << "Attenzione: per salvare la scheda è necessario indicare il nome del vino."
                                << "txtNome";
    QTest::newRow("name of blanks only") << "   " << "Gaja"
                                         << "Attenzione: per salvare la scheda è necessario indicare il nome del vino."
                                         << "txtNome";
    QTest::newRow("empty producer") << "Barbaresco" << ""
                                    << "Attenzione: per salvare la scheda è necessario indicare il produttore del vino."
                                    << "txtProduttore";
}

void TestVini::saveRefusals()
{
    QFETCH(QString, nome);
    QFETCH(QString, produttore);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    ViniFixture f;
    f.type("txtNome", nome);
    f.type("txtProduttore", produttore);
    f.click("cmdSalva");
    QCOMPARE(f.world.platform().messages.size(), 1);
    QCOMPARE(f.world.platform().messages[0].kind, MessageKind::Warning);
    QCOMPARE(f.world.platform().lastMessage(), message);
    QCOMPARE(QApplication::focusWidget(), f.edit(focus.toLatin1()));
    QVERIFY(!QFile::exists(f.archivePath()));
    QVERIFY(f.label("lblPosizione")->text().isEmpty());
}

void TestVini::savedTextsAreTrimmedAndBoxesKeepTheirs()
{
    ViniFixture f;
    f.type("txtNome", QStringLiteral("  Barolo  "));
    f.type("txtProduttore", QStringLiteral(" Borgogno"));
    f.type("txtTel", QString()); // emptied: becomes "0" when Save takes the focus
    f.edit("txtTel")->clear();
    f.click("cmdSalva");
    QCOMPARE(f.edit("txtTel")->text(), QStringLiteral("0"));
    QCOMPARE(f.edit("txtNome")->text(), QStringLiteral("  Barolo  "));
    const QByteArray bytes = f.archiveBytes();
    QCOMPARE(bytes.mid(0, 7), QByteArray("\x06" "Barolo"));
    QCOMPARE(bytes.mid(51, 9), QByteArray("\x08" "Borgogno"));
    QCOMPARE(bytes.mid(1071, 2), QByteArray("\x01" "0"));

    f.click("cmdPrimo");
    QCOMPARE(f.edit("txtNome")->text(), QStringLiteral("Barolo"));
}

void TestVini::everyFieldReachesItsOffset()
{
    ViniFixture f;
    const QList<HighlightEdit*> boxes = f.window.editBoxes();
    for (int i = 0; i < boxes.size(); ++i)
        boxes[i]->setText(QStringLiteral("F%1").arg(i + 1));
    const QList<QLabel*> labels = f.window.attachmentLabels();
    for (int i = 0; i < labels.size(); ++i)
        labels[i]->setText(QStringLiteral("F%1").arg(27 + i));
    f.click("cmdSalva");
    const QByteArray bytes = f.archiveBytes();
    QCOMPARE(bytes.size(), 2997);
    for (int i = 0; i < 32; ++i) {
        const RecordLayout::Field& field = wineLayout().field(i);
        const QByteArray text = QStringLiteral("F%1").arg(i + 1).toLatin1();
        QCOMPARE(bytes.mid(field.offset, 1 + text.size()), char(text.size()) + text);
    }
}

void TestVini::secondSaveOverwrites()
{
    ViniFixture f;
    f.type("txtNome", QStringLiteral("Barolo"));
    f.type("txtProduttore", QStringLiteral("Borgogno"));
    f.click("cmdSalva");
    f.type("txtNome", QStringLiteral("Barolo Riserva"));
    f.click("cmdSalva");
    QCOMPARE(f.world.platform().lastMessage(), kModified);
    QCOMPARE(f.label("lblPosizione")->text(), QStringLiteral("1"));
    QCOMPARE(f.archiveBytes().size(), 2997);
    QCOMPARE(f.storedRecord(1).at(0), QStringLiteral("Barolo Riserva"));
}

void TestVini::attachmentsTravelThroughSaveAndLoad()
{
    ViniFixture f;
    f.type("txtNome", QStringLiteral("Amarone"));
    f.type("txtProduttore", QStringLiteral("Quintarelli"));
    f.label("lblFile01")->setText(QStringLiteral("scheda.pdf"));
    f.label("lblDesc03")->setText(QStringLiteral("Analisi 2019"));
    f.click("cmdSalva");
    f.click("cmdNuovo");
    QVERIFY(f.label("lblFile01")->text().isEmpty());
    f.click("cmdUltimo");
    QCOMPARE(f.label("lblFile01")->text(), QStringLiteral("scheda.pdf"));
    QCOMPARE(f.label("lblDesc03")->text(), QStringLiteral("Analisi 2019"));
    QCOMPARE(f.storedRecord(1).at(26), QStringLiteral("scheda.pdf"));
    QCOMPARE(f.storedRecord(1).at(31), QStringLiteral("Analisi 2019"));
}

void TestVini::duplicate()
{
    ViniFixture f;
    f.seed(4);
    f.click("cmdUltimo");
    f.label("lblFile02")->setText(QStringLiteral("etichetta.jpg"));
    f.click("cmdDuplica");
    QCOMPARE(f.world.platform().lastMessage(),
             QStringLiteral("E' ora possibile apportare le proprie modifiche alla scheda corrente.\n\r\n\r"
                            "Al termine premere Salva per inserire la scheda in archivio."));
    QCOMPARE(f.world.platform().messages.last().kind, MessageKind::Information);
    QVERIFY(f.label("lblPosizione")->text().isEmpty());
    QVERIFY(f.label("lblFile02")->text().isEmpty());
    QCOMPARE(QApplication::focusWidget(), f.edit("txtNome"));
    QCOMPARE(f.edit("txtNome")->text(), QStringLiteral("Vino 4"));
    f.click("cmdSalva");
    QCOMPARE(f.label("lblPosizione")->text(), QStringLiteral("5"));
    QCOMPARE(f.storedRecord(5).mid(0, 2), f.storedRecord(4).mid(0, 2));
    QVERIFY(f.storedRecord(5).at(27).isEmpty());
}

void TestVini::duplicateInNewState()
{
    ViniFixture f;
    f.type("txtNome", QStringLiteral("Soave"));
    f.click("cmdDuplica");
    QCOMPARE(f.world.platform().messages.size(), 1);
    QCOMPARE(f.world.platform().messages[0].kind, MessageKind::Warning);
    QCOMPARE(f.world.platform().lastMessage(),
             QStringLiteral("Attenzione: la duplicazione di una scheda può avvenire soltanto dopo che questa è stata "
                            "inserita in archivio."));
    QCOMPARE(f.edit("txtNome")->text(), QStringLiteral("Soave"));
}

void TestVini::showResetsToNewRecord()
{
    ViniFixture f;
    f.seed(2);
    f.click("cmdUltimo");
    f.label("lblDesc01")->setText(QStringLiteral("x"));
    f.window.hide();
    f.window.show();
    QVERIFY(f.label("lblPosizione")->text().isEmpty());
    QVERIFY(f.edit("txtNome")->text().isEmpty());
    QCOMPARE(f.edit("txtTel")->text(), QStringLiteral("0"));
    QVERIFY(f.label("lblDesc01")->text().isEmpty());
}

void TestVini::longStoredGiacenzaSurvivesBrowsing()
{
    // Giacenza has room for 50 characters in the file although its box takes 10:
    // a longer stored value is shown and saved back whole.
    ViniFixture f;
    f.seed(1);
    QFile file(f.archivePath());
    QVERIFY(file.open(QIODevice::ReadWrite));
    QByteArray record = file.readAll();
    wineLayout().encodeField(record, 21, QStringLiteral("123456789012345"));
    file.seek(0);
    file.write(record);
    file.close();
    f.click("cmdPrimo");
    QCOMPARE(f.edit("txtTel")->text(), QStringLiteral("123456789012345"));
    f.click("cmdSalva");
    QCOMPARE(f.storedRecord(1).at(21), QStringLiteral("123456789012345"));
    f.click("cmdNuovo");
    f.type("txtTel", QStringLiteral("123456789012345"));
    QCOMPARE(f.edit("txtTel")->text(), QStringLiteral("1234567890"));
}

void TestVini::accessFailures_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("save") << "cmdSalva";
    QTest::newRow("first") << "cmdPrimo";
    QTest::newRow("next") << "cmdAvanti";
}

void TestVini::accessFailures()
{
    if (geteuid() == 0)
        QSKIP("file permissions do not bind the superuser");
    QFETCH(QString, button);
    ViniFixture f;
    f.seed(2);
    const QByteArray before = f.archiveBytes();
    QFile::setPermissions(f.archivePath(), QFile::ReadOwner);
    f.type("txtNome", QStringLiteral("Barolo"));
    f.type("txtProduttore", QStringLiteral("Borgogno"));
    f.click(button.toLatin1());
    QCOMPARE(f.world.platform().messages.size(), 1);
    QCOMPARE(f.world.platform().messages[0].kind, MessageKind::Error);
    QCOMPARE(f.world.platform().lastMessage(), accessFailureMessage());
    QVERIFY(f.world.platform().lastMessage().contains(QStringLiteral("archivio.\n\r\n\rAccertarsi")));
    QVERIFY(f.label("lblPosizione")->text().isEmpty());
    QFile::setPermissions(f.archivePath(), QFile::ReadOwner | QFile::WriteOwner);
    QCOMPARE(f.archiveBytes(), before);
}

// Photos beside the shown record are decoded ahead: fast presses still show
// each record's own photo, and a photo changed on disk meanwhile is shown
// as it is now.
void TestVini::browsingShowsEachRecordsOwnPhoto()
{
    ViniFixture f;
    f.seed(4);
    QVERIFY(QDir().mkpath(f.world.path(QStringLiteral("Catalogo_Vini"))));
    const auto photoPath = [&](int position) {
        return f.world.path(QStringLiteral("Catalogo_Vini/Catalogo_Vini_Foto_%1.jpg").arg(position));
    };
    const int reds[] = {0, 40, 90, 140, 190}; // by position
    for (int position = 1; position <= 4; ++position)
        QVERIFY(solid(QColor(reds[position], 0, 0), {320, 240}).save(photoPath(position), "JPEG"));
    auto* photo = f.find<PictureBox>("imgFoto");
    const auto shownRed = [&] { return qRed(photo->image().pixel(photo->image().width() / 2, 10)); };

    f.click("cmdPrimo");
    QVERIFY(qAbs(shownRed() - reds[1]) < 10);
    // Avanti three times without a pause, then back.
    f.click("cmdAvanti");
    f.click("cmdAvanti");
    f.click("cmdAvanti");
    QCOMPARE(f.label("lblPosizione")->text(), QStringLiteral("4"));
    QVERIFY(qAbs(shownRed() - reds[4]) < 10);
    f.click("cmdIndietro");
    QVERIFY(qAbs(shownRed() - reds[3]) < 10);

    // While 3 is shown, the photos of 2 and 4 are decoded ahead; 2's is
    // then replaced on disk, and later 4's is deleted.
    QVERIFY(QFile::remove(photoPath(2)));
    QVERIFY(solid(QColor(250, 0, 0), {320, 240}).save(photoPath(2), "JPEG"));
    f.click("cmdIndietro");
    QVERIFY(qAbs(shownRed() - 250) < 10);
    QCOMPARE(photo->sourceBytes(), testfiles::read(photoPath(2)));
    f.click("cmdAvanti");
    QVERIFY(QFile::remove(photoPath(4)));
    f.click("cmdAvanti");
    QCOMPARE(f.label("lblPosizione")->text(), QStringLiteral("4"));
    QCOMPARE(photo->image(), f.find<PictureBox>("imgBianco")->image());
}

void TestVini::photoFileLifeCycle()
{
    ViniFixture f;
    const QString photo1 = f.world.path(QStringLiteral("Catalogo_Vini/Catalogo_Vini_Foto_1.jpg"));
    const QString photo2 = f.world.path(QStringLiteral("Catalogo_Vini/Catalogo_Vini_Foto_2.jpg"));

    // A record saved without a photo of its own gets the placeholder as its file.
    f.type("txtNome", QStringLiteral("Barolo"));
    f.type("txtProduttore", QStringLiteral("Borgogno"));
    f.click("cmdSalva");
    QVERIFY(QFile::exists(photo1));
    QCOMPARE(QImageReader(photo1).size(), QSize(307, 409));

    // A loaded picture is written on save, at its own size.
    f.click("cmdNuovo");
    f.type("txtNome", QStringLiteral("Barbaresco"));
    f.type("txtProduttore", QStringLiteral("Gaja"));
    f.find<PictureBox>("imgFoto")->setImage(solid(Qt::darkRed, {640, 480}));
    f.click("cmdSalva");
    QCOMPARE(f.world.platform().lastMessage(), kInserted);
    QCOMPARE(QImageReader(photo2).size(), QSize(640, 480));

    // Browsing reads it back; a deleted file shows the placeholder, silently.
    f.click("cmdPrimo");
    QCOMPARE(f.find<PictureBox>("imgFoto")->image().size(), QSize(307, 409));
    f.click("cmdAvanti");
    // Decoded for its 307 x 409 box (by halves while decoding), with the
    // file's bytes kept for writing it back unchanged.
    QCOMPARE(f.find<PictureBox>("imgFoto")->image().size(), QSize(320, 240));
    QCOMPARE(f.find<PictureBox>("imgFoto")->sourceBytes(), testfiles::read(photo2));
    QVERIFY(QFile::remove(photo2));
    f.click("cmdPrimo");
    f.click("cmdAvanti");
    QCOMPARE(f.find<PictureBox>("imgFoto")->image(), f.find<PictureBox>("imgBianco")->image());
    QCOMPARE(f.world.platform().messages.size(), 2);

    // The photo folder is created on demand when a record is shown.
    QVERIFY(QDir(f.world.path(QStringLiteral("Catalogo_Vini"))).removeRecursively());
    f.click("cmdPrimo");
    QVERIFY(QDir(f.world.path(QStringLiteral("Catalogo_Vini"))).exists());
}

void TestVini::photoFolderNotWritable()
{
    ViniFixture f;
    // A file where the photo folder should be: the photo cannot be written.
    QFile blocker(f.world.path(QStringLiteral("Catalogo_Vini")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    f.type("txtNome", QStringLiteral("Barolo"));
    f.type("txtProduttore", QStringLiteral("Borgogno"));
    f.find<PictureBox>("imgFoto")->setImage(solid(Qt::darkRed));
    f.click("cmdSalva");
    QCOMPARE(f.world.platform().lastMessage(), kInserted);
    QCOMPARE(f.archiveBytes().size(), 2997);
    // The photo stays on show: it is still the wine's photo, and the next
    // save, once the folder can be written, stores it.
    QCOMPARE(f.find<PictureBox>("imgFoto")->image(), solid(Qt::darkRed));
    QVERIFY(QFile::remove(f.world.path(QStringLiteral("Catalogo_Vini"))));
    f.click("cmdSalva");
    const QImage stored(f.world.path(QStringLiteral("Catalogo_Vini/Catalogo_Vini_Foto_1.jpg")));
    QCOMPARE(stored.size(), solid(Qt::darkRed).size());
}

void TestVini::failedPhotoWriteNeverReplacesTheStoredPhoto_data()
{
    QTest::addColumn<QString>("failure");
    QTest::newRow("the disk button answered with a place that cannot be written") << "copy";
    // A protected file stands for a disk that refuses the write, then has
    // room again.
    QTest::newRow("the photo file refused during a save") << "save";
}

// Once a photo write has failed, a later save still stores the user's photo,
// never the placeholder.
void TestVini::failedPhotoWriteNeverReplacesTheStoredPhoto()
{
    QFETCH(QString, failure);
    ViniFixture f;
    const QString path = showWineWithPhoto(f);
    QVERIFY(!path.isEmpty());
    const QByteArray original = testfiles::read(path);
    QCOMPARE(f.find<PictureBox>("imgFoto")->sourceBytes(), original);

    if (failure == QLatin1String("copy")) {
        f.world.platform().saveAnswers.enqueue(QStringLiteral("/proc/Foto.jpg"));
        f.click("btnSalvaFoto");
        QCOMPARE(f.world.platform().lastMessage(), pictureCopyFailureMessage());
    } else {
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        f.click("cmdSalva");
        QCOMPARE(testfiles::read(path), original);
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    }
    QCOMPARE(f.find<PictureBox>("imgFoto")->sourceBytes(), original);
    f.click("cmdSalva");
    QCOMPARE(f.world.platform().lastMessage(), kModified);
    QCOMPARE(testfiles::read(path), original);
}

void TestVini::unchangedPhotoIsNotReencoded()
{
    ViniFixture f;
    f.seed(1);
    QDir().mkpath(f.world.path(QStringLiteral("Catalogo_Vini")));
    const QString path = f.world.path(QStringLiteral("Catalogo_Vini/Catalogo_Vini_Foto_1.jpg"));
    QVERIFY(solid(Qt::darkGreen).save(path, "jpeg", 35));
    QFile original(path);
    QVERIFY(original.open(QIODevice::ReadOnly));
    const QByteArray bytes = original.readAll();
    original.close();
    f.click("cmdPrimo");
    f.click("cmdSalva");
    f.click("cmdSalva");
    QVERIFY(original.open(QIODevice::ReadOnly));
    QCOMPARE(original.readAll(), bytes);
}

void TestVini::badPhotoFilesShowThePlaceholderAndSurviveSaving()
{
    ViniFixture f;
    f.seed(1);
    QDir().mkpath(f.world.path(QStringLiteral("Catalogo_Vini")));
    QFile bad(f.world.path(QStringLiteral("Catalogo_Vini/Catalogo_Vini_Foto_1.jpg")));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("not a picture");
    bad.close();
    f.click("cmdPrimo");
    QCOMPARE(f.find<PictureBox>("imgFoto")->image(), f.find<PictureBox>("imgBianco")->image());
    QVERIFY(f.world.platform().messages.isEmpty());

    // Saving the wine leaves the unreadable file alone: the user can still
    // recover the photo from it. Browsing away and back changes nothing.
    f.click("cmdSalva");
    QCOMPARE(f.world.platform().lastMessage(),
             QStringLiteral("Le modifiche apportate alla scheda corrente sono state salvate in archivio."));
    QCOMPARE(testfiles::read(bad.fileName()), QByteArray("not a picture"));
    f.click("cmdUltimo");
    f.click("cmdSalva");
    QCOMPARE(testfiles::read(bad.fileName()), QByteArray("not a picture"));

    // A photo the user loads replaces it at the next save.
    QImage blue(32, 24, QImage::Format_RGB32);
    blue.fill(Qt::blue);
    const QString chosen = f.world.path(QStringLiteral("blu.jpg"));
    QVERIFY(blue.save(chosen, "JPEG"));
    f.world.platform().openAnswers.enqueue(chosen);
    f.click("btnCaricaFoto");
    f.click("cmdSalva");
    QCOMPARE(testfiles::read(bad.fileName()), testfiles::read(chosen));

    // A duplicate of a wine whose photo is unreadable starts with the
    // placeholder and writes it under its own new position only.
    QVERIFY(testfiles::write(bad.fileName(), "not a picture"));
    f.click("cmdPrimo");
    f.click("cmdDuplica");
    f.click("cmdSalva");
    QCOMPARE(f.label("lblPosizione")->text(), QStringLiteral("2"));
    QCOMPARE(testfiles::read(bad.fileName()), QByteArray("not a picture"));
    QVERIFY(!QImage(f.world.path(QStringLiteral("Catalogo_Vini/Catalogo_Vini_Foto_2.jpg"))).isNull());
}

void TestVini::loadPhotoButton_data()
{
    QTest::addColumn<QString>("file"); // written into the program folder; "" = the user cancels
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QSize>("shown"); // 640 x 480: the picture shown before
    QTest::addColumn<bool>("warned");
    const QByteArray jpeg = encoded(solid(Qt::darkRed, {64, 48}), "jpeg");
    QTest::newRow("a JPEG photo") << "foto.jpg" << jpeg << QSize(64, 48) << false;
    QTest::newRow("not an image") << "foto.jpg" << QByteArray("testo") << QSize(640, 480) << true;
    QTest::newRow("cancelled") << "" << QByteArray() << QSize(640, 480) << false;
}

void TestVini::loadPhotoButton()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(QSize, shown);
    QFETCH(bool, warned);
    ViniFixture f;
    f.find<PictureBox>("imgFoto")->setImage(solid(Qt::gray, {640, 480}));
    if (!file.isEmpty()) {
        QFile out(f.world.path(file));
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(content);
        out.close();
        f.world.platform().openAnswers.enqueue(f.world.path(file));
    }
    f.click("btnCaricaFoto");
    QCOMPARE(f.world.platform().openRequests.size(), 1);
    const OpenFileRequest& request = f.world.platform().openRequests[0];
    QCOMPARE(request.title, QStringLiteral("Selezionare un file di immagine in formato Jpeg o Bitmap."));
    QCOMPARE(request.filters.size(), 2);
    QCOMPARE(request.filters[0].description, QStringLiteral("Immagine JPEG (*.jpg; *.jpeg)"));
    QCOMPARE(request.filters[0].patterns, QStringLiteral("*.jpg;*.jpeg"));
    QCOMPARE(request.filters[1].description, QStringLiteral("Immagine Bitmap (*.bmp)"));
    QCOMPARE(request.filters[1].patterns, QStringLiteral("*.bmp"));
    QCOMPARE(f.find<PictureBox>("imgFoto")->image().size(), shown);
    QVERIFY(!QDir(f.world.path(QStringLiteral("Catalogo_Vini"))).exists()); // nothing written before Save
    QCOMPARE(f.world.platform().messages.size(), warned ? 1 : 0);
    if (warned) {
        QCOMPARE(f.world.platform().messages[0].kind, MessageKind::Warning);
        QCOMPARE(f.world.platform().messages[0].text, pictureLoadFailureMessage());
    }
}

void TestVini::unreadableChosenFileKeepsTheRecordsPhoto_data()
{
    QTest::addColumn<QByteArray>("chosen");
    const QImage green = solid(Qt::darkGreen, {64, 48});
    const QByteArray jpeg = encoded(green, "jpeg"), bmp = encoded(green, "bmp");
    QTest::newRow("not an image") << QByteArray("testo");
    QTest::newRow("JPEG cut short") << jpeg.left(jpeg.size() / 2);
    QTest::newRow("BMP cut short") << bmp.left(bmp.size() / 2);
}

// A picture file that cannot be loaded leaves the record's photo on show, so
// the next save stores the photo the record had, byte for byte.
void TestVini::unreadableChosenFileKeepsTheRecordsPhoto()
{
    QFETCH(QByteArray, chosen);
    ViniFixture f;
    const QString path = showWineWithPhoto(f);
    QVERIFY(!path.isEmpty());
    const QByteArray original = testfiles::read(path);
    const QImage shown = f.find<PictureBox>("imgFoto")->image();

    QVERIFY(testfiles::write(f.world.path(QStringLiteral("scelta.jpg")), chosen));
    f.world.platform().openAnswers.enqueue(f.world.path(QStringLiteral("scelta.jpg")));
    f.click("btnCaricaFoto");
    QCOMPARE(f.world.platform().messages.size(), 1);
    QCOMPARE(f.world.platform().messages[0].kind, MessageKind::Warning);
    QCOMPARE(f.world.platform().lastMessage(), pictureLoadFailureMessage());
    QCOMPARE(f.find<PictureBox>("imgFoto")->image(), shown);
    QCOMPARE(f.find<PictureBox>("imgFoto")->sourceBytes(), original);

    f.click("cmdSalva");
    QCOMPARE(f.world.platform().lastMessage(), kModified);
    QCOMPARE(testfiles::read(path), original);
}

void TestVini::savePhotoButton_data()
{
    QTest::addColumn<QString>("target"); // relative to the program folder; "" = cancelled
    QTest::addColumn<QByteArray>("magic");  // how the written file begins; empty = no file
    QTest::newRow("as JPEG") << "copia.jpg" << QByteArray("\xff\xd8");
    QTest::newRow("in the format its extension names") << "copia.bmp" << QByteArray("BM");
    QTest::newRow("unwritable path") << "manca/copia.jpg" << QByteArray();
    QTest::newRow("cancelled") << "" << QByteArray();
}

void TestVini::savePhotoButton()
{
    QFETCH(QString, target);
    QFETCH(QByteArray, magic);
    ViniFixture f;
    const QImage photo = solid(Qt::darkGreen, {50, 40});
    f.find<PictureBox>("imgFoto")->setImage(photo);
    if (!target.isEmpty())
        f.world.platform().saveAnswers.enqueue(f.world.path(target));
    f.click("btnSalvaFoto");
    QCOMPARE(f.world.platform().saveRequests.size(), 1);
    const SaveFileRequest& request = f.world.platform().saveRequests[0];
    QCOMPARE(request.title, QStringLiteral("Selezionare la cartella in cui si desidera salvare il file Jpeg."));
    QCOMPARE(request.proposedName, QStringLiteral("Foto.jpg"));
    QCOMPARE(request.filters.size(), 1);
    QCOMPARE(request.filters[0].description, QStringLiteral("File Jpeg (*.jpg)"));
    QVERIFY(request.confirmOverwrite);
    if (!magic.isEmpty()) {
        QFile written(f.world.path(target));
        QVERIFY(written.open(QIODevice::ReadOnly));
        QVERIFY(written.readAll().startsWith(magic));
    }
    // The photo stays on show whatever happens to the copy; a copy that
    // could not be written is reported.
    QCOMPARE(f.find<PictureBox>("imgFoto")->image(), photo);
    const bool failed = target.startsWith(QLatin1String("manca"));
    QCOMPARE(f.world.platform().messages.size(), failed ? 1 : 0);
    if (failed)
        QCOMPARE(f.world.platform().lastMessage(), pictureCopyFailureMessage());
}

void TestVini::buttonsOpenTheirWindows_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("caption");
    QTest::newRow("search") << "cmdTrova" << "frmTrovaVini" << " Trova vini in catalogo";
    QTest::newRow("preview") << "cmdAnteprima" << "frmAnteprimaVini" << " Anteprima di stampa";
    QTest::newRow("print") << "cmdStampa" << "frmStampaVini" << " Stampa scheda";
    QTest::newRow("slideshow") << "cmdSlideshow" << "frmSlideshow_Vini" << " Slide Show Catalogo Vini";
    QTest::newRow("help") << "cmdGuida" << "frmGuida" << " Guida all'utilizzo del software";
    QTest::newRow("webcam") << "btnWebcam" << "frmWebCam" << " Cattura foto con webcam";
    QTest::newRow("zoom") << "btnZoomFoto" << "frmZoom" << " Fai clic per chiudere questa finestra";
}

void TestVini::buttonsOpenTheirWindows()
{
    QFETCH(QString, button);
    QFETCH(QString, window);
    QFETCH(QString, caption);
    ViniFixture f;
    QStringList opened;
    QString title;
    QWidget* owner = nullptr;
    f.world.platform().onDialog = [&](QDialog& dialog) {
        opened << dialog.objectName();
        title = dialog.windowTitle();
        owner = dialog.parentWidget();
        return 0;
    };
    f.click(button.toLatin1());
    QCOMPARE(opened, QStringList{window});
    QCOMPARE(title, caption);
    QCOMPARE(owner, &f.window);
    // Each use is a fresh window, destroyed when it closes.
    QVERIFY(f.window.findChildren<QDialog*>().isEmpty());
}

void TestVini::searchDoubleClickLoadsIntoTheEditor()
{
    ViniFixture f;
    f.seed(3);
    QDir().mkpath(f.world.path(QStringLiteral("Catalogo_Vini")));
    QVERIFY(solid(Qt::darkBlue, {90, 120}).save(f.world.path(QStringLiteral("Catalogo_Vini/Catalogo_Vini_Foto_2.jpg"))));
    f.world.platform().onDialog = [&](QDialog& dialog) {
        auto& search = dynamic_cast<TfrmTrovaVini&>(dialog);
        search.show();
        search.txtNome->setText(QStringLiteral("vino 2"));
        search.btnCercaClick();
        search.lstRecords->setCurrentRow(0);
        search.lstRecordsDblClick();
        return search.result();
    };
    f.click("cmdTrova");
    QCOMPARE(f.label("lblPosizione")->text(), QStringLiteral("2"));
    QCOMPARE(f.edit("txtNome")->text(), QStringLiteral("Vino 2"));
    QCOMPARE(f.edit("txtProduttore")->text(), QStringLiteral("Cantina 2"));
    QCOMPARE(f.find<PictureBox>("imgFoto")->image().size(), QSize(90, 120));
}

QTEST_MAIN(TestVini)
#include "tst_vini.moc"
