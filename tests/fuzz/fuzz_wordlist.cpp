// Any bytes as a word list: whatever the file holds, a read returns at most 26
// lines that fit the game, or an error, and stops reading early.

#include "Word.h"
#include "WordListFile.h"

#include <QBuffer>
#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

const QString listName = QStringLiteral("lijst.txt");

/// The most a read may take from the device: every line up to the limit plus
/// a CR LF, and one chunk read ahead.
constexpr qint64 maxConsumed = WordListFile::maxLines * (WordListFile::maxLineBytes + 2) + 4096;

[[noreturn]] void breach(const char *what, const QString &detail = {})
{
    std::fprintf(stderr, "fuzz_wordlist: %s %s\n", what, qPrintable(detail));
    std::abort();
}

/// The lines of plain ASCII text, split at CR LF, a lone CR or a lone LF,
/// without the final empty line, at most maxLines of them.
QStringList asciiLines(const QByteArray &bytes)
{
    QStringList lines;
    QString current;
    bool pending = false;
    for (qsizetype i = 0; i < bytes.size() && lines.size() < WordListFile::maxLines; ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
            lines.append(current);
            current.clear();
            pending = false;
        } else {
            current.append(QLatin1Char(c));
            pending = true;
        }
    }
    if (pending && lines.size() < WordListFile::maxLines)
        lines.append(current);
    return lines;
}

bool isAscii(const QByteArray &bytes)
{
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        breach("cannot open the buffer");

    const WordListRead list = WordListFile::read(buffer, listName);

    if (list.lines.size() > WordListFile::maxLines)
        breach("more lines than slots:", QString::number(list.lines.size()));
    if (buffer.pos() > maxConsumed)
        breach("read too far:", QString::number(buffer.pos()));

    if (!list.ok()) {
        if (!list.lines.isEmpty())
            breach("lines returned with an error:", list.error);
        if (!list.error.contains(listName))
            breach("the error does not name the list:", list.error);
        return 0;
    }

    for (const QString &line : list.lines) {
        if (Word::length(line) > Word::maxLength)
            breach("a line longer than a word may be:", line);
        if (line.contains(QLatin1Char('\r')) || line.contains(QLatin1Char('\n')))
            breach("a line break inside a line:", line);
        if (!QStringView(line).isValidUtf16())
            breach("half a character in a line:", line);
    }

    // Plain ASCII reads the same in both encodings, so its lines are known.
    if (isAscii(bytes)) {
        const QStringList expected = asciiLines(bytes);
        if (list.lines != expected)
            breach("ASCII lines differ from a plain split:",
                   list.lines.join(u'|') + QStringLiteral(" vs ") + expected.join(u'|'));
    }
    return 0;
}
