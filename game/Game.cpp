#include "Game.h"

#include "Board.h"
#include "RandomSource.h"
#include "Texts.h"
#include "Word.h"
#include "WordListFile.h"

#include <QDir>

#include <algorithm>
#include <cmath>
#include <utility>

Game::Game(QString listDirectory, RandomSource &random)
    : m_listDirectory(std::move(listDirectory))
    , m_random(random)
{ }

QString Game::wordListPath(Level level) const
{
    return QDir(m_listDirectory).filePath(wordListFileName(level));
}

QString Game::mask() const
{
    QString text;
    for (int i = 1; i <= m_revealedBy.size(); ++i)
        text += shownLetters[i];
    return text;
}

QString Game::spokenState() const
{
    QStringList parts;
    const auto length = m_revealedBy.size();
    if (m_newWord)
        parts << (length == 1 ? Texts::spokenNewWordOfOne : Texts::spokenNewWord.arg(length));
    else
        parts << (m_lastGuessHit ? Texts::spokenHit : Texts::spokenMiss).arg(guessLetter.toUpper());
    // Letter by letter, so that a speech synthesizer reads every position
    // instead of "4 dash characters".
    QStringList positions;
    for (int i = 1; i <= length; ++i)
        positions << (shownLetters[i] == Texts::hidden ? Texts::spokenHidden : shownLetters[i]);
    if (length > 0)
        parts << Texts::spokenMask.arg(positions.join(u' '));
    int shown = 0;
    for (int i = 0; m_board && i < Board::pieceCount; ++i)
        shown += m_board->isPieceShown(i) ? 1 : 0;
    parts << Texts::spokenGalg.arg(shown).arg(Board::pieceCount);
    // Read from the board: a window loaded again shows every letter enabled,
    // whatever the game's previous window had disabled.
    QStringList used;
    for (char16_t letter = u'a'; m_board && letter <= u'z'; ++letter)
        if (!m_board->isLetterEnabled(QChar(letter)))
            used << QString(QChar(letter).toUpper());
    if (!used.isEmpty())
        parts << Texts::spokenUsed.arg(used.join(u' '));
    return parts.join(u' ');
}

Board &Game::theBoard() const
{
    Q_ASSERT_X(m_board, "Game", "played without a main window");
    return *m_board;
}

// --- Word lists -------------------------------------------------------------

bool Game::loadWordList(Level level)
{
    const WordListRead list = WordListFile::read(wordListPath(level));
    if (!list.ok()) {
        theBoard().showMessage(list.error);
        return false;
    }
    storeWords(list.lines);
    return true;
}

void Game::loadBuiltInWordList(Level level)
{
    const WordListRead list
        = WordListFile::read(QStringLiteral(":/wordlists/") + wordListFileName(level));
    Q_ASSERT_X(list.ok(), "Game", "the built-in word lists are part of the program");
    storeWords(list.lines);
}

void Game::storeWords(const QStringList &lines)
{
    // The list is not cleared first: slots past the last line keep the words
    // they had, which a shorter list leaves to be drawn.
    const auto count = std::min<qsizetype>(lines.size(), listSlots);
    std::copy_n(lines.cbegin(), count, wordList.begin());
}

// --- Start-up and set-up ----------------------------------------------------

void Game::Form_Load()
{
    if (!loadWordList(Level::Normaal))
        loadBuiltInWordList(Level::Normaal);
    nieuw_woord();
}

int Game::drawIndex(int slotCount)
{
    const auto index = static_cast<int>(std::floor(m_random.next() * slotCount));
    return std::clamp(index, 0, slotCount - 1);
}

void Game::setWord(const QString &newWord)
{
    word = newWord;
    m_revealedBy = Word::revealingLetters(word);
    m_search = {};
    m_newWord = true;
}

void Game::showMask()
{
    // `pos` is left past the word's end: `control`, when a loss draws a new
    // word in the middle of its loop, carries on from there.
    const auto length = int(m_revealedBy.size());
    for (pos = 1; pos <= length; ++pos)
        shownLetters[pos] = Texts::hidden;
    rebuildMask();
}

void Game::nieuw_woord()
{
    // Automatic draws reach slots 0 to 19 only; "Nieuw" reaches 24.
    pos = drawIndex(20);
    setWord(wordList[pos]);
    showMask();
}

void Game::menuNieuw_Click()
{
    pos = drawIndex(25);
    startGame(wordList[pos]);
}

void Game::lblWoord_Change()
{
    const QString typed = theBoard().lblWoordCaption();
    if (!Word::fits(typed)) {
        // No slot for it: the current game goes on.
        theBoard().showMessage(Texts::wordTooLong.arg(Word::maxLength));
        return;
    }
    startGame(typed);
}

void Game::startGame(const QString &newWord)
{
    setWord(newWord);
    showMask();
    enableAllLetters();
    hideAllPieces();
}

void Game::enableAllLetters()
{
    for (char16_t letter = u'a'; letter <= u'z'; ++letter)
        theBoard().setLetterEnabled(QChar(letter), true);
}

void Game::hideAllPieces()
{
    for (int i = 0; i < Board::pieceCount; ++i)
        theBoard().hidePiece(i);
}

// --- Guessing ---------------------------------------------------------------

void Game::letter_Click(QChar letter)
{
    Q_ASSERT(letter.toLower() >= u'a' && letter.toLower() <= u'z');
    guessLetter = QString(letter.toLower());
    m_search = {};
    m_newWord = false;
    m_lastGuessHit = false;
    theBoard().setLetterEnabled(letter.toLower(), false);
    control();
}

int Game::findGuess(int from)
{
    // `control` searches again from every position; while the word stays the
    // same, the previous answer still holds for any start up to it.
    if (m_search.from > 0 && from >= m_search.from
        && (m_search.result == 0 || m_search.result >= from))
        return m_search.result;
    int result = 0;
    for (int i = std::max(from, 1); i <= m_revealedBy.size(); ++i) {
        if (m_revealedBy[i - 1] == guessLetter.front()) {
            result = i;
            break;
        }
    }
    m_search = {from, result};
    return result;
}

void Game::control()
{
    guessHandled = false;
    const auto length = int(m_revealedBy.size());
    for (pos = 1; pos <= length; ++pos) {
        matchPos = findGuess(pos);
        if (matchPos >= 1) {
            shownLetters[matchPos] = guessLetter;
            guessHandled = true;
            m_lastGuessHit = true;
            continue;
        }
        for (int i = 0; i < Board::pieceCount; ++i) {
            if (guessHandled || theBoard().isPieceShown(i))
                continue;
            theBoard().showPiece(i);
            if (i == Board::pieceCount - 1) {
                // The loop goes on over the next word from past its end, so
                // it reveals nothing and shows no further piece.
                endGame(Texts::lost(word));
            }
            guessHandled = true;
        }
    }
    rebuildMask();
    if (!theBoard().lblzoekCaption().contains(Texts::hidden))
        endGame(Texts::won);
}

void Game::endGame(const QString &message)
{
    theBoard().showMessage(message);
    enableAllLetters();
    hideAllPieces();
    nieuw_woord();
}

void Game::rebuildMask()
{
    theBoard().setLblzoekCaption(mask());
}

// --- Levels and closing -----------------------------------------------------

void Game::chooseLevel(Level level)
{
    if (!loadWordList(level))
        return;
    // Not menu order: the marks have always changed in this order, and the
    // board sees each change.
    for (const Level mark : {Level::Makkelijk, Level::Moeilijk, Level::Normaal})
        theBoard().setLevelChecked(mark, mark == level);
    nieuw_woord();
}

void Game::menuSluiten_Click()
{
    theBoard().closeWindow();
}
