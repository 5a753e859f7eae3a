// The three shipped word lists: their format, their grading and their words.

#include "Level.h"
#include "WordListFile.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

namespace {

QByteArray shippedBytes(Level level)
{
    QFile file(QStringLiteral(WIRLEP_DATA_DIR "/") + wordListFileName(level));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QStringList shippedWords(Level level)
{
    return QString::fromLatin1(shippedBytes(level)).split(QStringLiteral("\r\n"));
}

} // namespace

class TestWordLists : public QObject
{
    Q_OBJECT

private slots:
    void listIsWellFormed_data();
    void listIsWellFormed();
    void builtInCopyMatchesTheFile_data() { listIsWellFormed_data(); }
    void builtInCopyMatchesTheFile();
    void noWordInTwoLists();
    void wordsAreDutch_data() { listIsWellFormed_data(); }
    void wordsAreDutch();
};

void TestWordLists::listIsWellFormed_data()
{
    QTest::addColumn<Level>("level");
    QTest::addColumn<int>("shortest");
    QTest::addColumn<int>("longest");
    QTest::newRow("Makkelijk") << Level::Makkelijk << 4 << 6;
    QTest::newRow("Normaal") << Level::Normaal << 6 << 9;
    QTest::newRow("Moeilijk") << Level::Moeilijk << 9 << 14;
}

void TestWordLists::listIsWellFormed()
{
    QFETCH(Level, level);
    QFETCH(int, shortest);
    QFETCH(int, longest);
    const QByteArray bytes = shippedBytes(level);
    QVERIFY(!bytes.isEmpty());
    QVERIFY2(!bytes.endsWith('\n') && !bytes.endsWith('\r'), "no break after the last word");
    QCOMPARE(bytes.count("\r\n"), 25);
    QCOMPARE(bytes.count('\r'), 25); // every break is CR LF
    QCOMPARE(bytes.count('\n'), 25);

    const QStringList words = shippedWords(level);
    QCOMPARE(words.size(), 26);
    QCOMPARE(QSet<QString>(words.cbegin(), words.cend()).size(), 26);
    static const QRegularExpression lowerCaseLetters(QStringLiteral("^[a-z]+$"));
    for (const QString &word : words) {
        QVERIFY2(lowerCaseLetters.match(word).hasMatch(), qPrintable(word));
        QVERIFY2(word.size() >= shortest && word.size() <= longest, qPrintable(word));
    }
}

void TestWordLists::builtInCopyMatchesTheFile()
{
    QFETCH(Level, level);
    const WordListRead builtIn
        = WordListFile::read(QStringLiteral(":/wordlists/") + wordListFileName(level));
    QVERIFY(builtIn.ok());
    QCOMPARE(builtIn.lines, shippedWords(level));
}

void TestWordLists::noWordInTwoLists()
{
    QSet<QString> seen;
    for (const Level level : allLevels) {
        for (const QString &word : shippedWords(level)) {
            QVERIFY2(!seen.contains(word), qPrintable(word));
            seen.insert(word);
        }
    }
    QCOMPARE(seen.size(), 78);
}

void TestWordLists::wordsAreDutch()
{
    QFETCH(Level, level);
    QFile dictionary(QStringLiteral("/usr/share/dict/dutch"));
    if (!dictionary.open(QIODevice::ReadOnly))
        QSKIP("Debian's Dutch word list (wdutch) is not installed");
    const QStringList known = QString::fromUtf8(dictionary.readAll()).split(u'\n');
    const QSet<QString> dutch(known.cbegin(), known.cend());
    for (const QString &word : shippedWords(level))
        QVERIFY2(dutch.contains(word), qPrintable(word + " is not in the Dutch dictionary"));
}

QTEST_GUILESS_MAIN(TestWordLists)
#include "tst_wordlists.moc"
