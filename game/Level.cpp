#include "Level.h"

#include "Texts.h"

QString wordListFileName(Level level)
{
    switch (level) {
    case Level::Makkelijk:
        return QStringLiteral("makkelijk.txt");
    case Level::Normaal:
        return QStringLiteral("normaal.txt");
    case Level::Moeilijk:
        return QStringLiteral("moeilijk.txt");
    }
    Q_UNREACHABLE();
}

QString levelCaption(Level level)
{
    switch (level) {
    case Level::Makkelijk:
        return Texts::menuMakkelijk;
    case Level::Normaal:
        return Texts::menuNormaal;
    case Level::Moeilijk:
        return Texts::menuMoeilijk;
    }
    Q_UNREACHABLE();
}
