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

qsizetype length(const QString &word)
{
    return characters(word).size();
}

bool fits(const QString &word)
{
    return length(word) <= maxLength;
}

} // namespace Word
