#include "mainwindow/DialogLayout.h"

#include <algorithm>

void DialogLayout::Load(const QSize& clientSize,
                        const std::vector<std::pair<QWidget*, Rule>>& children) {
    initialClientSize_ = clientSize;
    items_.clear();
    for (const auto& [widget, rule] : children) {
        if (widget && !rule.IsFixed())
            items_.push_back(Item{widget, widget->geometry(), rule});
    }
    loaded_ = true;
}

void DialogLayout::Apply(const QSize& clientSize) const {
    if (!loaded_)
        return;
    const int dx = std::max(0, clientSize.width() - initialClientSize_.width());
    const int dy = std::max(0, clientSize.height() - initialClientSize_.height());
    for (const Item& item : items_) {
        if (!item.widget)
            continue;
        const Rule& r = item.rule;
        item.widget->setGeometry(
            item.initial.x() + dx * r.moveX / 100, item.initial.y() + dy * r.moveY / 100,
            item.initial.width() + dx * r.growX / 100, item.initial.height() + dy * r.growY / 100);
    }
}
