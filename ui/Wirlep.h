#pragma once

#include "Board.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <optional>

class CaptionLabel;
class Gallows;
class Game;
class QAction;
class MaskLabel;
class QMenu;
class QPushButton;

/// The main window: letter buttons, the masked word and the gallows. It is
/// the game's board while it is open.
class Wirlep : public QMainWindow, public Board
{
    Q_OBJECT

public:
    explicit Wirlep(Game &game, QWidget *parent = nullptr);
    ~Wirlep() override;

    /// The window's load: the game's start-up, before the window is shown.
    void load();

    /// Sets the hidden `lblWoord`, which starts a game with \a word.
    void setLblWoordCaption(const QString &word);

    QPushButton *letterButton(QChar letter) const;
    QAction *levelAction(Level level) const;

    // Board
    QString lblzoekCaption() const override;
    void setLblzoekCaption(const QString &caption) override;
    QString lblWoordCaption() const override;
    void setLetterEnabled(QChar letter, bool enabled) override;
    bool isLetterEnabled(QChar letter) const override;
    bool isPieceShown(int index) const override;
    void showPiece(int index) override;
    void hidePiece(int index) override;
    void setLevelChecked(Level level, bool checked) override;
    void showMessage(const QString &text) override;
    void closeWindow() override;

signals:
    void invulRequested();
    void infoRequested();

protected:
    /// Holds back the move a disabled letter makes to the next one while the
    /// game is acting, see act().
    bool focusNextPrevChild(bool next) override;
    /// Notes the letter that has the focus, and runs an item of the menus
    /// that change the board when the keyboard chooses it, see chooseInMenu().
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    /// Whether an action says its outcome out loud: F2 does, as the focus
    /// stays where it was. Everything else leaves the focus on the letters
    /// or brings it back to them, and the reader reads the description there.
    enum class Saying { Quietly, Aloud };
    void createControls(QWidget *client);
    void createLetterButtons(QWidget *client);
    void createMenus();
    void addLevelItem(QMenu *menu, Level level, const char *name);
    void chooseLevel(Level level);
    /// Runs the item \a menu has highlighted if \a key chooses it, as QMenu
    /// would but in an order screen readers can follow: the menu closes, the
    /// item runs and describes the board, and only then does the focus go
    /// back to the letter it left. Returns whether \a key chose an item.
    bool chooseInMenu(QMenu *menu, int key);
    void menuHelp_Click();
    /// Runs \a action on the game, then describes the board it left, says
    /// it if \a saying asks so, and only then lets the focus leave a letter
    /// the action disabled: a screen reader reads the description of the
    /// button the focus arrives on.
    void act(const std::function<void()> &action, Saying saying);
    /// Puts the game's state in every letter button's accessible
    /// description, which screen readers speak after the name of the button
    /// that has the focus; returns that text.
    QString describeState();
    /// Tells screen readers \a state, for a new word that leaves the focus
    /// where it was.
    void announce(const QString &state);

    Game &m_game;
    std::array<QPushButton *, 26> m_letters {};
    MaskLabel *lblzoek = nullptr;
    CaptionLabel *lblWoord = nullptr;
    Gallows *Galg = nullptr;
    QWidget *Line1 = nullptr;
    /// Never shown: it tells screen readers what a change of the focused
    /// button's description would not.
    QWidget *m_announcement = nullptr;
    bool m_acting = false;
    std::optional<bool> m_heldFocusMove; ///< next (true) or previous, held back by act()
    QPushButton *m_focusedLetter = nullptr; ///< where the focus goes back to from a menu
    std::array<QAction *, 3> m_levelItems {};
    /// The check marks as the game set them; a triggered item toggles its
    /// own mark, which must not outlast the click.
    std::array<bool, 3> m_levelChecked {false, true, false};
};
