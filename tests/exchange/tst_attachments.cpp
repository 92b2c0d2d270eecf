#include "AllegaCartella.h"
#include "Attachments.h"
#include "Orizzontali.h"
#include "PictureButton.h"
#include "ScriptedPlatform.h"
#include "TestFiles.h"
#include "Verticali.h"
#include "Vini.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <memory>

using namespace vinarca;

namespace {

const QString kOverwrite = QStringLiteral("Attenzione: nella cartella dei documenti allegati è presente un file con lo "
                                          "stesso nome.\r\n\r\nSi vuole sovrascrivere il file esistente?");

std::unique_ptr<QWidget> makeEditor(const QString& which)
{
    if (which == "wines")
        return std::make_unique<TfrmVini>();
    if (which == "vertical")
        return std::make_unique<TfrmVerticali>();
    return std::make_unique<TfrmOrizzontali>();
}

// A window with the given slots, as an editor fills it; applying records the values.
struct AttachFixture
{
    TestWorld world;
    TfrmAllegaCartella window;
    std::optional<AttachmentSlots> applied;

    explicit AttachFixture(const AttachmentSlots& values = {})
    {
        window.fill(QStringLiteral("vini"), values, [this](const AttachmentSlots& s) { applied = s; });
    }
    QString folderFile(const QString& name) const { return world.path("Documenti_Allegati/" + name); }
};

} // namespace

class TestAttachments : public QObject
{
    Q_OBJECT
private slots:
    void editorsOpenTheWindowAndTakeBackTheValues_data();
    void editorsOpenTheWindowAndTakeBackTheValues();
    void chooseCopiesIntoTheFolder_data();
    void chooseCopiesIntoTheFolder();
    void openAndFree();
    void storedNamesOutsideTheFolderAreRefused_data();
    void storedNamesOutsideTheFolderAreRefused();
};

void TestAttachments::editorsOpenTheWindowAndTakeBackTheValues_data()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<bool>("apply");
    QTest::newRow("wines, apply") << "wines" << "vini" << true;
    QTest::newRow("vertical, apply") << "vertical" << "verticali" << true;
    QTest::newRow("horizontal, apply") << "horizontal" << "orizzontali" << true;
    QTest::newRow("wines, cancel") << "wines" << "vini" << false;
}

void TestAttachments::editorsOpenTheWindowAndTakeBackTheValues()
{
    QFETCH(QString, which);
    QFETCH(QString, tag);
    QFETCH(bool, apply);
    TestWorld world;
    auto editor = makeEditor(which);
    auto label = [&](const char* name) { return editor->findChild<QLabel*>(QLatin1String(name)); };
    label("lblFile01")->setText(QStringLiteral("  Fattura.pdf "));
    label("lblDesc01")->setText(QStringLiteral(" Acquisto "));
    label("lblDesc03")->setText(QStringLiteral("Vecchia nota"));

    QStringList shown;
    world.platform().onDialog = [&](QDialog& dialog) {
        auto& w = static_cast<TfrmAllegaCartella&>(dialog);
        shown << w.windowTitle() << w.lblMemory->text() << w.txtFile[0]->text() << w.txtDesc[0]->text()
              << QString::number(w.btnApri[0]->isEnabled()) << QString::number(w.btnApri[1]->isEnabled())
              << QString::number(dialog.parent() == editor.get());
        w.txtFile[1]->setText(QStringLiteral("Movimenti.txt"));
        w.txtDesc[1]->setText(QStringLiteral("  Carico e scarico  "));
        w.imgCancella[0]->click();
        (apply ? w.btnApplica : w.btnAnnulla)->click();
        return dialog.result();
    };
    editor->findChild<QAbstractButton*>(which == "wines" ? "cmdFile" : "cmdAllega")->click();
    QCOMPARE(shown, QStringList({" Allega file", tag, "Fattura.pdf", "Acquisto", "1", "0", "1"}));
    QVERIFY(editor->findChildren<TfrmAllegaCartella*>().isEmpty());

    const QStringList after{label("lblFile01")->text(), label("lblFile02")->text(), label("lblFile03")->text(),
                            label("lblDesc01")->text(), label("lblDesc02")->text(), label("lblDesc03")->text()};
    if (apply) // the freed slot keeps its description; blanks never reach the record
        QCOMPARE(after, QStringList({"", "Movimenti.txt", "", "Acquisto", "Carico e scarico", "Vecchia nota"}));
    else
        QCOMPARE(after, QStringList({"  Fattura.pdf ", "", "", " Acquisto ", "", "Vecchia nota"}));
}

void TestAttachments::chooseCopiesIntoTheFolder_data()
{
    QTest::addColumn<bool>("alreadyThere");
    QTest::addColumn<QString>("answer");     // to the overwrite question: "yes", "no" or "" (not asked)
    QTest::addColumn<bool>("sourceGone");
    QTest::addColumn<QString>("slotAfter");
    QTest::addColumn<QByteArray>("folderFileAfter");
    QTest::addColumn<bool>("failureShown");
    QTest::newRow("first attachment creates the folder") << false << "" << false << "Fattura.pdf"
                                                         << QByteArray("nuovo") << false;
    QTest::newRow("same name, overwrite") << true << "yes" << false << "Fattura.pdf" << QByteArray("nuovo") << false;
    QTest::newRow("same name, keep the folder's file") << true << "no" << false << "Fattura.pdf"
                                                       << QByteArray("vecchio") << false;
    QTest::newRow("source vanished: slot and folder file as they were")
        << true << "yes" << true << "Vecchio.txt" << QByteArray("vecchio") << true;
    QTest::newRow("source vanished, nothing there yet") << false << "" << true << "Vecchio.txt" << QByteArray() << true;
}

void TestAttachments::chooseCopiesIntoTheFolder()
{
    QFETCH(bool, alreadyThere);
    QFETCH(QString, answer);
    QFETCH(bool, sourceGone);
    QFETCH(QString, slotAfter);
    QFETCH(QByteArray, folderFileAfter);
    QFETCH(bool, failureShown);
    AttachFixture f({{"", "Vecchio.txt", ""}, {}});
    QTemporaryDir elsewhere;
    const QString source = elsewhere.filePath("Fattura.pdf");
    if (!sourceGone)
        QVERIFY(testfiles::write(source, "nuovo"));
    if (alreadyThere)
        QVERIFY(testfiles::write(f.folderFile("Fattura.pdf"), "vecchio"));
    else
        QVERIFY(!QFileInfo::exists(f.world.path("Documenti_Allegati")));
    f.world.platform().openAnswers << source;
    if (!answer.isEmpty())
        f.world.platform().answers << (answer == "yes" ? MessageAnswer::Yes : MessageAnswer::No);

    f.window.btnSfoglia[1]->click();

    QCOMPARE(f.world.platform().openRequests.size(), 1);
    QCOMPARE(f.world.platform().openRequests.at(0).title, QStringLiteral("Selezionare il file da allegare:"));
    QCOMPARE(f.world.platform().openRequests.at(0).filters.at(0).description, QStringLiteral("Tutti i file (*.*)"));
    QStringList expected;
    if (!answer.isEmpty())
        expected << kOverwrite;
    if (failureShown)
        expected << attachmentCopyFailureMessage();
    QStringList shown;
    for (const auto& m : f.world.platform().messages)
        shown << m.text;
    QCOMPARE(shown, expected);
    QCOMPARE(f.window.txtFile[1]->text(), slotAfter);
    QCOMPARE(testfiles::read(f.folderFile("Fattura.pdf")), folderFileAfter);
    QCOMPARE(f.window.btnApri[1]->isEnabled(), true);
    // Nothing reaches the opener before apply.
    QVERIFY(!f.applied);
}

void TestAttachments::openAndFree()
{
    AttachFixture f({{"Fattura.pdf", "", ""}, {"Acquisto", "", ""}});
    // A cancelled file dialog changes nothing and asks nothing.
    f.window.btnSfoglia[0]->click();
    QCOMPARE(f.window.txtFile[0]->text(), QStringLiteral("Fattura.pdf"));
    QVERIFY(f.world.platform().messages.isEmpty());

    f.window.btnApri[0]->click();
    QCOMPARE(f.world.platform().shellCommands,
             QStringList{'"' + f.world.path("Documenti_Allegati/Fattura.pdf") + '"'});

    QVERIFY(testfiles::write(f.folderFile("Fattura.pdf"), "x"));
    f.window.imgCancella[0]->click();
    QVERIFY(f.window.txtFile[0]->text().isEmpty());
    QVERIFY(!f.window.btnApri[0]->isEnabled());
    QCOMPARE(f.window.txtDesc[0]->text(), QStringLiteral("Acquisto"));
    QVERIFY(QFileInfo::exists(f.folderFile("Fattura.pdf"))); // files are never deleted
}

void TestAttachments::storedNamesOutsideTheFolderAreRefused_data()
{
    QTest::addColumn<QString>("stored");
    QTest::newRow("parent folder") << "../unins000.dll";
    QTest::newRow("dot dot alone") << "..";
    QTest::newRow("absolute path") << "/etc/passwd";
    QTest::newRow("backslash") << "..\\Catalogo_Vini.pro";
    QTest::newRow("drive") << "C:Catalogo_Vini.pro";
}

void TestAttachments::storedNamesOutsideTheFolderAreRefused()
{
    QFETCH(QString, stored);
    QVERIFY(!isBareAttachmentName(stored));
    QVERIFY(attachmentPath(stored).isEmpty());
    AttachFixture f({{stored, "", ""}, {}});
    QVERIFY(f.window.btnApri[0]->isEnabled());
    f.window.btnApri[0]->click();
    QVERIFY(f.world.platform().shellCommands.isEmpty());
    QCOMPARE(f.world.platform().lastMessage(), attachmentNameRefusedMessage());
    QVERIFY(f.world.platform().messages.constLast().plain);
    // Nor is anything written there.
    QTemporaryDir elsewhere;
    QVERIFY(testfiles::write(elsewhere.filePath("x"), "y"));
    QVERIFY(!copyAttachment(elsewhere.filePath("x"), stored));
    QVERIFY(!QFileInfo::exists(f.world.path("unins000.dll")));
}

QTEST_MAIN(TestAttachments)
#include "tst_attachments.moc"
