// The rules of the game, played on a fake board with known draws.

#include "FakeBoard.h"
#include "Game.h"
#include "TestLists.h"
#include "Texts.h"

#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

using TestLists::drawFor;
using TestLists::write;

/// A game on a fake board, with its own folder of word lists.
struct Table
{
    QTemporaryDir dir;
    FixedRandom random;
    FakeBoard board;
    Game game {dir.path(), random};

    Table()
    {
        TestLists::writeAll(dir);
        game.attachBoard(&board);
    }

    /// Loaded, and playing \a word from the start.
    explicit Table(const QString &word)
        : Table()
    {
        game.Form_Load();
        play(word);
    }

    /// Starts a game with \a word, as the own-word dialog does.
    void play(const QString &word)
    {
        board.lblWoord = word;
        game.lblWoord_Change();
    }

    void guess(const QString &letters)
    {
        for (const QChar letter : letters)
            game.letter_Click(letter);
    }
};

} // namespace

class TestGame : public QObject
{
    Q_OBJECT

private slots:
    void automaticDrawUsesSlotsUpToNineteen_data();
    void automaticDrawUsesSlotsUpToNineteen();
    void nieuwDrawsFromTwentyFiveSlotsAndClearsTheBoard();
    void typedWordStartsAFreshGame_data();
    void typedWordStartsAFreshGame();
    void typedWordOverFiftyCharactersIsNotPlayed();
    void guessRevealsEveryOccurrence_data();
    void guessRevealsEveryOccurrence();
    void missShowsTheLowestHiddenPiece_data();
    void missShowsTheLowestHiddenPiece();
    void tenthMissLoses();
    void lossOnToAnEmptyWordAlsoWins();
    void lastLetterWinsEvenAfterNineMisses();
    void emptyWordIsWonByTheFirstGuess();
    void unguessableCharacterCanOnlyLose();
    void levelChangeKeepsTheBoard_data();
    void levelChangeKeepsTheBoard();
    void shorterListKeepsTheUpperSlots();
    void emptyListChangesNoSlot();
    void failedLevelLoadChangesNothing();
    void failedStartUpPlaysFromTheBuiltInList();
    void sluitenClosesTheWindow();
    void gameStateOutlivesTheWindow();
    void systemRandomDiffersBetweenRuns();
};

void TestGame::automaticDrawUsesSlotsUpToNineteen_data()
{
    QTest::addColumn<double>("draw");
    QTest::addColumn<QString>("word");
    QTest::newRow("lowest") << 0.0 << "normaala";
    QTest::newRow("slot 3") << drawFor(3, 20) << "normaald";
    QTest::newRow("middle") << 0.5 << "normaalk";
    QTest::newRow("highest") << 0.999999 << "normaalt"; // slot 19
}

void TestGame::automaticDrawUsesSlotsUpToNineteen()
{
    QFETCH(double, draw);
    QFETCH(QString, word);
    Table t;
    t.random.setDraws({draw});
    t.game.Form_Load();
    QCOMPARE(t.game.currentWord(), word);
    QCOMPARE(t.board.lblzoek, QString(word.size(), u'-'));
    QVERIFY(t.board.messages.isEmpty());
}

void TestGame::nieuwDrawsFromTwentyFiveSlotsAndClearsTheBoard()
{
    Table t;
    t.game.Form_Load();
    t.guess("qz");
    QCOMPARE(t.board.shownPieces(), 2);
    t.random.setDraws({0.999999});
    t.game.menuNieuw_Click();
    QCOMPARE(t.game.currentWord(), QStringLiteral("normaaly")); // slot 24
    QCOMPARE(t.board.lblzoek, QStringLiteral("--------"));
    QCOMPARE(t.board.shownPieces(), 0);
    QCOMPARE(t.board.enabledCount(), 26);
}

void TestGame::typedWordStartsAFreshGame_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("mask");
    const auto row = [](const char *name, const QString &typed, const QString &mask) {
        QTest::newRow(name) << typed << mask;
    };
    row("plain", "kaas", "----");
    row("case kept", "Banaan", "------");
    row("spaces and digits", "a 1", "---");
    row("accent as one character", QStringLiteral("cafe\u0301"), "----");
    row("emoji as one character", QStringLiteral("\U0001F600x"), "--");
    row("fifty", QString(50, u'x'), QString(50, u'-'));
    row("empty", "", "");
}

void TestGame::typedWordStartsAFreshGame()
{
    QFETCH(QString, typed);
    QFETCH(QString, mask);
    Table t;
    t.game.Form_Load();
    t.guess("qxe");
    t.play(typed);
    QCOMPARE(t.game.currentWord(), typed);
    QCOMPARE(t.board.lblzoek, mask);
    QCOMPARE(t.board.enabledCount(), 26);
    QCOMPARE(t.board.shownPieces(), 0);
}

void TestGame::typedWordOverFiftyCharactersIsNotPlayed()
{
    Table t;
    t.game.Form_Load();
    const QString before = t.game.currentWord();
    t.guess("q");
    t.play(QString(51, u'x'));
    QCOMPARE(t.board.messages,
             QStringList {QStringLiteral("Een woord mag hoogstens 50 tekens hebben.")});
    QCOMPARE(t.game.currentWord(), before);
    QCOMPARE(t.board.shownPieces(), 1);
    QVERIFY(!t.board.isLetterEnabled('q'));
}

void TestGame::guessRevealsEveryOccurrence_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("letters");
    QTest::addColumn<QString>("mask");
    const auto row = [](const char *name, const QString &word, const QString &letters,
                        const QString &mask) { QTest::newRow(name) << word << letters << mask; };
    row("all at once", "banaan", "a", "-a-aa-");
    row("two letters", "banaan", "an", "-anaan");
    row("revealed in lower case", "Appel", "a", "a----");
    row("capitals matched", "KAAS", "ks", "k--s");
    row("guessed as a capital", "kaas", "aZ", "-aa-");
    row("first and last", "eerste", "e", "ee---e");
    row("the last letter of the alphabet", "pizza", "z", "--zz-");
    row("miss reveals nothing", "kaas", "z", "----");
    row("an accent makes another letter", QStringLiteral("café"), "cafe", "caf-");
    row("also when the accent comes apart", QStringLiteral("cafe\u0301"), "cafe", "caf-");
    row("a letter that folds to two stays hidden", QStringLiteral("straße"), "strae", "stra-e");
}

void TestGame::guessRevealsEveryOccurrence()
{
    QFETCH(QString, word);
    QFETCH(QString, letters);
    QFETCH(QString, mask);
    Table t(word);
    t.guess(letters);
    QCOMPARE(t.board.lblzoek, mask);
    QCOMPARE(t.game.mask(), mask);
    // Each guessed button is disabled, and only those.
    for (const QChar letter : letters)
        QVERIFY(!t.board.isLetterEnabled(letter.toLower()));
    QCOMPARE(t.board.enabledCount(), 26 - int(letters.size()));
}

void TestGame::missShowsTheLowestHiddenPiece_data()
{
    QTest::addColumn<int>("misses");
    for (int k = 1; k <= 9; ++k)
        QTest::addRow("miss %d", k) << k;
}

void TestGame::missShowsTheLowestHiddenPiece()
{
    QFETCH(int, misses);
    Table t("kaas");
    t.guess(QStringLiteral("bcdefghij").left(misses));
    for (int i = 0; i < Board::pieceCount; ++i)
        QCOMPARE(t.board.isPieceShown(i), i < misses);
    QVERIFY(t.board.messages.isEmpty());
}

void TestGame::tenthMissLoses()
{
    Table t("appel");
    t.random.setDraws({drawFor(7, 20)});
    QList<int> piecesAtMessage;
    QList<int> lettersAtMessage;
    t.board.onMessage = [&](const QString &) {
        piecesAtMessage << t.board.shownPieces();
        lettersAtMessage << t.board.enabledCount();
    };
    t.guess("bcdfghijkm");
    QCOMPARE(t.board.messages,
             QStringList {QStringLiteral("Helaas, u heeft verloren\n\nHet woord was: 'appel'.")});
    // The board stays as the game ended until OK: the whole figure up, the
    // ten guessed letters still greyed.
    QCOMPARE(piecesAtMessage, QList<int> {10});
    QCOMPARE(lettersAtMessage, QList<int> {16});
    QCOMPARE(t.board.shownPieces(), 0);
    QCOMPARE(t.board.enabledCount(), 26);
    QCOMPARE(t.game.currentWord(), QStringLiteral("normaalh"));
    QCOMPARE(t.board.lblzoek, QStringLiteral("--------"));
}

void TestGame::lossOnToAnEmptyWordAlsoWins()
{
    Table t;
    write(t.dir.filePath("normaal.txt"), {"kaas", ""});
    t.game.Form_Load();
    t.play("x");
    t.random.setDraws({drawFor(1, 20), drawFor(0, 20)});
    t.guess("abcdefghij");
    QCOMPARE(t.board.messages, (QStringList {Texts::lost("x"), Texts::won}));
    QCOMPARE(t.game.currentWord(), QStringLiteral("kaas"));
    QCOMPARE(t.board.lblzoek, QStringLiteral("----"));
    QCOMPARE(t.board.shownPieces(), 0);
    QCOMPARE(t.board.enabledCount(), 26);
}

void TestGame::lastLetterWinsEvenAfterNineMisses()
{
    Table t("Kaas");
    t.guess("bcdefghijak");
    QCOMPARE(t.board.shownPieces(), 9);
    QVERIFY(t.board.messages.isEmpty());
    t.guess("s");
    QCOMPARE(t.board.messages, QStringList {Texts::won});
    QCOMPARE(t.board.enabledCount(), 26);
    QCOMPARE(t.board.lblzoek, QStringLiteral("--------")); // the next drawn word
}

void TestGame::emptyWordIsWonByTheFirstGuess()
{
    Table t("");
    t.guess("e");
    QCOMPARE(t.board.messages, QStringList {Texts::won});
    QCOMPARE(t.board.shownPieces(), 0);
}

void TestGame::unguessableCharacterCanOnlyLose()
{
    Table t("ex-man");
    t.guess("exman");
    QCOMPARE(t.board.lblzoek, QStringLiteral("ex-man"));
    QVERIFY(t.board.messages.isEmpty()); // the hyphen still reads as hidden
    t.guess("bcdfghijkl");
    QCOMPARE(t.board.messages, QStringList {Texts::lost("ex-man")});
}

void TestGame::levelChangeKeepsTheBoard_data()
{
    QTest::addColumn<Level>("level");
    QTest::addColumn<QString>("stem");
    QTest::newRow("Makkelijk") << Level::Makkelijk << "makkelijk";
    QTest::newRow("Normaal") << Level::Normaal << "normaal";
    QTest::newRow("Moeilijk") << Level::Moeilijk << "moeilijk";
}

void TestGame::levelChangeKeepsTheBoard()
{
    QFETCH(Level, level);
    QFETCH(QString, stem);
    Table t("kaas");
    t.guess("xyz");
    t.random.setDraws({drawFor(2, 20)});
    t.game.chooseLevel(level);
    QCOMPARE(t.game.currentWord(), stem + "c");
    QCOMPARE(t.board.shownPieces(), 3);
    QCOMPARE(t.board.enabledCount(), 23);
    for (const Level other : allLevels)
        QCOMPARE(t.board.checked(other), other == level);
    QCOMPARE(t.board.checkOrder,
             (QList<Level> {Level::Makkelijk, Level::Moeilijk, Level::Normaal}));
    // Later draws come from the chosen list.
    t.guess("k");
    t.random.setDraws({drawFor(5, 20)});
    t.play("a");
    t.guess("a");
    QCOMPARE(t.game.currentWord(), stem + "f");
}

void TestGame::shorterListKeepsTheUpperSlots()
{
    Table t;
    write(t.dir.filePath("makkelijk.txt"), {"kaas", "boom"});
    t.game.Form_Load();
    t.game.menuMakkelijk_Click();
    const Game::WordSlots &list = t.game.wordListSlots();
    QCOMPARE(list[0], QStringLiteral("kaas"));
    QCOMPARE(list[1], QStringLiteral("boom"));
    QCOMPARE(list[2], QStringLiteral("normaalc"));
    QCOMPARE(list[25], QStringLiteral("normaalz"));
}

void TestGame::emptyListChangesNoSlot()
{
    Table t;
    t.game.Form_Load();
    write(t.dir.filePath("moeilijk.txt"), {});
    const Game::WordSlots before = t.game.wordListSlots();
    t.game.menuMoeilijk_Click();
    QVERIFY(t.game.wordListSlots() == before);
    QVERIFY(t.board.messages.isEmpty());
    QVERIFY(t.board.checked(Level::Moeilijk)); // the level is chosen all the same
}

void TestGame::failedLevelLoadChangesNothing()
{
    Table t;
    QFile::remove(t.dir.filePath("moeilijk.txt"));
    t.game.Form_Load();
    t.play("kaas");
    t.guess("q");
    const Game::WordSlots before = t.game.wordListSlots();
    t.game.menuMoeilijk_Click();
    QCOMPARE(t.board.messages.size(), 1);
    QVERIFY(t.board.messages.first().startsWith(QStringLiteral("Kan de woordenlijst ")));
    QVERIFY(t.board.messages.first().contains(
        QDir::toNativeSeparators(t.dir.filePath("moeilijk.txt"))));
    QVERIFY(t.game.wordListSlots() == before);
    QVERIFY(t.board.checked(Level::Normaal));
    QVERIFY(!t.board.checked(Level::Moeilijk));
    QVERIFY(t.board.checkOrder.isEmpty());
    QCOMPARE(t.game.currentWord(), QStringLiteral("kaas"));
    QCOMPARE(t.board.shownPieces(), 1);
}

void TestGame::failedStartUpPlaysFromTheBuiltInList()
{
    Table t;
    QFile::remove(t.dir.filePath("normaal.txt"));
    QFile builtIn(QStringLiteral(":/wordlists/normaal.txt"));
    QVERIFY(builtIn.open(QIODevice::ReadOnly));
    const QStringList shipped = QString::fromUtf8(builtIn.readAll()).split(QStringLiteral("\r\n"));
    t.random.setDraws({drawFor(4, 20)});
    t.game.Form_Load();
    QCOMPARE(t.board.messages.size(), 1);
    QVERIFY(t.board.messages.first().contains(QStringLiteral("normaal.txt")));
    QCOMPARE(t.game.currentWord(), shipped.at(4));
    QCOMPARE(t.game.wordListSlots()[25], shipped.at(25));
}

void TestGame::sluitenClosesTheWindow()
{
    Table t;
    t.game.Form_Load();
    t.game.menuSluiten_Click();
    QCOMPARE(t.board.closeCount, 1);
}

void TestGame::gameStateOutlivesTheWindow()
{
    Table t;
    t.game.Form_Load();
    t.game.menuMakkelijk_Click();
    t.game.attachBoard(nullptr);
    FakeBoard reloaded;
    t.game.attachBoard(&reloaded);
    t.random.setDraws({drawFor(21, 25)});
    t.game.menuNieuw_Click(); // slot 21 still holds the Makkelijk word
    QCOMPARE(t.game.currentWord(), QStringLiteral("makkelijkv"));
    t.game.Form_Load();
    QCOMPARE(t.game.wordListSlots()[0], QStringLiteral("normaala"));
}

void TestGame::systemRandomDiffersBetweenRuns()
{
    // Seeding from a coarse clock before each draw would repeat a draw made
    // within the same tick, and two runs started together would draw alike.
    SystemRandom first;
    SystemRandom second;
    QList<double> a, b;
    for (int i = 0; i < 8; ++i) {
        a << first.next();
        b << second.next();
        QVERIFY(a.last() >= 0.0 && a.last() < 1.0);
    }
    QVERIFY(a != b);
    QCOMPARE(QSet<double>(a.cbegin(), a.cend()).size(), a.size());
}

QTEST_GUILESS_MAIN(TestGame)
#include "tst_game.moc"
