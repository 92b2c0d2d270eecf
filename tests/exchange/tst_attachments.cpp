#include "AllegaCartella.h"
#include "Attachments.h"
#include "LabelWindows.h"
#include "PictureButton.h"
#include "ScriptedPlatform.h"
#include "TestFiles.h"
#include "Vini.h"

#include "ShortString.h"

#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QRandomGenerator>
#include <QtTest>

#include <csignal>
#include <memory>

#include <sys/resource.h>

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
    QStringList folderEntries() const
    {
        return QDir(world.path("Documenti_Allegati")).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }
};

// Bytes that no copy could get right by accident.
QByteArray noise(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator random(7);
    for (char& b : bytes)
        b = char(random.bounded(256));
    return bytes;
}

constexpr qint64 kMiB = qint64(1) << 20;

// The largest the process has ever been in memory.
qint64 peakMemory()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return qint64(usage.ru_maxrss) * 1024;
}

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
    void storableNames_data();
    void storableNames();
    void unstorableNameIsCopiedUnderTheStoredName_data();
    void unstorableNameIsCopiedUnderTheStoredName();
    void copyGoesInPiecesAndCanStop_data();
    void copyGoesInPiecesAndCanStop();
    void hugeFileCopiesInLittleMemory();
    void progressWindowCancelsTheCopy_data();
    void progressWindowCancelsTheCopy();
    void fullDiskWhileAttaching_data();
    void fullDiskWhileAttaching();
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
    QCOMPARE(copyAttachment(elsewhere.filePath("x"), stored), CopyOutcome::Failed);
    QVERIFY(!QFileInfo::exists(f.world.path("unins000.dll")));
}

void TestAttachments::storableNames_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QStringList>("inFolder");
    QTest::addColumn<QString>("expected");
    const QString a246 = QString(246, u'a');
    QTest::newRow("a storable name stays") << "Fattura.pdf" << QStringList{} << "Fattura.pdf";
    // Whether to overwrite it is the user's answer to the question.
    QTest::newRow("a storable name stays though a file has it") << "Fattura.pdf" << QStringList{"Fattura.pdf"}
                                                                << "Fattura.pdf";
    QTest::newRow("Western accents and the euro are in the code page")
        << QStringLiteral("Étiquette àèìòù € ß.txt") << QStringList{} << QStringLiteral("Étiquette àèìòù € ß.txt");
    QTest::newRow("Polish and Chinese letters") << QStringLiteral("Łódź 东京.txt") << QStringList{}
                                                << QStringLiteral("_ód_ __.txt");
    QTest::newRow("a character past the basic plane is one _") << QStringLiteral("Vino 🍷.txt") << QStringList{}
                                                                 << QStringLiteral("Vino _.txt");
    QTest::newRow("no extension") << QStringLiteral("Łódź") << QStringList{} << QStringLiteral("_ód_");
    QTest::newRow("a hidden file's dot is no extension")
        << QStringLiteral(".łódź") << QStringList{} << QStringLiteral("._ód_");
    QTest::newRow("separators a bare name cannot hold") << QStringLiteral("Fattura 1:2\\3.pdf") << QStringList{}
                                                        << QStringLiteral("Fattura 1_2_3.pdf");
    QTest::newRow("numbered past different files of the name")
        << QStringLiteral("Łódź.txt") << QStringList{QStringLiteral("_ód_.txt"), QStringLiteral("_ód_ (2).txt")}
        << QStringLiteral("_ód_ (3).txt");
    QTest::newRow("longer than the field: cut, extension kept") << QString(260, u'a') + ".pdf" << QStringList{}
                                                                << a246 + ".pdf";
    QTest::newRow("numbering a name at the field's limit cuts it further")
        << QString(260, u'a') + ".pdf" << QStringList{a246 + ".pdf"} << QString(242, u'a') + " (2).pdf";
    // 130 characters fit the field, but "é" takes two bytes on the disk.
    QTest::newRow("accented letters cut to the disk's 255 bytes")
        << QStringLiteral("Ł") + QString(200, u'é') + ".txt" << QStringList{}
        << QStringLiteral("_") + QString(125, u'é') + ".txt";
    QTest::newRow("an extension longer than the field is cut with the name")
        << QStringLiteral("Ł.") + QString(300, u'x') << QStringList{} << QStringLiteral("_.") + QString(248, u'x');
    // The record would trim a blank at the end and store another name.
    QTest::newRow("a cut never ends in a blank") << QStringLiteral("Ł") + QString(248, u'a') + "   b" << QStringList{}
                                                 << QStringLiteral("_") + QString(248, u'a');
}

void TestAttachments::storableNames()
{
    QFETCH(QString, chosen);
    QFETCH(QStringList, inFolder);
    QFETCH(QString, expected);
    QTemporaryDir folder;
    for (const QString& name : inFolder)
        QVERIFY(testfiles::write(QDir(folder.path()).filePath(name), "altro"));

    const QString name = storableAttachmentName(chosen, folder.path());
    QCOMPARE(name, expected);
    // What the record stores is the name itself, and the disk can hold it.
    std::array<char, 251> field{};
    encodeShortString(field.data(), 250, name);
    QCOMPARE(decodeShortString(field.data(), 250), name);
    QVERIFY(QFile::encodeName(name).size() <= 255);
    QVERIFY(isBareAttachmentName(name));
}

void TestAttachments::unstorableNameIsCopiedUnderTheStoredName_data()
{
    QTest::addColumn<bool>("differentFileThere");
    QTest::addColumn<QString>("stored");
    QTest::newRow("free name") << false << QStringLiteral("_ód_ __.txt");
    // No question: the user never chose that name, so nothing is overwritten.
    QTest::newRow("a different file has the name") << true << QStringLiteral("_ód_ __ (2).txt");
}

void TestAttachments::unstorableNameIsCopiedUnderTheStoredName()
{
    QFETCH(bool, differentFileThere);
    QFETCH(QString, stored);
    AttachFixture f;
    QTemporaryDir elsewhere;
    const QString source = elsewhere.filePath(QStringLiteral("Łódź 东京.txt"));
    QVERIFY(testfiles::write(source, "movimenti"));
    if (differentFileThere)
        QVERIFY(testfiles::write(f.folderFile(QStringLiteral("_ód_ __.txt")), "altro"));
    f.world.platform().openAnswers << source;

    f.window.btnSfoglia[0]->click();

    QVERIFY(f.world.platform().messages.isEmpty());
    QCOMPARE(f.window.txtFile[0]->text(), stored);
    QCOMPARE(testfiles::read(f.folderFile(stored)), QByteArray("movimenti"));
    if (differentFileThere)
        QCOMPARE(testfiles::read(f.folderFile(QStringLiteral("_ód_ __.txt"))), QByteArray("altro"));
    QCOMPARE(f.folderEntries().size(), differentFileThere ? 2 : 1);
    f.window.btnApplica->click();
    QVERIFY(f.applied);
    QCOMPARE(f.applied->files[0], stored);
    // Apri, later, opens the copy.
    f.window.btnApri[0]->click();
    QCOMPARE(f.world.platform().shellCommands, QStringList{'"' + f.folderFile(stored) + '"'});
}

void TestAttachments::copyGoesInPiecesAndCanStop_data()
{
    QTest::addColumn<int>("stopAtCall"); // 0: never
    QTest::addColumn<bool>("oldFileThere");
    QTest::addColumn<int>("outcome");
    // The source is 2.5 pieces of 1 MB: three calls.
    QTest::newRow("copied whole") << 0 << false << int(CopyOutcome::Copied);
    QTest::newRow("replaces the old file") << 0 << true << int(CopyOutcome::Copied);
    QTest::newRow("stopped after the first piece") << 1 << false << int(CopyOutcome::Cancelled);
    QTest::newRow("stopped after the first piece, old file kept") << 1 << true << int(CopyOutcome::Cancelled);
    QTest::newRow("stopped when every byte was written, old file kept") << 3 << true << int(CopyOutcome::Cancelled);
}

void TestAttachments::copyGoesInPiecesAndCanStop()
{
    QFETCH(int, stopAtCall);
    QFETCH(bool, oldFileThere);
    QFETCH(int, outcome);
    TestWorld world;
    QTemporaryDir elsewhere;
    const QByteArray bytes = noise(5 * kMiB / 2);
    QVERIFY(testfiles::write(elsewhere.filePath("Fattura.pdf"), bytes));
    const QString target = world.path("Documenti_Allegati/Fattura.pdf");
    if (oldFileThere)
        QVERIFY(testfiles::write(target, "vecchio"));

    QList<std::pair<qint64, qint64>> calls;
    const CopyOutcome result = copyAttachment(elsewhere.filePath("Fattura.pdf"), "Fattura.pdf",
                                              [&](qint64 done, qint64 total) {
                                                  calls.append({done, total});
                                                  return calls.size() != stopAtCall;
                                              });
    QCOMPARE(int(result), outcome);
    const qint64 size = bytes.size();
    const QList<std::pair<qint64, qint64>> allCalls{{kMiB, size}, {2 * kMiB, size}, {size, size}};
    QCOMPARE(calls, stopAtCall ? allCalls.first(stopAtCall) : allCalls);
    // Only the final name is ever in the folder, with all of the copy or the old bytes.
    const QStringList expectedEntries = result == CopyOutcome::Copied || oldFileThere ? QStringList{"Fattura.pdf"}
                                                                                      : QStringList{};
    QCOMPARE(QDir(world.path("Documenti_Allegati")).entryList(QDir::Files | QDir::Hidden), expectedEntries);
    if (result == CopyOutcome::Copied)
        QVERIFY(testfiles::read(target) == bytes);
    else if (oldFileThere)
        QCOMPARE(testfiles::read(target), QByteArray("vecchio"));
}

void TestAttachments::hugeFileCopiesInLittleMemory()
{
    TestWorld world;
    QTemporaryDir elsewhere;
    // A sparse file: 4 GB long, nearly nothing on the disk.
    QFile huge(elsewhere.filePath("Archivio.iso"));
    QVERIFY(huge.open(QIODevice::WriteOnly));
    if (!huge.resize(qint64(4) << 30))
        QSKIP("the temporary folder holds no file of 4 GB");
    huge.close();

    const qint64 peakBefore = peakMemory();
    qint64 peakDuring = 0;
    qint64 totalSeen = 0;
    // 256 MB are enough to show what the memory does; the rest would only
    // cost time.
    const CopyOutcome result = copyAttachment(huge.fileName(), "Archivio.iso", [&](qint64 done, qint64 total) {
        totalSeen = total;
        peakDuring = peakMemory();
        return done < 256 * kMiB;
    });
    QCOMPARE(result, CopyOutcome::Cancelled);
    QCOMPARE(totalSeen, qint64(4) << 30);
    QVERIFY2(peakDuring - peakBefore < 32 * kMiB,
             qPrintable(QStringLiteral("memory grew by %1 MB").arg((peakDuring - peakBefore) / kMiB)));
    QVERIFY(QDir(world.path("Documenti_Allegati")).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

void TestAttachments::progressWindowCancelsTheCopy_data()
{
    QTest::addColumn<bool>("oldFileThere");
    QTest::newRow("nothing left under the name") << false;
    QTest::newRow("the file of that name stays") << true;
}

void TestAttachments::progressWindowCancelsTheCopy()
{
    QFETCH(bool, oldFileThere);
    AttachFixture f({{"", "Vecchio.txt", ""}, {}});
    // The window shows at the first piece instead of after half a second.
    f.window.copyProgressDelay = std::chrono::milliseconds(0);
    QTemporaryDir elsewhere;
    const QString source = elsewhere.filePath("Fattura.pdf");
    QVERIFY(testfiles::write(source, noise(4 * kMiB)));
    if (oldFileThere)
        QVERIFY(testfiles::write(f.folderFile("Fattura.pdf"), "vecchio"));
    f.world.platform().openAnswers << source;

    QStringList seen;
    // Runs once the copy lets events through, that is when its window shows.
    QTimer::singleShot(0, &f.window, [&] {
        auto* progress = f.window.findChild<QProgressDialog*>("dlgCopia");
        QVERIFY(progress);
        auto* annulla = progress->findChild<QPushButton*>();
        QVERIFY(annulla);
        seen << progress->labelText() << annulla->text() << QString::number(progress->isVisible())
             << QString::number(progress->windowModality() == Qt::WindowModal);
        annulla->click();
    });
    f.window.btnSfoglia[1]->click();

    QCOMPARE(seen, QStringList({"Copia del file in corso...", "Annulla", "1", "1"}));
    // The user's own choice: no message but the overwrite question.
    QCOMPARE(f.world.platform().messages.size(), oldFileThere ? 1 : 0);
    QCOMPARE(f.window.txtFile[1]->text(), QStringLiteral("Vecchio.txt"));
    QCOMPARE(f.folderEntries(), oldFileThere ? QStringList{"Fattura.pdf"} : QStringList{});
    if (oldFileThere)
        QCOMPARE(testfiles::read(f.folderFile("Fattura.pdf")), QByteArray("vecchio"));
    QVERIFY(!f.window.findChild<QProgressDialog*>());
}

void TestAttachments::fullDiskWhileAttaching_data()
{
    QTest::addColumn<bool>("oldFileThere");
    QTest::addColumn<qint64>("sizeLimit");
    QTest::addColumn<bool>("copied");
    QTest::newRow("full disk, nothing left under the name") << false << 1 * kMiB << false;
    QTest::newRow("full disk, the file of that name stays") << true << 1 * kMiB << false;
    QTest::newRow("room enough") << true << 16 * kMiB << true;
}

void TestAttachments::fullDiskWhileAttaching()
{
    QFETCH(bool, oldFileThere);
    QFETCH(qint64, sizeLimit);
    QFETCH(bool, copied);
    QTemporaryDir programFolder;
    QTemporaryDir elsewhere;
    const QByteArray bytes = noise(3 * kMiB);
    QVERIFY(testfiles::write(elsewhere.filePath("Fattura.pdf"), bytes));
    const QString target = programFolder.filePath("Documenti_Allegati/Fattura.pdf");
    if (oldFileThere)
        QVERIFY(testfiles::write(target, "vecchio"));

    QProcess worker;
    worker.setProgram(QStringLiteral(WORKER_PATH));
    worker.setArguments({programFolder.path(), elsewhere.filePath("Fattura.pdf")});
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    worker.setProcessEnvironment(environment);
    worker.setChildProcessModifier([sizeLimit] {
        const rlimit limit{rlim_t(sizeLimit), rlim_t(sizeLimit)};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::signal(SIGXFSZ, SIG_IGN); // a write past the limit fails as on a full disk
    });
    worker.start();
    QVERIFY(worker.waitForFinished(60000));
    QCOMPARE(worker.exitStatus(), QProcess::NormalExit);
    QCOMPARE(worker.exitCode(), 0);

    // The messages the user saw, then the slot's name.
    QStringList seen = QString::fromUtf8(worker.readAllStandardOutput()).split(QChar(0));
    const QString slot = seen.takeLast();
    QStringList expected;
    if (oldFileThere)
        expected << kOverwrite;
    if (!copied)
        expected << attachmentCopyFailureMessage();
    QCOMPARE(seen, expected);
    QCOMPARE(slot, copied ? QStringLiteral("Fattura.pdf") : QString());
    QCOMPARE(QDir(programFolder.filePath("Documenti_Allegati")).entryList(QDir::Files | QDir::Hidden),
             copied || oldFileThere ? QStringList{"Fattura.pdf"} : QStringList{});
    if (copied)
        QVERIFY(testfiles::read(target) == bytes);
    else if (oldFileThere)
        QCOMPARE(testfiles::read(target), QByteArray("vecchio"));
}

QTEST_MAIN(TestAttachments)
#include "tst_attachments.moc"
