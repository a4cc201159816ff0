#pragma once

#include "controls/ButtonImages.h"
#include "platform/SystemColors.h"

#include <QPalette>
#include <QPoint>
#include <QPushButton>
#include <QRect>

#include <array>
#include <cstdint>

class QPainter;

// Owner-drawn push button: the thumbnail slots, and the base of the round
// command buttons. It paints face, frame, image and caption itself from six
// state colours and shows a hover look while the pointer is over it.
//
// The push button's own properties stand for the look flags that Qt already
// knows: `flat` is isFlat() (true from construction), the default role is
// isDefault() (which a dialog moves to the focused button, as autoDefault),
// and a check button is a checkable one, its check state isChecked().
class CSkinButton : public QPushButton {
    Q_OBJECT
public:
    // Colour slots of SetStateColor.
    enum ColorSlot {
        HoverBack = 0,
        HoverText = 1,
        NormalBack = 2,
        NormalText = 3,
        FocusBack = 4,
        FocusText = 5,
    };
    static constexpr int ColorSlotCount = 6;

    // Arrangement of image and caption; only image-left exists.
    enum Alignment : std::uint8_t { ImageLeft = 0 };

    // Results of SetIcons / SetBitmap.
    static constexpr int ImageOk = 0;
    static constexpr int ImageUnreadable = 1;
    static constexpr int ImageMaskFailed = 2;

    explicit CSkinButton(QWidget* parent = nullptr);
    ~CSkinButton() override;

    // Slots outside 0..5 are ignored.
    void SetStateColor(int slot, COLORREF color, bool repaint = true);
    // The colour of a slot; 0 for a slot outside 0..5.
    COLORREF GetStateColor(int slot) const;
    void EnableBorder(bool enable, bool repaint = true);
    void SetPressedShift(int x, int y, bool repaint = true);

    // Replaces every image by one or two icons: `hoverIcon` is shown while
    // hovered or pressed, `normalIcon` in the other states (the hover icon in
    // every state when it is null). A null hover icon just clears the images.
    // Each icon is shown at its natural size (the first size it offers).
    // 0 on success; 1 when an icon has no size to show it at (every image is
    // then released, the caller's included).
    int SetIcons(const QIcon& hoverIcon, const QIcon& normalIcon = QIcon());
    // Replaces every image by `bitmap`, its pure-black pixels transparent.
    // A null image just clears the images. 0 on success; 1 when the image
    // cannot be read into a drawable form, 2 when its mask cannot be made (every
    // image is then released, the caller's included).
    int SetBitmap(const QImage& bitmap);
    void ReleaseImages();

    // Settings no caller of the program changes; they keep their effects.
    void SetFlatFocus(bool enable, bool repaint = true);
    void SetGrayWhenDisabled(bool enable, bool repaint = true);
    void SetTrackAlways(bool enable);
    // Leaves the face unfilled so the parent's pixels show through.
    void SetTransparent(bool enable, bool repaint = true);

    bool IsHovering() const { return hover; }
    bool BorderEnabled() const { return drawBorder; }
    QPoint PressedShift() const { return pressedShift; }

protected:
    // One drawing request: the rectangle to fill and the item state.
    struct DrawItemStruct {
        QPainter& dc;
        QRect rcItem;
        bool selected;
        bool focus;
        bool disabled;
    };

    virtual void DrawItem(const DrawItemStruct& item);
    // May shrink `r` by a pixel on each side for the frame of the default role.
    virtual void PaintBackground(QPainter& dc, QRect& r);
    virtual void PaintBorder(QPainter& dc, const QRect& r);
    virtual void PaintIcon(QPainter& dc, bool hasCaption, const QRect& item, QRect& caption,
                           bool pressed, bool disabled);
    virtual void PaintBitmap(QPainter& dc, bool hasCaption, const QRect& item, QRect& caption,
                             bool pressed, bool disabled);
    virtual void PaintCaption(QPainter& dc, const QString& text, const QRect& item, QRect& caption,
                              bool pressed, bool disabled);

    // Where an image of w x h goes; narrows `caption` when a caption is shown.
    QRect PlaceImage(bool hasCaption, const QRect& item, QRect& caption, bool pressed, int w,
                     int h) const;
    // Face colour of the current paint state.
    QColor FaceColor() const;
    bool IsCheckButton() const { return isCheckable(); }
    bool IsDefaultButton() const { return isDefault(); }

    // Pixel-exact frames; edges of `r` as left/top inclusive, right/bottom
    // exclusive.
    static void Draw3dRect(QPainter& dc, const QRect& r, const QColor& topLeft,
                           const QColor& bottomRight);
    static void FrameRect(QPainter& dc, const QRect& r, const QColor& color);
    // The four polylines of the non-flat raised look.
    static void DrawRaisedEdges(QPainter& dc, const QRect& r);

    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

    // Kept by the button: only a flat button ever hovers.
    bool hover = false;
    // Recomputed at the start of every paint.
    bool pressedState = false;
    bool focused = false;
    bool disabled = false;

    std::uint8_t alignment = ImageLeft;
    bool drawBorder = true;
    bool flatFocus = false;
    bool grayWhenDisabled = true;
    bool trackAlways = true;
    bool transparent = false;
    QPoint imageMargin{3, 3};
    QPoint pressedShift{1, 1};
    std::array<COLORREF, ColorSlotCount> colors{};
    std::array<ButtonImageSlot, 2> icons;
    ButtonImageSlot bitmap;

private:
    void Repaint();
    int FailAssignment(int result);
    void EndHover();
    void ResetSystemColors();
    void CheckSystemPalette();
    void MoveFocusAfterDisable();
    void OnClicked();

    // The application palette the colours were last read from.
    QPalette systemPalette;
};
