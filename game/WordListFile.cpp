#include "WordListFile.h"

#include "Texts.h"
#include "Word.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <array>

namespace WordListFile {

namespace {

QString failure(const QString &name, const QString &reason)
{
    return Texts::listUnreadable.arg(name, reason);
}

/// Splits the device into raw lines, stopping after maxLines lines. Returns
/// the 1-based number of an over-long line, or 0.
int readRawLines(QIODevice &device, QList<QByteArray> &lines, bool &readFailed)
{
    constexpr qsizetype chunkSize = 4096;
    std::array<char, chunkSize> chunk {};
    QByteArray current;
    bool inLine = false; // bytes seen since the last line break
    bool afterCr = false; // an LF right after a CR belongs to it
    readFailed = false;

    auto finishLine = [&] {
        lines.append(current);
        current.clear();
        inLine = false;
    };

    while (lines.size() < maxLines) {
        const qint64 got = device.read(chunk.data(), chunkSize);
        if (got < 0) {
            readFailed = true;
            return 0;
        }
        if (got == 0)
            break;
        for (qint64 i = 0; i < got && lines.size() < maxLines; ++i) {
            const char c = chunk[static_cast<std::size_t>(i)];
            if (c == '\n' && afterCr) {
                afterCr = false;
                continue;
            }
            afterCr = c == '\r';
            if (c == '\r' || c == '\n') {
                finishLine();
                continue;
            }
            inLine = true;
            current.append(c);
            if (current.size() > maxLineBytes)
                return int(lines.size()) + 1;
        }
    }
    if (inLine && lines.size() < maxLines)
        finishLine();
    return 0;
}

bool isValidUtf8(const QList<QByteArray> &lines)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    for (const QByteArray &line : lines) {
        [[maybe_unused]] const QString text = decoder.decode(line);
        if (decoder.hasError())
            return false;
    }
    return true;
}

QString decodeWindows1252(const QByteArray &bytes)
{
    // 0x80 to 0x9F differ from Latin-1; the five unassigned bytes keep their value.
    static constexpr std::array<char16_t, 32> high
        = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
           0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
           0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        text[i] = (byte >= 0x80 && byte < 0xA0) ? QChar(high[byte - 0x80]) : QChar(byte);
    }
    return text;
}

constexpr QByteArrayView utf8Bom("\xEF\xBB\xBF");

/// Decodes the lines read after a byte-order mark (\a hadBom) or from the
/// start of the file. Only that one mark is dropped, and only from UTF-8:
/// a U+FEFF inside the text belongs to its line.
QStringList decode(QList<QByteArray> lines, bool hadBom)
{
    QStringList words;
    words.reserve(lines.size());
    if (isValidUtf8(lines)) {
        QStringDecoder utf8(QStringDecoder::Utf8,
                            QStringDecoder::Flag::Stateless
                                | QStringDecoder::Flag::ConvertInitialBom);
        for (const QByteArray &line : std::as_const(lines))
            words.append(utf8.decode(line));
    } else {
        if (hadBom)
            lines.first().prepend(utf8Bom);
        for (const QByteArray &line : std::as_const(lines))
            words.append(decodeWindows1252(line));
    }
    return words;
}

} // namespace

WordListRead read(QIODevice &device, const QString &name)
{
    // The mark goes before the lines are split, so that a file holding only
    // the mark, as an editor saves an empty UTF-8 file, has no lines at all.
    const bool hadBom = device.peek(utf8Bom.size()) == utf8Bom;
    if (hadBom)
        device.skip(utf8Bom.size());

    QList<QByteArray> raw;
    bool readFailed = false;
    if (const int longLine = readRawLines(device, raw, readFailed))
        return {{}, failure(name, Texts::reasonLineTooLong.arg(longLine).arg(Word::maxLength))};
    if (readFailed)
        return {{}, failure(name, Texts::reasonReadError.arg(device.errorString()))};

    QStringList words = decode(std::move(raw), hadBom);
    for (qsizetype i = 0; i < words.size(); ++i) {
        if (!Word::fits(words[i]))
            return {{}, failure(name, Texts::reasonLineTooLong.arg(i + 1).arg(Word::maxLength))};
    }
    return {words, {}};
}

WordListRead read(const QString &path)
{
    const QFileInfo info(path);
    const QString name = QDir::toNativeSeparators(info.absoluteFilePath());
    if (!info.exists())
        return {{}, failure(name, Texts::reasonMissing)};
    if (info.isDir())
        return {{}, failure(name, Texts::reasonDirectory)};

    // A refused open reports only a generic error with the system's text;
    // asking first gives the player the reason in Dutch.
    if (!info.isReadable())
        return {{}, failure(name, Texts::reasonNoAccess)};

    // Unbuffered: QFile would otherwise read ahead 16 KB of a file of which
    // only the first lines are wanted.
    QFile file(info.absoluteFilePath());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return {{}, failure(name, Texts::reasonReadError.arg(file.errorString()))};
    return read(file, name);
}

} // namespace WordListFile
