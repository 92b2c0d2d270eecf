#pragma once

#include "Palette.h"

#include <QColor>
#include <QLineEdit>

#include <functional>

namespace vinarca {

// An editor's edit box: a resting fill while it does not have the focus, a
// focused fill while it has it, always with the same outline. Only the box
// that has the keyboard focus of the active window shows the focused fill, so
// one box at most is focused on screen, also after a window comes back. Return never
// acts on its own: it emits returnKey() so the window's Return chain decides.
class HighlightEdit : public QLineEdit
{
    Q_OBJECT
public:
    struct Colours
    {
        QColor resting = palette::AliceBlue;
        QColor focused = palette::FocusYellow;
        QColor outline = palette::SkyBlue;
    };

    explicit HighlightEdit(QWidget* parent = nullptr);

    void setColours(const Colours& colours);
    QColor currentFill() const { return m_fill; }

    // Returns true when the key may reach the box; Return is handled before it.
    using KeyFilter = std::function<bool(const QKeyEvent&)>;
    void setKeyFilter(KeyFilter filter) { m_keyFilter = std::move(filter); }

signals:
    void returnKey();
    // After the resting highlight is painted on leaving: field-specific rules.
    void left();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void paintHighlight(const QColor& fill);

    Colours m_colours;
    QColor m_fill;
    KeyFilter m_keyFilter;
};

// Return in box i moves the focus to box i + 1, and from the last to the first.
void linkReturnChain(const QList<HighlightEdit*>& chain);

// Key filters of the numeric boxes: digits (and for prices ',' and '.') plus
// Backspace, Delete, Left and Right; every other key is discarded.
bool isDigitEditKey(const QKeyEvent& event);
bool isPriceTypingKey(const QKeyEvent& event);

} // namespace vinarca
