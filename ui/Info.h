#pragma once

#include "FixedWindow.h"

/// The about window: one line of credit, closed by its title bar.
class Info : public FixedWindow
{
    Q_OBJECT

public:
    explicit Info(QWidget *parent = nullptr);
};
