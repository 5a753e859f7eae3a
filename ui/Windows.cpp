#include "Windows.h"

#include "Info.h"
#include "Invul.h"
#include "Wirlep.h"

namespace {

/// A closed window lingers until Qt deletes it; it counts as gone.
template<class Window> Window *ifShown(const QPointer<Window> &window)
{
    return window && window->isVisible() ? window.data() : nullptr;
}

void bringForward(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

Windows::Windows(Game &game)
    : m_game(game)
{ }

Windows::~Windows()
{
    // Whatever is still open when the program ends goes with it.
    delete m_invul.data();
    delete m_info.data();
    delete m_main.data();
}

Wirlep *Windows::mainWindow() const
{
    return ifShown(m_main);
}

Invul *Windows::invul() const
{
    return ifShown(m_invul);
}

Info *Windows::info() const
{
    return ifShown(m_info);
}

Wirlep *Windows::loadMainWindow()
{
    if (Wirlep *window = mainWindow())
        return window;
    m_main = new Wirlep(m_game);
    connect(m_main, &Wirlep::invulRequested, this, &Windows::openInvul);
    connect(m_main, &Wirlep::infoRequested, this, &Windows::openInfo);
    m_main->load();
    return m_main;
}

Wirlep *Windows::showMainWindow()
{
    Wirlep *window = loadMainWindow();
    window->show();
    return window;
}

void Windows::openInvul()
{
    if (Invul *dialog = invul()) {
        bringForward(dialog);
        return;
    }
    m_invul = new Invul;
    connect(m_invul, &Invul::wordChosen, this, &Windows::playTypedWord);
    connect(m_invul, &Invul::sluitenClicked, this, &Windows::showMainWindow);
    m_invul->show();
}

void Windows::openInfo()
{
    if (Info *window = info()) {
        bringForward(window);
        return;
    }
    m_info = new Info;
    m_info->show();
}

void Windows::playTypedWord(const QString &word)
{
    // With the main window closed, the word still needs a window to be
    // played in: it is loaded again and shown, never left hidden.
    Wirlep *window = loadMainWindow();
    window->setLblWoordCaption(word);
    window->show();
}
