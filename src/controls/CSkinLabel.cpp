#include "controls/CSkinLabel.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPainter>

CSkinLabel::CSkinLabel(QWidget* parent)
    : QLabel(parent), textColor(GetSysColor(COLOR_WINDOWTEXT)),
      faceColor(GetSysColor(COLOR_BTNFACE)), systemPalette(QGuiApplication::palette()) {
    setTextFormat(Qt::PlainText);
    SetStaticStyle(SS_LEFT);
}

CSkinLabel& CSkinLabel::SetBackgroundColor(COLORREF color) {
    backgroundColor = color;
    Refresh();
    return *this;
}

CSkinLabel& CSkinLabel::SetForegroundColor(COLORREF color) {
    textColor = color;
    Refresh();
    return *this;
}

CSkinLabel& CSkinLabel::SetLabelText(const QString& text) {
    setText(text);
    Refresh();
    return *this;
}

CSkinLabel& CSkinLabel::SetBold(bool bold) {
    QFont f = font();
    f.setWeight(bold ? QFont::Bold : QFont::Normal);
    setFont(f);
    Refresh();
    return *this;
}

CSkinLabel& CSkinLabel::SetPointSize(int points) {
    if (points > 0) {
        // Only the size changes; face, weight and the rest stay.
        QFont f = font();
        f.setPointSize(points);
        setFont(f);
    }
    Refresh();
    return *this;
}

void CSkinLabel::SetStaticStyle(unsigned style) {
    staticStyle = style;
    const unsigned type = style & SS_TYPEMASK;
    Qt::Alignment horizontal = Qt::AlignLeft;
    if (type == SS_CENTER || (style & SS_CENTERIMAGE))
        horizontal = Qt::AlignHCenter;
    else if (type == SS_RIGHT)
        horizontal = Qt::AlignRight;
    setAlignment(horizontal | ((style & SS_CENTERIMAGE) ? Qt::AlignVCenter : Qt::AlignTop));
    setWordWrap(!(style & SS_CENTERIMAGE) && type != SS_LEFTNOWORDWRAP);
    update();
}

void CSkinLabel::Refresh() {
    update();
    // The area under the label in the parent too, for anything drawn around it.
    if (QWidget* parent = parentWidget())
        parent->update(geometry());
}

int CSkinLabel::TextFlags(const QString& text) const {
    const int mnemonic = Qt::TextShowMnemonic;
    if (staticStyle & SS_CENTERIMAGE) {
        // A text with a line break is only centred horizontally.
        if (text.contains(QLatin1String("\r\n")))
            return Qt::AlignHCenter | Qt::AlignTop | mnemonic;
        return Qt::AlignCenter | Qt::TextSingleLine | mnemonic;
    }
    int flags;
    switch (staticStyle & SS_TYPEMASK) {
    case SS_CENTER:
        flags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap;
        break;
    case SS_RIGHT:
        flags = Qt::AlignRight | Qt::AlignTop | Qt::TextWordWrap;
        break;
    case SS_LEFTNOWORDWRAP:
        flags = Qt::AlignLeft | Qt::AlignTop;
        break;
    default: // SS_LEFT and every other type
        flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
        break;
    }
    if (text.contains(QLatin1Char('\t')))
        flags |= Qt::TextExpandTabs;
    return flags | mnemonic;
}

void CSkinLabel::paintEvent(QPaintEvent*) {
    QPainter dc(this);
    const int fw = frameWidth();
    const QRect client = rect().adjusted(fw, fw, -fw, -fw);
    const QString caption = text();

    dc.fillRect(client, ToQColor(backgroundColor.value_or(faceColor)));
    const int flags = TextFlags(caption);
    // Qt breaks lines at '\n' only; a CR LF pair or a lone CR is one break.
    QString drawn = caption;
    drawn.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    drawn.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    dc.setPen(ToQColor(textColor));
    dc.setFont(font());
    dc.drawText(client, flags, drawn);
    if (fw > 0)
        drawFrame(&dc);
}

void CSkinLabel::CheckSystemPalette() {
    const QPalette current = QGuiApplication::palette();
    if (current == systemPalette)
        return;
    systemPalette = current;
    faceColor = GetSysColor(COLOR_BTNFACE);
    Refresh();
}

void CSkinLabel::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        CheckSystemPalette();
}

bool CSkinLabel::event(QEvent* event) {
    const bool result = QLabel::event(event);
    if (event->type() == QEvent::ApplicationPaletteChange)
        CheckSystemPalette();
    return result;
}
