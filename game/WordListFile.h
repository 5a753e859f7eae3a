#pragma once

#include <QString>
#include <QStringList>

class QIODevice;

/// The outcome of reading a word list: its lines, or why it could not be read.
struct WordListRead
{
    QStringList lines;
    QString error; ///< empty when the list was read

    bool ok() const { return error.isEmpty(); }
};

/// Reads word list files: one word per line, lines ending at CR LF, a lone CR
/// or a lone LF, each line taken whole. UTF-16 or UTF-32 when the file starts
/// with the byte-order mark of one; otherwise UTF-8 when the text is valid
/// UTF-8, and Windows-1252 when it is not.
namespace WordListFile {

/// No more lines than the list has slots are ever read.
inline constexpr int maxLines = 26;

/// A line longer than this many bytes of UTF-8 (or half as many UTF-16 code
/// units, in a UTF-16 or UTF-32 file) is too long. It bounds what is read
/// before a line can be counted: fifty characters of up to 81 bytes each
/// stay within it, and the longest emoji (a family of four with skin tones)
/// takes 41 bytes, or 19 code units.
inline constexpr qsizetype maxLineBytes = 4096;

/// Reads the word list at \a path. Anything but a regular file (after
/// symlinks) is refused before it is opened, and the open never waits: a
/// FIFO or a socket in a list's place costs a message, not a hang. The
/// error names the full path.
WordListRead read(const QString &path);

/// Reads at most maxLines lines from \a device; \a name goes into errors.
WordListRead read(QIODevice &device, const QString &name);

} // namespace WordListFile
