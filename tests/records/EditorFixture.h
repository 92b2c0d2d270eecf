#pragma once

#include "HighlightEdit.h"
#include "LabelWindows.h"
#include "ListinoPrezzi.h"
#include "ScriptedPlatform.h"
#include "Vini.h"

#include <QFile>
#include <QTest>

#include <memory>

// The record editors, named as the tables' editor column names them.
inline const char* const kEditors[] = {"wines", "vertical labels", "horizontal labels", "price list"};

// Adds the editor column and runs `rows` once per editor.
template <typename Rows> void forEveryEditor(Rows rows)
{
    QTest::addColumn<QString>("editor");
    for (const char* editor : kEditors)
        rows(QString::fromLatin1(editor));
}

// A record editor shown and active in a fresh program folder with scripted
// dialogs; the price-list page editor on the list "Rossi".
struct EditorFixture
{
    TestWorld world;
    std::unique_ptr<vinarca::RecordEditor> window;

    explicit EditorFixture(const QString& editor)
    {
        if (editor == QLatin1String("wines")) {
            window = std::make_unique<TfrmVini>();
        } else if (editor == QLatin1String("vertical labels")) {
            window = std::make_unique<TfrmVerticali>();
        } else if (editor == QLatin1String("horizontal labels")) {
            window = std::make_unique<TfrmOrizzontali>();
        } else {
            auto page = std::make_unique<TfrmListinoPrezzi>();
            page->openList(world.path(QStringLiteral("Rossi.lis")), QStringLiteral("Rossi"));
            window = std::move(page);
        }
        window->show();
        window->activateWindow();
        [[maybe_unused]] bool active = QTest::qWaitForWindowActive(window.get());
    }

    template <typename T = QWidget> T* find(const QString& name) const { return window->findChild<T*>(name); }

    // The record's first field and the box that shows it.
    QString keyField() const { return window->archive().layout->field(0).name; }
    vinarca::HighlightEdit* keyBox() const { return window->boxOf(keyField()); }

    // Appends records whose first field is "Scheda <i>".
    void seed(int count) const
    {
        const vinarca::ArchiveRef archive = window->archive();
        QFile f(archive.path);
        QVERIFY(f.open(QIODevice::Append));
        for (int i = 1; i <= count; ++i) {
            QByteArray record = archive.layout->emptyRecord();
            archive.layout->encodeField(record, 0, QStringLiteral("Scheda %1").arg(i));
            QVERIFY(f.write(record) == record.size());
        }
    }
};
