#pragma once

#include "Level.h"

#include <QChar>
#include <QString>

/// What the game needs of the main window: the controls it reads and sets.
/// The main window implements it; the tests implement it with a fake.
class Board
{
public:
    static constexpr int pieceCount = 10; ///< gallows pieces Galg(0) to Galg(9)

    virtual ~Board() = default;

    /// The masked word shown to the player (`lblzoek`).
    virtual QString lblzoekCaption() const = 0;
    virtual void setLblzoekCaption(const QString &caption) = 0;

    /// The hidden label through which a typed word arrives (`lblWoord`).
    virtual QString lblWoordCaption() const = 0;

    /// Enables or disables the button of \a letter, one of 'a' to 'z'.
    virtual void setLetterEnabled(QChar letter, bool enabled) = 0;
    /// Whether the button of \a letter is enabled: a guessed one is not.
    virtual bool isLetterEnabled(QChar letter) const = 0;

    /// Gallows piece \a index, 0 to 9.
    virtual bool isPieceShown(int index) const = 0;
    virtual void showPiece(int index) = 0;
    virtual void hidePiece(int index) = 0;

    /// The check mark of one of the three level items.
    virtual void setLevelChecked(Level level, bool checked) = 0;

    /// Shows \a text in an application-modal box titled "Wirlep" with one
    /// OK button and no icon; returns once the player has pressed OK.
    virtual void showMessage(const QString &text) = 0;

    /// Closes the main window.
    virtual void closeWindow() = 0;
};
