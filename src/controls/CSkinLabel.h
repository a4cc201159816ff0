#pragma once

#include "platform/SystemColors.h"

#include <QLabel>

#include <optional>

// Text label that paints itself: its own text colour and font, on either its
// own background colour or the system button-face colour. How the text is
// placed follows a static-control style word (SetStaticStyle).
class CSkinLabel : public QLabel {
    Q_OBJECT
public:
    // Static types (the low five bits of the style) and the centring flag.
    static constexpr unsigned SS_LEFT = 0x0;
    static constexpr unsigned SS_CENTER = 0x1;
    static constexpr unsigned SS_RIGHT = 0x2;
    static constexpr unsigned SS_LEFTNOWORDWRAP = 0xC;
    static constexpr unsigned SS_TYPEMASK = 0x1F;
    static constexpr unsigned SS_CENTERIMAGE = 0x200;

    explicit CSkinLabel(QWidget* parent = nullptr);

    // Each setter returns the label for chaining and refreshes it.
    virtual CSkinLabel& SetBackgroundColor(COLORREF color);
    virtual CSkinLabel& SetForegroundColor(COLORREF color);
    virtual CSkinLabel& SetLabelText(const QString& text);
    virtual CSkinLabel& SetBold(bool bold);
    // Sizes below 1 point leave the font as it is.
    virtual CSkinLabel& SetPointSize(int points);

    // The style word deciding alignment and wrapping; SS_LEFT by default. The
    // label's own alignment and word wrap follow it.
    void SetStaticStyle(unsigned style);
    unsigned StaticStyle() const { return staticStyle; }

    COLORREF TextColor() const { return textColor; }
    std::optional<COLORREF> BackgroundColor() const { return backgroundColor; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void Refresh();
    void CheckSystemPalette();
    int TextFlags(const QString& text) const;

    COLORREF textColor;
    std::optional<COLORREF> backgroundColor;
    COLORREF faceColor;
    unsigned staticStyle = SS_LEFT;
    QPalette systemPalette;
};
