#pragma once

#include <QString>

/// Every text the player reads, in one place, so the program and its tests
/// use the same words.
namespace Texts {

inline const QString programName = QStringLiteral("Wirlep");

// Game messages.
inline const QString won = QStringLiteral("Gefeliciteerd, u heeft gewonnen!!");
inline const QString lostPrefix = QStringLiteral("Helaas, u heeft verloren\n\nHet woord was: '");
inline const QString lostSuffix = QStringLiteral("'.");
inline QString lost(const QString &word)
{
    return lostPrefix + word + lostSuffix;
}

/// The dash that stands for a position not yet guessed.
inline const QString hidden = QStringLiteral("-");

// Word list errors.
inline const QString listUnreadable = QStringLiteral("Kan de woordenlijst %1 niet lezen: %2");
inline const QString reasonMissing = QStringLiteral("het bestand bestaat niet.");
inline const QString reasonDirectory = QStringLiteral("dit is een map, geen bestand.");
inline const QString reasonNotAFile = QStringLiteral("dit is geen gewoon bestand.");
inline const QString reasonNoAccess = QStringLiteral("geen toestemming om het te lezen.");
inline const QString reasonReadError = QStringLiteral("het bestand kan niet worden gelezen (%1).");
inline const QString reasonLineTooLong = QStringLiteral("regel %1 is langer dan %2 tekens.");
inline const QString reasonCutOff = QStringLiteral("het bestand eindigt midden in een teken.");
/// %1 the line, %2 the code unit in hexadecimal.
inline const QString reasonHalfCharacter
    = QStringLiteral("regel %1 bevat een half teken (U+%2 zonder zijn andere helft).");
/// %1 the line, %2 the value in hexadecimal; for UTF-32 files.
inline const QString reasonBeyondUnicode
    = QStringLiteral("regel %1 bevat de waarde %2, hoger dan U+10FFFF, de hoogste code die "
                     "Unicode kent.");
inline const QString reasonSurrogateValue = QStringLiteral(
    "regel %1 bevat U+%2, een code die alleen in UTF-16 bestaat, als helft van een teken.");

// Typed words.
inline const QString wordTooLong = QStringLiteral("Een woord mag hoogstens %1 tekens hebben.");

// The main window.
inline const QString mainCaption = QStringLiteral("Wirlep....");
inline const QString menuBestand = QStringLiteral("Bestand");
inline const QString menuNieuw = QStringLiteral("Nieuw");
inline const QString menuSluiten = QStringLiteral("Sluiten");
inline const QString menuWoord = QStringLiteral("Woord");
inline const QString menuInvul = QStringLiteral("Invullen");
inline const QString menuNiveau = QStringLiteral("Niveau");
inline const QString menuMakkelijk = QStringLiteral("Makkelijk");
inline const QString menuNormaal = QStringLiteral("Normaal");
inline const QString menuMoeilijk = QStringLiteral("Moeilijk");
inline const QString menuHelpKnop = QStringLiteral("Help");
inline const QString menuHelp = QStringLiteral("Help");
inline const QString menuInfo = QStringLiteral("Info");
inline const QString lblzoekDescription = QStringLiteral("Het te raden woord");
inline const QString galgName = QStringLiteral("Galg: %1 van %2 delen");
inline const QString galgDescription = QStringLiteral("De galg, die met elke foute letter groeit");

// What a screen reader says of the game: the letter buttons' description,
// spoken after the name of the button that has the focus.
inline const QString spokenNewWord = QStringLiteral("Nieuw woord van %1 letters.");
inline const QString spokenNewWordOfOne = QStringLiteral("Nieuw woord van 1 letter.");
inline const QString spokenHit = QStringLiteral("Goed: %1.");
inline const QString spokenMiss = QStringLiteral("Fout: %1.");
/// %1: the mask position by position, a letter or spokenHidden each.
inline const QString spokenMask = QStringLiteral("Woord: %1.");
inline const QString spokenHidden = QStringLiteral("streepje");
inline const QString spokenGalg = galgName + QStringLiteral(".");
inline const QString spokenUsed = QStringLiteral("Gebruikt: %1.");

// The own-word dialog.
inline const QString invulCaption = QStringLiteral("Woord invullen");
inline const QString invulPrompt
    = QStringLiteral("Vul hier het woord in dat u wilt gebruiken voor een ander");
inline const QString invulOk = QStringLiteral("OK");
inline const QString invulSluiten = QStringLiteral("Sluiten");

// The help window.
inline const QString helpCaption = QStringLiteral("Help");
inline const QString helpTitle = QStringLiteral("De helpfunctie");
inline const QString helpBestand = QStringLiteral(
    "Ga in het menu naar \"Bestand\" U ziet daar twee mogelijkheden \"Nieuw\" en \"Sluiten\". "
    "De naam zegt het eigenlijk al met \"Nieuw\" komt er een nieuw woord en kunt u opnieuw "
    "beginnen. Met \"Sluiten\" sluit u het programma af.");
inline const QString helpNiveau = QStringLiteral(
    "Met het menu \"Niveau\" kunt u uw gewenste niveau kiezen. De keuzes zijn Makkelijk, "
    "Normaal en Moeilijk. Standaard staat dit op Normaal.");
inline const QString helpWoord = QStringLiteral(
    "Met \"Woord invullen\" in het menu \"Woord\" kunt u een gewenst woord invullen wat uw "
    "tegenstander moet raden.");
inline const QString helpSluiten = QStringLiteral("Sluiten");
inline const QString helpPictureDescription = QStringLiteral("Vraagteken");

// The info window.
inline const QString infoCaption = QStringLiteral("Info");
/// %1 is the version, e.g. "1.00".
inline const QString infoCredit = QStringLiteral("Wirlep %1, een galgjespel");

} // namespace Texts
