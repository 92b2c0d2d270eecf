#pragma once

#include "HighlightEdit.h"
#include "LabelEditor.h"
#include "LiveLabel.h"
#include "LabelWindows.h"
#include "PictureBox.h"
#include "PictureButton.h"
#include "ScriptedPlatform.h"
#include "TestFiles.h"

#include <QAbstractButton>
#include <QLabel>
#include <QTest>

#include <memory>

// The two kinds of label, named as the tables' kind column names them.
inline const vinarca::LabelKind& labelKindNamed(const QString& kind)
{
    return kind == QLatin1String("vertical") ? vinarca::verticalLabelKind() : vinarca::horizontalLabelKind();
}

// Adds the kind column and runs `rows` once per kind, each row's name
// prefixed with its kind.
template <typename Rows> void forBothKinds(Rows rows)
{
    for (const char* kind : {"vertical", "horizontal"})
        rows(QString::fromLatin1(kind));
}

// A label editor of one kind, shown in a fresh program folder with scripted dialogs.
struct LabelFixture
{
    TestWorld world;
    std::unique_ptr<vinarca::LabelEditor> window;

    explicit LabelFixture(const QString& kind)
    {
        if (kind == QLatin1String("vertical"))
            window = std::make_unique<TfrmVerticali>();
        else
            window = std::make_unique<TfrmOrizzontali>();
        window->show();
        window->activateWindow();
        [[maybe_unused]] bool active = QTest::qWaitForWindowActive(window.get());
    }

    const vinarca::LabelKind& kind() const { return window->labelKind(); }
    template <typename T = QWidget> T* find(const char* name) const
    {
        return window->findChild<T*>(QString::fromLatin1(name));
    }
    vinarca::HighlightEdit* edit(const char* name) const { return find<vinarca::HighlightEdit>(name); }
    QLabel* label(const char* name) const { return find<QLabel>(name); }
    vinarca::PictureBox* picture(const char* name) const { return find<vinarca::PictureBox>(name); }
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
    QString messages() { return world.platform().lastMessage(); }

    QString archivePath() const { return world.path(kind().record.archiveFile); }
    QByteArray archiveBytes() const { return testfiles::read(archivePath()); }
    QString logoPath(int position) const
    {
        return world.path(kind().record.pictureFolder + QStringLiteral("/Logo_%1.jpg").arg(position));
    }
    // Writes records whose Prodotto is "Prodotto <i>" and Nome "Nome <i>".
    void seed(int count) const
    {
        const vinarca::RecordLayout& layout = vinarca::labelLayout();
        QByteArray bytes = archiveBytes();
        for (int i = 1; i <= count; ++i) {
            QByteArray record = layout.emptyRecord();
            layout.encodeField(record, layout.indexOf(QStringLiteral("Prodotto")), QStringLiteral("Prodotto %1").arg(i));
            layout.encodeField(record, layout.indexOf(QStringLiteral("Nome")), QStringLiteral("Nome %1").arg(i));
            bytes += record;
        }
        QVERIFY(testfiles::write(archivePath(), bytes));
    }
    QStringList storedRecord(int position) const
    {
        return vinarca::labelLayout().decode(
            archiveBytes().mid((position - 1) * vinarca::kLabelRecordSize, vinarca::kLabelRecordSize));
    }
};
