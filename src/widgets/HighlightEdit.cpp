#include "HighlightEdit.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QPainter>

namespace vinarca {

namespace {
bool isReturn(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

bool isEditingKey(int key)
{
    return key == Qt::Key_Backspace || key == Qt::Key_Delete || key == Qt::Key_Left || key == Qt::Key_Right;
}

bool typedOneOf(const QKeyEvent& event, QStringView allowed)
{
    const QString text = event.text();
    return text.size() == 1 && allowed.contains(text.at(0))
           && !(event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}
} // namespace

HighlightEdit::HighlightEdit(QWidget* parent) : QLineEdit(parent)
{
    // The box draws its own outline, so the style's frame is off and the
    // fill is the palette's base colour: cheap to change on every focus move.
    setFrame(false);
    setTextMargins(3, 0, 3, 0);
    paintHighlight(m_colours.resting);
    // A box holds one line: a line break that enters with pasted or dropped
    // text becomes a blank, where the cursor was.
    connect(this, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (!text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
            return;
        QString oneLine = text;
        oneLine.replace(QLatin1String("\r\n"), QLatin1String(" "));
        const int lost = int(text.size() - oneLine.size());
        oneLine.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
        const int cursor = cursorPosition() - lost;
        setText(oneLine);
        setCursorPosition(std::max(0, cursor));
    });
}

void HighlightEdit::setColours(const Colours& colours)
{
    m_colours = colours;
    m_fill = QColor();
    paintHighlight(hasFocus() ? m_colours.focused : m_colours.resting);
}

void HighlightEdit::paintHighlight(const QColor& fill)
{
    if (m_fill == fill)
        return;
    m_fill = fill;
    QPalette p = palette();
    p.setColor(QPalette::Base, fill);
    setPalette(p);
    update();
}

void HighlightEdit::paintEvent(QPaintEvent* event)
{
    QLineEdit::paintEvent(event);
    QPainter painter(this);
    painter.setPen(m_colours.outline);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void HighlightEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    paintHighlight(m_colours.focused);
}

void HighlightEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // A popup (the box's own menu) keeps the box focused underneath it.
    if (event->reason() == Qt::PopupFocusReason)
        return;
    paintHighlight(m_colours.resting);
    // When its window stops being the active one the box only rests: it is
    // still the box being edited and gets the focus back when the window is
    // active again, unless the window moves its focus elsewhere meanwhile.
    // Its leave rules run only when the user really leaves it.
    if (event->reason() != Qt::ActiveWindowFocusReason)
        emit left();
}

void HighlightEdit::keyPressEvent(QKeyEvent* event)
{
    if (isReturn(event->key())) {
        event->accept();
        emit returnKey();
        return;
    }
    if (m_keyFilter && !m_keyFilter(*event)) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void linkReturnChain(const QList<HighlightEdit*>& chain)
{
    for (qsizetype i = 0; i < chain.size(); ++i) {
        HighlightEdit* next = chain.at((i + 1) % chain.size());
        QObject::connect(chain.at(i), &HighlightEdit::returnKey, next,
                         [next] { next->setFocus(Qt::TabFocusReason); });
    }
}

bool isDigitEditKey(const QKeyEvent& event)
{
    return isEditingKey(event.key()) || typedOneOf(event, u"0123456789");
}

bool isPriceTypingKey(const QKeyEvent& event)
{
    return isEditingKey(event.key()) || typedOneOf(event, u"0123456789,.");
}

} // namespace vinarca
