#pragma once

#include "Board.h"

#include <QWidget>

#include <bitset>

/// The gallows drawing `Galg`: ten outlined pieces, each shown or hidden on
/// its own. Covers the part of the main window where the figure stands.
class Gallows : public QWidget
{
    Q_OBJECT

public:
    explicit Gallows(QWidget *parent = nullptr);

    bool isPieceShown(int index) const { return m_shown.test(std::size_t(index)); }
    void setPieceShown(int index, bool shown);
    int shownCount() const { return int(m_shown.count()); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void describe();

    std::bitset<Board::pieceCount> m_shown;
};
