// The page editor: the slots, navigation, saving with its warnings, the slot
// photo files, emptying and loading a slot, preview photos, typing.
#include "HighlightEdit.h"
#include "ListinoPrezzi.h"
#include "PictureBox.h"
#include "PictureButton.h"
#include "PriceEntry.h"
#include "PricePage.h"
#include "RecordArchive.h"
#include "ScriptedPlatform.h"
#include "TestFiles.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QImageReader>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <unistd.h>

using namespace vinarca;

namespace {
const QString kEmpty = QStringLiteral("L'archivio non contiene nessuna scheda.");
const QString kAppended = QStringLiteral("La scheda corrente è stata inserita in archivio.");
const QString kOverwritten = QStringLiteral("Le modifiche apportate alla scheda corrente sono state salvate in archivio.");

// An editor on the list "Rossi" of the test world's folder, shown on a new page.
struct Editor
{
    TestWorld world;
    TfrmListinoPrezzi window;
    Editor()
    {
        window.lblFile->setText(world.path("Rossi.lis"));
        window.lblNome->setText(QStringLiteral("Rossi"));
        window.show();
        window.activateWindow();
        (void)QTest::qWaitForWindowActive(&window); // later checks show any failure
    }
    QString photo(const char* letter, int page) const
    {
        return world.folder() + "Foto_Listino/" + SlotPhotoFileName("Rossi", letter, page);
    }
    // Appends pages whose slot A name is the page's number in words.
    void addPages(int count)
    {
        for (int i = 1; i <= count; ++i) {
            QStringList texts(40);
            texts[pricepage::fieldIndex(0, "Nome")] = QStringLiteral("pagina %1").arg(i);
            AppendPricePage(world.path("Rossi.lis"), texts);
        }
    }
    QColor slotColour(int slot) const
    {
        const QImage picture = window.slotControls.at(slot).imgFoto->image();
        return picture.pixelColor(picture.width() / 2, picture.height() / 2);
    }
};

QImage solid(QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

bool near(QColor a, QColor b)
{
    return qAbs(a.red() - b.red()) < 12 && qAbs(a.green() - b.green()) < 12 && qAbs(a.blue() - b.blue()) < 12;
}
} // namespace

class TestListinoPrezzi : public QObject
{
    Q_OBJECT
private slots:
    void design();
    void saveWarnings_data();
    void saveWarnings();
    void saveAppendsThenOverwrites();
    void emptiedSlotSavesWhite();
    void missingPhotoShowsPlaceholder();
    void failedPhotoWriteKeepsThePicture();
    void writesNeverLeaveTheProgramFolder_data();
    void writesNeverLeaveTheProgramFolder();
    void loadPhoto_data();
    void loadPhoto();
    void previewPhotos();
    void fileRemovedWhileOpen();
    void readOnlyFile();
    void priceBoxes();
    void pastedLineBreaksBecomeBlanks();
    void returnAndTabOrder();
    void hints_data();
    void hints();
};

void TestListinoPrezzi::design()
{
    Editor e;
    TfrmListinoPrezzi& w = e.window;
    QCOMPARE(w.objectName(), QStringLiteral("frmListinoPrezzi"));
    QCOMPARE(w.windowTitle(), QStringLiteral(" Vinarca - Listini Prezzi"));
    QCOMPARE(w.panel()->size(), QSize(994, 692));
    const QPoint panels[] = {{24, 120}, {24, 248}, {24, 376}, {24, 504}, {502, 120}, {502, 248}, {502, 376}, {502, 504}};
    for (int i = 0; i < 8; ++i) {
        const QString letter = pricepage::slotLetters().at(i);
        const auto& slot = w.slotControls.at(i);
        QCOMPARE(slot.bkgProdotto->objectName(), QStringLiteral("bkgProdotto_0%1").arg(i + 1));
        QCOMPARE(slot.bkgProdotto->geometry(), QRect(panels[i], QSize(468, 120)));
        QCOMPARE(slot.imgFoto->geometry(), QRect(10, 8, 136, 104));
        QCOMPARE(slot.txtNome->objectName(), "txtNome_" + letter);
        QCOMPARE(slot.txtNome->maxLength(), 50);
        QCOMPARE(slot.txtUM->maxLength(), 120);
        QCOMPARE(slot.txtCaratteristiche->maxLength(), 250);
        QCOMPARE(slot.txtCodice->maxLength(), 25);
        QCOMPARE(slot.txtPrezzo->maxLength(), 12);
        QCOMPARE(slot.txtPrezzo->geometry(), QRect(336, 90, 122, 22));
        QCOMPARE(slot.txtPrezzo->text(), QStringLiteral("0,00"));
        QCOMPARE(slot.impProdotto->geometry().topLeft(), QPoint(436, 8));
        QCOMPARE(slot.imgFoto->image(), w.imgBianco->image());
    }
    QVERIFY(w.lblPosizione->text().isEmpty());
    QVERIFY(!w.imgBianco->isVisible() && !w.imgGomma->isVisible() && !w.lblFile->isVisible());
    QCOMPARE(w.panInfo->text(), QStringLiteral("Pronto per archiviare una nuova scheda..."));
    QCOMPARE(QApplication::focusWidget(), w.slotControls[0].txtNome);
}

void TestListinoPrezzi::saveWarnings_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::newRow("no name") << "  " << "5,00" << "Attenzione: per salvare la scheda è necessario indicare il nome "
                                                  "del primo prodotto." << "txtNome_A";
    QTest::newRow("no price") << "Barolo" << " " << "Attenzione: per salvare la scheda è necessario indicare il "
                                                    "prezzo di vendita del primo prodotto." << "txtPrezzo_A";
}

void TestListinoPrezzi::saveWarnings()
{
    QFETCH(QString, name);
    QFETCH(QString, price);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    Editor e;
    e.window.slotControls[0].txtNome->setText(name);
    e.window.slotControls[0].txtPrezzo->setText(price);
    e.window.slotControls[1].txtNome->setFocus();
    e.window.cmdSalvaClick();
    QCOMPARE(e.world.platform().lastMessage(), message);
    QCOMPARE(e.world.platform().messages.constFirst().kind, MessageKind::Warning);
    QCOMPARE(QApplication::focusWidget()->objectName(), focus);
    QCOMPARE(testfiles::read(e.world.path("Rossi.lis")).size(), 0);
    QVERIFY(!QFileInfo::exists(e.world.path("Foto_Listino")));
}

void TestListinoPrezzi::saveAppendsThenOverwrites()
{
    Editor e;
    e.addPages(1);
    e.window.slotControls[0].txtNome->setText(QStringLiteral("  Barolo  "));
    e.window.slotControls[0].txtPrezzo->setText(QStringLiteral("35,00"));
    e.window.slotControls[7].txtCaratteristiche->setText(QString(250, 'c'));
    e.window.slotControls[0].imgFoto->setImage(solid({800, 200}, Qt::red));
    QTest::mouseClick(e.window.cmdSalva, Qt::LeftButton);
    QCOMPARE(e.world.platform().lastMessage(), kAppended);
    QCOMPARE(e.window.lblPosizione->text(), QStringLiteral("2"));
    QCOMPARE(testfiles::read(e.world.path("Rossi.lis")).size(), 2 * 3696);
    const QStringList stored = ReadPricePage(e.world.path("Rossi.lis"), 2);
    QCOMPARE(stored, e.window.pageTexts());
    QCOMPARE(stored.at(pricepage::fieldIndex(0, "Nome")), QStringLiteral("Barolo"));
    QCOMPARE(stored.at(pricepage::fieldIndex(7, "Caratteristiche")), QString(250, 'c'));
    // Eight photo files of page 2, each 366 × 274; slot A red, the others the placeholder.
    for (const QString& letter : pricepage::slotLetters()) {
        const QImage photo(e.photo(qPrintable(letter), 2));
        QCOMPARE(photo.size(), QSize(366, 274));
        QCOMPARE(QImageReader(e.photo(qPrintable(letter), 2)).format(), QByteArray("jpeg"));
    }
    QVERIFY(near(QImage(e.photo("A", 2)).pixelColor(183, 137), Qt::red));
    QVERIFY(!near(QImage(e.photo("B", 2)).pixelColor(183, 137), Qt::red));

    // Saved again: record 2 and its photos rewritten, the count unchanged.
    e.window.slotControls[0].txtNome->setText(QStringLiteral("Barbaresco"));
    e.window.slotControls[0].imgFoto->setImage(solid({50, 50}, Qt::blue));
    e.window.cmdSalvaClick();
    QCOMPARE(e.world.platform().lastMessage(), kOverwritten);
    QCOMPARE(e.window.lblPosizione->text(), QStringLiteral("2"));
    QCOMPARE(PricePageCount(e.world.path("Rossi.lis")), 2);
    QCOMPARE(ReadPricePage(e.world.path("Rossi.lis"), 2).at(pricepage::fieldIndex(0, "Nome")),
             QStringLiteral("Barbaresco"));
    QCOMPARE(ReadPricePage(e.world.path("Rossi.lis"), 1).at(pricepage::fieldIndex(0, "Nome")),
             QStringLiteral("pagina 1"));
    QVERIFY(near(QImage(e.photo("A", 2)).pixelColor(183, 137), Qt::blue));
}

void TestListinoPrezzi::emptiedSlotSavesWhite()
{
    Editor e;
    for (int slot = 0; slot < 8; ++slot) {
        e.window.slotControls[slot].txtNome->setText(QStringLiteral("vino %1").arg(slot));
        e.window.slotControls[slot].txtCodice->setText(QStringLiteral("C%1").arg(slot));
        e.window.slotControls[slot].txtPrezzo->setText(QStringLiteral("9,00"));
        e.window.slotControls[slot].imgFoto->setImage(solid({100, 100}, Qt::darkGreen));
    }
    QTest::mouseClick(e.window.slotControls[2].impProdotto, Qt::LeftButton);
    QVERIFY(e.world.platform().messages.isEmpty());
    QVERIFY(e.window.slotControls[2].txtNome->text().isEmpty() && e.window.slotControls[2].txtCodice->text().isEmpty());
    QCOMPARE(e.window.slotControls[2].txtPrezzo->text(), QStringLiteral("0,00"));
    QCOMPARE(e.window.slotControls[3].txtNome->text(), QStringLiteral("vino 3"));
    QVERIFY(!QFileInfo::exists(e.world.path("Rossi.lis"))); // nothing touched until saved
    e.window.cmdSalvaClick();
    QVERIFY(near(QImage(e.photo("C", 1)).pixelColor(183, 137), Qt::white));
    // Away and back: slot C shows white, not the placeholder.
    e.window.cmdNuovoClick();
    e.window.cmdPrimoClick();
    QVERIFY(near(e.slotColour(2), Qt::white));
    QVERIFY(near(e.slotColour(3), Qt::darkGreen));
    QCOMPARE(e.window.slotControls[2].imgFoto->image().size(), QSize(366, 274));
}

void TestListinoPrezzi::missingPhotoShowsPlaceholder()
{
    Editor e;
    e.window.slotControls[0].txtNome->setText(QStringLiteral("Barolo"));
    for (int slot = 0; slot < 8; ++slot)
        e.window.slotControls[slot].imgFoto->setImage(solid({100, 100}, Qt::darkGreen));
    e.window.cmdSalvaClick();
    QFile::remove(e.photo("B", 1));
    QVERIFY(testfiles::write(e.photo("C", 1), "not a picture"));
    e.window.cmdNuovoClick();
    e.window.cmdUltimoClick();
    QCOMPARE(e.window.slotControls[1].imgFoto->image(), e.window.imgBianco->image());
    QCOMPARE(e.window.slotControls[2].imgFoto->image(), e.window.imgBianco->image());
    QVERIFY(near(e.slotColour(3), Qt::darkGreen));
    // Saved again, also after a preview: the file that could not be read is
    // left for the user to recover; the missing one stays missing (its slot
    // shows the placeholder either way), since nobody changed its picture.
    e.window.preparePreview();
    e.window.cmdSalvaClick();
    QCOMPARE(testfiles::read(e.photo("C", 1)), QByteArray("not a picture"));
    QVERIFY(!QFileInfo::exists(e.photo("B", 1)));
}

// A slot photo that could not be written keeps its picture on show, so the
// next save stores it rather than the placeholder.
void TestListinoPrezzi::failedPhotoWriteKeepsThePicture()
{
    Editor e;
    e.window.slotControls[0].txtNome->setText(QStringLiteral("Barolo"));
    for (int slot = 0; slot < 8; ++slot)
        e.window.slotControls[slot].imgFoto->setImage(solid({100, 100}, Qt::darkGreen));
    e.window.cmdSalvaClick();
    const QByteArray stored = testfiles::read(e.photo("A", 1));
    // The file refuses the write (as a full disk would), then takes it again.
    QVERIFY(QFile::setPermissions(e.photo("A", 1), QFile::ReadOwner | QFile::ReadGroup));
    e.window.cmdSalvaClick();
    QCOMPARE(e.world.platform().lastMessage(), kOverwritten);
    QCOMPARE(testfiles::read(e.photo("A", 1)), stored);
    QVERIFY(near(e.slotColour(0), Qt::darkGreen));
    QVERIFY(QFile::setPermissions(e.photo("A", 1), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    e.window.cmdSalvaClick();
    QVERIFY(near(QImage(e.photo("A", 1)).pixelColor(183, 137), Qt::darkGreen));
}

void TestListinoPrezzi::writesNeverLeaveTheProgramFolder_data()
{
    QTest::addColumn<QString>("link");
    QTest::newRow("the list file is a link out") << "Rossi.lis";
    QTest::newRow("the photo folder is a link out") << "Foto_Listino";
}

void TestListinoPrezzi::writesNeverLeaveTheProgramFolder()
{
    QFETCH(QString, link);
    Editor e;
    QTemporaryDir outside;
    QVERIFY(QFile::link(outside.path(), e.world.path(link == "Rossi.lis" ? "fuori" : "Foto_Listino")));
    if (link == QLatin1String("Rossi.lis"))
        QVERIFY(QFile::link(e.world.path("fuori/Altro.lis"), e.world.path("Rossi.lis")));
    e.window.slotControls[0].txtNome->setText(QStringLiteral("Barolo"));
    e.window.cmdSalvaClick();
    QCOMPARE(e.world.platform().lastMessage(),
             link == QLatin1String("Rossi.lis") ? accessFailureMessage() : kAppended);
    QCOMPARE(QDir(outside.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{});
}

void TestListinoPrezzi::loadPhoto_data()
{
    QTest::addColumn<QString>("file"); // "" : the dialog is cancelled
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("shown"); // 0 unchanged, 1 the picture
    QTest::addColumn<bool>("warned");
    QByteArray jpeg;
    {
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        solid({640, 100}, Qt::blue).save(&buffer, "JPEG");
    }
    QTest::newRow("jpeg") << "vino.jpg" << jpeg << 1 << false;
    QTest::newRow("not a picture: reported, the slot keeps its picture") << "vino.jpg" << QByteArray("testo") << 0
                                                                         << true;
    QTest::newRow("cancelled") << "" << QByteArray() << 0 << false;
}

void TestListinoPrezzi::loadPhoto()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    QFETCH(int, shown);
    QFETCH(bool, warned);
    Editor e;
    e.window.slotControls[4].imgFoto->setImage(solid({10, 10}, Qt::green));
    if (!file.isEmpty()) {
        QVERIFY(testfiles::write(e.world.path(file), bytes));
        e.world.platform().openAnswers.enqueue(e.world.path(file));
    }
    e.window.imgFotoClick(4);
    const OpenFileRequest request = e.world.platform().openRequests.constFirst();
    QCOMPARE(request.title, QStringLiteral("Selezionare un file di immagine in formato Jpeg o Bitmap."));
    QCOMPARE(request.filters.size(), 2);
    QCOMPARE(request.filters[0].description, QStringLiteral("Immagine JPEG (*.jpg; *.jpeg)"));
    QCOMPARE(request.filters[0].patterns, QStringLiteral("*.jpg;*.jpeg"));
    QCOMPARE(request.filters[1].description, QStringLiteral("Immagine Bitmap (*.bmp)"));
    QCOMPARE(request.filters[1].patterns, QStringLiteral("*.bmp"));
    if (shown == 0)
        QVERIFY(near(e.slotColour(4), Qt::green));
    if (shown == 1) {
        QVERIFY(near(e.slotColour(4), Qt::blue));
        QCOMPARE(e.window.slotControls[4].imgFoto->image().size(), QSize(640, 100)); // at its own size
    }
    QCOMPARE(e.world.platform().messages.size(), warned ? 1 : 0);
    if (warned) {
        QCOMPARE(e.world.platform().messages[0].kind, MessageKind::Warning);
        QCOMPARE(e.world.platform().messages[0].text, pictureLoadFailureMessage());
    }
    QVERIFY(!QFileInfo::exists(e.world.path("Foto_Listino")));
}

void TestListinoPrezzi::previewPhotos()
{
    Editor e;
    e.window.slotControls[0].imgFoto->setImage(solid({30, 900}, Qt::red));
    e.window.preparePreview();
    for (const QString& letter : pricepage::slotLetters()) {
        const QString file = e.world.folder() + "Foto_Listino/" + PreviewPhotoFileName("Rossi", letter);
        QCOMPARE(QImage(file).size(), QSize(366, 274));
    }
    // The upright photo stays upright: centred on white, not stretched.
    const QImage shown = e.window.slotControls[0].imgFoto->image();
    QCOMPARE(shown.size(), QSize(366, 274));
    QVERIFY(near(shown.pixelColor(183, 137), Qt::red));
    QVERIFY(near(shown.pixelColor(20, 137), Qt::white));
    QVERIFY(e.window.lblPosizione->text().isEmpty()); // not saved
    QVERIFY(!QFileInfo::exists(e.world.path("Rossi.lis")));
}

void TestListinoPrezzi::fileRemovedWhileOpen()
{
    Editor e;
    e.addPages(2);
    e.window.cmdUltimoClick();
    QFile::remove(e.world.path("Rossi.lis"));
    e.window.cmdAvantiClick();
    QCOMPARE(e.world.platform().lastMessage(), kEmpty);
    QVERIFY(e.window.lblPosizione->text().isEmpty());
    QCOMPARE(testfiles::read(e.world.path("Rossi.lis")).size(), 0);
}

void TestListinoPrezzi::readOnlyFile()
{
    Editor e;
    e.addPages(1);
    const QByteArray before = testfiles::read(e.world.path("Rossi.lis"));
    QFile::setPermissions(e.world.path("Rossi.lis"), QFile::ReadOwner);
    e.window.slotControls[0].txtNome->setText(QStringLiteral("Barolo"));
    e.window.cmdSalvaClick();
    QCOMPARE(e.world.platform().lastMessage(), accessFailureMessage());
    QCOMPARE(e.world.platform().messages.constLast().kind, MessageKind::Error);
    QVERIFY(e.window.lblPosizione->text().isEmpty());
    QCOMPARE(e.window.slotControls[0].txtNome->text(), QStringLiteral("Barolo"));
    QCOMPARE(testfiles::read(e.world.path("Rossi.lis")), before);
    QVERIFY(!QFileInfo::exists(e.photo("A", 2)));
}

void TestListinoPrezzi::priceBoxes()
{
    Editor e;
    HighlightEdit* price = e.window.slotControls[5].txtPrezzo;
    price->setFocus();
    price->selectAll();
    QTest::keyClicks(price, "12a,5x");
    QCOMPARE(price->text(), QStringLiteral("12,5"));
    e.window.slotControls[6].txtNome->setFocus();
    QCOMPARE(price->text(), QStringLiteral("12,50"));
    // Twelve typed digits: their canonical text would not fit the box, so
    // the box keeps them as typed and the page stores what it shows.
    price->setFocus();
    price->selectAll();
    QTest::keyClicks(price, "1234567890123");
    e.window.slotControls[6].txtNome->setFocus();
    QCOMPARE(price->text(), QStringLiteral("123456789012"));
    QCOMPARE(price->maxLength(), 12);
    QCOMPARE(e.window.pageTexts().at(pricepage::fieldIndex(5, "Prezzo")), QStringLiteral("123456789012"));
    // A pasted amount far beyond the box stays as pasted.
    price->setFocus();
    price->selectAll();
    price->insert(QStringLiteral("1e99"));
    e.window.slotControls[6].txtNome->setFocus();
    QCOMPARE(price->text(), QStringLiteral("1e99"));
    // A price still being typed when Salva is clicked is stored normalised.
    e.window.slotControls[0].txtNome->setText(QStringLiteral("Barolo"));
    price->setFocus();
    price->selectAll();
    QTest::keyClicks(price, "7,5");
    QTest::mouseClick(e.window.cmdSalva, Qt::LeftButton);
    QCOMPARE(e.world.platform().lastMessage(), kAppended);
    QCOMPARE(ReadPricePage(e.world.path("Rossi.lis"), 1).at(pricepage::fieldIndex(5, "Prezzo")), QStringLiteral("7,50"));
}

// A slot field holds one line: line breaks pasted into it become blanks, and
// what is stored and printed is one line.
void TestListinoPrezzi::pastedLineBreaksBecomeBlanks()
{
    Editor e;
    HighlightEdit* name = e.window.slotControls[0].txtNome;
    name->setFocus();
    QGuiApplication::clipboard()->setText(QStringLiteral("Barolo\nDOCG\r\n2019"));
    name->paste();
    QCOMPARE(name->text(), QStringLiteral("Barolo DOCG 2019"));
    QCOMPARE(name->cursorPosition(), int(name->text().size()));
    e.window.cmdSalvaClick();
    QCOMPARE(ReadPricePage(e.world.path("Rossi.lis"), 1).at(pricepage::fieldIndex(0, "Nome")),
             QStringLiteral("Barolo DOCG 2019"));
}

void TestListinoPrezzi::returnAndTabOrder()
{
    Editor e;
    QStringList expected;
    for (const QString& letter : pricepage::slotLetters()) {
        for (const char* field : {"txtNome_", "txtUM_", "txtCaratteristiche_", "txtCodice_", "txtPrezzo_"})
            expected << QString::fromLatin1(field) + letter;
    }
    expected << "txtNome_A"; // Return on the last price box goes back to the start
    QStringList returnOrder{QApplication::focusWidget()->objectName()};
    for (int i = 0; i < 40; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        returnOrder << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(returnOrder, expected);
    QStringList tabOrder{e.window.slotControls[0].txtNome->objectName()};
    for (QWidget* w = e.window.slotControls[0].txtNome->nextInFocusChain(); w != e.window.slotControls[0].txtNome;
         w = w->nextInFocusChain()) {
        if (qobject_cast<HighlightEdit*>(w))
            tabOrder << w->objectName();
    }
    expected.removeLast();
    QCOMPARE(tabOrder, expected);
}

void TestListinoPrezzi::hints_data()
{
    QTest::addColumn<QStringList>("path"); // elements the pointer passes over, in order
    QTest::addColumn<QString>("expected");
    const std::pair<const char*, const char*> texts[] = {
        {"cmdNuovo", "Prepara la schermata per l'inserimento di una nuova scheda."},
        {"cmdSalva", "Salva la scheda corrente."},
        {"cmdAnteprima", "Visualizza l'anteprima di stampa."},
        {"cmdStampa", "Stampa la scheda corrente."},
        {"cmdPrimo", "Visualizza la prima scheda in archivio."},
        {"cmdIndietro", "Visualizza la scheda precedente in archivio."},
        {"cmdAvanti", "Visualizza la scheda successiva in archivio."},
        {"cmdUltimo", "Visualizza l'ultima scheda in archivio."},
        {"cmdGuida", "Visualizza la pagina della guida sensibile al contesto."},
        {"cmdEsci", "Esci da questa schermata di lavoro."},
        {"imgFoto_A", "Carica immagine articolo."},
        {"imgFoto_H", "Carica immagine articolo."},
        {"impProdotto_C", "Cancella dati articolo."},
    };
    for (const auto& [element, text] : texts)
        QTest::newRow(element) << QStringList{element} << QString::fromUtf8(text);
    const QString salva = QStringLiteral("Salva la scheda corrente.");
    QTest::newRow("an edit box keeps the text") << QStringList{"cmdSalva", "txtUM_B"} << salva;
    QTest::newRow("a slot panel clears it") << QStringList{"cmdSalva", "bkgProdotto_06"} << "";
    QTest::newRow("the title bar clears it") << QStringList{"cmdSalva", "lblNome"} << "";
}

void TestListinoPrezzi::hints()
{
    QFETCH(QStringList, path);
    QFETCH(QString, expected);
    Editor e;
    for (const QString& name : path) {
        QWidget* element = e.window.findChild<QWidget*>(name);
        QVERIFY2(element, qPrintable(name));
        const QPoint spot(2, element->height() - 3); // a corner no child covers
        const QPoint at = element->mapTo(&e.window, spot);
        QTest::mouseMove(e.window.windowHandle(), at);
        QTest::mouseMove(e.window.windowHandle(), at + QPoint(1, 0));
    }
    QCOMPARE(e.window.panInfo->text(), expected);
}

QTEST_MAIN(TestListinoPrezzi)
#include "tst_listinoprezzi.moc"
