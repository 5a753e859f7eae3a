#pragma once

#include <QRandomGenerator>

/// Where the game's draws come from; tests put a fixed sequence in its place.
class RandomSource
{
public:
    virtual ~RandomSource() = default;

    /// A uniform number r with 0 <= r < 1.
    virtual double next() = 0;
};

/// The program's own source: seeded once per run from the system's entropy,
/// so two quick draws in a row are independent and runs differ.
class SystemRandom final : public RandomSource
{
public:
    double next() override { return m_generator.generateDouble(); }

private:
    QRandomGenerator m_generator = QRandomGenerator::securelySeeded();
};
