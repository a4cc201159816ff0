#pragma once

#include <QSlider>

// Slider with a flat orange thumb. Placeholder until the custom drawing lands.
class CSkinSlider : public QSlider {
    Q_OBJECT
public:
    explicit CSkinSlider(QWidget* parent = nullptr) : QSlider(Qt::Horizontal, parent) {}
};
