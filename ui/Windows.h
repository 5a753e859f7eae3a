#pragma once

#include <QObject>
#include <QPointer>

class Game;
class Info;
class Invul;
class Wirlep;

/// The program's windows: at most one of each, made when first needed and
/// gone when closed. The game outlives them all; the program ends when the
/// last of them has closed.
class Windows : public QObject
{
    Q_OBJECT

public:
    explicit Windows(Game &game);
    ~Windows() override;

    /// The open main window, the dialog and the info window, or nullptr.
    Wirlep *mainWindow() const;
    Invul *invul() const;
    Info *info() const;

    /// Loads the main window if it is not open (its start-up runs on the
    /// game as it stands) and shows it.
    Wirlep *showMainWindow();

    /// "Invullen": opens the dialog, or brings the open one forward.
    void openInvul();
    /// "Info": opens the info window, or brings the open one forward.
    void openInfo();

private:
    Wirlep *loadMainWindow();
    void playTypedWord(const QString &word);

    Game &m_game;
    QPointer<Wirlep> m_main;
    QPointer<Invul> m_invul;
    QPointer<Info> m_info;
};
