#pragma once

#include "HighlightEdit.h"
#include "LabelWindows.h"
#include "ListinoPrezzi.h"
#include "PictureButton.h"
#include "ScriptedPlatform.h"
#include "Vini.h"

#include <QDir>
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

// The editor a table's editor column names; the price-list page editor on
// the list "Rossi" in `folder`.
inline std::unique_ptr<vinarca::RecordEditor> makeEditor(const QString& editor, const QString& folder)
{
    if (editor == QLatin1String("wines"))
        return std::make_unique<TfrmVini>();
    if (editor == QLatin1String("vertical labels"))
        return std::make_unique<TfrmVerticali>();
    if (editor == QLatin1String("horizontal labels"))
        return std::make_unique<TfrmOrizzontali>();
    auto page = std::make_unique<TfrmListinoPrezzi>();
    page->openList(QDir(folder).filePath(QStringLiteral("Rossi.lis")), QStringLiteral("Rossi"));
    return page;
}

// Loads the picture the scripted file dialog answers as the record's (first)
// picture, as the user does with Carica foto or a slot's picture.
inline void loadPicture(vinarca::RecordEditor& editor)
{
    if (auto* page = qobject_cast<TfrmListinoPrezzi*>(&editor))
        page->imgFotoClick(0);
    else
        editor.btnCaricaFoto->click();
}

// A record editor shown and active in a fresh program folder with scripted
// dialogs; the price-list page editor on the list "Rossi".
struct EditorFixture
{
    TestWorld world;
    std::unique_ptr<vinarca::RecordEditor> window;

    explicit EditorFixture(const QString& editor) : window(makeEditor(editor, world.folder()))
    {
        window->show();
        window->activateWindow();
        [[maybe_unused]] bool active = QTest::qWaitForWindowActive(window.get());
    }

    template <typename T = QWidget> T* find(const QString& name) const { return window->findChild<T*>(name); }

    // The record's first field and the box that shows it.
    QString keyField() const { return window->archive().layout->field(0).name; }
    vinarca::HighlightEdit* keyBox() const { return window->boxOf(keyField()); }

    // Appends records whose first field is "Scheda <i>", with the other
    // required fields "Obbligatorio" when asked, so that they save as shown.
    void seed(int count, bool saveable = false) const
    {
        const vinarca::ArchiveRef archive = window->archive();
        QFile f(archive.path);
        QVERIFY(f.open(QIODevice::Append));
        for (int i = 1; i <= count; ++i) {
            QByteArray record = archive.layout->emptyRecord();
            for (const vinarca::RequiredField& required : window->kind().required) {
                if (saveable)
                    archive.layout->encodeField(record, window->kind().field(required.field), QStringLiteral("Obbligatorio"));
            }
            archive.layout->encodeField(record, 0, QStringLiteral("Scheda %1").arg(i));
            QVERIFY(f.write(record) == record.size());
        }
    }
};
