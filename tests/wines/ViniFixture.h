#pragma once

#include "HighlightEdit.h"
#include "PictureBox.h"
#include "PictureButton.h"
#include "ScriptedPlatform.h"
#include "TestFiles.h"
#include "Vini.h"
#include "WineRecord.h"

#include <QFile>
#include <QLabel>
#include <QTest>

// A wine editor shown in a fresh program folder, with scripted dialogs.
struct ViniFixture
{
    TestWorld world;
    TfrmVini window;

    ViniFixture()
    {
        window.show();
        window.activateWindow();
        [[maybe_unused]] bool active = QTest::qWaitForWindowActive(&window);
    }

    template <typename T = QWidget> T* find(const char* name) const
    {
        return window.findChild<T*>(QString::fromLatin1(name));
    }
    vinarca::HighlightEdit* edit(const char* name) const { return find<vinarca::HighlightEdit>(name); }
    QLabel* label(const char* name) const { return find<QLabel>(name); }
    void click(const char* name) const
    {
        auto* button = find<QAbstractButton>(name);
        QVERIFY2(button, name);
        QTest::mouseClick(button, Qt::LeftButton);
    }
    void type(const char* name, const QString& text) const
    {
        auto* box = edit(name);
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, text);
    }

    QString archivePath() const { return world.path(QStringLiteral("Catalogo_Vini.pro")); }
    QByteArray archiveBytes() const
    {
        return testfiles::read(archivePath());
    }
    // Writes records whose Nome is "Vino <i>" and Produttore "Cantina <i>".
    void seed(int count)
    {
        QFile f(archivePath());
        QVERIFY(f.open(QIODevice::Append));
        for (int i = 1; i <= count; ++i) {
            QByteArray record = vinarca::wineLayout().emptyRecord();
            vinarca::wineLayout().encodeField(record, 0, QStringLiteral("Vino %1").arg(i));
            vinarca::wineLayout().encodeField(record, 1, QStringLiteral("Cantina %1").arg(i));
            f.write(record);
        }
    }
    QStringList storedRecord(int position) const
    {
        const QByteArray bytes = archiveBytes().mid((position - 1) * vinarca::kWineRecordSize, vinarca::kWineRecordSize);
        return vinarca::wineLayout().decode(bytes);
    }
};
