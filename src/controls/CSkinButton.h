#pragma once

#include <QPushButton>

// Owner-drawn push button (thumbnail slots). Placeholder until the skinned
// drawing lands: an ordinary push button.
class CSkinButton : public QPushButton {
    Q_OBJECT
public:
    explicit CSkinButton(QWidget* parent = nullptr) : QPushButton(parent) {}
};
