// The twin label editors: every case runs on both kinds through a kind column.
#include "LabelFixture.h"

#include "Guida.h"
#include "ShortString.h"

#include <QBuffer>
#include <QDialog>
#include <QDir>
#include <QImageReader>
#include <QWindow>

#include <unistd.h>

using namespace vinarca;

namespace {
const QString kEmpty = QStringLiteral("L'archivio non contiene nessuna scheda.");
const QString kInserted = QStringLiteral("La scheda corrente è stata inserita in archivio.");
const QString kModified = QStringLiteral("Le modifiche apportate alla scheda corrente sono state salvate in archivio.");
const QString kNoProduct = QStringLiteral("Attenzione: per salvare la scheda è necessario indicare il nome del prodotto.");

// The boxes and hidden labels of the Label record, with where each field
// starts in the 2735-byte record and how many characters it holds.
struct FieldPlace
{
    const char* control;
    int offset;
    int capacity;
};
constexpr FieldPlace kPlaces[] = {
    {"txtProdotto", 0, 50},    {"txtImbottigliatore", 51, 50}, {"txtLotto", 102, 50},  {"txtPrezzo", 153, 15},
    {"txtCima", 169, 100},     {"txtNome", 270, 50},           {"txtSottotitolo", 321, 50}, {"txtRigo01", 372, 100},
    {"txtRigo02", 473, 100},   {"txtRigo03", 574, 100},        {"txtRigo04", 675, 100}, {"txtRosso", 776, 100},
    {"txtCalce", 877, 100},    {"txtNote", 978, 250},          {"lblFile01", 1229, 250}, {"lblFile02", 1480, 250},
    {"lblFile03", 1731, 250},  {"lblDesc01", 1982, 250},       {"lblDesc02", 2233, 250}, {"lblDesc03", 2484, 250},
};

const QStringList kTabOrder{"txtProdotto", "txtImbottigliatore", "txtLotto", "txtPrezzo", "txtCima",
                            "txtNome",     "txtRosso",           "txtSottotitolo", "txtRigo01", "txtRigo02",
                            "txtRigo03",   "txtRigo04",          "txtCalce", "txtNote"};

QImage solid(const QColor& colour, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

void kindColumn()
{
    QTest::addColumn<QString>("kind");
}

// Counts the paint events a widget receives.
struct PaintCounter : QObject
{
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};
} // namespace

class TestLabelEditor : public QObject
{
    Q_OBJECT
private slots:
    void designedState_data();
    void designedState();
    void everyFieldReachesItsOffset_data();
    void everyFieldReachesItsOffset();
    void tabAndReturnOrder_data();
    void tabAndReturnOrder();
    void statusTexts_data();
    void statusTexts();
    void priceField_data();
    void priceField();
    void saveFlow_data();
    void saveFlow();
    void saveRefusedWithoutProduct_data();
    void saveRefusedWithoutProduct();
    void duplicate_data();
    void duplicate();
    void archivesAreIndependent();
    void accessFailures_data();
    void accessFailures();
    void textOutsideTheCodePage_data();
    void textOutsideTheCodePage();
    void logoRules_data();
    void logoRules();
    void badLogoFiles_data();
    void badLogoFiles();
    void logoFolderNotWritable_data();
    void logoFolderNotWritable();
    void buttonsOpenTheirWindows_data();
    void buttonsOpenTheirWindows();
    void liveLabelMirrorsTheBoxes_data();
    void liveLabelMirrorsTheBoxes();
    void showingARecordDrawsOnce_data();
    void showingARecordDrawsOnce();
    void showResetsAndCloseReports_data();
    void showResetsAndCloseReports();
};

void TestLabelEditor::designedState_data()
{
    kindColumn();
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QPoint>("origin");
    QTest::addColumn<QSize>("logo");
    QTest::newRow("vertical") << "vertical" << "frmVerticali" << " Vinarca - Etichette verticali" << QPoint(605, 167)
                              << QSize(338, 145);
    QTest::newRow("horizontal") << "horizontal" << "frmOrizzontali" << " Vinarca - Etichette orizzontali"
                                << QPoint(548, 204) << QSize(405, 70);
}

void TestLabelEditor::designedState()
{
    QFETCH(QString, kind);
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QPoint, origin);
    QFETCH(QSize, logo);
    LabelFixture f(kind);
    QCOMPARE(f.window->objectName(), name);
    QCOMPARE(f.window->windowTitle(), caption);
    QWidget* panel = f.find("panContainer");
    QCOMPARE(panel->size(), QSize(994, 692));
    QCOMPARE(f.edit("txtPrezzo")->text(), QStringLiteral("0,00"));
    QCOMPARE(f.edit("txtPrezzo")->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    QCOMPARE(f.edit("txtRigo03")->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    QCOMPARE(f.edit("txtRigo04")->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    QCOMPARE(f.edit("txtNome")->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QCOMPARE(f.edit("txtNome")->font().pointSize(), 16);
    QCOMPARE(f.edit("txtSottotitolo")->font().pointSize(), 14);
    QCOMPARE(f.edit("txtProdotto")->font().family(), QStringLiteral("Verdana"));
    QVERIFY(f.label("lblPosizione")->text().isEmpty());
    QCOMPARE(f.label("panInfo")->text(), QStringLiteral("Pronto per archiviare una nuova scheda..."));
    QCOMPARE(QApplication::focusWidget(), f.edit("txtProdotto"));
    QCOMPARE(f.edit("txtCima")->currentFill(), QColor(Qt::white)); // label editors rest white
    QCOMPARE(f.edit("txtProdotto")->currentFill(), QColor(Qt::yellow));

    // The default logo in imgFoto; the blank logo plain white.
    QCOMPARE(f.picture("imgFoto")->image(), f.picture("imgBianco")->image());
    QCOMPARE(f.picture("imgBianco")->image().size(), logo);
    const QImage blank = f.picture("imgGomma")->image();
    QCOMPARE(blank.size(), QSize(338, 145));
    QCOMPARE(blank.pixelColor(200, 100), QColor(Qt::white));
    for (const char* hidden : {"lblFile01", "lblDesc03", "imgBianco", "imgGomma"})
        QVERIFY2(f.find(hidden) && !f.find(hidden)->isVisible(), hidden);
    for (const char* button : {"cmdNuovo", "cmdDuplica", "cmdSalva", "cmdTrova", "cmdAnteprima", "cmdStampa",
                               "cmdPrimo", "cmdIndietro", "cmdAvanti", "cmdUltimo", "cmdAllega", "cmdEsporta",
                               "cmdVerifica", "cmdGuida", "cmdEsci", "btnCaricaFoto", "btnSalvaFoto", "btnCancFoto", "btnZoomFoto"}) {
        QWidget* b = f.find(button);
        QVERIFY2(b && b->isVisible(), button);
        QCOMPARE(b->cursor().shape(), Qt::PointingHandCursor);
        QVERIFY2(panel->rect().contains(QRect(b->mapTo(panel, QPoint()), b->size())), button);
    }
    QCOMPARE(f.find("cmdAnteprima")->size(), QSize(148, 32));
    QCOMPARE(f.find("btnCaricaFoto")->size(), QSize(157, 40));
    QCOMPARE(f.find("btnCancFoto")->size(), QSize(42, 40));

    // The live label sits at its place in the panel, with the logo box over
    // its element, where the printed label has its logo.
    QWidget* imgFoto = f.find("imgFoto");
    QCOMPARE(QRect(imgFoto->mapTo(panel, QPoint()), imgFoto->size()),
             f.kind().geometry->element(QStringLiteral("imgFoto")).units.toRect().translated(origin));
    QCOMPARE(f.window->label->mapTo(panel, f.window->label->labelOffset()), origin);
    // No edit box lies under the live label.
    const QRect live(f.window->label->geometry());
    for (HighlightEdit* box : f.window->editBoxes())
        QVERIFY2(!live.intersects(box->geometry()), qPrintable(box->objectName()));
}

void TestLabelEditor::everyFieldReachesItsOffset_data()
{
    kindColumn();
    QTest::newRow("vertical") << "vertical";
    QTest::newRow("horizontal") << "horizontal";
}

void TestLabelEditor::everyFieldReachesItsOffset()
{
    QFETCH(QString, kind);
    LabelFixture f(kind);
    QCOMPARE(labelLayout().recordSize(), 2735);
    int i = 0;
    for (const FieldPlace& p : kPlaces) {
        const QString text = QStringLiteral("F%1").arg(++i);
        if (auto* box = f.edit(p.control))
            box->setText(text);
        else
            f.label(p.control)->setText(text);
    }
    f.click("cmdSalva");
    QCOMPARE(f.messages(), kInserted);
    const QByteArray bytes = f.archiveBytes();
    QCOMPARE(bytes.size(), 2735);
    i = 0;
    for (const FieldPlace& p : kPlaces) {
        const QByteArray text = QStringLiteral("F%1").arg(++i).toLatin1();
        QCOMPARE(bytes.mid(p.offset, 1 + text.size()), char(text.size()) + text);
    }
    // Each field's capacity: a text as long as the field is kept whole, the
    // field's last byte being the byte before the next field.
    for (const FieldPlace& p : kPlaces) {
        const QString full(p.capacity, QLatin1Char('x'));
        if (auto* box = f.edit(p.control))
            box->setText(full);
        else
            f.label(p.control)->setText(full + QStringLiteral("yyy"));
    }
    f.click("cmdSalva");
    QCOMPARE(f.messages(), kModified);
    const QByteArray full = f.archiveBytes();
    for (const FieldPlace& p : kPlaces) {
        QCOMPARE(quint8(full.at(p.offset)), quint8(p.capacity));
        QCOMPARE(full.mid(p.offset + 1, p.capacity), QByteArray(p.capacity, 'x'));
    }
}

void TestLabelEditor::tabAndReturnOrder_data()
{
    kindColumn();
    QTest::addColumn<int>("key");
    forBothKinds([](const QString& kind) {
        QTest::addRow("%s Return", qPrintable(kind)) << kind << int(Qt::Key_Return);
        QTest::addRow("%s Tab", qPrintable(kind)) << kind << int(Qt::Key_Tab);
    });
}

void TestLabelEditor::tabAndReturnOrder()
{
    QFETCH(QString, kind);
    QFETCH(int, key);
    LabelFixture f(kind);
    QStringList visited{QApplication::focusWidget()->objectName()};
    for (int i = 0; i < kTabOrder.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
        visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited, kTabOrder + QStringList{"txtProdotto"});
}

void TestLabelEditor::statusTexts_data()
{
    kindColumn();
    QTest::addColumn<QStringList>("path"); // elements the pointer moves over, in order
    QTest::addColumn<QString>("expected");
    const std::pair<const char*, const char*> texts[] = {
        {"cmdNuovo", "Prepara la schermata per l'inserimento di una nuova scheda."},
        {"cmdDuplica", "Prepara la schermata per l'inserimento di una nuova scheda duplicando i dati correnti."},
        {"cmdSalva", "Salva la scheda in archivio."},
        {"cmdTrova", "Trova schede in archivio."},
        {"cmdAnteprima", "Visualizza l'anteprima di stampa dell'etichetta."},
        {"cmdStampa", "Stampa l'etichetta."},
        {"cmdPrimo", "Visualizza la prima scheda in archivio."},
        {"cmdIndietro", "Visualizza la scheda precedente in archivio."},
        {"cmdAvanti", "Visualizza la scheda successiva in archivio."},
        {"cmdUltimo", "Visualizza l'ultima scheda in archivio."},
        {"cmdAllega", "Allega file alla scheda."},
        {"cmdEsporta", "Esporta archivio in Excel."},
        {"cmdVerifica", "Verifica l'etichetta: indicazioni obbligatorie e altezze minime dei caratteri."},
        {"cmdGuida", "Visualizza la guida."},
        {"cmdEsci", "Esci da questa schermata."},
        {"btnCaricaFoto", "Carica un'immagine."},
        {"btnSalvaFoto", "Salva l'immagine su disco."},
        {"btnCancFoto", "Cancella l'immagine."},
        {"btnZoomFoto", "Visualizza l'immagine nelle sue dimensioni reali."},
    };
    forBothKinds([&](const QString& kind) {
        for (const auto& [button, text] : texts)
            QTest::addRow("%s %s", qPrintable(kind), button) << kind << QStringList{button} << QString::fromUtf8(text);
        const QString salva = QStringLiteral("Salva la scheda in archivio.");
        QTest::addRow("%s an edit box keeps the text", qPrintable(kind)) << kind << QStringList{"cmdSalva", "txtNome"} << salva;
        QTest::addRow("%s a caption keeps the text", qPrintable(kind)) << kind << QStringList{"cmdSalva", "lblCampo01"} << salva;
        QTest::addRow("%s the live label clears it", qPrintable(kind)) << kind << QStringList{"cmdSalva", "pnlEtichetta"} << "";
        QTest::addRow("%s the logo clears it", qPrintable(kind)) << kind << QStringList{"cmdSalva", "imgFoto"} << "";
        QTest::addRow("%s the composition panel clears it", qPrintable(kind))
            << kind << QStringList{"cmdSalva", "shpComposizione"} << "";
        QTest::addRow("%s a band clears it", qPrintable(kind)) << kind << QStringList{"cmdSalva", "shpCalce"} << "";
    });
}

void TestLabelEditor::statusTexts()
{
    QFETCH(QString, kind);
    QFETCH(QStringList, path);
    QFETCH(QString, expected);
    LabelFixture f(kind);
    for (const QString& name : path) {
        QWidget* element = f.find(name.toLatin1());
        QVERIFY2(element, qPrintable(name));
        const QPoint spot(2, element->height() - 3); // a corner no child covers
        QWindow* window = element->window()->windowHandle();
        const QPoint at = element->mapTo(element->window(), spot);
        QTest::mouseMove(window, at);
        QTest::mouseMove(window, at + QPoint(1, 0));
    }
    QCOMPARE(f.label("panInfo")->text(), expected);
}

void TestLabelEditor::priceField_data()
{
    kindColumn();
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");  // while typing
    QTest::addColumn<QString>("leaving"); // how the focus leaves: "tab", "return" or "save"
    QTest::addColumn<QString>("result");
    forBothKinds([](const QString& kind) {
        QTest::addRow("%s keys filtered", qPrintable(kind)) << kind << "a1-2.b,5x" << "12,5" << "tab" << "12,50";
        QTest::addRow("%s Return goes on to the header", qPrintable(kind)) << kind << "7" << "7" << "return" << "7,00";
        QTest::addRow("%s saving normalises first", qPrintable(kind)) << kind << "3,995" << "3,995" << "save" << "4,00";
        QTest::addRow("%s two commas", qPrintable(kind)) << kind << "1,,2" << "1,,2" << "tab" << "0,00";
        QTest::addRow("%s emptied", qPrintable(kind)) << kind << "" << "" << "tab" << "0,00";
        // Typing stops at 15 digits; their canonical text would not fit the
        // box, so the box and the record keep the digits as typed.
        QTest::addRow("%s sixteen digits typed", qPrintable(kind))
            << kind << "1234567890123456" << "123456789012345" << "save" << "123456789012345";
        QTest::addRow("%s the longest price that fits", qPrintable(kind))
            << kind << "123456789012,345" << "123456789012,34" << "save" << "123456789012,34";
    });
}

void TestLabelEditor::priceField()
{
    QFETCH(QString, kind);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, leaving);
    QFETCH(QString, result);
    LabelFixture f(kind);
    f.type("txtProdotto", QStringLiteral("Barolo"));
    HighlightEdit* price = f.edit("txtPrezzo");
    price->setFocus();
    price->clear();
    QTest::keyClicks(price, typed);
    QCOMPARE(price->text(), shown);
    if (leaving == QLatin1String("tab")) {
        QTest::keyClick(price, Qt::Key_Tab);
    } else if (leaving == QLatin1String("return")) {
        QTest::keyClick(price, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), f.edit("txtCima"));
    } else {
        f.click("cmdSalva");
        QCOMPARE(f.storedRecord(1).at(3), result); // what is shown is what is stored
    }
    QCOMPARE(price->text(), result);
    QCOMPARE(price->maxLength(), 15);
}

void TestLabelEditor::saveFlow_data()
{
    kindColumn();
    QTest::addColumn<QString>("folder");
    QTest::addRow("vertical") << "vertical" << "Logo_Etichette_Verticali";
    QTest::addRow("horizontal") << "horizontal" << "Logo_Etichette_Orizzontali";
}

void TestLabelEditor::saveFlow()
{
    QFETCH(QString, kind);
    QFETCH(QString, folder);
    LabelFixture f(kind);
    f.seed(2);
    f.type("txtProdotto", QStringLiteral("  Barbera  "));
    f.type("txtNome", QStringLiteral(" Barbera d'Asti "));
    f.click("cmdSalva");
    QCOMPARE(f.world.platform().messages.size(), 1);
    QCOMPARE(f.world.platform().messages[0].kind, MessageKind::Information);
    QCOMPARE(f.messages(), kInserted);
    QCOMPARE(f.label("lblPosizione")->text(), QStringLiteral("3"));
    QCOMPARE(f.archiveBytes().size(), 3 * 2735);
    // Stored trimmed; the boxes keep what was typed until the record is read back.
    QCOMPARE(f.storedRecord(3).at(0), QStringLiteral("Barbera"));
    QCOMPARE(f.storedRecord(3).at(3), QStringLiteral("0,00"));
    QCOMPARE(f.edit("txtProdotto")->text(), QStringLiteral("  Barbera  "));
    // A label saved without a logo of its own gets the default logo as its file.
    const QString logo3 = f.world.path(folder + QStringLiteral("/Logo_3.jpg"));
    QCOMPARE(f.logoPath(3), logo3);
    QCOMPARE(QImageReader(logo3).size(), f.picture("imgBianco")->image().size());

    f.type("txtNome", QStringLiteral("Barbera Superiore"));
    f.find<PictureBox>("imgFoto")->setImage(solid(Qt::darkGreen, {64, 32}));
    f.click("cmdSalva");
    QCOMPARE(f.messages(), kModified);
    QCOMPARE(f.label("lblPosizione")->text(), QStringLiteral("3"));
    QCOMPARE(f.archiveBytes().size(), 3 * 2735);
    QCOMPARE(f.storedRecord(3).at(5), QStringLiteral("Barbera Superiore"));
    QCOMPARE(QImageReader(logo3).size(), QSize(64, 32));

    f.click("cmdPrimo");
    f.click("cmdUltimo");
    QCOMPARE(f.edit("txtProdotto")->text(), QStringLiteral("Barbera"));
    QCOMPARE(f.picture("imgFoto")->image().size(), QSize(64, 32));
}

void TestLabelEditor::saveRefusedWithoutProduct_data()
{
    kindColumn();
    QTest::addColumn<QString>("product");
    forBothKinds([](const QString& kind) {
        QTest::addRow("%s empty", qPrintable(kind)) << kind << "";
        QTest::addRow("%s blanks only", qPrintable(kind)) << kind << "   ";
    });
}

void TestLabelEditor::saveRefusedWithoutProduct()
{
    QFETCH(QString, kind);
    QFETCH(QString, product);
    LabelFixture f(kind);
    f.type("txtProdotto", product);
    f.type("txtNome", QStringLiteral("Nebbiolo"));
    f.click("cmdSalva");
    QCOMPARE(f.world.platform().messages.size(), 1);
    QCOMPARE(f.world.platform().messages[0].kind, MessageKind::Warning);
    QCOMPARE(f.messages(), kNoProduct);
    QCOMPARE(QApplication::focusWidget(), f.edit("txtProdotto"));
    QVERIFY(!QFile::exists(f.archivePath()));
    QVERIFY(f.label("lblPosizione")->text().isEmpty());
}

void TestLabelEditor::duplicate_data()
{
    kindColumn();
    QTest::newRow("vertical") << "vertical";
    QTest::newRow("horizontal") << "horizontal";
}

void TestLabelEditor::duplicate()
{
    QFETCH(QString, kind);
    LabelFixture f(kind);
    // Not yet stored: refused, nothing changes.
    f.type("txtProdotto", QStringLiteral("Soave"));
    f.click("cmdDuplica");
    QCOMPARE(f.world.platform().messages.last().kind, MessageKind::Warning);
    QCOMPARE(f.messages(), QStringLiteral("Attenzione: la duplicazione di una scheda può avvenire soltanto dopo che "
                                          "questa è stata inserita in archivio."));
    QCOMPARE(f.edit("txtProdotto")->text(), QStringLiteral("Soave"));

    f.find<PictureBox>("imgFoto")->setImage(solid(Qt::darkBlue, {50, 20}));
    f.label("lblFile01")->setText(QStringLiteral("analisi.pdf"));
    f.click("cmdSalva");
    f.click("cmdDuplica");
    QCOMPARE(f.world.platform().messages.last().kind, MessageKind::Information);
    QCOMPARE(f.messages(), QStringLiteral("E' ora possibile apportare le proprie modifiche alla scheda corrente.\n\r\n\r"
                                          "Al termine premere Salva per inserire la scheda in archivio."));
    QVERIFY(f.label("lblPosizione")->text().isEmpty());
    QVERIFY(f.label("lblFile01")->text().isEmpty());
    QCOMPARE(QApplication::focusWidget(), f.edit("txtProdotto"));
    QCOMPARE(f.picture("imgFoto")->image().size(), QSize(50, 20)); // the logo stays
    f.click("cmdSalva");
    QCOMPARE(f.label("lblPosizione")->text(), QStringLiteral("2"));
    QCOMPARE(f.storedRecord(2).at(0), QStringLiteral("Soave"));
    QVERIFY(f.storedRecord(2).at(14).isEmpty());
    QCOMPARE(testfiles::read(f.logoPath(2)), testfiles::read(f.logoPath(1)));
}

void TestLabelEditor::archivesAreIndependent()
{
    LabelFixture vertical(QStringLiteral("vertical"));
    vertical.type("txtProdotto", QStringLiteral("Verticale"));
    vertical.click("cmdSalva");
    TfrmOrizzontali horizontal;
    horizontal.show();
    QTest::mouseClick(horizontal.cmdPrimo, Qt::LeftButton);
    QCOMPARE(vertical.messages(), kEmpty);
    QCOMPARE(QFileInfo(vertical.world.path(QStringLiteral("Etichette_Orizzontali.pro"))).size(), 0);
    QCOMPARE(QFileInfo(vertical.world.path(QStringLiteral("Etichette_Verticali.pro"))).size(), 2735);
    QVERIFY(QFile::exists(vertical.world.path(QStringLiteral("Logo_Etichette_Verticali/Logo_1.jpg"))));
    QVERIFY(!QFile::exists(vertical.world.path(QStringLiteral("Logo_Etichette_Orizzontali/Logo_1.jpg"))));
}

void TestLabelEditor::accessFailures_data()
{
    kindColumn();
    QTest::addColumn<QString>("button");
    forBothKinds([](const QString& kind) {
        QTest::addRow("%s save", qPrintable(kind)) << kind << "cmdSalva";
        QTest::addRow("%s first", qPrintable(kind)) << kind << "cmdPrimo";
    });
}

void TestLabelEditor::accessFailures()
{
    if (geteuid() == 0)
        QSKIP("file permissions do not bind the superuser");
    QFETCH(QString, kind);
    QFETCH(QString, button);
    LabelFixture f(kind);
    f.seed(2);
    const QByteArray before = f.archiveBytes();
    QFile::setPermissions(f.archivePath(), QFile::ReadOwner);
    f.type("txtProdotto", QStringLiteral("Dolcetto"));
    f.click(button.toLatin1());
    QCOMPARE(f.world.platform().messages.size(), 1);
    QCOMPARE(f.world.platform().messages[0].kind, MessageKind::Error);
    QCOMPARE(f.messages(), QStringLiteral("Attenzione: il sistema non permette di accedere all'archivio.\n\r\n\r"
                                          "Accertarsi di possedere i privilegi di scrittura nella cartella di "
                                          "installazione del programma."));
    QVERIFY(f.label("lblPosizione")->text().isEmpty());
    QCOMPARE(f.edit("txtProdotto")->text(), QStringLiteral("Dolcetto"));
    QFile::setPermissions(f.archivePath(), QFile::ReadOwner | QFile::WriteOwner);
    QCOMPARE(f.archiveBytes(), before);
}

void TestLabelEditor::textOutsideTheCodePage_data()
{
    kindColumn();
    QTest::newRow("vertical") << "vertical";
    QTest::newRow("horizontal") << "horizontal";
}

void TestLabelEditor::textOutsideTheCodePage()
{
    QFETCH(QString, kind);
    LabelFixture f(kind);
    f.edit("txtProdotto")->setText(QStringLiteral("Łącko €"));
    f.click("cmdSalva");
    QCOMPARE(f.archiveBytes().mid(0, 8), QByteArray("\x07??cko \x80"));
}

void TestLabelEditor::logoRules_data()
{
    kindColumn();
    QTest::newRow("vertical") << "vertical";
    QTest::newRow("horizontal") << "horizontal";
}

void TestLabelEditor::logoRules()
{
    QFETCH(QString, kind);
    LabelFixture f(kind);
    // A JPEG chosen in the open dialog is shown, and copied byte for byte at save.
    const QString chosen = f.world.path(QStringLiteral("logo.jpg"));
    QVERIFY(solid(Qt::darkRed, {90, 30}).save(chosen, "JPEG", 40));
    f.world.platform().openAnswers.enqueue(chosen);
    f.click("btnCaricaFoto");
    QCOMPARE(f.world.platform().openRequests.last().title,
             QStringLiteral("Selezionare un file di immagine in formato Jpeg o Bitmap."));
    QCOMPARE(f.picture("imgFoto")->image().size(), QSize(90, 30));
    f.type("txtProdotto", QStringLiteral("Grignolino"));
    f.click("cmdSalva");
    QCOMPARE(testfiles::read(f.logoPath(1)), testfiles::read(chosen));

    // The blank logo replaces it on screen; the file stays until the next save stores white.
    f.click("btnCancFoto");
    QCOMPARE(f.picture("imgFoto")->image(), f.picture("imgGomma")->image());
    QCOMPARE(testfiles::read(f.logoPath(1)), testfiles::read(chosen));
    f.click("cmdSalva");
    const QImage stored(f.logoPath(1));
    QCOMPARE(stored.size(), QSize(338, 145));
    QVERIFY(qGray(stored.pixel(170, 70)) > 250);

    // A removed logo file shows the default logo, silently.
    QVERIFY(QFile::remove(f.logoPath(1)));
    const qsizetype messages = f.world.platform().messages.size();
    f.click("cmdPrimo");
    QCOMPARE(f.picture("imgFoto")->image(), f.picture("imgBianco")->image());
    QCOMPARE(f.world.platform().messages.size(), messages);

    // The logo folder is created whenever a logo is read.
    QVERIFY(QDir(f.world.path(f.kind().record.pictureFolder)).removeRecursively());
    f.click("cmdPrimo");
    QVERIFY(QDir(f.world.path(f.kind().record.pictureFolder)).exists());
}

void TestLabelEditor::badLogoFiles_data()
{
    kindColumn();
    QTest::addColumn<QByteArray>("content");
    QByteArray huge;
    {
        // A BMP header that claims a picture of 60000 x 60000 pixels.
        QImage small(4, 4, QImage::Format_RGB32);
        small.fill(Qt::red);
        QBuffer buffer(&huge);
        buffer.open(QIODevice::WriteOnly);
        small.save(&buffer, "BMP");
        qint32 side = 60000;
        memcpy(huge.data() + 18, &side, 4);
        memcpy(huge.data() + 22, &side, 4);
    }
    forBothKinds([&](const QString& kind) {
        QTest::addRow("%s not a picture", qPrintable(kind)) << kind << QByteArray("not a picture");
        QTest::addRow("%s claims a huge size", qPrintable(kind)) << kind << huge;
    });
}

void TestLabelEditor::badLogoFiles()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, content);
    LabelFixture f(kind);
    f.seed(1);
    QVERIFY(testfiles::write(f.logoPath(1), content));
    f.click("cmdPrimo");
    QCOMPARE(f.picture("imgFoto")->image(), f.picture("imgBianco")->image());
    QVERIFY(f.world.platform().messages.isEmpty());
    // The unreadable file is never overwritten by saving its record.
    f.click("cmdSalva");
    QCOMPARE(f.messages(), kModified);
    QCOMPARE(testfiles::read(f.logoPath(1)), content);
    // Chosen in the open dialog, it is reported and the logo on show stays.
    f.world.platform().openAnswers.enqueue(f.logoPath(1));
    f.picture("imgFoto")->setImage(solid(Qt::green, {10, 10}));
    f.click("btnCaricaFoto");
    QCOMPARE(f.world.platform().messages.last().kind, MessageKind::Warning);
    QCOMPARE(f.world.platform().lastMessage(), pictureLoadFailureMessage());
    QCOMPARE(f.picture("imgFoto")->image(), solid(Qt::green, {10, 10}));
}

void TestLabelEditor::logoFolderNotWritable_data()
{
    kindColumn();
    QTest::newRow("vertical") << "vertical";
    QTest::newRow("horizontal") << "horizontal";
}

void TestLabelEditor::logoFolderNotWritable()
{
    QFETCH(QString, kind);
    LabelFixture f(kind);
    // A file where the logo folder should be: the logo cannot be written.
    QVERIFY(testfiles::write(f.world.path(f.kind().record.pictureFolder), "x"));
    f.type("txtProdotto", QStringLiteral("Freisa"));
    f.picture("imgFoto")->setImage(solid(Qt::darkRed, {20, 20}));
    f.click("cmdSalva");
    QCOMPARE(f.messages(), kInserted);
    QCOMPARE(f.archiveBytes().size(), 2735);
    // The logo stays on show, so the next save, once the folder can be
    // written, stores the user's logo and not the default artwork.
    QCOMPARE(f.picture("imgFoto")->image(), solid(Qt::darkRed, {20, 20}));
    QVERIFY(QFile::remove(f.world.path(f.kind().record.pictureFolder)));
    f.click("cmdSalva");
    QCOMPARE(QImage(f.logoPath(1)).size(), QSize(20, 20));
    QCOMPARE(QColor(QImage(f.logoPath(1)).pixel(10, 10)).red() > 100, true);
}

void TestLabelEditor::buttonsOpenTheirWindows_data()
{
    kindColumn();
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("window"); // "" : nothing opens yet
    forBothKinds([](const QString& kind) {
        QTest::addRow("%s help", qPrintable(kind)) << kind << "cmdGuida" << "TfrmGuida";
        QTest::addRow("%s zoom", qPrintable(kind)) << kind << "btnZoomFoto" << "TfrmZoom";
        QTest::addRow("%s attachments", qPrintable(kind)) << kind << "cmdAllega" << "TfrmAllegaCartella";
        QTest::addRow("%s export", qPrintable(kind))
            << kind << "cmdEsporta" << (kind == QLatin1String("vertical") ? "TfrmExpVerticali" : "TfrmExpOrizzontali");
    });
}

void TestLabelEditor::buttonsOpenTheirWindows()
{
    QFETCH(QString, kind);
    QFETCH(QString, button);
    QFETCH(QString, window);
    LabelFixture f(kind);
    QStringList opened;
    QString title;
    QImage zoomed;
    f.world.platform().onDialog = [&](QDialog& dialog) {
        opened << QString::fromLatin1(dialog.metaObject()->className());
        if (auto* guida = qobject_cast<TfrmGuida*>(&dialog))
            title = guida->lblTitolo->text();
        if (auto* picture = dialog.findChild<PictureBox*>())
            zoomed = picture->image();
        return 0;
    };
    f.click(button.toLatin1());
    QCOMPARE(opened, window.isEmpty() ? QStringList{} : QStringList{window});
    if (window == QLatin1String("TfrmGuida"))
        QCOMPARE(title, QStringLiteral("App Etichette Bottiglie"));
    if (window == QLatin1String("TfrmZoom"))
        QCOMPARE(zoomed, f.picture("imgFoto")->image());
    QVERIFY(f.window->findChildren<QDialog*>().isEmpty());
}

void TestLabelEditor::liveLabelMirrorsTheBoxes_data()
{
    kindColumn();
    QTest::newRow("vertical") << "vertical";
    QTest::newRow("horizontal") << "horizontal";
}

void TestLabelEditor::liveLabelMirrorsTheBoxes()
{
    QFETCH(QString, kind);
    LabelFixture f(kind);
    LiveLabel* live = f.window->label;
    const std::pair<const char*, LabelLine> lines[] = {
        {"txtCima", LabelLine::Cima},       {"txtNome", LabelLine::Nome},     {"txtRosso", LabelLine::Rosso},
        {"txtSottotitolo", LabelLine::Sottotitolo}, {"txtRigo01", LabelLine::Rigo01}, {"txtRigo02", LabelLine::Rigo02},
        {"txtRigo03", LabelLine::Rigo03},   {"txtRigo04", LabelLine::Rigo04}, {"txtCalce", LabelLine::Calce},
    };
    for (const auto& [box, line] : lines) {
        f.type(box, QStringLiteral("  %1 ").arg(QLatin1String(box)));
        QCOMPARE(live->line(line), QString::fromLatin1(box)); // trimmed, after each key
        QCOMPARE(f.edit(box)->text(), QStringLiteral("  %1 ").arg(QLatin1String(box)));
    }
    // Archive data never reaches the label.
    f.type("txtProdotto", QStringLiteral("Prodotto"));
    f.type("txtNote", QStringLiteral("Note"));
    QVERIFY(!live->lines().contains(QStringLiteral("Prodotto")));
    QVERIFY(!live->lines().contains(QStringLiteral("Note")));
    // Return moves on and leaves the line as it was.
    f.edit("txtNome")->setFocus();
    QTest::keyClick(f.edit("txtNome"), Qt::Key_Return);
    QCOMPARE(live->line(LabelLine::Nome), QStringLiteral("txtNome"));
    QCOMPARE(QApplication::focusWidget(), f.edit("txtRosso"));

    // Saving and reading back puts the stored texts on the label without a key.
    f.click("cmdSalva");
    f.click("cmdNuovo");
    QCOMPARE(live->lines(), QStringList(kLabelLineCount));
    QCOMPARE(f.picture("imgFoto")->image(), f.picture("imgBianco")->image());
    f.click("cmdPrimo");
    for (const auto& [box, line] : lines)
        QCOMPARE(live->line(line), QString::fromLatin1(box));
}

void TestLabelEditor::showingARecordDrawsOnce_data()
{
    kindColumn();
    QTest::newRow("vertical") << "vertical";
    QTest::newRow("horizontal") << "horizontal";
}

void TestLabelEditor::showingARecordDrawsOnce()
{
    QFETCH(QString, kind);
    LabelFixture f(kind);
    f.seed(2);
    PaintCounter counter;
    f.window->label->installEventFilter(&counter);
    QCoreApplication::processEvents();
    counter.paints = 0;
    f.click("cmdUltimo");
    QCoreApplication::processEvents();
    QCOMPARE(f.window->label->line(LabelLine::Nome), QStringLiteral("Nome 2"));
    QCOMPARE(counter.paints, 1);
    // A key press draws the line again, even one that changes nothing.
    counter.paints = 0;
    f.edit("txtCima")->setFocus();
    QTest::keyClick(f.edit("txtCima"), Qt::Key_Left);
    QCoreApplication::processEvents();
    QVERIFY(counter.paints >= 1);
}

void TestLabelEditor::showResetsAndCloseReports_data()
{
    kindColumn();
    QTest::newRow("vertical") << "vertical";
    QTest::newRow("horizontal") << "horizontal";
}

void TestLabelEditor::showResetsAndCloseReports()
{
    QFETCH(QString, kind);
    LabelFixture f(kind);
    f.seed(1);
    f.click("cmdPrimo");
    f.edit("txtPrezzo")->setText(QStringLiteral("9,99"));
    f.label("lblDesc01")->setText(QStringLiteral("x"));
    f.picture("imgFoto")->setImage(solid(Qt::red, {8, 8}));
    int closed = 0;
    QObject::connect(f.window.get(), &RecordEditor::closed, [&] { ++closed; });
    f.click("cmdEsci");
    QCOMPARE(closed, 1);
    f.window->show();
    QVERIFY(f.label("lblPosizione")->text().isEmpty());
    QVERIFY(f.edit("txtProdotto")->text().isEmpty());
    QCOMPARE(f.edit("txtPrezzo")->text(), QStringLiteral("0,00"));
    QVERIFY(f.label("lblDesc01")->text().isEmpty());
    QCOMPARE(f.window->label->lines(), QStringList(kLabelLineCount));
    QCOMPARE(f.picture("imgFoto")->image(), f.picture("imgBianco")->image());
}

QTEST_MAIN(TestLabelEditor)
#include "tst_labeleditor.moc"
