#pragma once

#include <QString>
#include <QStringList>

/// Words as the player sees them: a position is one character on screen, so
/// "é" written as e plus an accent, or an emoji of several code points, is one.
namespace Word {

/// The longest word that can be played.
inline constexpr int maxLength = 50;

/// The characters of \a word, one string per position.
QStringList characters(const QString &word);

/// For each position of \a word, the letter button that reveals it: the
/// letter a to z the position's character case-folds to, so "K" is revealed
/// by k and "é" by none. QChar() where no button reveals the position; it
/// stays hidden all game.
QList<QChar> revealingLetters(const QString &word);

/// The number of positions of \a word.
qsizetype length(const QString &word);

/// Whether \a word fits the game (at most maxLength positions).
bool fits(const QString &word);

} // namespace Word
