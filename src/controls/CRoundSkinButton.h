#pragma once

#include "controls/CSkinButton.h"

// Skinned push button with a rounded face (the command buttons). Placeholder.
class CRoundSkinButton : public CSkinButton {
    Q_OBJECT
public:
    explicit CRoundSkinButton(QWidget* parent = nullptr) : CSkinButton(parent) {}
};
