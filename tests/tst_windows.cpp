// The own-word dialog, the help and info windows, and how all windows live
// and die together.

#include "FakeBoard.h"
#include "Game.h"
#include "Help.h"
#include "Info.h"
#include "Invul.h"
#include "MessageCatcher.h"
#include "TestLayout.h"
#include "TestLists.h"
#include "Texts.h"
#include "Windows.h"
#include "Wirlep.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

using TestLists::drawFor;

namespace {

/// The program's windows of type T on screen: while any window is, the
/// program runs.
template<class T = QWidget> int visibleWindows()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    return int(std::count_if(windows.cbegin(), windows.cend(),
                             [](QWidget *w) { return qobject_cast<T *>(w) && w->isVisible(); }));
}

/// A click that goes through the window system, as a player's does, so
/// that a modal window can stop it.
void clickOnScreen(QWidget *widget)
{
    QWidget *window = widget->window();
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
                      widget->mapTo(window, widget->rect().center()));
}

template<class T = QWidget> T *child(QWidget *window, const char *name)
{
    return window->findChild<T *>(QLatin1StringView(name));
}

/// Clicks the button \a name of \a window.
void press(QWidget *window, const char *name)
{
    QTest::mouseClick(child<QPushButton>(window, name), Qt::LeftButton);
}

/// Runs \a check once the help window is open, then closes it with \a close.
void whileHelpIsOpen(const std::function<void(Help *)> &check,
                     const std::function<void(Help *)> &close)
{
    QTimer::singleShot(0, [=] {
        auto *help = qobject_cast<Help *>(QApplication::activeModalWidget());
        QVERIFY(help);
        check(help);
        close(help);
    });
}

} // namespace

class TestWindows : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void controlsSitInTheirBoxes_data();
    void controlsSitInTheirBoxes();
    void windowsHaveTheirTitlesAndFixedSizes_data();
    void windowsHaveTheirTitlesAndFixedSizes();

    void invulOpensEmptyWithTheCursorInTheTextBox();
    void invulIgnoresEnterAndEscape();
    void enterPressesTheFocusedButton();
    void okPlaysTheWordAsTyped_data();
    void okPlaysTheWordAsTyped();
    void okRefusesMoreThanFiftyCharacters();
    void sluitenLeavesTheGameAlone();
    void invullenTwiceKeepsOneDialogAndItsText();

    void helpShowsItsTextAndPictures();
    void helpClosesOnlyThroughItsButton_data();
    void helpClosesOnlyThroughItsButton();
    void helpBlocksTheMainWindow();

    void infoOpensOnceWithOneLine();

    void closingTheMainWindowKeepsTheOthersRunning();
    void sluitenInTheDialogLoadsTheMainWindowAgain();
    void okInTheDialogLoadsAndShowsTheMainWindow();
    void windowsCloseCleanlyInAnyOrder_data();
    void windowsCloseCleanlyInAnyOrder();

private:
    Wirlep *main() const { return m_windows->mainWindow(); }
    std::unique_ptr<QWidget> makeWindow(const QString &name) const
    {
        if (name == "Invul")
            return std::make_unique<Invul>();
        if (name == "Help")
            return std::make_unique<Help>(main());
        return std::make_unique<Info>();
    }
    QAction *action(const char *name) const
    {
        return main()->findChild<QAction *>(QLatin1StringView(name));
    }
    QString mask() const { return child<QLabel>(main(), "lblzoek")->text(); }
    Invul *openInvul()
    {
        action("menuInvul")->trigger();
        Invul *dialog = m_windows->invul();
        if (dialog)
            (void)QTest::qWaitForWindowExposed(dialog);
        return dialog;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FixedRandom> m_random;
    std::unique_ptr<Game> m_game;
    std::unique_ptr<Windows> m_windows;
};

void TestWindows::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    TestLists::writeAll(*m_dir);
    m_random = std::make_unique<FixedRandom>(QList<double> {drawFor(0, 20)});
    m_game = std::make_unique<Game>(m_dir->path(), *m_random);
    m_windows = std::make_unique<Windows>(*m_game);
    QVERIFY(QTest::qWaitForWindowExposed(m_windows->showMainWindow()));
}

void TestWindows::cleanup()
{
    if (QWidget *modal = QApplication::activeModalWidget())
        modal->close();
    m_windows.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
    m_game.reset();
}

void TestWindows::controlsSitInTheirBoxes_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QRect>("box");
    const auto row = [](const char *window, const char *control, const QRect &box) {
        QTest::addRow("%s %s", window, control) << QString(window) << QString(control) << box;
    };
    row("Invul", "txtInvul", twips(120, 840, 2655, 285));
    row("Invul", "Label1", twips(120, 240, 2535, 375));
    row("Invul", "cmd_ok", twips(1560, 1200, 1215, 375));
    row("Invul", "cmd_sluiten", twips(120, 1200, 1335, 375));
    row("Help", "Image1", twips(120, 120, 525, 555));
    row("Help", "Image2", twips(2880, 120, 525, 555));
    row("Help", "Label1", twips(840, 240, 1935, 375));
    row("Help", "Label2", twips(120, 840, 3375, 1215));
    row("Help", "Label3", twips(120, 2040, 3375, 855));
    row("Help", "Label4", twips(120, 3000, 3375, 735));
    row("Help", "cmd_sluithelp", twips(1200, 3840, 1095, 375));
    row("Info", "Label1", twips(120, 120, 2535, 375));
}

void TestWindows::controlsSitInTheirBoxes()
{
    QFETCH(QString, window);
    QFETCH(QString, control);
    QFETCH(QRect, box);
    const std::unique_ptr<QWidget> shown = makeWindow(window);
    QWidget *widget = shown->findChild<QWidget *>(control);
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), box);
    QVERIFY(looksLikeMsSansSerif(widget->font()));
}

void TestWindows::windowsHaveTheirTitlesAndFixedSizes_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QSize>("client");
    QTest::newRow("Invul") << "Invul"
                           << "Woord invullen" << QSize(192, 120);
    QTest::newRow("Help") << "Help"
                          << "Help" << QSize(242, 285);
    QTest::newRow("Info") << "Info"
                          << "Info" << QSize(165, 33);
}

void TestWindows::windowsHaveTheirTitlesAndFixedSizes()
{
    QFETCH(QString, window);
    QFETCH(QString, title);
    QFETCH(QSize, client);
    const std::unique_ptr<QWidget> shown = makeWindow(window);
    QCOMPARE(shown->objectName(), window);
    QCOMPARE(shown->windowTitle(), title);
    QCOMPARE(shown->size(), client);
    QCOMPARE(shown->minimumSize(), client);
    QCOMPARE(shown->maximumSize(), client);
    const Qt::WindowFlags flags = shown->windowFlags();
    QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QCOMPARE(shown->parentWidget() == main(), window == "Help"); // only Help has an owner
}

void TestWindows::invulOpensEmptyWithTheCursorInTheTextBox()
{
    Invul *dialog = openInvul();
    QVERIFY(dialog);
    QLineEdit *text = dialog->textBox();
    QVERIFY(text->text().isEmpty());
    QCOMPARE(QApplication::focusWidget(), text);
    QCOMPARE(child<QLabel>(dialog, "Label1")->text(),
             QStringLiteral("Vul hier het woord in dat u wilt gebruiken voor een ander"));
    QVERIFY(child<QLabel>(dialog, "Label1")->wordWrap());
    QTest::keyClick(text, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), child<QWidget>(dialog, "cmd_ok"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), child<QWidget>(dialog, "cmd_sluiten"));
    QVERIFY(main()->isVisible()); // modeless: the main window stays
}

void TestWindows::invulIgnoresEnterAndEscape()
{
    Invul *dialog = openInvul();
    QTest::keyClicks(dialog->textBox(), QStringLiteral("kaas"));
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
        QTest::keyClick(dialog->textBox(), key);
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->textBox()->text(), QStringLiteral("kaas"));
    QCOMPARE(m_game->currentWord(), QStringLiteral("normaala"));
}

void TestWindows::enterPressesTheFocusedButton()
{
    Invul *dialog = openInvul();
    QTest::keyClicks(dialog->textBox(), QStringLiteral("kaas"));
    QTest::keyClick(dialog->textBox(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(!m_windows->invul());
    QCOMPARE(m_game->currentWord(), QStringLiteral("kaas"));
}

void TestWindows::okPlaysTheWordAsTyped_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("guesses");
    QTest::addColumn<QString>("mask");
    const auto row = [](const char *name, const QString &typed, const QString &guesses,
                        const QString &mask) { QTest::newRow(name) << typed << guesses << mask; };
    row("case kept", "Banaan", "a", "-a-aa-");
    row("spaces and digits", "ik 2", "ki", "ik--");
    row("accents", QStringLiteral("café"), "c", "c---");
    row("emoji", QStringLiteral("\U0001F431kat"), "k", "-k--");
    row("fifty", QString(50, u'b'), "", QString(50, u'-'));
}

void TestWindows::okPlaysTheWordAsTyped()
{
    QFETCH(QString, typed);
    QFETCH(QString, guesses);
    QFETCH(QString, mask);
    Invul *dialog = openInvul();
    dialog->textBox()->setText(typed);
    press(dialog, "cmd_ok");
    QVERIFY(!m_windows->invul());
    QCOMPARE(m_game->currentWord(), typed);
    for (const QChar letter : guesses)
        QTest::mouseClick(main()->letterButton(letter), Qt::LeftButton);
    QCOMPARE(this->mask(), mask);
    // Opened again, the dialog has forgotten the word.
    QVERIFY(openInvul()->textBox()->text().isEmpty());
}

void TestWindows::okRefusesMoreThanFiftyCharacters()
{
    Invul *dialog = openInvul();
    const QString tooLong(51, u'x');
    QTest::keyClicks(dialog->textBox(), tooLong);
    MessageCatcher catcher;
    press(dialog, "cmd_ok");
    QCOMPARE(catcher.texts(),
             QStringList {QStringLiteral("Een woord mag hoogstens 50 tekens hebben.")});
    QCOMPARE(catcher.seen.first().title, QStringLiteral("Wirlep"));
    QCOMPARE(catcher.seen.first().modality, Qt::ApplicationModal);
    QCOMPARE(m_windows->invul(), dialog);
    QCOMPARE(dialog->textBox()->text(), tooLong);
    QCOMPARE(dialog->focusWidget(), dialog->textBox()); // ready to be shortened
    QCOMPARE(m_game->currentWord(), QStringLiteral("normaala"));
}

void TestWindows::sluitenLeavesTheGameAlone()
{
    QTest::mouseClick(main()->letterButton(u'q'), Qt::LeftButton);
    Invul *dialog = openInvul();
    QTest::keyClicks(dialog->textBox(), QStringLiteral("appel"));
    Wirlep *before = main();
    press(dialog, "cmd_sluiten");
    QVERIFY(!m_windows->invul());
    QCOMPARE(main(), before);
    QCOMPARE(m_game->currentWord(), QStringLiteral("normaala"));
    QVERIFY(!main()->letterButton(u'q')->isEnabled());
    QVERIFY(openInvul()->textBox()->text().isEmpty());
}

void TestWindows::invullenTwiceKeepsOneDialogAndItsText()
{
    Invul *first = openInvul();
    QTest::keyClicks(first->textBox(), QStringLiteral("pe"));
    Invul *second = openInvul();
    QCOMPARE(second, first);
    QCOMPARE(second->textBox()->text(), QStringLiteral("pe"));
    QCOMPARE(visibleWindows<Invul>(), 1);
}

void TestWindows::helpShowsItsTextAndPictures()
{
    Help help(main());
    QCOMPARE(child<QLabel>(&help, "Label1")->text(), QStringLiteral("De helpfunctie"));
    QCOMPARE(child<QLabel>(&help, "Label1")->font().weight(), QFont::Bold);
    QVERIFY(child<QLabel>(&help, "Label1")->alignment() & Qt::AlignHCenter);
    QCOMPARE(child<QLabel>(&help, "Label2")->text(),
             QStringLiteral("Ga in het menu naar \"Bestand\" U ziet daar twee mogelijkheden "
                            "\"Nieuw\" en \"Sluiten\". De naam zegt het eigenlijk al met \"Nieuw\" "
                            "komt er een nieuw woord en kunt u opnieuw beginnen. Met \"Sluiten\" "
                            "sluit u het programma af."));
    QCOMPARE(
        child<QLabel>(&help, "Label3")->text(),
        QStringLiteral("Met het menu \"Niveau\" kunt u uw gewenste niveau kiezen. De keuzes "
                       "zijn Makkelijk, Normaal en Moeilijk. Standaard staat dit op Normaal."));
    QCOMPARE(child<QLabel>(&help, "Label4")->text(),
             QStringLiteral("Met \"Woord invullen\" in het menu \"Woord\" kunt u een gewenst woord "
                            "invullen wat uw tegenstander moet raden."));
    for (const char *name : {"Label2", "Label3", "Label4"}) {
        QLabel *paragraph = child<QLabel>(&help, name);
        QVERIFY(paragraph->wordWrap());
        // The whole paragraph fits its box.
        QVERIFY2(paragraph->heightForWidth(paragraph->width()) <= paragraph->height(), name);
    }
    for (const char *name : {"Image1", "Image2"}) {
        const QPixmap picture = child<QLabel>(&help, name)->pixmap();
        QCOMPARE(picture.size(), QSize(35, 37));
    }
    QCOMPARE(child<QPushButton>(&help, "cmd_sluithelp")->text(), QStringLiteral("Sluiten"));
    QCOMPARE(help.focusWidget(), child<QWidget>(&help, "cmd_sluithelp"));
}

void TestWindows::helpClosesOnlyThroughItsButton_data()
{
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<bool>("closes");
    QTest::newRow("Space") << Qt::Key_Space << true;
    QTest::newRow("Enter") << Qt::Key_Return << true;
    QTest::newRow("Escape") << Qt::Key_Escape << false;
}

void TestWindows::helpClosesOnlyThroughItsButton()
{
    QFETCH(Qt::Key, key);
    QFETCH(bool, closes);
    bool openAfterKey = false;
    whileHelpIsOpen(
        [&](Help *help) {
            QTest::keyClick(help->focusWidget(), key);
            openAfterKey = help->isVisible();
        },
        [](Help *help) {
            if (help->isVisible())
                press(help, "cmd_sluithelp");
        });
    QTest::keyClick(main(), Qt::Key_F1);
    QCOMPARE(openAfterKey, !closes);
    QVERIFY(!QApplication::activeModalWidget());
}

void TestWindows::helpBlocksTheMainWindow()
{
    clickOnScreen(main()->letterButton(u'q')); // reaches the button while nothing is modal
    QVERIFY(!main()->letterButton(u'q')->isEnabled());
    whileHelpIsOpen(
        [&](Help *help) {
            QCOMPARE(help->windowModality(), Qt::ApplicationModal);
            QCOMPARE(help->parentWidget(), main());
            // A dialog of the main window's, kept in front of it.
            QCOMPARE(help->windowType(), Qt::Dialog);
            QCOMPARE(help->windowHandle()->transientParent(), main()->windowHandle());
            clickOnScreen(main()->letterButton(u'x'));
            QTest::keyClick(main()->windowHandle(), Qt::Key_F2);
        },
        [](Help *help) { press(help, "cmd_sluithelp"); });
    action("menuHelp")->trigger();
    QVERIFY(main()->letterButton(u'x')->isEnabled());
    QVERIFY(!main()->letterButton(u'q')->isEnabled()); // the game goes on where it was
    QCOMPARE(m_game->currentWord(), QStringLiteral("normaala"));
}

void TestWindows::infoOpensOnceWithOneLine()
{
    action("Menuinfo")->trigger();
    action("Menuinfo")->trigger();
    Info *info = m_windows->info();
    QVERIFY(info);
    QCOMPARE(visibleWindows<Info>(), 1);
    QLabel *credit = child<QLabel>(info, "Label1");
    QVERIFY(credit->text().startsWith(QStringLiteral("Wirlep 1.00")));
    QVERIFY(!credit->wordWrap());
    QCOMPARE(credit->alignment(), Qt::AlignLeft | Qt::AlignTop);
    // One line, all of it inside the visible part of the window.
    QVERIFY(credit->fontMetrics().horizontalAdvance(credit->text()) <= info->width() - credit->x());
    QVERIFY(credit->fontMetrics().height() <= credit->height());
    info->close();
    QCOMPARE(m_game->currentWord(), QStringLiteral("normaala"));
}

void TestWindows::closingTheMainWindowKeepsTheOthersRunning()
{
    action("Menuinfo")->trigger();
    action("menuSluiten")->trigger();
    QVERIFY(!m_windows->mainWindow());
    QVERIFY(m_windows->info());
    QCOMPARE(visibleWindows(), 1);
    m_windows->info()->close();
    QCOMPARE(visibleWindows(), 0);
}

void TestWindows::sluitenInTheDialogLoadsTheMainWindowAgain()
{
    action("menuMoeilijk")->trigger();
    Invul *dialog = openInvul();
    main()->close();
    QVERIFY(!m_windows->mainWindow());
    m_random->setDraws({drawFor(6, 20)});
    press(dialog, "cmd_sluiten");
    Wirlep *reloaded = m_windows->mainWindow();
    QVERIFY(reloaded);
    QVERIFY(reloaded->isVisible());
    QCOMPARE(m_game->currentWord(), QStringLiteral("normaalg")); // start-up loads Normaal
    QCOMPARE(mask(), QStringLiteral("--------"));
    QVERIFY(reloaded->levelAction(Level::Normaal)->isChecked());
    QVERIFY(!reloaded->levelAction(Level::Moeilijk)->isChecked());
}

void TestWindows::okInTheDialogLoadsAndShowsTheMainWindow()
{
    Invul *dialog = openInvul();
    main()->close();
    QTest::keyClicks(dialog->textBox(), QStringLiteral("Kaas"));
    press(dialog, "cmd_ok");
    QVERIFY(!m_windows->invul());
    Wirlep *reloaded = m_windows->mainWindow();
    QVERIFY(reloaded);
    QVERIFY(reloaded->isVisible());
    QCOMPARE(m_game->currentWord(), QStringLiteral("Kaas"));
    QCOMPARE(mask(), QStringLiteral("----"));
}

void TestWindows::windowsCloseCleanlyInAnyOrder_data()
{
    QTest::addColumn<QStringList>("order");
    const QStringList windows {"main", "invul", "info"};
    QStringList order = windows;
    std::sort(order.begin(), order.end());
    do {
        QTest::newRow(qPrintable(order.join(','))) << order;
    } while (std::next_permutation(order.begin(), order.end()));
}

void TestWindows::windowsCloseCleanlyInAnyOrder()
{
    QFETCH(QStringList, order);
    openInvul();
    action("Menuinfo")->trigger();
    QCOMPARE(visibleWindows(), 3);
    for (const QString &name : order) {
        QWidget *window = name == "main" ? static_cast<QWidget *>(m_windows->mainWindow())
            : name == "invul"            ? static_cast<QWidget *>(m_windows->invul())
                                         : static_cast<QWidget *>(m_windows->info());
        QVERIFY(window);
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
    QCOMPARE(m_game->board(), nullptr);
}

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
