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

/// The number of positions of \a word.
qsizetype length(const QString &word);

/// Whether \a word fits the game (at most maxLength positions).
bool fits(const QString &word);

} // namespace Word
