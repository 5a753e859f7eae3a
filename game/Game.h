#pragma once

#include "Level.h"

#include <QString>
#include <QStringList>

#include <array>

class Board;
class RandomSource;

/// The game behind the main window: the word list, the word being guessed,
/// the letters revealed so far and the rules that join them.
///
/// The game outlives the main window: the window attaches itself as the
/// board when it loads and detaches when it closes, and a window loaded
/// again starts afresh on the same state. The operations carry the names of
/// the window events that call them.
class Game
{
public:
    static constexpr int listSlots = 26;
    static constexpr int letterSlots = 51; ///< slot 0 unused, 1 to 50 for the positions

    using WordSlots = std::array<QString, listSlots>;

    /// \a listDirectory holds the three word list files.
    Game(QString listDirectory, RandomSource &random);

    /// The window the game plays on, or nullptr while there is none.
    void attachBoard(Board *board) { m_board = board; }
    Board *board() const { return m_board; }

    // Start-up and the set-up of a game.

    /// The main window's load: the "Normaal" list and a first word.
    void Form_Load();
    /// "Nieuw": a word from slots 0 to 24 and a cleared board.
    void menuNieuw_Click();
    /// A word typed by a second player has arrived in `lblWoord`: it becomes
    /// the new game. A text longer than Word::maxLength is refused with a
    /// message, and the game goes on.
    void lblWoord_Change();

    // Guessing.

    /// The click of a letter button, `cmd_a_Click` to `cmd_z_Click`:
    /// \a letter is one of a to z, in either case.
    void letter_Click(QChar letter);

    // Levels and closing.

    void menuMakkelijk_Click() { chooseLevel(Level::Makkelijk); }
    void menuNormaal_Click() { chooseLevel(Level::Normaal); }
    void menuMoeilijk_Click() { chooseLevel(Level::Moeilijk); }
    /// Loads the level's list, moves the check mark to it and draws a word,
    /// leaving disabled letters and shown pieces as they are. When the list
    /// cannot be read the player is told and nothing else changes.
    void chooseLevel(Level level);
    void menuSluiten_Click();

    // What the game holds, for those who show or check it.

    const WordSlots &wordListSlots() const { return wordList; }
    const QString &currentWord() const { return word; }
    /// The masked word: one "-" or revealed letter per position.
    QString mask() const;
    /// The board as a screen reader says it: that a new word began or what
    /// the last guess found, the mask position by position, the gallows and
    /// the letters used (those whose button is disabled), e.g. "Goed: K. Woord: k streepje streepje
    /// streepje. Galg: 0 van 10 delen. Gebruikt: K."
    QString spokenState() const;

private:
    /// Where \a level's list lies.
    QString wordListPath(Level level) const;
    /// Fills the list from \a level's file; on failure tells the player and
    /// changes no slot.
    bool loadWordList(Level level);
    /// Fills the list from the copy of \a level's list built into the program.
    void loadBuiltInWordList(Level level);
    void storeWords(const QStringList &lines);

    void nieuw_woord();
    void control();
    /// The first position at or after \a from that the guessed letter
    /// reveals, or 0.
    int findGuess(int from);

    void setWord(const QString &newWord);
    /// A fresh board for \a newWord: its mask, every letter, no piece.
    void startGame(const QString &newWord);
    /// A won or lost game: the message, then a fresh board and the next word.
    void endGame(const QString &message);
    int drawIndex(int slotCount);
    void showMask();
    void rebuildMask();
    void enableAllLetters();
    void hideAllPieces();

    Board &theBoard() const;

    QString m_listDirectory;
    RandomSource &m_random;
    Board *m_board = nullptr;

    // The state of the main window, kept for the whole run.
    WordSlots wordList;
    QString word;
    QList<QChar> m_revealedBy; ///< for each position of `word`, the letter that reveals it
    struct Search
    {
        int from = 0; ///< 0: nothing searched since the word or guess changed
        int result = 0;
    } m_search;
    std::array<QString, letterSlots> shownLetters;
    int pos = 0;
    QString guessLetter;
    int matchPos = 0;
    bool guessHandled = false;

    // What the player has heard of, for spokenState().
    bool m_newWord = true; ///< no guess since the word was drawn or typed
    bool m_lastGuessHit = false;
};
