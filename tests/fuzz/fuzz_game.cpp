// Whole games driven by the input bytes on a fake board: letters clicked,
// words typed (of any text and length), new games, levels, the window loaded
// again, with the draws taken from the input as well. After every step the
// board is checked against what the player must see, and against what the
// step must have done.

#include "FakeBoard.h"
#include "Game.h"
#include "Texts.h"
#include "Word.h"
#include "WordListFile.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>

namespace {

[[noreturn]] void breach(const char *what, const QString &detail = {})
{
    std::fprintf(stderr, "fuzz_game: %s %s\n", what, qPrintable(detail));
    std::abort();
}

void require(bool holds, const char *what, const QString &detail = {})
{
    if (!holds)
        breach(what, detail);
}

// --- The word list folders --------------------------------------------------

/// One list file as written, and the lines a read must give (none: it fails).
struct ListFile
{
    QByteArray bytes;
    std::optional<QStringList> lines;
    bool isFolder = false;
    bool missing = false;
};

struct Folder
{
    QString path;
    std::array<ListFile, 3> lists; ///< by Level
};

QStringList numbered(const QString &stem)
{
    QStringList words;
    for (char16_t c = u'a'; c <= u'z'; ++c)
        words << stem + QChar(c);
    return words;
}

ListFile utf8List(const QStringList &words, const char *lineBreak = "\r\n")
{
    return {words.join(QLatin1StringView(lineBreak)).toUtf8(), words};
}

/// The folders a game may be played from, written once.
class Folders
{
public:
    Folders()
    {
        if (!m_root.isValid())
            breach("no temporary folder");

        // Ordinary lists: full, with repeated letters and a word as long as may be.
        Folder plain;
        QStringList easy = numbered(QStringLiteral("kaas"));
        easy[3] = QStringLiteral("appel");
        easy[7] = QStringLiteral("Amsterdam");
        easy[19] = QString(50, QLatin1Char('x'));
        plain.lists[0] = utf8List(easy);
        plain.lists[1]
            = utf8List({QStringLiteral("fiets"), QStringLiteral("boom"),  QStringLiteral("huis"),
                        QStringLiteral("ijs"),   QStringLiteral("zee"),   QStringLiteral("kat"),
                        QStringLiteral("hond"),  QStringLiteral("muis"),  QStringLiteral("vis"),
                        QStringLiteral("raam"),  QStringLiteral("deur"),  QStringLiteral("tafel"),
                        QStringLiteral("stoel"), QStringLiteral("lamp"),  QStringLiteral("boek"),
                        QStringLiteral("pen"),   QStringLiteral("brood"), QStringLiteral("melk"),
                        QStringLiteral("appel"), QStringLiteral("peer"),  QStringLiteral("druif"),
                        QStringLiteral("kers"),  QStringLiteral("wolk"),  QStringLiteral("regen"),
                        QStringLiteral("zon"),   QStringLiteral("maan")});
        plain.lists[2] = utf8List(numbered(QStringLiteral("onafhankelijkheidsverklaring")), "\n");
        m_folders.append(write(QStringLiteral("plain"), plain));

        // Odd lists: short ones that leave empty slots, every kind of line break,
        // characters of several code points, letters whose case folding differs,
        // Windows-1252, a byte order mark, and a list that cannot be read.
        Folder odd;
        odd.lists[0] = {QByteArray("\xEF\xBB\xBF"
                                   "e\xCC\x81\xC3\xA9n\r\n\r\n"
                                   "Stra\xC3\x9F"
                                   "e\r\xC5\xBF\xE2\x84\xAA"
                                   "o\n"
                                   "\xF0\x9F\x87\xB3\xF0\x9F\x87\xB1"
                                   "a-b c\n\nA"),
                        QStringList {QStringLiteral("e\u0301\u00E9n"), QString(),
                                     QStringLiteral("Stra\u00DFe"), QStringLiteral("\u017F\u212Ao"),
                                     QStringLiteral("\U0001F1F3\U0001F1F1a-b c"), QString(),
                                     QStringLiteral("A")}};
        odd.lists[1] = {QByteArray("caf\xE9\r\n\x91q\x92\r\nx"),
                        QStringList {QStringLiteral("caf\u00E9"), QStringLiteral("\u2018q\u2019"),
                                     QStringLiteral("x")}};
        odd.lists[2] = {QByteArray("kort\r\n") + QByteArray(60, 'w'), std::nullopt};
        m_folders.append(write(QStringLiteral("odd"), odd));

        // A broken folder: no "Normaal" list (the built-in one is used), an
        // empty "Makkelijk" list (nothing changes) and a folder for "Moeilijk".
        Folder broken;
        broken.lists[0] = {QByteArray(), QStringList {}};
        broken.lists[1] = {{}, std::nullopt, false, true};
        broken.lists[2] = {{}, std::nullopt, true, false};
        m_folders.append(write(QStringLiteral("broken"), broken));

        const WordListRead builtIn = WordListFile::read(QStringLiteral(":/wordlists/normaal.txt"));
        require(builtIn.ok() && !builtIn.lines.isEmpty(), "the built-in Normaal list is not there",
                builtIn.error);
        m_builtInNormaal = builtIn.lines;
    }

    const Folder &at(std::size_t index) const { return m_folders.at(qsizetype(index)); }
    std::size_t count() const { return std::size_t(m_folders.size()); }
    const QStringList &builtInNormaal() const { return m_builtInNormaal; }

private:
    Folder write(const QString &name, Folder folder)
    {
        folder.path = m_root.filePath(name);
        require(QDir().mkpath(folder.path), "cannot make", folder.path);
        for (const Level level : allLevels) {
            const ListFile &list = folder.lists[std::size_t(level)];
            const QString path = QDir(folder.path).filePath(wordListFileName(level));
            if (list.missing)
                continue;
            if (list.isFolder) {
                require(QDir().mkpath(path), "cannot make", path);
                continue;
            }
            QFile file(path);
            require(file.open(QIODevice::WriteOnly) && file.write(list.bytes) == list.bytes.size(),
                    "cannot write", path);
        }
        return folder;
    }

    QTemporaryDir m_root;
    QList<Folder> m_folders;
    QStringList m_builtInNormaal;
};

// --- The input --------------------------------------------------------------

/// The input bytes, read front to back; past the end every byte is 0.
class Input
{
public:
    Input(const std::uint8_t *data, std::size_t size)
        : m_data(data)
        , m_size(size)
    { }

    bool atEnd() const { return m_next >= m_size; }
    std::uint8_t byte() { return atEnd() ? 0 : m_data[m_next++]; }
    QByteArray bytes(std::size_t count)
    {
        count = std::min(count, m_size - std::min(m_next, m_size));
        QByteArray result(reinterpret_cast<const char *>(m_data + m_next), qsizetype(count));
        m_next += count;
        return result;
    }

private:
    const std::uint8_t *m_data;
    std::size_t m_size;
    std::size_t m_next = 0;
};

/// Draws taken from the input: byte b gives b / 256, and 255 the largest
/// number below 1. The draws since the last step are kept for the checks.
class InputRandom : public RandomSource
{
public:
    explicit InputRandom(Input &input)
        : m_input(input)
    { }

    double next() override
    {
        const std::uint8_t b = m_input.byte();
        const double r = b == 255 ? std::nextafter(1.0, 0.0) : b / 256.0;
        draws.append(r);
        return r;
    }

    QList<double> draws;

private:
    Input &m_input;
};

// --- The checks -------------------------------------------------------------

/// What a step is checked against: the state before it.
struct Snapshot
{
    QString word;
    QString mask;
    Game::WordSlots wordSlots;
    std::array<bool, 26> letters;
    std::array<bool, Board::pieceCount> pieces;
    std::map<Level, bool> checks;
    int closeCount;

    Snapshot(const Game &game, const FakeBoard &board)
        : word(game.currentWord())
        , mask(game.mask())
        , wordSlots(game.wordListSlots())
        , letters(board.enabledLetters)
        , pieces(board.pieces)
        , checks(board.checks)
        , closeCount(board.closeCount)
    { }
};

int slotFor(double draw, int slotCount)
{
    return std::clamp(int(std::floor(draw * slotCount)), 0, slotCount - 1);
}

QString dashes(const QString &word)
{
    return QString(Word::length(word), QLatin1Char('-'));
}

bool isGameEnd(const QString &message)
{
    return message == Texts::won || message.startsWith(Texts::lostPrefix);
}

/// What holds after every step, whatever it was.
void checkBoard(const Game &game, const FakeBoard &board)
{
    const QString mask = game.mask();
    const QStringList characters = Word::characters(game.currentWord());
    require(mask.size() == characters.size(), "the mask does not have one character per position",
            mask + QStringLiteral(" for ") + game.currentWord());
    for (qsizetype i = 0; i < mask.size(); ++i) {
        const QChar shown = mask[i];
        if (shown == QLatin1Char('-'))
            continue;
        require(shown >= u'a' && shown <= u'z'
                    && QString(shown).toCaseFolded() == characters[i].toCaseFolded(),
                "the mask shows a letter the word does not have there",
                mask + QStringLiteral(" for ") + game.currentWord());
    }
    require(characters.isEmpty() || mask.contains(QLatin1Char('-')),
            "a word fully revealed while the game goes on", game.currentWord());
    require(board.lblzoek == mask, "the board shows another mask than the game has",
            board.lblzoek + QStringLiteral(" vs ") + mask);

    const int shown = board.shownPieces();
    require(shown <= Board::pieceCount - 1, "the whole gallows stands between steps");
    for (int i = 0; i < shown; ++i)
        require(board.pieces[std::size_t(i)], "the shown pieces are not the first ones");

    if (std::any_of(board.messages.cbegin(), board.messages.cend(), isGameEnd)) {
        require(board.enabledCount() == 26, "a letter stays disabled after the game ended");
        require(shown == 0, "a piece stays shown after the game ended");
    }
}

/// A fresh game on \a word: all dashes, all letters, no piece.
void checkFreshGame(const Game &game, const FakeBoard &board, const char *step)
{
    require(game.mask() == dashes(game.currentWord()), step,
            QStringLiteral("leaves letters shown"));
    require(board.enabledCount() == 26, step, QStringLiteral("leaves letters disabled"));
    require(board.shownPieces() == 0, step, QStringLiteral("leaves pieces shown"));
}

/// A new word drawn without clearing the board: all dashes, letters and
/// pieces as they were.
void checkNewWordOnly(const Game &game, const FakeBoard &board, const Snapshot &before,
                      const char *step)
{
    require(game.mask() == dashes(game.currentWord()), step,
            QStringLiteral("leaves letters shown"));
    require(board.enabledLetters == before.letters, step, QStringLiteral("changes the letters"));
    require(board.pieces == before.pieces, step, QStringLiteral("changes the gallows"));
}

void checkUnchanged(const Game &game, const FakeBoard &board, const Snapshot &before,
                    const char *step)
{
    require(game.currentWord() == before.word, step, QStringLiteral("changes the word"));
    require(game.mask() == before.mask, step, QStringLiteral("changes the mask"));
    require(game.wordListSlots() == before.wordSlots, step, QStringLiteral("changes the list"));
    require(board.enabledLetters == before.letters, step, QStringLiteral("changes the letters"));
    require(board.pieces == before.pieces, step, QStringLiteral("changes the gallows"));
}

/// The word drawn by the last draw out of \a slotCount slots.
void checkDrawn(const Game &game, const InputRandom &random, int slotCount, const char *step)
{
    require(!random.draws.isEmpty(), step, QStringLiteral("drew no word"));
    const int slot = slotFor(random.draws.last(), slotCount);
    require(game.currentWord() == game.wordListSlots()[std::size_t(slot)], step,
            QStringLiteral("did not take slot %1 for draw %2").arg(slot).arg(random.draws.last()));
}

// --- The steps --------------------------------------------------------------

struct Table
{
    const Folder &folder;
    const Folders &folders;
    InputRandom &random;
    Game game;
    std::unique_ptr<FakeBoard> board = std::make_unique<FakeBoard>();

    Table(const Folder &f, const Folders &all, InputRandom &r)
        : folder(f)
        , folders(all)
        , random(r)
        , game(f.path, r)
    { }

    void begin()
    {
        board->messages.clear();
        random.draws.clear();
    }

    /// The slots after \a level's list was read over \a before, or nothing
    /// when it cannot be read.
    std::optional<Game::WordSlots> slotsAfterLoading(Level level, const Game::WordSlots &before)
    {
        const std::optional<QStringList> &lines = folder.lists[std::size_t(level)].lines;
        if (!lines)
            return std::nullopt;
        Game::WordSlots wordSlots = before;
        std::copy_n(lines->cbegin(), std::min<qsizetype>(lines->size(), Game::listSlots),
                    wordSlots.begin());
        return wordSlots;
    }

    void checkListError(const QString &message, Level level)
    {
        const QString path
            = QDir::toNativeSeparators(QDir(folder.path).absoluteFilePath(wordListFileName(level)));
        require(message.startsWith(QStringLiteral("Kan de woordenlijst "))
                    && message.contains(path),
                "a list error that does not name the list", message);
    }

    void click(QChar letter)
    {
        const Snapshot before(game, *board);
        const QStringList characters = Word::characters(before.word);
        QString revealed = before.mask;
        bool hit = false;
        for (qsizetype i = 0; i < characters.size(); ++i) {
            if (characters[i].toCaseFolded() == QString(letter).toCaseFolded()) {
                revealed[i] = letter;
                hit = true;
            }
        }
        const int piecesBefore = board->shownPieces();
        begin();
        game.letter_Click(letter);
        const QStringList &messages = board->messages;

        if (!hit && !characters.isEmpty()) {
            if (piecesBefore == Board::pieceCount - 1) {
                require(!messages.isEmpty() && messages.first() == Texts::lost(before.word),
                        "the tenth miss does not lose", before.word);
                // A lost game draws a word; an empty one is won at once.
                if (messages.size() == 2) {
                    require(messages[1] == Texts::won && random.draws.size() == 2
                                && game.wordListSlots()[std::size_t(slotFor(random.draws[0], 20))]
                                       .isEmpty(),
                            "a second message after a loss", messages[1]);
                } else {
                    require(messages.size() == 1 && random.draws.size() == 1,
                            "more than one message or draw after a loss");
                }
                checkDrawn(game, random, 20, "the loss");
                checkFreshGame(game, *board, "the loss");
                return;
            }
            require(messages.isEmpty(), "a miss shows a message", messages.join(u'|'));
            require(board->shownPieces() == piecesBefore + 1, "a miss does not add one piece",
                    QString(letter) + QStringLiteral(" in ") + before.word);
            require(game.mask() == before.mask, "a miss changes the mask");
        } else if (!revealed.contains(QLatin1Char('-'))) {
            require(messages.size() == 1 && messages.first() == Texts::won,
                    "revealing the last letter does not win", before.word);
            checkDrawn(game, random, 20, "the win");
            checkFreshGame(game, *board, "the win");
            return;
        } else {
            require(messages.isEmpty(), "a hit shows a message", messages.join(u'|'));
            require(board->shownPieces() == piecesBefore, "a hit changes the gallows",
                    QString(letter) + QStringLiteral(" in ") + before.word);
            require(game.mask() == revealed, "a hit reveals other than the letter's places",
                    game.mask() + QStringLiteral(" vs ") + revealed);
        }
        require(game.currentWord() == before.word, "a guess changes the word");
        require(random.draws.isEmpty(), "a guess draws without a game end");
        std::array<bool, 26> letters = before.letters;
        letters[std::size_t(letter.unicode() - u'a')] = false;
        require(board->enabledLetters == letters, "a guess changes other letters than its own");
    }

    void type(const QString &text)
    {
        const Snapshot before(game, *board);
        begin();
        board->lblWoord = text;
        game.lblWoord_Change();
        require(random.draws.isEmpty(), "a typed word draws");
        if (Word::length(text) > Word::maxLength) {
            require(board->messages == QStringList {Texts::wordTooLong.arg(Word::maxLength)},
                    "a word too long is not refused with its message", board->messages.join(u'|'));
            checkUnchanged(game, *board, before, "a word too long");
            return;
        }
        require(board->messages.isEmpty(), "a typed word shows a message",
                board->messages.join(u'|'));
        require(game.currentWord() == text, "the typed word is not played", text);
        checkFreshGame(game, *board, "a typed word");
    }

    void nieuw()
    {
        const Snapshot before(game, *board);
        begin();
        game.menuNieuw_Click();
        require(board->messages.isEmpty(), "Nieuw shows a message", board->messages.join(u'|'));
        require(random.draws.size() == 1, "Nieuw does not draw once");
        require(game.wordListSlots() == before.wordSlots, "Nieuw changes the list");
        checkDrawn(game, random, 25, "Nieuw");
        checkFreshGame(game, *board, "Nieuw");
    }

    void chooseLevel(Level level)
    {
        const Snapshot before(game, *board);
        const std::optional<Game::WordSlots> wordSlots = slotsAfterLoading(level, before.wordSlots);
        begin();
        game.chooseLevel(level);
        if (!wordSlots) {
            require(board->messages.size() == 1, "an unreadable list is not reported");
            checkListError(board->messages.first(), level);
            require(random.draws.isEmpty(), "an unreadable list draws");
            require(board->checks == before.checks, "an unreadable list moves the check mark");
            checkUnchanged(game, *board, before, "an unreadable list");
            return;
        }
        require(board->messages.isEmpty(), "a level shows a message", board->messages.join(u'|'));
        require(game.wordListSlots() == *wordSlots, "the level's list is not in the slots");
        for (const Level other : allLevels)
            require(board->checked(other) == (other == level),
                    "the check mark is not on the level");
        require(random.draws.size() == 1, "a level does not draw once");
        checkDrawn(game, random, 20, "a level");
        checkNewWordOnly(game, *board, before, "a level");
    }

    void load()
    {
        const Snapshot before(game, *board);
        std::optional<Game::WordSlots> wordSlots
            = slotsAfterLoading(Level::Normaal, before.wordSlots);
        begin();
        game.Form_Load();
        if (wordSlots) {
            require(board->messages.isEmpty(), "loading shows a message",
                    board->messages.join(u'|'));
        } else {
            require(board->messages.size() == 1, "an unreadable Normaal list is not reported");
            checkListError(board->messages.first(), Level::Normaal);
            wordSlots = before.wordSlots;
            const QStringList &builtIn = folders.builtInNormaal();
            std::copy_n(builtIn.cbegin(), std::min<qsizetype>(builtIn.size(), Game::listSlots),
                        wordSlots->begin());
        }
        require(game.wordListSlots() == *wordSlots, "the Normaal list is not in the slots");
        require(random.draws.size() == 1, "loading does not draw once");
        checkDrawn(game, random, 20, "loading");
        checkNewWordOnly(game, *board, before, "loading");
    }

    /// The main window closed and opened again: a new board, loaded.
    void reopen()
    {
        game.attachBoard(nullptr);
        board = std::make_unique<FakeBoard>();
        game.attachBoard(board.get());
        load();
    }

    void close()
    {
        const Snapshot before(game, *board);
        begin();
        game.menuSluiten_Click();
        require(board->closeCount == before.closeCount + 1, "Sluiten does not close the window");
        require(board->messages.isEmpty(), "Sluiten shows a message");
        checkUnchanged(game, *board, before, "Sluiten");
    }
};

QString typedText(std::uint8_t op, Input &input)
{
    switch (op & 0x0C) {
    case 0x00:
    case 0x04: // UTF-8, invalid sequences and all
        return QString::fromUtf8(input.bytes(input.byte()));
    case 0x08: { // UTF-16 code units, lone surrogates and all
        const QByteArray raw = input.bytes(std::size_t(input.byte()) * 2);
        QString text;
        for (qsizetype i = 0; i + 1 < raw.size(); i += 2)
            text.append(QChar(char16_t(std::uint8_t(raw[i]) | std::uint8_t(raw[i + 1]) << 8)));
        return text;
    }
    default: { // a piece repeated, for words around the length limit
        const int times = input.byte() & 0x3F;
        return QString::fromUtf8(input.bytes(input.byte() & 0x0F)).repeated(times);
    }
    }
}

/// With FUZZ_GAME_TRACE set, every step is told on stderr, to follow a
/// crashing input step by step.
void trace(const Table &table, std::uint8_t op)
{
    static const bool on = qEnvironmentVariableIsSet("FUZZ_GAME_TRACE");
    if (!on)
        return;
    std::fprintf(stderr, "step %02X: word \"%s\" mask \"%s\" pieces %d letters %d messages [%s]\n",
                 op, qPrintable(table.game.currentWord()), qPrintable(table.game.mask()),
                 table.board->shownPieces(), table.board->enabledCount(),
                 qPrintable(table.board->messages.join(QStringLiteral(" | "))));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const Folders folders;
    Input input(data, size);
    InputRandom random(input);

    Table table(folders.at(input.byte() % folders.count()), folders, random);
    table.game.attachBoard(table.board.get());
    table.load();
    checkBoard(table.game, *table.board);
    trace(table, 0);

    // Steps, by their first byte: letters (0x00-0xBF, 'a' as 0x61 to 'z' as
    // 0x7A), a typed word (0xC0-0xCF), Nieuw (0xD0-0xD7), the three levels
    // (0xD8-0xEF), loading (0xF0-0xF7), the window opened again (0xF8-0xFB)
    // and Sluiten (0xFC-0xFF).
    while (!input.atEnd()) {
        const std::uint8_t op = input.byte();
        if (op < 0xC0)
            table.click(QChar(char16_t(u'a' + (op + 7) % 26)));
        else if (op < 0xD0)
            table.type(typedText(op, input));
        else if (op < 0xD8)
            table.nieuw();
        else if (op < 0xF0)
            table.chooseLevel(allLevels[std::size_t((op - 0xD8) / 8)]);
        else if (op < 0xF8)
            table.load();
        else if (op < 0xFC)
            table.reopen();
        else
            table.close();
        checkBoard(table.game, *table.board);
        trace(table, op);
    }
    table.game.attachBoard(nullptr);
    return 0;
}
