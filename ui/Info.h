#pragma once

#include <QWidget>

/// The about window: one line of credit, closed by its title bar.
class Info : public QWidget
{
    Q_OBJECT

public:
    explicit Info(QWidget *parent = nullptr);
};
