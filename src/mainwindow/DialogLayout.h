#pragma once

#include <QPointer>
#include <QRect>
#include <QSize>
#include <QWidget>

#include <vector>

// Dynamic layout of a dialog: each child moves and grows by percentages of how
// much the client area has grown since the layout was loaded.
class DialogLayout {
public:
    struct Rule {
        int moveX = 0, moveY = 0, growX = 0, growY = 0; // percentages
        bool IsFixed() const { return moveX == 0 && moveY == 0 && growX == 0 && growY == 0; }
    };

    // Records `clientSize` and the current geometry of every child given, with
    // its rule. Children whose rule is all zero are never touched.
    void Load(const QSize& clientSize, const std::vector<std::pair<QWidget*, Rule>>& children);

    bool IsLoaded() const { return loaded_; }

    // Places every child for a client area of `clientSize`: the recorded
    // position plus dx·move/100, dy·move/100 and the recorded size plus
    // dx·grow/100, dy·grow/100, in whole pixels (fractions dropped). A client
    // area smaller than the recorded one counts as no growth.
    void Apply(const QSize& clientSize) const;

private:
    struct Item {
        QPointer<QWidget> widget;
        QRect initial;
        Rule rule;
    };
    QSize initialClientSize_;
    std::vector<Item> items_;
    bool loaded_ = false;
};
