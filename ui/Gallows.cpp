#include "Gallows.h"

#include "Layout.h"
#include "Texts.h"

#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <cmath>

namespace {

/// A piece's box relative to the gallows widget.
QRect pieceRect(const Layout::Main::Piece &piece)
{
    return piece.box.toPixels().translated(-Layout::Main::galgArea.toPixels().topLeft());
}

/// Where the pieces land on the screen's own pixels. A pixel of the layout
/// becomes a square of `line` device pixels at its scaled place, so every
/// stroke has the same weight at any scale (one device pixel at 1.5, two at
/// 2) and pieces that share a pixel of the layout still meet.
class DevicePixels
{
public:
    explicit DevicePixels(const QTransform &toDevice)
        : m_toDevice(toDevice)
        , m_fromDevice(toDevice.inverted())
        , m_line(std::max(1, int(std::floor(toDevice.m11() + 1e-6))))
    { }

    int line() const { return m_line; }

    /// The device pixels a box covers: from its first pixel's square to the
    /// end of its last one's.
    QRect cover(const QRect &box) const
    {
        const QPoint first = snap(box.topLeft());
        const QPoint last = snap(box.bottomRight());
        return {first, QSize(last.x() - first.x() + m_line, last.y() - first.y() + m_line)};
    }

    /// Fills device pixels, going through the painter's own transform.
    void fill(QPainter &painter, const QRect &device, const QColor &color) const
    {
        painter.fillRect(m_fromDevice.mapRect(QRectF(device)), color);
    }

private:
    QPoint snap(const QPoint &pixel) const
    {
        const QPointF at = m_toDevice.map(QPointF(pixel));
        return {int(std::lround(at.x())), int(std::lround(at.y()))};
    }

    QTransform m_toDevice;
    QTransform m_fromDevice;
    int m_line;
};

/// An outline `line` pixels wide along the inside of \a box: a box no wider
/// than two lines comes out as a solid bar.
void outlineRectangle(QPainter &painter, const DevicePixels &pixels, const QRect &box,
                      const QColor &color)
{
    const QRect d = pixels.cover(box);
    const int line = pixels.line();
    pixels.fill(painter, QRect(d.left(), d.top(), d.width(), line), color);
    pixels.fill(painter, QRect(d.left(), d.bottom() + 1 - line, d.width(), line), color);
    pixels.fill(painter, QRect(d.left(), d.top(), line, d.height()), color);
    pixels.fill(painter, QRect(d.right() + 1 - line, d.top(), line, d.height()), color);
}

/// An elliptic ring `line` pixels wide inside \a box: the pixels whose centre
/// lies within the ellipse that touches the box's sides but not within the
/// one a line further in. Deciding by pixel centres keeps the ring mirror
/// symmetric about both axes and touching all four sides of its box.
void outlineEllipse(QPainter &painter, const DevicePixels &pixels, const QRect &box,
                    const QColor &color)
{
    const QRect d = pixels.cover(box);
    const int line = pixels.line();
    const double cx = d.left() + d.width() / 2.0;
    const double cy = d.top() + d.height() / 2.0;
    const double rx = d.width() / 2.0;
    const double ry = d.height() / 2.0;
    // The half-width of an ellipse with radii a and b at height dy from its centre.
    const auto halfWidth = [](double a, double b, double dy) {
        return dy < b ? a * std::sqrt(1.0 - (dy / b) * (dy / b)) : -1.0;
    };
    // Pixel x's mirror image across the middle; the right half is drawn as
    // the mirror of the left, so the two cannot differ by rounding.
    const auto mirror = [&d](int x) { return d.left() + d.right() - x; };
    for (int y = d.top(); y <= d.bottom(); ++y) {
        const double dy = std::abs(y + 0.5 - cy);
        const double outer = halfWidth(rx, ry, dy);
        const double inner = halfWidth(rx - line, ry - line, dy);
        const int first = int(std::ceil(cx - outer - 0.5));
        if (inner < 0) { // above or below the inner ellipse: one run across
            pixels.fill(painter, QRect(QPoint(first, y), QPoint(mirror(first), y)), color);
            continue;
        }
        const int last = int(std::floor(cx - inner - 0.5));
        if (last < first) // a steep stretch with no pixel centre in the ring
            continue;
        pixels.fill(painter, QRect(QPoint(first, y), QPoint(last, y)), color);
        pixels.fill(painter, QRect(QPoint(mirror(last), y), QPoint(mirror(first), y)), color);
    }
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
    const DevicePixels pixels(painter.deviceTransform());
    const QColor color = palette().color(QPalette::WindowText);
    for (std::size_t i = 0; i < Layout::Main::galg.size(); ++i) {
        if (!m_shown.test(i))
            continue;
        const Layout::Main::Piece &piece = Layout::Main::galg[i];
        const QRect box = pieceRect(piece);
        switch (piece.outline) {
        case Layout::Main::Outline::Rectangle:
            outlineRectangle(painter, pixels, box, color);
            break;
        case Layout::Main::Outline::Oval:
            outlineEllipse(painter, pixels, box, color);
            break;
        case Layout::Main::Outline::Circle:
            outlineEllipse(painter, pixels, circleIn(box), color);
            break;
        }
    }
}
