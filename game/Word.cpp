#include "Word.h"

#include <QTextBoundaryFinder>

namespace Word {

QStringList characters(const QString &word)
{
    QStringList result;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, word);
    qsizetype start = 0;
    for (qsizetype end = finder.toNextBoundary(); end != -1; end = finder.toNextBoundary()) {
        if (end > start)
            result.append(word.mid(start, end - start));
        start = end;
    }
    return result;
}

QList<QChar> revealingLetters(const QString &word)
{
    QList<QChar> letters;
    for (const QString &character : characters(word)) {
        const QString folded = character.toCaseFolded();
        const bool letter = folded.size() == 1 && folded[0] >= u'a' && folded[0] <= u'z';
        letters.append(letter ? folded[0] : QChar());
    }
    return letters;
}

qsizetype length(const QString &word)
{
    return characters(word).size();
}

bool fits(const QString &word)
{
    return length(word) <= maxLength;
}

} // namespace Word
