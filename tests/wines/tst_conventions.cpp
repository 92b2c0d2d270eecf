#include "ViniFixture.h"

#include <QWindow>

using namespace vinarca;

namespace {
const QColor kAliceBlue(0xF0, 0xF8, 0xFF);
const QColor kYellow(0xFF, 0xFF, 0x00);
const QColor kSkyBlue(0x87, 0xCE, 0xEB);

// The colour actually drawn inside the box, away from its text.
QColor drawnFill(QWidget* box)
{
    const QImage image = box->grab().toImage();
    return image.pixelColor(image.width() - 4, image.height() / 2);
}
QColor drawnOutline(QWidget* box)
{
    const QImage image = box->grab().toImage();
    return image.pixelColor(image.width() / 2, 0);
}
} // namespace

class TestConventions : public QObject
{
    Q_OBJECT
private slots:
    void highlightFollowsFocus();
    void returnChainVisitsEveryBoxInFieldOrder();
    void returnNeverActsOnButtons();
    void keyFilters_data();
    void keyFilters();
    void giacenzaDefaultsToZeroOnLeave();
    void statusLine_data();
    void statusLine();
};

void TestConventions::highlightFollowsFocus()
{
    ViniFixture f;
    HighlightEdit* nome = f.edit("txtNome");
    HighlightEdit* produttore = f.edit("txtProduttore");
    QCOMPARE(drawnFill(nome), kYellow);
    QCOMPARE(drawnFill(produttore), kAliceBlue);
    QCOMPARE(drawnOutline(produttore), kSkyBlue);

    QTest::keyClick(nome, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), produttore);
    QCOMPARE(drawnFill(nome), kAliceBlue);
    QCOMPARE(drawnFill(produttore), kYellow);

    QTest::mouseClick(f.edit("txtNote"), Qt::LeftButton);
    int focused = 0;
    for (HighlightEdit* box : f.window.editBoxes())
        focused += box->currentFill() == kYellow;
    QCOMPARE(focused, 1);
    QCOMPARE(f.edit("txtNote")->currentFill(), kYellow);
}

void TestConventions::returnChainVisitsEveryBoxInFieldOrder()
{
    ViniFixture f;
    const QStringList order{"txtNome", "txtProduttore", "txtDesignazione", "txtNazione", "txtRegione", "txtZona",
                            "txtCantina", "txtAnnata", "txtInvecchiamento", "txtMaturazione", "txtColore",
                            "txtProfumo", "txtGusto", "txtRetrogusto", "txtGrado", "txtAcidita", "txtSapidita",
                            "txtAccostamenti", "txtAstringenza", "txtTemperatura", "txtFornitore", "txtTel",
                            "txtPrezzo", "txtConservazione", "txtConsumo", "txtNote", "txtNome"};
    f.edit("txtNome")->setFocus();
    for (qsizetype i = 1; i < order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget()->objectName(), order.at(i));
    }
}

void TestConventions::returnNeverActsOnButtons()
{
    ViniFixture f;
    f.type("txtNome", QStringLiteral("Barolo"));
    f.type("txtProduttore", QStringLiteral("Gaja"));
    QTest::keyClick(f.edit("txtProduttore"), Qt::Key_Enter);
    QTest::keyClick(f.edit("txtDesignazione"), Qt::Key_Return);
    QVERIFY(f.world.platform().messages.isEmpty());
    QVERIFY(!QFile::exists(f.archivePath()));
    QVERIFY(f.window.isVisible());
}

void TestConventions::keyFilters_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("stock takes digits only") << "txtTel" << "12a b,3.4" << "01234";
    QTest::newRow("price with a decimal comma") << "txtPrezzo" << "12,50 E!" << "12,50";
    QTest::newRow("price with a decimal point") << "txtPrezzo" << "x12.5y" << "12.5";
    QTest::newRow("other boxes take anything") << "txtAnnata" << "MMXIX, 2019" << "MMXIX, 2019";
}

void TestConventions::keyFilters()
{
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    ViniFixture f;
    HighlightEdit* edit = f.edit(box.toLatin1());
    edit->setFocus();
    edit->end(false);
    QTest::keyClicks(edit, typed);
    QCOMPARE(edit->text(), expected);
    // Editing keys still work.
    QTest::keyClick(edit, Qt::Key_Left);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(edit->text().size(), expected.size() - 1);
}

void TestConventions::giacenzaDefaultsToZeroOnLeave()
{
    ViniFixture f;
    HighlightEdit* tel = f.edit("txtTel");
    tel->setFocus();
    tel->setText(QStringLiteral("  "));
    QTest::keyClick(tel, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), f.edit("txtPrezzo"));
    QCOMPARE(tel->text(), QStringLiteral("0"));
}

void TestConventions::statusLine_data()
{
    QTest::addColumn<QStringList>("path"); // elements the pointer moves over, in order
    QTest::addColumn<QString>("expected");
    const QString ready = QStringLiteral("Pronto per archiviare una nuova scheda...");
    const QString salva = QStringLiteral("Salva la scheda in archivio.");
    QTest::newRow("nothing moved yet") << QStringList{} << ready;
    QTest::newRow("over Save") << QStringList{"cmdSalva"} << salva;
    QTest::newRow("Save, then an edit box keeps the text") << QStringList{"cmdSalva", "txtNome"} << salva;
    QTest::newRow("Save, then a caption keeps the text") << QStringList{"cmdSalva", "lblNome"} << salva;
    QTest::newRow("Save, then the position keeps the text") << QStringList{"cmdSalva", "lblPosizione"} << salva;
    QTest::newRow("Save, then the status bar keeps the text") << QStringList{"cmdSalva", "panInfo"} << salva;
    QTest::newRow("Save, then the photo clears it") << QStringList{"cmdSalva", "imgFoto"} << "";
    QTest::newRow("Save, then a toolbar tile clears it") << QStringList{"cmdSalva", "shpRecord"} << "";
    QTest::newRow("Save, then the photo background clears it") << QStringList{"cmdSalva", "bkgPulsantiFoto"} << "";
    QTest::newRow("webcam button") << QStringList{"btnWebcam"} << "Scatta la foto con la tua WebCam.";
    QTest::newRow("zoom button") << QStringList{"btnZoomFoto"} << "Visualizza la foto nelle sue dimensioni reali.";
    QTest::newRow("export button") << QStringList{"cmdEsporta"}
                                   << "Esporta le schede in archivio in un file di Microsoft Excel.";
    QTest::newRow("duplicate button")
        << QStringList{"cmdDuplica"}
        << "Prepara la schermata per l'inserimento di una nuova scheda duplicando i dati correnti.";
}

void TestConventions::statusLine()
{
    QFETCH(QStringList, path);
    QFETCH(QString, expected);
    ViniFixture f;
    for (const QString& name : path) {
        QWidget* element = f.find(name.toLatin1());
        QVERIFY2(element, qPrintable(name));
        // Somewhere on the element that no child covers.
        QPoint spot(2, element->height() - 3);
        QWindow* window = element->window()->windowHandle();
        const QPoint at = element->mapTo(element->window(), spot);
        QTest::mouseMove(window, at);
        QTest::mouseMove(window, at + QPoint(1, 0));
    }
    QCOMPARE(f.label("panInfo")->text(), expected);
}

QTEST_MAIN(TestConventions)
#include "tst_conventions.moc"
