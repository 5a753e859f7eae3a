#pragma once

#include "Board.h"
#include "RandomSource.h"

#include <QList>
#include <QString>

#include <algorithm>
#include <array>
#include <functional>
#include <map>

/// A board that records what the game does to it.
class FakeBoard : public Board
{
public:
    FakeBoard() { enabledLetters.fill(true); }

    QString lblzoekCaption() const override { return lblzoek; }
    void setLblzoekCaption(const QString &caption) override { lblzoek = caption; }
    QString lblWoordCaption() const override { return lblWoord; }
    void setLetterEnabled(QChar letter, bool enabled) override
    {
        enabledLetters[letter.unicode() - u'a'] = enabled;
    }
    bool isLetterEnabled(QChar letter) const override
    {
        return enabledLetters[std::size_t(letter.unicode() - u'a')];
    }
    bool isPieceShown(int index) const override { return pieces.at(std::size_t(index)); }
    void showPiece(int index) override { pieces.at(std::size_t(index)) = true; }
    void hidePiece(int index) override { pieces.at(std::size_t(index)) = false; }
    void setLevelChecked(Level level, bool checked) override
    {
        checks[level] = checked;
        checkOrder.append(level);
    }
    void showMessage(const QString &text) override
    {
        messages.append(text);
        if (onMessage)
            onMessage(text);
    }
    void closeWindow() override { ++closeCount; }

    int enabledCount() const
    {
        return int(std::count(enabledLetters.begin(), enabledLetters.end(), true));
    }
    int shownPieces() const { return int(std::count(pieces.begin(), pieces.end(), true)); }
    bool checked(Level level) const { return checks.count(level) ? checks.at(level) : false; }

    QString lblzoek;
    QString lblWoord;
    std::array<bool, 26> enabledLetters;
    std::array<bool, Board::pieceCount> pieces {};
    std::map<Level, bool> checks {{Level::Normaal, true}};
    QList<Level> checkOrder;
    QStringList messages;
    std::function<void(const QString &)> onMessage;
    int closeCount = 0;
};

/// Hands out the given draws in turn, then repeats the last one.
class FixedRandom : public RandomSource
{
public:
    explicit FixedRandom(QList<double> draws = {0.0})
        : m_draws(std::move(draws))
    { }
    void setDraws(QList<double> draws)
    {
        m_draws = std::move(draws);
        m_next = 0;
    }
    double next() override
    {
        const double r = m_draws.at(std::min(m_next, m_draws.size() - 1));
        ++m_next;
        return r;
    }

private:
    QList<double> m_draws;
    qsizetype m_next = 0;
};
