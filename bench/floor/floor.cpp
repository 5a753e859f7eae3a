// The least a window like Wirlep's can cost: a bare main window of the same
// client size with a menu bar of four menus, 26 buttons and two labels, and
// nothing behind them. It quits by itself once its first frame is painted, so
// its start-up is what Qt alone takes to show such a window; with --stay it
// waits to be closed instead, as Wirlep does.

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

namespace {

/// The client area: quits the program right after the first frame, once the
/// painted frame has gone to the screen.
class Client : public QWidget
{
public:
    Client(bool quitWhenPainted, QWidget *parent)
        : QWidget(parent)
        , m_quitWhenPainted(quitWhenPainted)
    { }

protected:
    void paintEvent(QPaintEvent *) override
    {
        if (!m_quitWhenPainted || m_painted)
            return;
        m_painted = true;
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    }

private:
    bool m_quitWhenPainted;
    bool m_painted = false;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const bool stay = QCoreApplication::arguments().contains(QStringLiteral("--stay"));

    QMainWindow window;
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.setWindowTitle(QStringLiteral("Wirlep floor"));
    auto *client = new Client(!stay, &window);
    client->setFixedSize(454, 232);
    window.setCentralWidget(client);

    for (const char *title : {"Bestand", "Woord", "Niveau", "Help"})
        window.menuBar()->addMenu(QString::fromLatin1(title))->addAction(QStringLiteral("Item"));

    for (int i = 0; i < 26; ++i) {
        auto *button = new QPushButton(QString(QChar(char16_t(u'A' + i))), client);
        button->setGeometry(16 + (i % 7) * 24 + (i / 7 % 2) * 8, 48 + (i / 7) * 24, 25, 25);
    }
    auto *masked = new QLabel(QStringLiteral("-------"), client);
    masked->setGeometry(16, 160, 177, 25);
    auto *typed = new QLabel(client);
    typed->setGeometry(8, 16, 161, 25);
    typed->hide();

    window.show();
    return QApplication::exec();
}
