#include "MaskLabel.h"

#include "Fonts.h"
#include "Layout.h"
#include "Texts.h"
#include "Word.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStyle>

#include <algorithm>
#include <optional>

namespace {

constexpr qreal pointStep = 0.75; // one pixel at 96 dots per inch

/// The widest the mask of \a word can grow while it is guessed: every
/// position as the wider of its dash and its lower-case letter.
QStringList widestPositions(const QString &word, const QFontMetrics &metrics)
{
    const QString &dash = Texts::hidden;
    QStringList widest;
    for (const QString &character : Word::characters(word)) {
        const QString letter = character.toLower();
        widest.append(metrics.horizontalAdvance(letter) > metrics.horizontalAdvance(dash) ? letter
                                                                                          : dash);
    }
    return widest;
}

/// \a count positions shared out over \a lines lines as evenly as they go,
/// the longer lines first.
QList<qsizetype> evenLines(qsizetype count, qsizetype lines)
{
    QList<qsizetype> lengths;
    for (qsizetype i = 0; i < lines; ++i)
        lengths.append(count / lines + (i < count % lines ? 1 : 0));
    return lengths;
}

bool eachLineFits(const QStringList &positions, const QList<qsizetype> &lengths,
                  const QFontMetrics &metrics, int width)
{
    qsizetype start = 0;
    for (const qsizetype length : lengths) {
        if (metrics.horizontalAdvance(positions.mid(start, length).join(QString())) > width)
            return false;
        start += length;
    }
    return true;
}

/// The largest size from the window's own down to \a smallest at which
/// \a word's mask fits \a width on \a lines lines, with those lines' lengths.
std::optional<std::pair<QFont, QList<qsizetype>>>
largestFitting(const QString &word, qsizetype lines, qreal smallest, int width)
{
    QFont font = Fonts::verdana();
    for (;;) {
        const QFontMetrics metrics(font);
        const QStringList positions = widestPositions(word, metrics);
        const QList<qsizetype> lengths = evenLines(positions.size(), lines);
        if (eachLineFits(positions, lengths, metrics, width))
            return std::pair {font, lengths};
        if (font.pointSizeF() <= smallest)
            return std::nullopt;
        font.setPointSizeF(std::max(smallest, font.pointSizeF() - pointStep));
    }
}

} // namespace

MaskLabel::MaskLabel(QWidget *parent)
    : QLabel(parent)
{
    setObjectName(QStringLiteral("lblzoek"));
    setGeometry(Layout::Main::lblzoek.toPixels());
    setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    setTextFormat(Qt::PlainText);
    setAccessibleDescription(Texts::lblzoekDescription);
}

void MaskLabel::fitTo(const QString &word)
{
    const QRect box = Layout::Main::lblzoek.toPixels();
    const QRect room = Layout::Main::lblzoekRoom.toPixels();
    const qsizetype positions = std::max<qsizetype>(1, Word::length(word));

    auto apply = [&](const QFont &font, const QList<qsizetype> &lengths) {
        setFont(font);
        m_lineLengths = lengths.size() > 1 ? lengths : QList<qsizetype> {};
        const int height
            = std::min(room.height(), int(lengths.size()) * QFontMetrics(font).lineSpacing());
        setGeometry(lengths.size() > 1 ? QRect(box.topLeft(), QSize(box.width(), height)) : box);
        update();
    };

    // One line while it stays readable; then as few lines as the room
    // holds, each as large as it can be, and at the very least 6 point.
    if (const auto fit = largestFitting(word, 1, smallestOneLinePointSize, box.width()))
        return apply(fit->first, fit->second);
    for (const qreal smallest : {smallestOneLinePointSize, smallestPointSize}) {
        for (qsizetype lines = 2; lines <= positions; ++lines) {
            const auto fit = largestFitting(word, lines, smallest, box.width());
            if (!fit)
                continue;
            if (lines * QFontMetrics(fit->first).lineSpacing() > room.height())
                break;
            return apply(fit->first, fit->second);
        }
    }
    // Wider than any letters a to z make it: as few lines as the width
    // allows, cut off at the bottom of the room.
    for (qsizetype lines = 1; lines < positions; ++lines) {
        if (const auto fit = largestFitting(word, lines, smallestPointSize, box.width()))
            return apply(fit->first, fit->second);
    }
    QFont smallest = Fonts::verdana();
    smallest.setPointSizeF(smallestPointSize);
    apply(smallest, evenLines(positions, positions));
}

QStringList MaskLabel::lines() const
{
    if (m_lineLengths.isEmpty())
        return {text()};
    QStringList lines;
    qsizetype start = 0;
    for (const qsizetype length : m_lineLengths) {
        lines.append(text().mid(start, length));
        start += length;
    }
    return lines;
}

void MaskLabel::paintEvent(QPaintEvent *event)
{
    if (m_lineLengths.isEmpty()) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    const int lineHeight = fontMetrics().lineSpacing();
    QRect line(0, 0, width(), lineHeight);
    for (const QString &text : lines()) {
        style()->drawItemText(&painter, line, int(alignment()), palette(), isEnabled(), text,
                              foregroundRole());
        line.translate(0, lineHeight);
    }
}
