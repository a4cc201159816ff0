#include "controls/CSkinButton.h"

#include <QApplication>
#include <QFocusEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace {

// Edges as the drawing code counts them: right and bottom exclusive.
struct Edges {
    int l, t, r, b;
    explicit Edges(const QRect& rc)
        : l(rc.left()), t(rc.top()), r(rc.left() + rc.width()), b(rc.top() + rc.height()) {}
};

// Fills the pixels from `from` towards `to` along one axis, `to` itself not
// included, as a line drawn between the two points.
void HalfOpenSegment(QPainter& dc, const QColor& color, QPoint from, QPoint to) {
    if (from == to)
        return;
    if (from.y() == to.y()) {
        const int left = from.x() < to.x() ? from.x() : to.x() + 1;
        const int right = from.x() < to.x() ? to.x() - 1 : from.x();
        dc.fillRect(QRect(QPoint(left, from.y()), QPoint(right, from.y())), color);
    } else if (from.x() == to.x()) {
        const int top = from.y() < to.y() ? from.y() : to.y() + 1;
        const int bottom = from.y() < to.y() ? to.y() - 1 : from.y();
        dc.fillRect(QRect(QPoint(from.x(), top), QPoint(from.x(), bottom)), color);
    }
}

// A polyline through three points, the last one not drawn.
void Polyline3(QPainter& dc, int colorIndex, QPoint a, QPoint b, QPoint c) {
    const QColor color = ToQColor(GetSysColor(colorIndex));
    HalfOpenSegment(dc, color, a, b);
    HalfOpenSegment(dc, color, b, c);
}

// Integer division truncates toward zero, also for negative values.
int Halved(int v) {
    return v / 2;
}

} // namespace

CSkinButton::CSkinButton(QWidget* parent) : QPushButton(parent) {
    setFlat(true);
    // Hover follows every pointer move, not only those with a button held.
    setMouseTracking(true);
    ResetSystemColors();
    // Connected first, so this runs before any handler the dialog connects.
    connect(this, &QAbstractButton::clicked, this, &CSkinButton::OnClicked);
}

CSkinButton::~CSkinButton() {
    ReleaseImages();
}

void CSkinButton::SetStateColor(int slot, COLORREF color, bool repaint) {
    if (slot < 0 || slot >= ColorSlotCount)
        return;
    colors[static_cast<std::size_t>(slot)] = color;
    if (repaint)
        Repaint();
}

COLORREF CSkinButton::GetStateColor(int slot) const {
    if (slot < 0 || slot >= ColorSlotCount)
        return 0;
    return colors[static_cast<std::size_t>(slot)];
}

void CSkinButton::EnableBorder(bool enable, bool repaint) {
    drawBorder = enable;
    if (repaint)
        Repaint();
}

void CSkinButton::SetPressedShift(int x, int y, bool repaint) {
    pressedShift = QPoint(x, y);
    if (repaint)
        Repaint();
}

int CSkinButton::SetIcons(const QIcon& hoverIcon, const QIcon& normalIcon) {
    ReleaseImages();
    if (hoverIcon.isNull()) {
        Repaint();
        return ImageOk;
    }
    if (!ReadIconImage(hoverIcon, icons[0]))
        return FailAssignment(ImageUnreadable);
    if (normalIcon.isNull()) {
        Repaint();
        return ImageOk;
    }
    if (!ReadIconImage(normalIcon, icons[1]))
        return FailAssignment(ImageUnreadable);
    Repaint();
    return ImageOk;
}

int CSkinButton::SetBitmap(const QImage& image) {
    ReleaseImages();
    if (image.isNull()) {
        Repaint();
        return ImageOk;
    }
    const QImage rgb = ReadBitmap(image);
    if (rgb.isNull())
        return FailAssignment(ImageUnreadable);
    QImage masked = MakeBitmapMask(rgb);
    if (masked.isNull())
        return FailAssignment(ImageMaskFailed);
    bitmap.image = std::move(masked);
    bitmap.width = rgb.width();
    bitmap.height = rgb.height();
    Repaint();
    return ImageOk;
}

// The images held before are gone as well, so the face is drawn anew: it would
// otherwise go on showing pictures the button no longer has.
int CSkinButton::FailAssignment(int result) {
    ReleaseImages();
    Repaint();
    return result;
}

void CSkinButton::ReleaseImages() {
    icons[0].Clear();
    icons[1].Clear();
    bitmap.Clear();
}

void CSkinButton::SetFlatFocus(bool enable, bool repaint) {
    flatFocus = enable;
    if (repaint)
        Repaint();
}

void CSkinButton::SetGrayWhenDisabled(bool enable, bool repaint) {
    grayWhenDisabled = enable;
    if (repaint)
        Repaint();
}

void CSkinButton::SetTrackAlways(bool enable) {
    trackAlways = enable;
}

void CSkinButton::SetTransparent(bool enable, bool repaint) {
    transparent = enable;
    if (repaint)
        Repaint();
}

void CSkinButton::Repaint() {
    update();
}

void CSkinButton::EndHover() {
    if (isFlat() && hover) {
        hover = false;
        Repaint();
    }
}

void CSkinButton::ResetSystemColors() {
    systemPalette = QGuiApplication::palette();
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF text = GetSysColor(COLOR_BTNTEXT);
    colors = {face, text, face, text, face, text};
}

// A palette change reaches a child widget also when only an ancestor's palette
// was set; only a change of the application palette is a system colour change.
void CSkinButton::CheckSystemPalette() {
    if (QGuiApplication::palette() == systemPalette)
        return;
    ResetSystemColors();
    Repaint();
}

void CSkinButton::MoveFocusAfterDisable() {
    QWidget* parent = parentWidget();
    if (!parent)
        return;
    for (QWidget* w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain()) {
        if (!parent->isAncestorOf(w))
            continue;
        if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisibleTo(parent)) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
    parent->setFocus(Qt::OtherFocusReason);
}

void CSkinButton::OnClicked() {
    setFocus(Qt::OtherFocusReason);
}

QColor CSkinButton::FaceColor() const {
    if (hover || pressedState)
        return ToQColor(colors[HoverBack]);
    if (focused)
        return ToQColor(colors[FocusBack]);
    return ToQColor(colors[NormalBack]);
}

void CSkinButton::paintEvent(QPaintEvent*) {
    QPainter dc(this);
    DrawItem({dc, rect(), isDown(), hasFocus(), !isEnabled()});
}

void CSkinButton::DrawItem(const DrawItemStruct& item) {
    QPainter& dc = item.dc;
    pressedState = item.selected || (IsCheckButton() && isChecked());
    focused = item.focus;
    disabled = item.disabled;

    QRect r = item.rcItem;
    // A transparent face keeps the parent's pixels, which Qt has already put
    // under the button.
    if (!transparent)
        PaintBackground(dc, r);
    PaintBorder(dc, r);

    const QString caption = text();
    QRect c = item.rcItem;
    if (!icons[0].IsEmpty())
        PaintIcon(dc, !caption.isEmpty(), item.rcItem, c, pressedState, disabled);
    if (!bitmap.IsEmpty())
        PaintBitmap(dc, !caption.isEmpty(), item.rcItem, c, pressedState, disabled);
    if (!caption.isEmpty())
        PaintCaption(dc, caption, item.rcItem, c, pressedState, disabled);

    if ((!isFlat() || flatFocus) && focused) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = r.adjusted(3, 3, -3, -3);
        option.backgroundColor = FaceColor();
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &dc, this);
    }
}

void CSkinButton::PaintBackground(QPainter& dc, QRect& r) {
    if (!isFlat() && (focused || IsDefaultButton())) {
        FrameRect(dc, r, Qt::black);
        r.adjust(1, 1, -1, -1);
    }
    dc.fillRect(r, FaceColor());
}

void CSkinButton::PaintBorder(QPainter& dc, const QRect& r) {
    if (pressedState) {
        if (!isFlat())
            FrameRect(dc, r, ToQColor(GetSysColor(COLOR_BTNSHADOW)));
        else if (drawBorder)
            Draw3dRect(dc, r, ToQColor(GetSysColor(COLOR_BTNSHADOW)),
                       ToQColor(GetSysColor(COLOR_BTNHIGHLIGHT)));
        return;
    }
    if (!isFlat())
        DrawRaisedEdges(dc, r);
    else if (hover && drawBorder)
        Draw3dRect(dc, r, ToQColor(GetSysColor(COLOR_BTNHIGHLIGHT)),
                   ToQColor(GetSysColor(COLOR_BTNSHADOW)));
}

QRect CSkinButton::PlaceImage(bool hasCaption, const QRect& item, QRect& caption, bool pressed,
                              int w, int h) const {
    const Edges i(item);
    int left = i.l;
    int top = i.t;
    // Image left of the caption, or centred without one.
    if (hasCaption) {
        left += imageMargin.x();
        caption.setLeft(caption.left() + w + imageMargin.x());
    } else {
        left += Halved((i.r - i.l) - w);
    }
    top += Halved((i.b - i.t) - h);
    QRect p(QPoint(left, top), QPoint(i.r - 1, i.b - 1));
    if (pressed && !IsCheckButton())
        p.translate(pressedShift);
    return p;
}

void CSkinButton::PaintIcon(QPainter& dc, bool hasCaption, const QRect& item, QRect& caption,
                            bool pressed, bool isDisabled) {
    std::size_t slot = 0;
    if (!(pressed || (hover && !IsCheckButton())) && !icons[1].IsEmpty())
        slot = 1;
    const ButtonImageSlot& icon = icons[slot];
    const QRect p = PlaceImage(hasCaption, item, caption, pressed, icon.width, icon.height);
    if (isDisabled)
        DrawEmbossed(dc, p.topLeft(), icon.image);
    else
        dc.drawImage(p.topLeft(), icon.image);
}

void CSkinButton::PaintBitmap(QPainter& dc, bool hasCaption, const QRect& item, QRect& caption,
                              bool pressed, bool isDisabled) {
    const QRect p = PlaceImage(hasCaption, item, caption, pressed, bitmap.width, bitmap.height);
    if (isDisabled && grayWhenDisabled) {
        // Transparent pixels turn white first, so they stay out of the relief.
        QImage work(bitmap.width, bitmap.height, QImage::Format_ARGB32_Premultiplied);
        if (work.isNull())
            return;
        work.fill(Qt::white);
        {
            QPainter wp(&work);
            wp.drawImage(0, 0, bitmap.image);
        }
        DrawEmbossed(dc, p.topLeft(), work);
        return;
    }
    dc.drawImage(p.topLeft(), bitmap.image);
}

void CSkinButton::PaintCaption(QPainter& dc, const QString& text, const QRect& item, QRect& caption,
                               bool pressed, bool isDisabled) {
    (void)item;
    if (pressed && !IsCheckButton())
        caption.translate(pressedShift);

    const QRect k = caption;
    const int wrapFlags = Qt::TextWordWrap | Qt::AlignHCenter | Qt::TextShowMnemonic;
    dc.setFont(font());
    const QRect extent = dc.fontMetrics().boundingRect(k, wrapFlags | Qt::AlignTop, text);
    QRect c(k.topLeft(), extent.size());
    c.translate(Halved(k.width() - c.width()), Halved(k.height() - c.height()));

    const int drawFlags = wrapFlags | Qt::AlignTop;
    dc.save();
    if (isDisabled) {
        dc.setPen(ToQColor(GetSysColor(COLOR_BTNHIGHLIGHT)));
        dc.drawText(c.translated(1, 1), drawFlags, text);
        dc.setPen(ToQColor(GetSysColor(COLOR_BTNSHADOW)));
        dc.drawText(c, drawFlags, text);
    } else {
        COLORREF textColor = colors[NormalText];
        if (hover || pressed)
            textColor = colors[HoverText];
        else if (focused)
            textColor = colors[FocusText];
        dc.setPen(ToQColor(textColor));
        dc.drawText(c, drawFlags, text);
    }
    dc.restore();
    caption = c;
}

void CSkinButton::Draw3dRect(QPainter& dc, const QRect& r, const QColor& topLeft,
                             const QColor& bottomRight) {
    const int x = r.left();
    const int y = r.top();
    const int w = r.width();
    const int h = r.height();
    if (w <= 0 || h <= 0)
        return;
    dc.fillRect(QRect(x, y, w - 1, 1), topLeft);
    dc.fillRect(QRect(x, y, 1, h - 1), topLeft);
    dc.fillRect(QRect(x + w - 1, y, 1, h), bottomRight);
    dc.fillRect(QRect(x, y + h - 1, w, 1), bottomRight);
}

void CSkinButton::FrameRect(QPainter& dc, const QRect& r, const QColor& color) {
    if (r.width() <= 0 || r.height() <= 0)
        return;
    dc.fillRect(QRect(r.left(), r.top(), r.width(), 1), color);
    dc.fillRect(QRect(r.left(), r.top() + r.height() - 1, r.width(), 1), color);
    dc.fillRect(QRect(r.left(), r.top(), 1, r.height()), color);
    dc.fillRect(QRect(r.left() + r.width() - 1, r.top(), 1, r.height()), color);
}

void CSkinButton::DrawRaisedEdges(QPainter& dc, const QRect& r) {
    const Edges e(r);
    Polyline3(dc, COLOR_BTNHIGHLIGHT, {e.l, e.b - 1}, {e.l, e.t}, {e.r, e.t});
    Polyline3(dc, COLOR_3DLIGHT, {e.l + 1, e.b - 1}, {e.l + 1, e.t + 1}, {e.r, e.t + 1});
    Polyline3(dc, COLOR_3DDKSHADOW, {e.l, e.b - 1}, {e.r - 1, e.b - 1}, {e.r - 1, e.t - 1});
    Polyline3(dc, COLOR_BTNSHADOW, {e.l + 1, e.b - 2}, {e.r - 2, e.b - 2}, {e.r - 2, e.t});
}

void CSkinButton::mouseMoveEvent(QMouseEvent* event) {
    QPushButton::mouseMoveEvent(event);

    const QPoint global = mapToGlobal(event->position().toPoint());
    QWidget* under = QApplication::widgetAt(global);
    // A press that started elsewhere does not light the button.
    if ((event->buttons() & Qt::LeftButton) && !hover)
        return;
    if (!isFlat())
        return;
    const bool active = trackAlways || QApplication::activeWindow() != nullptr;
    if (under == this && active) {
        if (!hover) {
            hover = true;
            Repaint();
        }
    } else if (hover) {
        hover = false;
        Repaint();
    }
}

// A quick second click counts as a click of its own. Some platforms deliver a
// press before the double click; that press already started the click.
void CSkinButton::mouseDoubleClickEvent(QMouseEvent* event) {
    if (isDown())
        event->accept();
    else
        mousePressEvent(event);
}

void CSkinButton::leaveEvent(QEvent* event) {
    QPushButton::leaveEvent(event);
    EndHover();
}

void CSkinButton::focusOutEvent(QFocusEvent* event) {
    QPushButton::focusOutEvent(event);
    EndHover();
}

void CSkinButton::changeEvent(QEvent* event) {
    QPushButton::changeEvent(event);
    switch (event->type()) {
    case QEvent::EnabledChange:
        if (!isEnabled()) {
            MoveFocusAfterDisable();
            EndHover();
        }
        break;
    case QEvent::PaletteChange:
        CheckSystemPalette();
        break;
    default:
        break;
    }
}

bool CSkinButton::event(QEvent* event) {
    const bool result = QPushButton::event(event);
    switch (event->type()) {
    case QEvent::WindowDeactivate: // the window went inactive
    case QEvent::WindowBlocked:    // a modal window took over
    case QEvent::UngrabMouse:      // the pointer grab was cancelled
        EndHover();
        break;
    case QEvent::ApplicationPaletteChange:
        CheckSystemPalette();
        break;
    default:
        break;
    }
    return result;
}
