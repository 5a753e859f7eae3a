#include "Wirlep.h"

#include "CaptionLabel.h"
#include "FixedWindow.h"
#include "Fonts.h"
#include "Gallows.h"
#include "Game.h"
#include "Help.h"
#include "Layout.h"
#include "MaskLabel.h"
#include "MenuCheckStyle.h"
#include "Message.h"
#include "PushButton.h"
#include "Texts.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>

#include <utility>

namespace {

std::size_t levelIndex(Level level)
{
    return static_cast<std::size_t>(level);
}

const QString announcementName = QStringLiteral("announcement");

/// The announcement is a notification to screen readers, as Qt has no
/// widget of that kind.
QAccessibleInterface *announcementAccessible(const QString &, QObject *object)
{
    if (!object || !object->isWidgetType() || object->objectName() != announcementName)
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Notification);
}

} // namespace

Wirlep::Wirlep(Game &game, QWidget *parent)
    : QMainWindow(parent)
    , m_game(game)
{
    setObjectName(QStringLiteral("Wirlep"));
    setWindowTitle(Texts::mainCaption);
    setWindowFlags(Qt::Window | FixedWindow::border);
    setAttribute(Qt::WA_DeleteOnClose);
    // Once for the program: what the announcement is to screen readers.
    [[maybe_unused]] static const bool announcementKnown
        = (QAccessible::installFactory(announcementAccessible), true);

    auto *client = new QWidget(this);
    // The window's font is for its controls; the menu bar keeps the system's.
    client->setFont(Fonts::verdana());
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(Layout::Main::client.toPixels());
    setCentralWidget(client);
    createControls(client);
    createMenus();
    // The client area is fixed; the window is as large as it and the menu bar.
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    m_game.attachBoard(this);
}

Wirlep::~Wirlep()
{
    if (m_game.board() == this)
        m_game.attachBoard(nullptr);
}

void Wirlep::load()
{
    m_game.Form_Load();
    describeState();
}

void Wirlep::createControls(QWidget *client)
{
    Line1 = new QWidget(client);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setGeometry(Layout::Main::line1.toPixels());
    Line1->setBackgroundRole(QPalette::WindowText);
    Line1->setAutoFillBackground(true);

    createLetterButtons(client);

    lblzoek = new MaskLabel(client);

    lblWoord = new CaptionLabel(client);
    lblWoord->setObjectName(QStringLiteral("lblWoord"));
    lblWoord->setGeometry(Layout::Main::lblWoord.toPixels());
    lblWoord->setTextFormat(Qt::PlainText);
    lblWoord->hide();
    connect(lblWoord, &CaptionLabel::captionChanged, this,
            [this] { act([this] { m_game.lblWoord_Change(); }, Saying::Quietly); });

    Galg = new Gallows(client);

    m_announcement = new QWidget(client);
    m_announcement->setObjectName(announcementName);
    m_announcement->hide();
}

void Wirlep::createLetterButtons(QWidget *client)
{
    const QSize size(Twips::toPixels(Layout::Main::letterSize),
                     Twips::toPixels(Layout::Main::letterSize));
    QWidget *previous = nullptr;
    for (std::size_t i = 0; i < m_letters.size(); ++i) {
        const QChar letter(char16_t(u'a' + i));
        auto *button = new PushButton(QString(letter.toUpper()), client);
        button->setObjectName(QStringLiteral("cmd_") + letter);
        button->setFont(Fonts::msSansSerif());
        button->setGeometry(QRect(QPoint(Twips::toPixels(Layout::Main::letters[i][0]),
                                         Twips::toPixels(Layout::Main::letters[i][1])),
                                  size));
        connect(button, &QPushButton::clicked, this, [this, letter] {
            act([this, letter] { m_game.letter_Click(letter); }, Saying::Quietly);
        });
        button->installEventFilter(this);
        if (previous)
            setTabOrder(previous, button);
        previous = button;
        m_letters[i] = button;
    }
    m_letters.front()->setFocus();
}

void Wirlep::createMenus()
{
    QMenu *bestand = menuBar()->addMenu(Texts::menuBestand);
    bestand->setObjectName(QStringLiteral("menuBestand"));
    bestand->installEventFilter(this);
    QAction *nieuw = bestand->addAction(Texts::menuNieuw);
    nieuw->setObjectName(QStringLiteral("menuNieuw"));
    // The item shows F2, which its own shortcut serves: F2 announces the new
    // word, the item leaves it to the focus coming back from the menu.
    nieuw->setShortcut(QKeySequence(Qt::Key_F2));
    nieuw->setShortcutContext(Qt::WidgetShortcut);
    connect(nieuw, &QAction::triggered, this,
            [this] { act([this] { m_game.menuNieuw_Click(); }, Saying::Quietly); });
    auto *f2 = new QShortcut(nieuw->shortcut(), this);
    connect(f2, &QShortcut::activated, this,
            [this] { act([this] { m_game.menuNieuw_Click(); }, Saying::Aloud); });
    QAction *sluiten = bestand->addAction(Texts::menuSluiten);
    sluiten->setObjectName(QStringLiteral("menuSluiten"));
    connect(sluiten, &QAction::triggered, this, [this] { m_game.menuSluiten_Click(); });

    QMenu *woord = menuBar()->addMenu(Texts::menuWoord);
    woord->setObjectName(QStringLiteral("menuWoord"));
    QAction *invul = woord->addAction(Texts::menuInvul);
    invul->setObjectName(QStringLiteral("menuInvul"));
    connect(invul, &QAction::triggered, this, &Wirlep::invulRequested);

    QMenu *niveau = menuBar()->addMenu(Texts::menuNiveau);
    niveau->setObjectName(QStringLiteral("menuNiveau"));
    niveau->installEventFilter(this);
    auto *checkStyle = new MenuCheckStyle;
    checkStyle->setParent(niveau); // a widget does not own the style it is given
    niveau->setStyle(checkStyle);
    addLevelItem(niveau, Level::Makkelijk, "menuMakkelijk");
    addLevelItem(niveau, Level::Normaal, "menuNormaal");
    addLevelItem(niveau, Level::Moeilijk, "menuMoeilijk");

    QMenu *help = menuBar()->addMenu(Texts::menuHelpKnop);
    help->setObjectName(QStringLiteral("menuHelp_knop"));
    QAction *helpItem = help->addAction(Texts::menuHelp);
    helpItem->setObjectName(QStringLiteral("menuHelp"));
    helpItem->setShortcut(QKeySequence(Qt::Key_F1));
    connect(helpItem, &QAction::triggered, this, &Wirlep::menuHelp_Click);
    QAction *info = help->addAction(Texts::menuInfo);
    info->setObjectName(QStringLiteral("Menuinfo"));
    connect(info, &QAction::triggered, this, &Wirlep::infoRequested);
}

void Wirlep::addLevelItem(QMenu *menu, Level level, const char *name)
{
    QAction *item = menu->addAction(levelCaption(level));
    item->setObjectName(QLatin1StringView(name));
    item->setCheckable(true);
    item->setChecked(m_levelChecked[levelIndex(level)]);
    connect(item, &QAction::triggered, this, [this, level] { chooseLevel(level); });
    m_levelItems[levelIndex(level)] = item;
}

void Wirlep::chooseLevel(Level level)
{
    // Undo the toggle Qt gave the item: the game alone moves the marks, and
    // keeps them where they were when the list cannot be read.
    for (const Level each : allLevels)
        m_levelItems[levelIndex(each)]->setChecked(m_levelChecked[levelIndex(each)]);
    act([this, level] { m_game.chooseLevel(level); }, Saying::Quietly);
}

void Wirlep::act(const std::function<void()> &action, Saying saying)
{
    m_acting = true;
    m_heldFocusMove.reset();
    action();
    m_acting = false;
    const QString state = describeState();
    if (saying == Saying::Aloud)
        announce(state);
    if (m_heldFocusMove)
        QMainWindow::focusNextPrevChild(*std::exchange(m_heldFocusMove, std::nullopt));
}

bool Wirlep::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn) {
        if (auto *letter = qobject_cast<QPushButton *>(watched))
            m_focusedLetter = letter;
    } else if (event->type() == QEvent::KeyPress) {
        if (auto *menu = qobject_cast<QMenu *>(watched))
            return chooseInMenu(menu, static_cast<QKeyEvent *>(event)->key());
    }
    return QMainWindow::eventFilter(watched, event);
}

bool Wirlep::chooseInMenu(QMenu *menu, int key)
{
    // The keys QMenu runs its highlighted item with.
    const bool chooses = key == Qt::Key_Return || key == Qt::Key_Enter
        || (key == Qt::Key_Space
            && menu->style()->styleHint(QStyle::SH_Menu_SpaceActivatesItem, nullptr, menu));
    QAction *item = menu->activeAction();
    if (!chooses || !item || !item->isEnabled() || item->menu() || item->isSeparator())
        return false;
    // QMenu would give the focus back to the letters first and run the item
    // after: the focus would reach a screen reader ahead of the new board.
    // Hidden here, a menu opened from the menu bar by the keyboard leaves the
    // focus on the menu bar until the item has run; one opened by the mouse
    // never took it from the letter.
    menu->hide();
    item->trigger();
    if (focusWidget() == menuBar() && m_focusedLetter)
        m_focusedLetter->setFocus(Qt::MenuBarFocusReason);
    return true;
}

bool Wirlep::focusNextPrevChild(bool next)
{
    // A focused button that is disabled hands the focus on at once, before
    // the guess has even been looked at.
    if (!m_acting)
        return QMainWindow::focusNextPrevChild(next);
    m_heldFocusMove = next;
    return true;
}

QString Wirlep::describeState()
{
    // Once an action is over, not at each of its steps: a screen reader may
    // speak every change of the focused button's description. The focused
    // button, not the mask or the gallows: screen readers follow the focus,
    // and Orca ignores changes to other objects. Only a change: an action
    // that changed nothing, such as a level whose list cannot be read, has
    // nothing new to tell.
    const QString state = m_game.spokenState();
    for (QPushButton *button : m_letters)
        if (button->accessibleDescription() != state)
            button->setAccessibleDescription(state);
    return state;
}

void Wirlep::announce(const QString &state)
{
    // Orca 43 says nothing when the focused button's description changes
    // (Qt 6.4 sends the change without the new text), and Qt 6.4 has no
    // announcement: a notification that shows is what Orca reads out. It
    // shows to accessibility alone; on screen nothing changes.
    m_announcement->setAccessibleName(state);
    QAccessibleEvent shown(m_announcement, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

void Wirlep::menuHelp_Click()
{
    Help help(this);
    help.exec();
}

void Wirlep::setLblWoordCaption(const QString &word)
{
    lblWoord->setCaption(word);
}

QPushButton *Wirlep::letterButton(QChar letter) const
{
    return m_letters.at(std::size_t(letter.toLower().unicode() - u'a'));
}

QAction *Wirlep::levelAction(Level level) const
{
    return m_levelItems[levelIndex(level)];
}

// --- Board ------------------------------------------------------------------

QString Wirlep::lblzoekCaption() const
{
    return lblzoek->text();
}

void Wirlep::setLblzoekCaption(const QString &caption)
{
    lblzoek->setMask(caption, m_game.currentWord());
}

QString Wirlep::lblWoordCaption() const
{
    return lblWoord->text();
}

void Wirlep::setLetterEnabled(QChar letter, bool enabled)
{
    letterButton(letter)->setEnabled(enabled);
}

bool Wirlep::isLetterEnabled(QChar letter) const
{
    return letterButton(letter)->isEnabled();
}

bool Wirlep::isPieceShown(int index) const
{
    return Galg->isPieceShown(index);
}

void Wirlep::showPiece(int index)
{
    Galg->setPieceShown(index, true);
}

void Wirlep::hidePiece(int index)
{
    Galg->setPieceShown(index, false);
}

void Wirlep::setLevelChecked(Level level, bool checked)
{
    m_levelChecked[levelIndex(level)] = checked;
    m_levelItems[levelIndex(level)]->setChecked(checked);
}

void Wirlep::showMessage(const QString &text)
{
    Message::show(this, text);
}

void Wirlep::closeWindow()
{
    close();
}
