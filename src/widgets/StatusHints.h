#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>

class QLabel;
class QWidget;

namespace vinarca {

// The status line of an editor: a picture button under the pointer writes its
// text there; the window's background elements empty it; everything else
// (edit boxes, captions, the status bar itself) leaves the last text alone.
class StatusHints : public QObject
{
    Q_OBJECT
public:
    explicit StatusHints(QLabel* statusLine, QObject* parent = nullptr);

    void addButton(QWidget* button, const QString& text);
    void addBackground(QWidget* background);
    // Pointer movements over this element must not reach the background under it.
    void addQuiet(QWidget* element);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QLabel> m_status;
    QHash<QObject*, QString> m_buttons;
    QHash<QObject*, bool> m_backgrounds;
};

} // namespace vinarca
