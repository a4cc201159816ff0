#pragma once

#include <QLabel>

// Self-painting text label. Placeholder until the skinned drawing lands.
class CSkinLabel : public QLabel {
    Q_OBJECT
public:
    explicit CSkinLabel(QWidget* parent = nullptr) : QLabel(parent) {}
};
