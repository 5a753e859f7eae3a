// How fast the rules are: one guess on the longest word, a whole game, and
// reading a full word list. Each scenario checks that it played out as meant,
// so a figure never comes from a game that went wrong; the figures themselves
// are only printed.

#include "FakeBoard.h"
#include "Game.h"
#include "Texts.h"
#include "WordListFile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

bool failed = false;

void fail(benchmark::State &state, const char *what)
{
    failed = true;
    state.SkipWithError(what);
}

/// A game on a fake board, its lists read from the shipped folder.
struct Table
{
    FixedRandom random {{0.0}};
    FakeBoard board;
    Game game {QStringLiteral(WIRLEP_DATA_DIR), random};

    Table()
    {
        game.attachBoard(&board);
        game.Form_Load();
    }

    void play(const QString &word)
    {
        board.lblWoord = word;
        game.lblWoord_Change();
    }
};

/// Fifty positions, 'a' to 'y' twice: no 'z', and every other letter twice.
const QString longWord = QStringLiteral("abcdefghijklmnopqrstuvwxy").repeated(2);

// A guess leaves the game as it found it when it hits a letter already shown,
// or misses on a gallows put back to empty, so each timed guess meets the same
// state as a fresh game's first guess. The miss also times putting the ten
// pieces back, a few nanoseconds.

void guessMiss(benchmark::State &state)
{
    Table table;
    table.play(longWord);
    for (auto _ : state) {
        table.board.pieces.fill(false);
        table.game.letter_Click(QLatin1Char('z'));
    }
    if (table.board.shownPieces() != 1 || !table.board.messages.isEmpty())
        fail(state, "a miss did not show exactly one piece");
    state.SetLabel("goal < 2 us");
}
BENCHMARK(guessMiss)->Name("guess/miss on 50 letters");

void guessHit(benchmark::State &state)
{
    Table table;
    table.play(longWord);
    for (auto _ : state)
        table.game.letter_Click(QLatin1Char('k'));
    if (table.game.mask() != QStringLiteral("----------k--------------").repeated(2))
        fail(state, "a hit did not reveal its two places");
    state.SetLabel("goal < 2 us");
}
BENCHMARK(guessHit)->Name("guess/hit on 50 letters");

void guessHitEverywhere(benchmark::State &state)
{
    Table table;
    table.play(QString(49, QLatin1Char('e')) + QLatin1Char('n'));
    for (auto _ : state)
        table.game.letter_Click(QLatin1Char('e'));
    if (table.game.mask() != QString(49, QLatin1Char('e')) + QLatin1Char('-'))
        fail(state, "a hit did not reveal its 49 places");
    state.SetLabel("goal < 2 us");
}
BENCHMARK(guessHitEverywhere)->Name("guess/hit 49 of 50 letters");

void wholeGame(benchmark::State &state)
{
    // Eighteen guesses, three of them wrong, the last one wins and draws the
    // next word.
    const QString word = QStringLiteral("onafhankelijkheidsverklaring");
    const QString guesses = QStringLiteral("eaxnkoqlijhzdsfvrg");
    Table table;
    benchmark::IterationCount wins = 0;
    for (auto _ : state) {
        table.play(word);
        for (const QChar letter : guesses)
            table.game.letter_Click(letter);
        if (table.board.messages.size() == 1 && table.board.messages.first() == Texts::won)
            ++wins;
        table.board.messages.clear();
    }
    if (wins != state.iterations())
        fail(state, "a game was not won");
    state.SetLabel("typed word and 18 guesses to the win");
}
BENCHMARK(wholeGame)->Name("game/whole game on 28 letters");

const QString listPath
    = QDir(QStringLiteral(WIRLEP_DATA_DIR)).filePath(QStringLiteral("normaal.txt"));

void readListFile(benchmark::State &state)
{
    qsizetype lines = 0;
    for (auto _ : state) {
        const WordListRead list = WordListFile::read(listPath);
        benchmark::DoNotOptimize(list);
        lines = list.lines.size();
    }
    if (lines != WordListFile::maxLines)
        fail(state, "the list did not give 26 lines");
    state.SetLabel("goal < 50 us");
}
BENCHMARK(readListFile)->Name("list/read 26 lines from a file");

void readListMemory(benchmark::State &state)
{
    QFile file(listPath);
    if (!file.open(QIODevice::ReadOnly)) {
        fail(state, "the list cannot be opened");
        return;
    }
    QByteArray bytes = file.readAll();
    qsizetype lines = 0;
    for (auto _ : state) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        const WordListRead list = WordListFile::read(buffer, listPath);
        benchmark::DoNotOptimize(list);
        lines = list.lines.size();
    }
    if (lines != WordListFile::maxLines)
        fail(state, "the list did not give 26 lines");
    state.SetLabel("no file system");
}
BENCHMARK(readListMemory)->Name("list/read 26 lines from memory");

void formLoad(benchmark::State &state)
{
    Table table;
    for (auto _ : state)
        table.game.Form_Load();
    if (!table.board.messages.isEmpty() || table.game.currentWord().isEmpty())
        fail(state, "loading did not give a word");
    state.SetLabel("list read and a word drawn");
}
BENCHMARK(formLoad)->Name("game/load");

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (failed)
        std::fprintf(stderr, "bench_core: a scenario did not play out as meant\n");
    return failed ? 1 : 0;
}
