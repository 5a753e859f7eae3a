#include "WordListFile.h"

#include "Texts.h"
#include "Word.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <optional>
#include <system_error>
#include <utility>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace WordListFile {

namespace {

QString failure(const QString &name, const QString &reason)
{
    return Texts::listUnreadable.arg(name, reason);
}

/// Splits text into lines as it arrives, piece by piece: a line ends at
/// CR LF, a lone CR or a lone LF. \a Text is QByteArray for text still to be
/// decoded, QString for text decoded as it is read.
template<class Text> class LineSplitter
{
public:
    /// \a maxLength: the most elements a line may hold.
    explicit LineSplitter(qsizetype maxLength)
        : m_maxLength(maxLength)
    { }

    /// Takes the next piece of text. False once no more is wanted: all the
    /// lines the list has slots for are in, or a line has grown too long.
    bool take(const Text &piece)
    {
        for (const auto c : piece) {
            if (full())
                return false;
            if (c == u'\n' && m_afterCr) {
                m_afterCr = false;
                continue;
            }
            m_afterCr = c == u'\r';
            if (c == u'\r' || c == u'\n') {
                finishLine();
                continue;
            }
            m_inLine = true;
            m_current.append(c);
            if (m_current.size() > m_maxLength) {
                m_tooLongLine = int(lines.size()) + 1;
                return false;
            }
        }
        return !full();
    }

    /// The end of the text: a last line without a break counts too.
    void finish()
    {
        m_ended = true;
        if (m_inLine && !full())
            finishLine();
    }

    /// Whether the text came to its end, rather than the splitter stopping it.
    bool ended() const { return m_ended; }

    /// The 1-based number of the line that grew too long, or 0.
    int tooLongLine() const { return m_tooLongLine; }

    QList<Text> lines;

private:
    bool full() const { return lines.size() >= maxLines; }
    void finishLine()
    {
        lines.append(m_current);
        m_current.clear();
        m_inLine = false;
    }

    qsizetype m_maxLength;
    Text m_current;
    bool m_inLine = false; ///< elements seen since the last line break
    bool m_afterCr = false; ///< an LF right after a CR belongs to it
    int m_tooLongLine = 0;
    bool m_ended = false;
};

/// Feeds \a device to \a splitter in small reads, each turned into text by
/// \a decode, until the splitter wants no more or the device ends. Returns
/// why a read failed, or an empty string.
template<class Text, class Decode>
QString readInto(QIODevice &device, LineSplitter<Text> &splitter, Decode decode)
{
    constexpr qsizetype chunkSize = 4096;
    std::array<char, chunkSize> chunk {};
    for (;;) {
        const qint64 got = device.read(chunk.data(), chunkSize);
        if (got < 0)
            return Texts::reasonReadError.arg(device.errorString());
        if (got == 0) {
            splitter.finish();
            return {};
        }
        if (!splitter.take(decode(QByteArrayView(chunk.data(), got))))
            return {};
    }
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

/// Decodes the lines read after a UTF-8 byte-order mark (\a hadBom) or from
/// the start of the file. Only that one mark is dropped, and only from
/// UTF-8: a U+FEFF inside the text belongs to its line.
QStringList decodeUtf8OrWindows1252(QList<QByteArray> lines, bool hadBom)
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

/// UTF-16 or UTF-32, when the file starts with the byte-order mark of one.
/// A UTF-8 mark, or none, leaves the choice to the text itself.
std::optional<QStringConverter::Encoding> wideEncoding(QIODevice &device)
{
    const auto encoding = QStringConverter::encodingForData(device.peek(4));
    if (!encoding || *encoding == QStringConverter::Utf8)
        return std::nullopt;
    return encoding;
}

/// What reading a list gave: its words, or why there are none.
struct Reading
{
    QStringList words;
    int tooLongLine = 0;
    QString error; ///< why the text could not be read, or empty
};

bool isUtf32(QStringConverter::Encoding encoding)
{
    return encoding == QStringConverter::Utf32LE || encoding == QStringConverter::Utf32BE;
}

/// A code unit or value in hexadecimal, as Unicode writes them.
QString hex(char32_t value)
{
    return QString::number(value, 16).toUpper().rightJustified(4, u'0');
}

/// Turns UTF-32 into UTF-16 as it arrives, dropping the file's one leading
/// mark. Qt's own decoder hands a value above U+10FFFF or in the surrogate
/// range on as UTF-16 code units, two of which can then pair up into a
/// character the file never held. Here each such value becomes a lone low
/// surrogate, which no pair takes in, and the first of them is kept, to be
/// named.
class Utf32Decoder
{
public:
    explicit Utf32Decoder(bool bigEndian)
        : m_bigEndian(bigEndian)
    { }

    QString decode(QByteArrayView bytes)
    {
        QString text;
        for (const char byte : bytes) {
            m_unit[m_filled++] = static_cast<unsigned char>(byte);
            if (m_filled < m_unit.size())
                continue;
            m_filled = 0;
            if (!m_bigEndian)
                std::reverse(m_unit.begin(), m_unit.end());
            const char32_t value = char32_t(m_unit[0]) << 24 | char32_t(m_unit[1]) << 16
                | char32_t(m_unit[2]) << 8 | char32_t(m_unit[3]);
            if (std::exchange(m_atStart, false) && value == 0xFEFF)
                continue;
            if (value > 0x10FFFF || QChar::isSurrogate(value)) {
                if (!m_firstInvalid)
                    m_firstInvalid = value;
                text.append(QChar(notACharacter));
            } else if (QChar::requiresSurrogates(value)) {
                text.append(QChar(QChar::highSurrogate(value)));
                text.append(QChar(QChar::lowSurrogate(value)));
            } else {
                text.append(QChar(value));
            }
        }
        return text;
    }

    /// Whether the bytes so far end inside a value.
    bool unfinished() const { return m_filled != 0; }

    /// Why the first value that is no character is none, for line \a line.
    QString invalidReason(int line) const
    {
        if (!m_firstInvalid)
            return {};
        if (*m_firstInvalid > 0x10FFFF)
            return Texts::reasonBeyondUnicode.arg(line).arg(QStringLiteral("0x")
                                                            + hex(*m_firstInvalid));
        return Texts::reasonSurrogateValue.arg(line).arg(hex(*m_firstInvalid));
    }

private:
    /// Stands for a value that is no character: a lone low surrogate.
    static constexpr char16_t notACharacter = 0xDC00;

    bool m_bigEndian;
    std::array<unsigned char, 4> m_unit {};
    std::size_t m_filled = 0;
    bool m_atStart = true;
    std::optional<char32_t> m_firstInvalid;
};

/// The first code unit of \a line that is half a character, or nothing.
std::optional<char16_t> loneSurrogate(QStringView line)
{
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i].isHighSurrogate() && i + 1 < line.size() && line[i + 1].isLowSurrogate())
            ++i;
        else if (line[i].isSurrogate())
            return line[i].unicode();
    }
    return std::nullopt;
}

Reading readWide(QIODevice &device, QStringConverter::Encoding encoding)
{
    // Either decoder drops the file's one leading mark and keeps any later
    // one. A line is limited as in UTF-16: as many code units as bytes / 2.
    const bool utf32 = isUtf32(encoding);
    QStringDecoder utf16(encoding);
    Utf32Decoder utf32Decoder(encoding == QStringConverter::Utf32BE);
    LineSplitter<QString> splitter(maxLineBytes / 2);
    qint64 bytesRead = 0;
    QChar lastDecoded;
    QString error = readInto(device, splitter, [&](QByteArrayView bytes) {
        bytesRead += bytes.size();
        QString text = utf32 ? utf32Decoder.decode(bytes) : utf16.decode(bytes);
        if (!text.isEmpty())
            lastDecoded = text.back();
        return text;
    });
    // The decoder keeps the bytes of an unfinished code unit to itself: at
    // the end of the file they are a character cut off, not one to drop.
    // A high surrogate the UTF-16 decoder passes on as it is, whose pair the
    // file ends before, is cut off too.
    const bool cutOff
        = utf32 ? utf32Decoder.unfinished() : bytesRead % 2 != 0 || lastDecoded.isHighSurrogate();
    if (error.isEmpty() && splitter.ended() && cutOff)
        error = Texts::reasonCutOff;
    // Half a character anywhere else in a line: a word no guess could complete.
    for (qsizetype i = 0; error.isEmpty() && i < splitter.lines.size(); ++i) {
        if (const auto unit = loneSurrogate(splitter.lines[i])) {
            const int line = int(i) + 1;
            error = utf32 ? utf32Decoder.invalidReason(line)
                          : Texts::reasonHalfCharacter.arg(line).arg(hex(*unit));
        }
    }
    return {splitter.lines, splitter.tooLongLine(), error};
}

Reading readNarrow(QIODevice &device)
{
    // The mark goes before the lines are split, so that a file holding only
    // the mark, as an editor saves an empty UTF-8 file, has no lines at all.
    const bool hadBom = device.peek(utf8Bom.size()) == utf8Bom;
    if (hadBom)
        device.skip(utf8Bom.size());
    LineSplitter<QByteArray> splitter(maxLineBytes);
    const QString error
        = readInto(device, splitter, [](QByteArrayView bytes) { return bytes.toByteArray(); });
    if (!error.isEmpty() || splitter.tooLongLine())
        return {{}, splitter.tooLongLine(), error};
    return {decodeUtf8OrWindows1252(std::move(splitter.lines), hadBom), 0, {}};
}

#ifdef Q_OS_UNIX
/// Opens a file of the file system for reading, never waiting: a FIFO put in
/// the place of a list since it was looked at would otherwise block the
/// open until someone writes to it. Returns the reason it cannot be read,
/// or an empty string.
QString openNative(QFile &file, const QString &path)
{
    const int fd
        = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return Texts::reasonReadError.arg(
            QString::fromStdString(std::generic_category().message(errno)));
    struct stat status
    {
    };
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return Texts::reasonNotAFile;
    }
    // O_NONBLOCK means nothing to a regular file's reads.
    if (!file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return Texts::reasonReadError.arg(file.errorString());
    }
    return {};
}
#endif

/// Opens the list at \a path, a file or one built into the program, for
/// reading. Returns the reason it cannot be read, or an empty string.
QString openList(QFile &file, const QString &path)
{
#ifdef Q_OS_UNIX
    if (QFileInfo(path).isNativePath())
        return openNative(file, path);
#endif
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return Texts::reasonReadError.arg(file.errorString());
    return {};
}

} // namespace

WordListRead read(QIODevice &device, const QString &name)
{
    const auto wide = wideEncoding(device);
    const Reading reading = wide ? readWide(device, *wide) : readNarrow(device);
    if (!reading.error.isEmpty())
        return {{}, failure(name, reading.error)};
    if (reading.tooLongLine)
        return {
            {},
            failure(name, Texts::reasonLineTooLong.arg(reading.tooLongLine).arg(Word::maxLength))};
    for (qsizetype i = 0; i < reading.words.size(); ++i) {
        if (!Word::fits(reading.words[i]))
            return {{}, failure(name, Texts::reasonLineTooLong.arg(i + 1).arg(Word::maxLength))};
    }
    return {reading.words, {}};
}

WordListRead read(const QString &path)
{
    const QFileInfo info(path);
    const QString name = QDir::toNativeSeparators(info.absoluteFilePath());
    if (!info.exists())
        return {{}, failure(name, Texts::reasonMissing)};
    if (info.isDir())
        return {{}, failure(name, Texts::reasonDirectory)};
    // A FIFO, a socket or a device: opening or reading one can wait forever.
    if (!info.isFile())
        return {{}, failure(name, Texts::reasonNotAFile)};

    // A refused open reports only a generic error with the system's text;
    // asking first gives the player the reason in Dutch.
    if (!info.isReadable())
        return {{}, failure(name, Texts::reasonNoAccess)};

    // Unbuffered: QFile would otherwise read ahead 16 KB of a file of which
    // only the first lines are wanted.
    QFile file;
    if (const QString reason = openList(file, info.absoluteFilePath()); !reason.isEmpty())
        return {{}, failure(name, reason)};
    return read(file, name);
}

} // namespace WordListFile
