#pragma once

#include <QLabel>
#include <QStringList>

#include <optional>

/// `lblzoek`: the masked word, centred. A mask that fits its box on one line
/// in the window's font is shown just so. A longer typed word is shown
/// smaller: on one line while that stays readable, otherwise on as few lines
/// as it needs in the free space below the box, so every position is always
/// in view.
///
/// The text stays the mask itself, as the game set it; only the drawing
/// breaks it into lines.
class MaskLabel : public QLabel
{
    Q_OBJECT

public:
    /// The smallest size a mask is drawn at.
    static constexpr qreal smallestPointSize = 6.0;
    /// The smallest size a mask is kept on one line at; below it, lines.
    static constexpr qreal smallestOneLinePointSize = 9.0;

    explicit MaskLabel(QWidget *parent = nullptr);

    /// Shows \a mask, the mask of a game on \a word. A new word first
    /// chooses the font and the lines, once, for its mask at its widest: each
    /// position as the wider of its dash and its letter. So nothing moves
    /// while the game is played.
    void setMask(const QString &mask, const QString &word);

    /// The lines the mask is drawn on, top to bottom.
    QStringList lines() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void fitTo(const QString &word);
    /// Where the text is drawn, as QLabel places it: inside the contents,
    /// less the margin and the indent.
    QRect textRect() const;

    /// The word the font and the lines were chosen for.
    std::optional<QString> m_fittedFor;
    /// How many positions each line holds; empty while the mask takes one.
    QList<qsizetype> m_lineLengths;
};
