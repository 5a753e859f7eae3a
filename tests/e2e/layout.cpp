// Writes the program's layout, in pixels at 96 dots per inch, as shell
// assignments for the end-to-end driver (play.sh), which scales them to the
// screen it plays on; and the facts every script that starts the program
// looks for: its window titles, the size of a word list, the longest word,
// the letters and the gallows pieces. Every place comes from ui/Layout.h,
// every text from game/Texts.h; nothing here is a number of the program.
// Usage: e2e_layout <output file>

#include "Layout.h"
#include "Game.h"
#include "Level.h"
#include "Texts.h"
#include "Word.h"

#include <QFile>
#include <QRect>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <optional>
#include <vector>

namespace {

using Layout::Main::Outline;

QString box(const QRect &r)
{
    return QStringLiteral("\"%1 %2 %3 %4\"").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

/// \a text in single quotes, as the shell reads it back unchanged.
QString quoted(QString text)
{
    return u'\'' + text.replace(u'\'', QStringLiteral("'\\''")) + u'\'';
}

/// A small box centred on \a point, \a size pixels across.
QRect around(QPointF point, QSize size)
{
    return {int(std::lround(point.x() - size.width() / 2.0)),
            int(std::lround(point.y() - size.height() / 2.0)), size.width(), size.height()};
}

/// Points on a piece's outline where the driver may look for it, best first:
/// along a line, its middle and then its quarters; on a round piece, its
/// sides and then points just below and above them.
std::vector<QPointF> outlinePoints(const Layout::Main::Piece &piece)
{
    const QRectF r = piece.box.toPixels();
    if (piece.outline == Outline::Rectangle) {
        std::vector<QPointF> points;
        for (const double along : {0.5, 0.25, 0.75}) {
            if (r.width() >= r.height())
                points.emplace_back(r.left() + along * r.width(), r.top());
            else
                points.emplace_back(r.left(), r.top() + along * r.height());
        }
        return points;
    }
    // A circle is the largest that fits its box, in the middle of it.
    QSizeF radii = r.size() / 2.0;
    if (piece.outline == Outline::Circle)
        radii = QSizeF(1, 1) * std::min(radii.width(), radii.height());
    std::vector<QPointF> points;
    for (const double degrees : {180.0, 0.0, 160.0, 200.0, 20.0, 340.0}) {
        const double t = degrees * std::numbers::pi / 180.0;
        points.emplace_back(r.center().x() + radii.width() * std::cos(t),
                            r.center().y() + radii.height() * std::sin(t));
    }
    return points;
}

/// A box on piece \a index's outline that no other piece comes within a
/// pixel of, so that ink seen there is that piece's alone.
std::optional<QRect> probe(std::size_t index)
{
    const auto &pieces = Layout::Main::galg;
    const auto &piece = pieces[index];
    const QRect r = piece.box.toPixels();
    const QSize size = piece.outline != Outline::Rectangle ? QSize(5, 6)
        : r.width() >= r.height()                          ? QSize(10, 3)
                                                           : QSize(5, 10);
    for (const QPointF &point : outlinePoints(piece)) {
        const QRect candidate = around(point, size);
        const QRect margin = candidate.adjusted(-1, -1, 1, 1);
        bool alone = true;
        for (std::size_t other = 0; other < pieces.size(); ++other)
            alone = alone && (other == index || !margin.intersects(pieces[other].box.toPixels()));
        if (alone)
            return candidate;
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output file>\n", argv[0]);
        return 2;
    }
    QString text;
    QTextStream out(&text);
    out << "# Written by e2e_layout from ui/Layout.h and game/: \"x y w h\" in pixels at 96 dpi.\n";

    out << "MAIN_TITLE=" << quoted(Texts::mainCaption)
        << "\nBOX_TITLE=" << quoted(Texts::programName)
        << "\nINVUL_TITLE=" << quoted(Texts::invulCaption)
        << "\nHELP_TITLE=" << quoted(Texts::helpCaption)
        << "\nINFO_TITLE=" << quoted(Texts::infoCaption) << '\n';
    out << "LIST_SLOTS=" << Game::listSlots << "\nWORD_MAX=" << Word::maxLength << '\n';
    // The letters of the buttons, from a on, as the program names them.
    out << "LETTERS=";
    for (std::size_t i = 0; i < Layout::Main::letters.size(); ++i)
        out << QChar(char16_t(u'a' + i));
    out << "\nPIECE_COUNT=" << Layout::Main::galg.size() << "\nLIST_FILES=(";
    for (const Level level : allLevels)
        out << ' ' << quoted(wordListFileName(level));
    out << " )\n";
    for (const Level level : allLevels)
        out << "LIST_FILE_" << levelCaption(level).toUpper() << '='
            << quoted(wordListFileName(level)) << '\n';

    const QSize client = Layout::Main::client.toPixels();
    out << "CLIENT_W=" << client.width() << "\nCLIENT_H=" << client.height() << '\n';
    out << "LINE1=" << box(Layout::Main::line1.toPixels()) << '\n';
    out << "LBLZOEK=" << box(Layout::Main::lblzoek.toPixels()) << '\n';

    const int letter = Twips::toPixels(Layout::Main::letterSize);
    out << "LETTER_BOXES=(";
    for (const auto &[left, top] : Layout::Main::letters)
        out << ' ' << box({Twips::toPixels(left), Twips::toPixels(top), letter, letter});
    out << " )\n";

    // Where each gallows piece is looked for, in client pixels.
    out << "PIECE_PROBES=(";
    for (std::size_t i = 0; i < Layout::Main::galg.size(); ++i) {
        const std::optional<QRect> found = probe(i);
        if (!found) {
            std::fprintf(stderr, "e2e_layout: no spot on piece %zu that is its alone\n", i);
            return 1;
        }
        out << ' ' << box(*found);
    }
    out << " )\n";

    out << "INVUL_TXTINVUL=" << box(Layout::Invul::txtInvul.toPixels()) << '\n';
    out << "INVUL_OK=" << box(Layout::Invul::cmdOk.toPixels()) << '\n';
    out << "INVUL_SLUITEN=" << box(Layout::Invul::cmdSluiten.toPixels()) << '\n';
    out << "HELP_SLUITEN=" << box(Layout::Help::cmdSluithelp.toPixels()) << '\n';
    out.flush();

    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(text.toUtf8()) != text.toUtf8().size()) {
        std::fprintf(stderr, "e2e_layout: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
