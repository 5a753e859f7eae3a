#pragma once

#include <QString>

#include <array>

/// The three levels, each with its own word list file.
enum class Level { Makkelijk, Normaal, Moeilijk };

inline constexpr std::array allLevels {Level::Makkelijk, Level::Normaal, Level::Moeilijk};

/// The word list's file name, e.g. "normaal.txt".
QString wordListFileName(Level level);

/// The menu caption, e.g. "Normaal".
QString levelCaption(Level level);
