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

/// The widest the mask can grow while it is guessed, for a word whose
/// positions are revealed by \a letters. A position shows its dash until its
/// letter is guessed, so it counts as the wider of the two; one that no
/// letter button reveals stays a dash all game.
QStringList widestPositions(const QList<QChar> &letters, const QFontMetrics &metrics)
{
    const QString &dash = Texts::hidden;
    QStringList widest;
    for (const QChar letter : letters) {
        const QString shown = letter.isNull() ? dash : QString(letter);
        widest.append(metrics.horizontalAdvance(shown) > metrics.horizontalAdvance(dash) ? shown
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

QFont withPointSize(QFont font, qreal size)
{
    font.setPointSizeF(size);
    return font;
}

struct Fit
{
    QFont font;
    QList<qsizetype> lineLengths;
};

/// The largest size from the window's own down to \a smallest at which the
/// mask of a word revealed by \a letters fits \a room on \a lines lines. One
/// line needs only the width: it keeps the label's own box.
std::optional<Fit> largestFitting(const QList<QChar> &letters, qsizetype lines, qreal smallest,
                                  const QSize &room)
{
    const QFont full = Fonts::verdana();
    for (qreal size = full.pointSizeF(); size >= smallest; size -= pointStep) {
        const QFont font = withPointSize(full, size);
        const QFontMetrics metrics(font);
        const QStringList positions = widestPositions(letters, metrics);
        const QList<qsizetype> lengths = evenLines(positions.size(), lines);
        const bool tallEnough = lines == 1 || lines * metrics.lineSpacing() <= room.height();
        if (tallEnough && eachLineFits(positions, lengths, metrics, room.width()))
            return Fit {font, lengths};
    }
    return std::nullopt;
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

void MaskLabel::setMask(const QString &mask, const QString &word)
{
    if (m_fittedFor != word) {
        fitTo(word);
        m_fittedFor = word;
    }
    setText(mask);
}

void MaskLabel::fitTo(const QString &word)
{
    const QRect box = Layout::Main::lblzoek.toPixels();
    // The text keeps the label's margins wherever the label is placed.
    const QSize margins = size() - textRect().size();
    const QSize room = Layout::Main::lblzoekRoom.toPixels().size() - margins;
    const QList<QChar> letters = Word::revealingLetters(word);
    const qsizetype positions = std::max<qsizetype>(1, letters.size());

    // As few lines as there can be while the text stays readable, each as
    // large as it fits; only when nothing fits at 9 point, smaller.
    std::optional<Fit> fit;
    for (const qreal smallest : {smallestOneLinePointSize, smallestPointSize}) {
        for (qsizetype lines = 1; !fit && lines <= positions; ++lines) {
            // More lines than the room holds even at the smallest size:
            // looked at only for long words, so a short one loads no other
            // size of the font.
            if (lines > 1
                && lines * QFontMetrics(withPointSize(Fonts::verdana(), smallest)).lineSpacing()
                    > room.height())
                break;
            fit = largestFitting(letters, lines, smallest, room);
        }
        if (fit)
            break;
    }
    // Only a font far wider than those the program names ends here: the
    // smallest size, one position a line, cut off at the bottom of the room.
    if (!fit)
        fit = Fit {withPointSize(Fonts::verdana(), smallestPointSize),
                   evenLines(positions, positions)};

    setFont(fit->font);
    const qsizetype lines = fit->lineLengths.size();
    m_lineLengths = lines > 1 ? fit->lineLengths : QList<qsizetype> {};
    const int height = std::min(room.height(), int(lines) * QFontMetrics(fit->font).lineSpacing())
        + margins.height();
    setGeometry(lines > 1 ? QRect(box.topLeft(), QSize(box.width(), height)) : box);
    update();
}

QStringList MaskLabel::lines() const
{
    if (m_lineLengths.isEmpty())
        return {text()};
    // Cut by positions, the unit the lengths count.
    const QStringList positions = Word::characters(text());
    QStringList lines;
    qsizetype start = 0;
    for (const qsizetype length : m_lineLengths) {
        lines.append(positions.mid(start, length).join(QString()));
        start += length;
    }
    return lines;
}

QRect MaskLabel::textRect() const
{
    // As QLabel: an indent left unset is none, or half an x inside a frame.
    const int inset = std::max(0,
                               indent() < 0 && frameWidth() > 0
                                   ? fontMetrics().horizontalAdvance(u'x') / 2 - margin()
                                   : indent());
    const Qt::Alignment align = QStyle::visualAlignment(layoutDirection(), alignment());
    const auto side = [&](Qt::AlignmentFlag edge) { return margin() + (align & edge ? inset : 0); };
    return contentsRect().marginsRemoved(
        {side(Qt::AlignLeft), side(Qt::AlignTop), side(Qt::AlignRight), side(Qt::AlignBottom)});
}

void MaskLabel::paintEvent(QPaintEvent *)
{
    // One line or several, each a line spacing below the one before.
    QPainter painter(this);
    drawFrame(&painter);
    QRect line = textRect();
    const int align = int(QStyle::visualAlignment(layoutDirection(), alignment()));
    for (const QString &text : lines()) {
        style()->drawItemText(&painter, line, align, palette(), isEnabled(), text,
                              foregroundRole());
        line.setTop(line.top() + fontMetrics().lineSpacing());
    }
}
