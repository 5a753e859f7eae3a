#pragma once

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

/// Word list files with known words, written for one test.
namespace TestLists {

/// Writes the list or stops the whole test run: a test must not go on with
/// files it did not mean to have.
inline void write(const QString &path, const QStringList &words)
{
    QFile file(path);
    const QByteArray bytes = words.join(QStringLiteral("\r\n")).toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush())
        qFatal("cannot write the test list %s: %s", qPrintable(path),
               qPrintable(file.errorString()));
}

/// 26 words "<stem>a" to "<stem>z", so a word tells its slot.
inline QStringList numbered(const QString &stem)
{
    QStringList words;
    for (char16_t c = u'a'; c <= u'z'; ++c)
        words << stem + QChar(c);
    return words;
}

/// A folder with the three lists, each numbered after its level.
inline void writeAll(const QTemporaryDir &dir)
{
    for (const char *stem : {"makkelijk", "normaal", "moeilijk"})
        write(dir.filePath(QStringLiteral("%1.txt").arg(QLatin1StringView(stem))),
              numbered(QLatin1StringView(stem)));
}

/// The draw that picks \a slot out of \a slotCount.
inline double drawFor(int slot, int slotCount)
{
    return (slot + 0.5) / slotCount;
}

} // namespace TestLists
