#include "Gallows.h"

#include "Layout.h"
#include "Texts.h"

#include <QPainter>

namespace {

/// A piece's box relative to the gallows widget.
QRect pieceRect(const Layout::Main::Piece &piece)
{
    return piece.box.toPixels().translated(-Layout::Main::galgArea.toPixels().topLeft());
}

/// A one-pixel outline that stays inside \a box: a box one pixel wide or
/// high comes out as a solid bar.
void outlineRectangle(QPainter &painter, const QRect &box, const QColor &color)
{
    painter.fillRect(QRect(box.left(), box.top(), box.width(), 1), color);
    painter.fillRect(QRect(box.left(), box.bottom(), box.width(), 1), color);
    painter.fillRect(QRect(box.left(), box.top(), 1, box.height()), color);
    painter.fillRect(QRect(box.right(), box.top(), 1, box.height()), color);
}

void outlineEllipse(QPainter &painter, const QRect &box, const QColor &color)
{
    painter.save();
    // The pen runs half a pixel inside the box, so its one-pixel stroke ends
    // exactly at the box's edges; the clip keeps rounding from spilling over.
    painter.setClipRect(box);
    painter.setPen(QPen(color, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QRectF(box).adjusted(0.5, 0.5, -0.5, -0.5));
    painter.restore();
}

/// A circle takes the smaller side of its box and is centred in it.
QRect circleIn(const QRect &box)
{
    const int diameter = std::min(box.width(), box.height());
    return {box.left() + (box.width() - diameter) / 2, box.top() + (box.height() - diameter) / 2,
            diameter, diameter};
}

} // namespace

Gallows::Gallows(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Galg"));
    setGeometry(Layout::Main::galgArea.toPixels());
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAccessibleDescription(Texts::galgDescription);
    describe();
}

void Gallows::setPieceShown(int index, bool shown)
{
    if (m_shown.test(std::size_t(index)) == shown)
        return;
    m_shown.set(std::size_t(index), shown);
    update(pieceRect(Layout::Main::galg[std::size_t(index)]));
    describe();
}

void Gallows::describe()
{
    // Qt cannot read a drawing aloud: the name tells how far the figure is.
    setAccessibleName(Texts::galgName.arg(shownCount()).arg(Board::pieceCount));
}

void Gallows::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QColor color = palette().color(QPalette::WindowText);
    for (std::size_t i = 0; i < Layout::Main::galg.size(); ++i) {
        if (!m_shown.test(i))
            continue;
        const Layout::Main::Piece &piece = Layout::Main::galg[i];
        const QRect box = pieceRect(piece);
        switch (piece.outline) {
        case Layout::Main::Outline::Rectangle:
            outlineRectangle(painter, box, color);
            break;
        case Layout::Main::Outline::Oval:
            outlineEllipse(painter, box, color);
            break;
        case Layout::Main::Outline::Circle:
            outlineEllipse(painter, circleIn(box), color);
            break;
        }
    }
}
