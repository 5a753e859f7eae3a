// The main window as the player sees and uses it.

#define QT_STATICPLUGIN // for the recorder of accessibility events, built in

#include "FakeBoard.h"
#include "Gallows.h"
#include "Game.h"
#include "Layout.h"
#include "MaskLabel.h"
#include "MessageCatcher.h"
#include "ProgramIcon.h"
#include "TestLayout.h"
#include "TestLists.h"
#include "Texts.h"
#include "Windows.h"
#include "Wirlep.h"

#include <QAccessible>
#include <QAccessibleBridge>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScopeGuard>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>

#include <memory>

using TestLists::drawFor;

namespace {

/// Each piece's box in the client area, and its outline.
struct PieceBox
{
    QRect box;
    bool round;
};
const std::array<PieceBox, 10> pieceBoxes {{
    {twips(3000, 3240, 3375, 15), false},
    {twips(3720, 240, 15, 3015), false},
    {twips(3240, 240, 2655, 15), false},
    {twips(5520, 240, 15, 375), false},
    {twips(5220, 600, 615, 615), true}, // the head: a circle centred in its box
    {twips(5160, 1200, 735, 855), true},
    {twips(4680, 1560, 495, 15), false},
    {twips(5880, 1560, 495, 15), false},
    {twips(5280, 1920, 15, 615), false},
    {twips(5760, 1920, 15, 615), false},
}};

/// The bounding box of the pixels drawn in \a color.
QRect inkBounds(const QImage &image, const QColor &color)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == color)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

/// The gallows drawn alone, at \a scale device pixels per pixel, on the
/// window colour.
QImage renderGallows(Gallows *gallows, qreal scale)
{
    QImage image(gallows->size() * scale, QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    image.fill(gallows->palette().color(QPalette::Window));
    gallows->render(&image, {}, {}, QWidget::RenderFlags());
    return image;
}

/// What the letters and the announcement told a screen reader, a run of the
/// same counted once. From a bridge: the offscreen platform keeps Qt 6.4's
/// accessibility off, so QAccessible::installUpdateHandler() hears nothing.
QString toldEvents;

class EventBridge : public QAccessibleBridge
{
public:
    void setRootObject(QAccessibleInterface *) override { }
    void notifyAccessibilityUpdate(QAccessibleEvent *event) override
    {
        const QString name = event->object() ? event->object()->objectName() : QString();
        const auto type = event->type();
        QString told;
        if (name.size() == 5 && name.startsWith(u"cmd_"))
            told = type == QAccessible::DescriptionChanged ? "described "
                : type == QAccessible::Focus               ? "focus "
                                                           : "";
        else if (name == u"announcement" && type == QAccessible::ObjectShow)
            told = "announced ";
        if (!toldEvents.endsWith(told))
            toldEvents += told;
    }
};

} // namespace

class EventBridgePlugin : public QAccessibleBridgePlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QAccessibleBridgeFactoryInterface_iid FILE "eventbridge.json")

public:
    // Qt keeps the bridge to the end and never deletes it.
    QAccessibleBridge *create(const QString &) override
    {
        static EventBridge bridge;
        return &bridge;
    }
};

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void windowHasItsFixedClientArea();
    void letterButtonsSitInFourStaggeredRows_data();
    void letterButtonsSitInFourStaggeredRows();
    void letterButtonsFillTheirBoxesInEveryStyle_data();
    void letterButtonsFillTheirBoxesInEveryStyle();
    void labelsSitUnderTheButtons();
    void menusHoldTheirItemsInOrder();
    void focusStartsOnAAndTabWalksTheAlphabet();
    void keyboardLettersGuessNothing();
    void focusedButtonGuessesOnSpaceOrEnter_data();
    void focusedButtonGuessesOnSpaceOrEnter();
    void f2StartsANewGame();
    void wholeGameLostOnTheTenthMiss();
    void wholeGameWonAfterNineMisses();
    void markupInATypedWordIsShownAsTyped();
    void levelChangeMidGameKeepsTheBoard();
    void unreadableLevelKeepsListAndMarks();
    void onlyTheChosenLevelShowsAMark();
    void typedWordStartsAGameEveryTime();
    void sluitenClosesTheWindow();
    void eachPieceDrawsExactlyItsBox_data();
    void eachPieceDrawsExactlyItsBox();
    void fullFigureHangsTogether();
    void line1RunsAlongTheTop();
    void screenReaderCanFollowTheGame();
    void letterButtonsDescribeTheBoard_data();
    void letterButtonsDescribeTheBoard();
    void everyShippedWordFitsTheLabel();
    void programIconComesInItsSizes();
    void longTypedWordShowsEveryPosition_data();
    void longTypedWordShowsEveryPosition();
    void maskKeepsItsSizeThroughTheGame();

private:
    QPushButton *button(char letter) const { return m_window->letterButton(QChar(letter)); }
    void click(char letter) { QTest::mouseClick(button(letter), Qt::LeftButton); }
    MaskLabel *lblzoek() const
    {
        return m_window->findChild<MaskLabel *>(QStringLiteral("lblzoek"));
    }
    Gallows *galg() const { return m_window->findChild<Gallows *>(); }
    QAction *action(const char *name) const
    {
        return m_window->findChild<QAction *>(QLatin1StringView(name));
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FixedRandom> m_random;
    std::unique_ptr<Game> m_game;
    QPointer<Wirlep> m_window;
};

void TestMainWindow::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    TestLists::writeAll(*m_dir);
    m_random = std::make_unique<FixedRandom>(QList<double> {drawFor(0, 20)});
    m_game = std::make_unique<Game>(m_dir->path(), *m_random);
    toldEvents.clear();
    m_window = new Wirlep(*m_game);
    m_window->load();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
}

void TestMainWindow::cleanup()
{
    delete m_window.data();
    m_game.reset();
}

void TestMainWindow::windowHasItsFixedClientArea()
{
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Wirlep...."));
    QCOMPARE(m_window->centralWidget()->size(), QSize(454, 232));
    QCOMPARE(m_window->centralWidget()->y(), m_window->menuBar()->height());
    QCOMPARE(m_window->minimumSize(), m_window->maximumSize());
    const Qt::WindowFlags flags = m_window->windowFlags();
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(flags & Qt::WindowCloseButtonHint);
}

void TestMainWindow::letterButtonsSitInFourStaggeredRows_data()
{
    QTest::addColumn<char>("letter");
    QTest::addColumn<QRect>("box");
    // Rows of 7, 6, 7 and 6 buttons; the short rows start 120 further right.
    const std::array<int, 4> rowLength {7, 6, 7, 6};
    char letter = 'a';
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < rowLength[std::size_t(row)]; ++column, ++letter) {
            const int left = 240 + (row % 2) * 120 + column * 360;
            QTest::addRow("%c", letter) << letter << twips(left, 720 + row * 360, 375, 375);
        }
    }
}

void TestMainWindow::letterButtonsSitInFourStaggeredRows()
{
    QFETCH(char, letter);
    QFETCH(QRect, box);
    QPushButton *b = button(letter);
    QCOMPARE(b->objectName(), QStringLiteral("cmd_%1").arg(QChar(letter)));
    QCOMPARE(b->text(), QString(QChar(letter).toUpper()));
    QCOMPARE(b->geometry(), box);
    // At every display scale the tests run at, 1.25 and 1.75 included, each
    // button starts on a whole device pixel: all are drawn alike, and every
    // overlap in a row is the same (one device pixel at 1.25, two at 1.5).
    const QPointF device = QPointF(b->pos()) * b->devicePixelRatio();
    QCOMPARE(device, QPointF(device.toPoint()));
    QVERIFY(looksLikeMsSansSerif(b->font()));
    QVERIFY(b->isVisible());
    QVERIFY(b->isEnabled());
    QVERIFY(b->shortcut().isEmpty());
}

void TestMainWindow::letterButtonsFillTheirBoxesInEveryStyle_data()
{
    QTest::addColumn<QString>("style");
    for (const QString &style : QStyleFactory::keys())
        QTest::newRow(qPrintable(style)) << style;
}

void TestMainWindow::letterButtonsFillTheirBoxesInEveryStyle()
{
    // The rows overlap by a pixel: a button drawn even a pixel inside its
    // box, as some styles draw a default button, leaves a gap.
    QFETCH(QString, style);
    const QString before = QApplication::style()->name();
    const auto restore = qScopeGuard([&before] { QApplication::setStyle(before); });
    QApplication::setStyle(style);
    QWidget *client = m_window->centralWidget();
    const QImage image = client->grab().toImage();
    const QRgb background = image.pixel(2, client->height() - 2);
    for (char letter = 'a'; letter <= 'z'; ++letter) {
        const QRect box = button(letter)->geometry();
        const QPoint middle = box.center();
        for (const QPoint edge : {QPoint(box.left(), middle.y()), QPoint(box.right(), middle.y()),
                                  QPoint(middle.x(), box.top()), QPoint(middle.x(), box.bottom())})
            QVERIFY2(
                image.pixel(edge) != background,
                qPrintable(
                    QStringLiteral("%1 at %2,%3").arg(QChar(letter)).arg(edge.x()).arg(edge.y())));
    }
}

void TestMainWindow::labelsSitUnderTheButtons()
{
    QCOMPARE(lblzoek()->geometry(), twips(240, 2400, 2655, 375));
    QVERIFY(lblzoek()->isVisible());
    QVERIFY(lblzoek()->alignment() & Qt::AlignHCenter);
    QVERIFY(looksLikeVerdana(lblzoek()->font()));
    QCOMPARE(lblzoek()->text(), QStringLiteral("--------")); // the first word, before showing

    auto *lblWoord = m_window->findChild<QLabel *>(QStringLiteral("lblWoord"));
    QCOMPARE(lblWoord->geometry(), twips(120, 240, 2415, 375));
    QVERIFY(lblWoord->isHidden());
    QCOMPARE(lblWoord->font().pointSizeF(), 15.75);
}

void TestMainWindow::menusHoldTheirItemsInOrder()
{
    QStringList titles;
    QStringList items;
    for (QAction *menuAction : m_window->menuBar()->actions()) {
        titles << menuAction->menu()->objectName() + "=" + menuAction->text();
        for (QAction *item : menuAction->menu()->actions()) {
            QString line = item->objectName() + "=" + item->text();
            if (!item->shortcut().isEmpty())
                line += " [" + item->shortcut().toString() + "]";
            if (item->isChecked())
                line += " *";
            items << line;
        }
    }
    QCOMPARE(titles,
             (QStringList {"menuBestand=Bestand", "menuWoord=Woord", "menuNiveau=Niveau",
                           "menuHelp_knop=Help"}));
    QCOMPARE(items,
             (QStringList {"menuNieuw=Nieuw [F2]", "menuSluiten=Sluiten", "menuInvul=Invullen",
                           "menuMakkelijk=Makkelijk", "menuNormaal=Normaal *",
                           "menuMoeilijk=Moeilijk", "menuHelp=Help [F1]", "Menuinfo=Info"}));
}

void TestMainWindow::focusStartsOnAAndTabWalksTheAlphabet()
{
    QCOMPARE(QApplication::focusWidget(), button('a'));
    click('c');
    click('e'); // "normaala" has no c; the e is hit: both disabled all the same
    button('a')->setFocus();
    QString walked;
    for (int i = 0; i < 25; ++i) {
        walked += qobject_cast<QPushButton *>(QApplication::focusWidget())->text();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(walked, QStringLiteral("ABDFGHIJKLMNOPQRSTUVWXYZA"));
}

void TestMainWindow::keyboardLettersGuessNothing()
{
    QTest::keyClicks(m_window, QStringLiteral("qxzwj"));
    QTest::keyClicks(button('a'), QStringLiteral("qxzwj"));
    QCOMPARE(galg()->shownCount(), 0);
    for (char letter = 'a'; letter <= 'z'; ++letter)
        QVERIFY(button(letter)->isEnabled());
}

void TestMainWindow::focusedButtonGuessesOnSpaceOrEnter_data()
{
    QTest::addColumn<Qt::Key>("key");
    QTest::newRow("Space") << Qt::Key_Space;
    QTest::newRow("Return") << Qt::Key_Return;
    QTest::newRow("Enter") << Qt::Key_Enter;
}

void TestMainWindow::focusedButtonGuessesOnSpaceOrEnter()
{
    QFETCH(Qt::Key, key);
    button('q')->setFocus();
    QTest::keyClick(button('q'), key);
    QVERIFY(!button('q')->isEnabled());
    QCOMPARE(galg()->shownCount(), 1);
    QCOMPARE(QApplication::focusWidget(), button('r')); // on to the next letter
}

void TestMainWindow::f2StartsANewGame()
{
    click('q');
    click('x');
    QCOMPARE(galg()->shownCount(), 2);
    m_random->setDraws({drawFor(22, 25)});
    QTest::keyClick(m_window, Qt::Key_F2);
    QCOMPARE(m_game->currentWord(), QStringLiteral("normaalw"));
    QCOMPARE(galg()->shownCount(), 0);
    QVERIFY(button('q')->isEnabled());
    QVERIFY(button('x')->isEnabled());
}

void TestMainWindow::wholeGameLostOnTheTenthMiss()
{
    MessageCatcher catcher;
    int piecesWhileOpen = -1;
    catcher.whileOpen = [&](QMessageBox *) { piecesWhileOpen = galg()->shownCount(); };
    m_random->setDraws({drawFor(1, 20)});
    const QString misses = QStringLiteral("bcdfghijkq");
    for (int i = 0; i < misses.size(); ++i) {
        click(char(misses[i].unicode()));
        if (i < 9)
            QCOMPARE(galg()->shownCount(), i + 1);
    }
    QCOMPARE(catcher.seen.size(), 1);
    const MessageCatcher::Seen box = catcher.seen.first();
    QCOMPARE(box.title, QStringLiteral("Wirlep"));
    QCOMPARE(box.text, QStringLiteral("Helaas, u heeft verloren\n\nHet woord was: 'normaala'."));
    QCOMPARE(box.icon, QMessageBox::NoIcon);
    QCOMPARE(box.buttons, 1);
    QCOMPARE(box.modality, Qt::ApplicationModal);
    QCOMPARE(box.format, Qt::PlainText);
    QVERIFY(box.accessibleText.contains(box.text));
    QCOMPARE(piecesWhileOpen, 10);
    QCOMPARE(galg()->shownCount(), 0);
    for (char letter = 'a'; letter <= 'z'; ++letter)
        QVERIFY(button(letter)->isEnabled());
    QCOMPARE(m_game->currentWord(), QStringLiteral("normaalb"));
    QCOMPARE(lblzoek()->text(), QStringLiteral("--------"));
}

void TestMainWindow::markupInATypedWordIsShownAsTyped()
{
    MessageCatcher catcher;
    m_window->setLblWoordCaption(QStringLiteral("<b>x</b>"));
    for (const char letter : {'a', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k'})
        click(letter);
    QCOMPARE(catcher.seen.size(), 1);
    QCOMPARE(catcher.seen.first().text,
             QStringLiteral("Helaas, u heeft verloren\n\nHet woord was: '<b>x</b>'."));
    // Plain text: the player reads the tags, not a word in bold.
    QCOMPARE(catcher.seen.first().format, Qt::PlainText);
}

void TestMainWindow::wholeGameWonAfterNineMisses()
{
    MessageCatcher catcher;
    m_random->setDraws({drawFor(5, 20)});
    for (const char letter : {'b', 'c', 'd', 'f', 'g', 'h', 'i', 'j', 'k'})
        click(letter);
    QCOMPARE(galg()->shownCount(), 9);
    for (const char letter : {'n', 'o', 'r', 'm'})
        click(letter);
    QCOMPARE(lblzoek()->text(), QStringLiteral("norm----"));
    click('a');
    QCOMPARE(lblzoek()->text(), QStringLiteral("normaa-a"));
    QVERIFY(catcher.seen.isEmpty());
    click('l');
    QCOMPARE(catcher.texts(), QStringList {QStringLiteral("Gefeliciteerd, u heeft gewonnen!!")});
    QCOMPARE(catcher.seen.first().title, QStringLiteral("Wirlep"));
    QCOMPARE(galg()->shownCount(), 0);
    for (char letter = 'a'; letter <= 'z'; ++letter)
        QVERIFY(button(letter)->isEnabled());
    QCOMPARE(m_game->currentWord(), QStringLiteral("normaalf"));
}

void TestMainWindow::levelChangeMidGameKeepsTheBoard()
{
    click('q');
    click('x');
    click('z');
    m_random->setDraws({drawFor(4, 20)});
    action("menuMoeilijk")->trigger();
    QCOMPARE(m_game->currentWord(), QStringLiteral("moeilijke"));
    QCOMPARE(galg()->shownCount(), 3);
    QVERIFY(!button('q')->isEnabled());
    QVERIFY(!button('z')->isEnabled());
    QVERIFY(action("menuMoeilijk")->isChecked());
    QVERIFY(!action("menuNormaal")->isChecked());
    QVERIFY(!action("menuMakkelijk")->isChecked());
    // Choosing the checked level again keeps its mark.
    action("menuMoeilijk")->trigger();
    QVERIFY(action("menuMoeilijk")->isChecked());
}

void TestMainWindow::unreadableLevelKeepsListAndMarks()
{
    QFile::remove(m_dir->filePath("makkelijk.txt"));
    MessageCatcher catcher;
    click('q');
    action("menuMakkelijk")->trigger();
    QCOMPARE(catcher.seen.size(), 1);
    QVERIFY(catcher.seen.first().text.contains(QStringLiteral("makkelijk.txt")));
    QVERIFY(!action("menuMakkelijk")->isChecked());
    QVERIFY(action("menuNormaal")->isChecked());
    QCOMPARE(m_game->currentWord(), QStringLiteral("normaala"));
    QCOMPARE(galg()->shownCount(), 1);
    // The next word still comes from the list that was in play.
    m_random->setDraws({drawFor(2, 25)});
    action("menuNieuw")->trigger();
    QCOMPARE(m_game->currentWord(), QStringLiteral("normaalc"));
}

void TestMainWindow::onlyTheChosenLevelShowsAMark()
{
    auto *niveau = m_window->findChild<QMenu *>(QStringLiteral("menuNiveau"));
    // The pixels of the check column, left of the item's text, that differ
    // from the menu's background.
    const auto marked = [this, niveau](const char *name, const QImage &image) {
        const QRect row = niveau->actionGeometry(action(name));
        // Clear of the menu's frame, which the first item's box overlaps.
        const QRect column
            = QRect(row.topLeft(), QSize(row.height(), row.height())).adjusted(2, 2, -2, -2);
        const QRgb background = image.pixel(row.right() - 4, row.center().y());
        int differing = 0;
        for (int y = column.top(); y <= column.bottom(); ++y)
            for (int x = column.left(); x <= column.right(); ++x)
                differing += image.pixel(x, y) != background;
        return differing > 0;
    };
    for (const char *chosen : {"menuNormaal", "menuMoeilijk", "menuMakkelijk"}) {
        action(chosen)->trigger();
        const QImage image = niveau->grab().toImage();
        for (const char *name : {"menuMakkelijk", "menuNormaal", "menuMoeilijk"})
            QVERIFY2(marked(name, image) == (qstrcmp(name, chosen) == 0),
                     qPrintable(QStringLiteral("%1 chosen, %2").arg(chosen, name)));
    }
}

void TestMainWindow::typedWordStartsAGameEveryTime()
{
    m_window->setLblWoordCaption(QStringLiteral("Banaan"));
    click('a');
    QCOMPARE(lblzoek()->text(), QStringLiteral("-a-aa-"));
    click('q');
    m_window->setLblWoordCaption(QStringLiteral("Banaan")); // the same text again
    QCOMPARE(lblzoek()->text(), QStringLiteral("------"));
    QCOMPARE(galg()->shownCount(), 0);
    QVERIFY(m_window->findChild<QLabel *>(QStringLiteral("lblWoord"))->isHidden());
}

void TestMainWindow::sluitenClosesTheWindow()
{
    action("menuSluiten")->trigger();
    QVERIFY(!m_window->isVisible());
    QTRY_VERIFY(m_window.isNull()); // closing unloads it
    QCOMPARE(m_game->board(), nullptr);
}

void TestMainWindow::eachPieceDrawsExactlyItsBox_data()
{
    QTest::addColumn<int>("piece");
    QTest::addColumn<qreal>("scale");
    for (const qreal scale : {1.0, 1.25, 1.5, 1.75, 2.0})
        for (int i = 0; i < 10; ++i)
            QTest::addRow("piece %d at %gx", i, scale) << i << scale;
}

void TestMainWindow::eachPieceDrawsExactlyItsBox()
{
    QFETCH(int, piece);
    QFETCH(qreal, scale);
    Gallows *gallows = galg();
    gallows->setPieceShown(piece, true);
    const QImage image = renderGallows(gallows, scale);
    const QColor ink = gallows->palette().color(QPalette::WindowText);
    const PieceBox &expected = pieceBoxes[std::size_t(piece)];
    const QRect box = expected.box.translated(-gallows->pos());
    // Every pixel of the layout is a square of whole device pixels, `line`
    // wide, at its scaled place: between whole scales the strokes keep the
    // width of the whole scale below, one pixel at 1.25, 1.5 and 1.75.
    const int line = int(scale);
    const QPoint first(qRound(box.left() * scale), qRound(box.top() * scale));
    const QPoint last(qRound(box.right() * scale), qRound(box.bottom() * scale));
    const QRect device(first, last + QPoint(line - 1, line - 1));
    if (scale == line)
        QCOMPARE(device, QRect(box.topLeft() * scale, box.size() * scale));
    QCOMPARE(inkBounds(image, ink), device);

    // An outline, not a fill, of the same weight everywhere: inside a box
    // wider than a pixel, the middle stays empty, and so does the pixel a
    // stroke further in from each side.
    if (box.width() > 2 && box.height() > 2) {
        QVERIFY(image.pixelColor(device.center()) != ink);
        const QPoint middle = device.center();
        QCOMPARE(image.pixelColor(device.left() + line - 1, middle.y()), ink);
        QVERIFY(image.pixelColor(device.left() + line, middle.y()) != ink);
        QCOMPARE(image.pixelColor(device.right() - line + 1, middle.y()), ink);
        QVERIFY(image.pixelColor(device.right() - line, middle.y()) != ink);
        QCOMPARE(image.pixelColor(middle.x(), device.top() + line - 1), ink);
        QVERIFY(image.pixelColor(middle.x(), device.top() + line) != ink);
    }
    // Round pieces hang evenly about the rope, and sit evenly in height.
    if (expected.round) {
        const QImage drawn = image.copy(device);
        QCOMPARE(drawn.mirrored(true, false), drawn);
        QCOMPARE(drawn.mirrored(false, true), drawn);
    } else {
        // A rectangle's outline runs along every edge without a gap.
        for (int x = device.left(); x <= device.right(); ++x) {
            QCOMPARE(image.pixelColor(x, device.top()), ink);
            QCOMPARE(image.pixelColor(x, device.bottom()), ink);
        }
        for (int y = device.top(); y <= device.bottom(); ++y) {
            QCOMPARE(image.pixelColor(device.left(), y), ink);
            QCOMPARE(image.pixelColor(device.right(), y), ink);
        }
    }
}

void TestMainWindow::fullFigureHangsTogether()
{
    for (int i = 0; i < 10; ++i)
        galg()->setPieceShown(i, true);
    const QImage image = m_window->centralWidget()->grab().toImage();
    const QColor ink = galg()->palette().color(QPalette::WindowText);
    // Where the pieces meet, both are drawn: post on ground, post under beam,
    // rope into head, head into body, legs from inside the body.
    const QList<QPoint> joints {{248, 216}, {248, 16},  {368, 40},
                                {368, 80},  {352, 128}, {384, 128}};
    for (const QPoint &joint : joints)
        QVERIFY2(image.pixelColor(joint) == ink,
                 qPrintable(QStringLiteral("%1,%2").arg(joint.x()).arg(joint.y())));
    QCOMPARE(inkBounds(image.copy(200, 16, 226, 202), ink), QRect(0, 0, 225, 201));
}

void TestMainWindow::line1RunsAlongTheTop()
{
    const QImage image = m_window->centralWidget()->grab().toImage();
    const QColor ink = m_window->palette().color(QPalette::WindowText);
    QCOMPARE(inkBounds(image.copy(0, 0, 454, 2), ink), QRect(0, 0, 448, 1));
}

void TestMainWindow::screenReaderCanFollowTheGame()
{
    QAccessibleInterface *letter = QAccessible::queryAccessibleInterface(button('q'));
    QCOMPARE(letter->text(QAccessible::Name), QStringLiteral("Q"));
    QVERIFY(!letter->state().disabled);
    click('q');
    QVERIFY(letter->state().disabled);

    QAccessibleInterface *mask = QAccessible::queryAccessibleInterface(lblzoek());
    QCOMPARE(mask->text(QAccessible::Description), QStringLiteral("Het te raden woord"));
    click('a');
    QCOMPARE(mask->text(QAccessible::Name), QStringLiteral("----aa-a"));

    QAccessibleInterface *gallows = QAccessible::queryAccessibleInterface(galg());
    QCOMPARE(gallows->text(QAccessible::Name), QStringLiteral("Galg: 1 van 10 delen"));
    click('x');
    click('z');
    QCOMPARE(gallows->text(QAccessible::Name), QStringLiteral("Galg: 3 van 10 delen"));
    QTest::keyClick(m_window, Qt::Key_F2);
    QCOMPARE(gallows->text(QAccessible::Name), QStringLiteral("Galg: 0 van 10 delen"));
}

void TestMainWindow::letterButtonsDescribeTheBoard_data()
{
    // Each action presses its letters with Space, but "F2", "menu>item" by the
    // keyboard (", unreadable": Makkelijk's list gone), "=" and "OK" with a
    // word typed in for another player, or into the own-word dialog, and
    // "Reload": the window closed and loaded again. The list's word is
    // "normaala", Makkelijk's "makkelijka". `told`: the last action's, in order.
    QTest::addColumn<QStringList>("actions");
    QTest::addColumn<QString>("spoken");
    QTest::addColumn<QString>("told");
    const QString fresh = QStringLiteral("Nieuw woord van 8 letters. Woord: streepje streepje "
                                         "streepje streepje streepje streepje streepje streepje. "
                                         "Galg: 0 van 10 delen.");
    const QString missed = QStringLiteral("Fout: Q. Woord: streepje streepje streepje streepje a "
                                          "a streepje a. Galg: 1 van 10 delen. Gebruikt: A Q.");
    QTest::newRow("first word") << QStringList() << fresh << "described focus";
    QTest::newRow("hit") << QStringList {"a"}
                         << "Goed: A. Woord: streepje streepje streepje streepje a a streepje "
                            "a. Galg: 0 van 10 delen. Gebruikt: A."
                         << "described focus";
    QTest::newRow("miss") << QStringList {"aq"} << missed << "described focus";
    QTest::newRow("F2") << QStringList {"aq", "F2"} << fresh << "described announced";
    QTest::newRow("Bestand > Nieuw")
        << QStringList {"aq", "menuBestand>menuNieuw"} << fresh << "described focus";
    QTest::newRow("level keeps letters and pieces")
        << QStringList {"q", "menuNiveau>menuMakkelijk"}
        << "Nieuw woord van 10 letters. Woord: streepje streepje streepje streepje streepje "
           "streepje streepje streepje streepje streepje. Galg: 1 van 10 delen. Gebruikt: Q."
        << "described focus";
    QTest::newRow("unreadable level")
        << QStringList {"aq", "menuNiveau>menuMakkelijk, unreadable"} << missed << "focus";
    QTest::newRow("typed word of one letter")
        << QStringList {"q", "=X"}
        << "Nieuw woord van 1 letter. Woord: streepje. Galg: 0 van 10 delen."
        << "described";
    QTest::newRow("typed in capitals")
        << QStringList {"=KAAS", "k"}
        << "Goed: K. Woord: k streepje streepje streepje. Galg: 0 van 10 delen. Gebruikt: K."
        << "described focus";
    QTest::newRow("dialog's OK") << QStringList {"Reload", "q", "OK normaala"} << fresh
                                 << "described focus";
    QTest::newRow("after the loss") << QStringList {"bcdefghijk"} << fresh << "described focus";
    QTest::newRow("after the win") << QStringList {"qnormal"} << fresh << "described focus";
    QTest::newRow("window loaded again")
        << QStringList {"aq", "Reload"} << fresh << "described focus";
}

void TestMainWindow::letterButtonsDescribeTheBoard()
{
    QFETCH(QStringList, actions);
    QFETCH(QString, spoken);
    QFETCH(QString, told);
    MessageCatcher catcher;
    Windows windows(*m_game);
    for (const QString &action : std::as_const(actions)) {
        toldEvents.clear();
        if (action == u"F2")
            QTest::keyClick(m_window, Qt::Key_F2);
        else if (const QStringList path = action.split(u'>'); path.size() == 2) {
            if (action.endsWith(u"unreadable"))
                QFile::remove(m_dir->filePath("makkelijk.txt"));
            auto *menu = m_window->findChild<QMenu *>(path.first());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Alt); // to the menu bar
            m_window->menuBar()->setActiveAction(menu->menuAction());
            menu->setActiveAction(this->action(qPrintable(path.last().section(u',', 0, 0))));
            QTest::keyClick(menu, Qt::Key_Return);
        } else if (action.startsWith(u'='))
            m_window->setLblWoordCaption(action.mid(1));
        else if (action.startsWith(u"OK ")) {
            windows.openInvul(); // its text box has the focus, then OK
            QTRY_VERIFY(!m_window->isActiveWindow());
            QTest::keyClicks(QApplication::focusWidget(), action.mid(3));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        } else if (action == u"Reload") {
            m_window->close();
            m_window = windows.showMainWindow(); // as the own-word dialog's "Sluiten" does
            QVERIFY(QTest::qWaitForWindowActive(m_window));
        } else
            for (const QChar letter : action) {
                QPushButton *guess = button(char(letter.unicode()));
                guess->setFocus();
                toldEvents.clear();
                QTest::keyClick(guess, Qt::Key_Space);
            }
    }

    m_window->activateWindow(); // as a window manager does after a box or the dialog
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    QCOMPARE(toldEvents.trimmed(), told);
    for (char letter = 'a'; letter <= 'z'; ++letter)
        QCOMPARE(
            QAccessible::queryAccessibleInterface(button(letter))->text(QAccessible::Description),
            spoken);
    // The announcement is for screen readers alone.
    auto *announcement = m_window->findChild<QWidget *>(QStringLiteral("announcement"));
    QVERIFY(announcement->isHidden());
    QAccessibleInterface *notification = QAccessible::queryAccessibleInterface(announcement);
    QCOMPARE(notification->role(), QAccessible::Notification);
    QCOMPARE(notification->text(QAccessible::Name), told.contains("announced") ? spoken : "");
}

void TestMainWindow::everyShippedWordFitsTheLabel()
{
    const QFontMetrics metrics(lblzoek()->font());
    for (const char *name : {"makkelijk.txt", "normaal.txt", "moeilijk.txt"}) {
        QFile file(QStringLiteral(WIRLEP_DATA_DIR "/") + QLatin1StringView(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        for (const QString &word : QString::fromLatin1(file.readAll()).split("\r\n")) {
            // Revealed in full just before the win message shows.
            QVERIFY2(metrics.horizontalAdvance(word) <= lblzoek()->width(), qPrintable(word));
            QVERIFY(metrics.horizontalAdvance(QString(word.size(), u'-')) <= lblzoek()->width());
        }
    }
}

void TestMainWindow::longTypedWordShowsEveryPosition_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<bool>("fullSize");
    QTest::addColumn<int>("margin"); // the label's, in pixels
    QTest::newRow("short word, full size") << "kaas" << true << 0;
    QTest::newRow("fourteen letters, full size") << "tandenborstels" << true << 0;
    // No button reveals these: they stay dashes, however wide they are.
    QTest::newRow("twelve Cyrillic letters, full size") << QString(12, QChar(0x0416)) << true << 0;
    QTest::newRow("thirty letters") << QString(30, u'k') << false << 0;
    QTest::newRow("fifty letters") << QString(50, u'k') << false << 0;
    // The widest letters there are, shown once M and W are guessed: only the
    // last position is left a dash.
    const QString widest = QString(25, u'm') + QString(24, u'w') + u'q';
    QTest::newRow("fifty of the widest letters") << widest << false << 0;
    // Margins that leave them room only at the smallest size.
    QTest::newRow("fifty of the widest letters, wide margins") << widest << false << 16;
}

void TestMainWindow::longTypedWordShowsEveryPosition()
{
    QFETCH(QString, word);
    QFETCH(bool, fullSize);
    QFETCH(int, margin);
    MaskLabel *mask = lblzoek();
    mask->setMargin(margin);
    m_window->setLblWoordCaption(word);
    click('m');
    click('w');
    const QStringList lines = mask->lines();
    QCOMPARE(lines.join(QString()), mask->text());
    QCOMPARE(mask->text().size(), word.size());
    const QFontMetrics metrics(mask->font());
    for (const QString &line : lines)
        QVERIFY2(metrics.horizontalAdvance(line) <= mask->width(), qPrintable(line));
    QVERIFY(int(lines.size()) * metrics.lineSpacing()
            <= std::max(mask->height(), metrics.height()));
    QVERIFY(mask->font().pointSizeF() >= MaskLabel::smallestPointSize);
    QCOMPARE(mask->font().pointSizeF() < MaskLabel::smallestOneLinePointSize, margin > 0);
    QVERIFY(m_window->centralWidget()->rect().contains(mask->geometry()));
    const QRect box = Layout::Main::lblzoek.toPixels();
    QCOMPARE(mask->geometry().topLeft(), box.topLeft());
    QCOMPARE(mask->font().pointSizeF() == 15.75, fullSize);
    if (fullSize) {
        QCOMPARE(mask->geometry(), box);
        QCOMPARE(lines.size(), 1);
    }
    // Nothing drawn touches the label's edges, where a glyph would be cut off.
    const QImage image = mask->grab().toImage();
    const QColor background = mask->palette().color(QPalette::Window);
    int ink = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) == background)
                continue;
            ++ink;
            QVERIFY2(x > 0 && x < image.width() - 1 && y < image.height() - 1,
                     qPrintable(QStringLiteral("ink at %1,%2").arg(x).arg(y)));
        }
    }
    QVERIFY(ink > 0);
    // A new short word is shown at full size again, in the label's own box.
    m_window->setLblWoordCaption(QStringLiteral("kaas"));
    QCOMPARE(mask->font().pointSizeF(), 15.75);
    QCOMPARE(mask->geometry(), box);
}

void TestMainWindow::maskKeepsItsSizeThroughTheGame()
{
    // Dashes fit at full size; the letters, much wider, would not.
    m_window->setLblWoordCaption(QStringLiteral("MmwwmmwwmmwwMq"));
    const QFont start = lblzoek()->font();
    for (const char letter : {'m', 'w'}) {
        click(letter);
        QCOMPARE(lblzoek()->font(), start);
    }
    QCOMPARE(lblzoek()->text(), QStringLiteral("mmwwmmwwmmwwm-"));
    // Still fits once the last letter shows, just before the win message.
    QVERIFY(QFontMetrics(start).horizontalAdvance(QStringLiteral("mmwwmmwwmmwwmq"))
            <= lblzoek()->width());
}

void TestMainWindow::programIconComesInItsSizes()
{
    const QIcon icon = ProgramIcon::icon();
    QCOMPARE(icon.availableSizes(), (QList<QSize> {{16, 16}, {32, 32}, {48, 48}}));
    for (const QSize &size : icon.availableSizes()) {
        const QImage image = icon.pixmap(size).toImage();
        QCOMPARE(image.size(), size);
        QCOMPARE(qAlpha(image.pixel(0, size.height() - 1)), 0); // transparent around the body
    }
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
Q_IMPORT_PLUGIN(EventBridgePlugin)
