// Reading word list files: line breaks, encodings, limits and failures.

#include "Texts.h"
#include "WordListFile.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

WordListRead readBytes(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return WordListFile::read(buffer, QStringLiteral("lijst.txt"));
}

/// A device that gives a line and a half, then fails, as a failing disk does.
class FailingDevice : public QIODevice
{
protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        static constexpr char start[] = "kaas\r\nbo";
        if (!m_started && maxSize >= qint64(sizeof start - 1)) {
            m_started = true;
            std::memcpy(data, start, sizeof start - 1);
            return sizeof start - 1;
        }
        setErrorString(QStringLiteral("I/O error"));
        return -1;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    bool m_started = false;
};

/// \a text in \a encoding, after its byte-order mark.
QByteArray withMark(const QString &text, QStringConverter::Encoding encoding)
{
    QStringEncoder encoder(encoding, QStringConverter::Flag::WriteBom);
    return encoder.encode(text);
}

/// A UNIX socket bound at \a path, as a program serving one leaves it.
bool bindSocket(const QString &path)
{
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    if (name.size() >= qsizetype(sizeof address.sun_path))
        return false;
    std::memcpy(address.sun_path, name.constData(), std::size_t(name.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound
        = fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    if (fd >= 0)
        ::close(fd);
    return bound;
}

/// Runs one row of this test again as the unprivileged user "nobody", from a
/// copy of this program that nobody may run, and says whether it passed.
bool passesAsNobody(const QString &function, const QString &row, QString &output)
{
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("tst_wordlistfile"));
    if (!QFile::copy(QCoreApplication::applicationFilePath(), copy)
        || ::chmod(QFile::encodeName(dir.path()).constData(), 0755) != 0)
        return false;
    QProcess child;
    child.start(QStringLiteral("setpriv"),
                {QStringLiteral("--reuid=nobody"), QStringLiteral("--regid=nogroup"),
                 QStringLiteral("--clear-groups"), copy, function + u':' + row});
    child.waitForFinished();
    output = QString::fromLocal8Bit(child.readAll());
    return child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0
        && output.contains(QStringLiteral("PASS   : TestWordListFile::%1(%2)").arg(function, row));
}

} // namespace

class TestWordListFile : public QObject
{
    Q_OBJECT

private slots:
    void linesEndAtEveryKindOfBreak_data();
    void linesEndAtEveryKindOfBreak();
    void decodesEachEncoding_data();
    void decodesEachEncoding();
    void lineLimitIsFiftyCharacters_data();
    void lineLimitIsFiftyCharacters();
    void readingStaysBounded_data();
    void readingStaysBounded();
    void hugeFileFailsFast();
    void badPathsFailWithTheirReason_data();
    void badPathsFailWithTheirReason();
    void readErrorIsReported();
};

void TestWordListFile::linesEndAtEveryKindOfBreak_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("empty file") << QByteArray() << QStringList {};
    QTest::newRow("one word, no break") << QByteArray("kaas") << QStringList {"kaas"};
    QTest::newRow("CR LF") << QByteArray("kaas\r\nboom") << QStringList {"kaas", "boom"};
    QTest::newRow("lone CR") << QByteArray("kaas\rboom") << QStringList {"kaas", "boom"};
    QTest::newRow("lone LF") << QByteArray("kaas\nboom") << QStringList {"kaas", "boom"};
    QTest::newRow("mixed") << QByteArray("a\r\nb\rc\nd") << QStringList {"a", "b", "c", "d"};
    QTest::newRow("final break adds no word") << QByteArray("kaas\r\n") << QStringList {"kaas"};
    QTest::newRow("empty lines count")
        << QByteArray("a\r\n\r\nb\r\n\r\n") << QStringList {"a", "", "b", ""};
    QTest::newRow("LF CR is two breaks") << QByteArray("a\n\rb") << QStringList {"a", "", "b"};
    QTest::newRow("only a break") << QByteArray("\r\n") << QStringList {""};
    QTest::newRow("no trimming") << QByteArray(" ja \r\nx y") << QStringList {" ja ", "x y"};
    QStringList words;
    for (int i = 0; i < 27; ++i)
        words << QStringLiteral("woord%1").arg(i);
    QTest::newRow("26 lines at most") << words.join("\r\n").toLatin1() + "\r\n" << words.first(26);
}

void TestWordListFile::linesEndAtEveryKindOfBreak()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    const WordListRead list = readBytes(bytes);
    QVERIFY2(list.ok(), qPrintable(list.error));
    QCOMPARE(list.lines, lines);
}

void TestWordListFile::decodesEachEncoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("reason"); ///< why the list is refused, or empty
    QTest::newRow("UTF-8") << QByteArray("caf\xC3\xA9\r\nre\xC3\xAB"
                                         "el")
                           << QStringList {QStringLiteral("café"), QStringLiteral("reëel")}
                           << QString();
    QTest::newRow("byte-order mark dropped")
        << QByteArray("\xEF\xBB\xBFkaas\r\nboom") << QStringList {"kaas", "boom"} << QString();
    QTest::newRow("only a byte-order mark")
        << QByteArray("\xEF\xBB\xBF") << QStringList {} << QString();
    QTest::newRow("byte-order mark, then a break")
        << QByteArray("\xEF\xBB\xBF\r\nkaas") << QStringList {"", "kaas"} << QString();
    QTest::newRow("a later U+FEFF belongs to its line")
        << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBFkaas\r\n\xEF\xBB\xBF"
                      "boom")
        << QStringList {QStringLiteral("\uFEFFkaas"), QStringLiteral("\uFEFFboom")} << QString();
    QTest::newRow("a mark before Windows-1252 is text")
        << QByteArray("\xEF\xBB\xBF"
                      "caf\xE9")
        << QStringList {QStringLiteral("ï»¿café")} << QString();
    QTest::newRow("Windows-1252") << QByteArray("caf\xE9\r\n\x80uro\r\n\x93x\x94")
                                  << QStringList {QStringLiteral("café"), QStringLiteral("€uro"),
                                                  QStringLiteral("“x”")}
                                  << QString();
    QTest::newRow("binary") << QByteArray("\x00\x01\xFF\r\n\x89PNG", 9)
                            << QStringList {QStringLiteral("\u0000\u0001ÿ"), QStringLiteral("‰PNG")}
                            << QString();
    QTest::newRow("one bad byte makes the whole file Windows-1252")
        << QByteArray("caf\xC3\xA9\r\nna\xEF"
                      "ve")
        << QStringList {QStringLiteral("cafÃ©"), QStringLiteral("naïve")} << QString();
    // As Windows Notepad saves "Unicode" and "Unicode big endian".
    QTest::newRow("UTF-16 LE with its mark")
        << withMark(QStringLiteral("kaas\r\ncafé\rzoë\nvis\r\n"), QStringConverter::Utf16LE)
        << QStringList {QStringLiteral("kaas"), QStringLiteral("café"), QStringLiteral("zoë"),
                        QStringLiteral("vis")}
        << QString();
    QTest::newRow("UTF-16 BE with its mark")
        << withMark(QStringLiteral("kaas\r\n🇳🇱"), QStringConverter::Utf16BE)
        << QStringList {QStringLiteral("kaas"), QStringLiteral("🇳🇱")} << QString();
    QTest::newRow("UTF-16, only its mark") << QByteArray("\xFF\xFE") << QStringList {} << QString();
    QTest::newRow("UTF-16, a later U+FEFF belongs to its line")
        << withMark(QStringLiteral("kaas\r\n\uFEFFboom"), QStringConverter::Utf16LE)
        << QStringList {QStringLiteral("kaas"), QStringLiteral("\uFEFFboom")} << QString();
    QTest::newRow("UTF-32 LE with its mark")
        << withMark(QStringLiteral("kaas\r\nboom"), QStringConverter::Utf32LE)
        << QStringList {QStringLiteral("kaas"), QStringLiteral("boom")} << QString();
    // Files that end inside a character, and half a character or no
    // character at all anywhere else.
    const QString tree = QStringLiteral("kaas\r\nboom\U0001F333");
    QTest::newRow("UTF-16 with an odd byte")
        << withMark(tree, QStringConverter::Utf16LE) + 'x' << QStringList() << Texts::reasonCutOff;
    QTest::newRow("UTF-32 two bytes short") << withMark(tree, QStringConverter::Utf32BE).chopped(2)
                                            << QStringList() << Texts::reasonCutOff;
    QTest::newRow("UTF-16 without the low surrogate")
        << withMark(tree, QStringConverter::Utf16BE).chopped(2) << QStringList()
        << Texts::reasonCutOff;
    QTest::newRow("UTF-16, a high surrogate alone in a line")
        << withMark(QStringLiteral("kaas\r\nbo\xD83Cm\r\nvis"), QStringConverter::Utf16LE)
        << QStringList() << Texts::reasonHalfCharacter.arg(2).arg("D83C");
    QTest::newRow("UTF-16, a low surrogate alone at the end")
        << withMark(QStringLiteral("kaas\r\nboom\xDF33"), QStringConverter::Utf16BE)
        << QStringList() << Texts::reasonHalfCharacter.arg(2).arg("DF33");
    QTest::newRow("UTF-32 above U+10FFFF")
        << QByteArray("\0\0\xFE\xFF\0\x11\0\0\0\0\0a", 12) << QStringList()
        << Texts::reasonBeyondUnicode.arg(1).arg("0x110000");
    // Qt's own decoder would read these two as one character, U+10000.
    QTest::newRow("UTF-32, a surrogate pair as two values")
        << QByteArray("\xFF\xFE\0\0\0\xD8\0\0\0\xDC\0\0", 12) << QStringList()
        << Texts::reasonSurrogateValue.arg(1).arg("D800");
    QTest::newRow("UTF-32 far above U+10FFFF")
        << QByteArray("\0\0\xFE\xFF\0\0\0a\0\0\0\r\x40\x01\0\0", 16) << QStringList()
        << Texts::reasonBeyondUnicode.arg(2).arg("0x40010000");
}

void TestWordListFile::decodesEachEncoding()
{
    QFETCH(QString, reason);
    if (reason.isEmpty())
        return linesEndAtEveryKindOfBreak();
    QFETCH(QByteArray, bytes);
    const WordListRead list = readBytes(bytes);
    QCOMPARE(list.error, Texts::listUnreadable.arg(QStringLiteral("lijst.txt"), reason));
    QVERIFY(list.lines.isEmpty());
}

void TestWordListFile::lineLimitIsFiftyCharacters_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("fits");
    QTest::newRow("50 letters") << QByteArray(50, 'a') << true;
    QTest::newRow("51 letters") << QByteArray(51, 'a') << false;
    QTest::newRow("50 accented, two bytes each") << QByteArray("\xC3\xA9").repeated(50) << true;
    const QByteArray flag("\xF0\x9F\x87\xB3\xF0\x9F\x87\xB1");
    QTest::newRow("50 flags, eight bytes each") << flag.repeated(50) << true;
    QTest::newRow("51 flags") << flag.repeated(51) << false;
    const QByteArray family(
        "\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7");
    QTest::newRow("50 family emoji, 18 bytes each") << family.repeated(50) << true;
    QTest::newRow("51 family emoji") << family.repeated(51) << false;
    // A man, a woman, a girl and a boy, each with a skin tone: 41 bytes.
    const QByteArray toned(
        "\xF0\x9F\x91\xA8\xF0\x9F\x8F\xBB\xE2\x80\x8D\xF0\x9F\x91\xA9\xF0\x9F\x8F\xBC"
        "\xE2\x80\x8D\xF0\x9F\x91\xA7\xF0\x9F\x8F\xBD\xE2\x80\x8D\xF0\x9F\x91\xA6\xF0\x9F\x8F\xBE");
    QTest::newRow("50 toned families, 41 bytes each") << toned.repeated(50) << true;
    QTest::newRow("51 toned families") << toned.repeated(51) << false;
    QTest::newRow("a million bytes") << QByteArray(1'000'000, 'a') << false;
}

void TestWordListFile::lineLimitIsFiftyCharacters()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, fits);
    const QByteArray text = "kaas\r\nboom\r\n" + line + "\r\nvis";
    // The same in UTF-16 and UTF-32: a line is counted the same whatever the
    // encoding.
    const QString decoded = QString::fromUtf8(text);
    for (const QByteArray &bytes : {text, withMark(decoded, QStringConverter::Utf16LE),
                                    withMark(decoded, QStringConverter::Utf32BE)}) {
        const WordListRead list = readBytes(bytes);
        QCOMPARE(list.ok(), fits);
        if (fits) {
            QCOMPARE(list.lines.size(), 4);
        } else {
            QCOMPARE(
                list.error,
                Texts::listUnreadable.arg("lijst.txt", Texts::reasonLineTooLong.arg(3).arg(50)));
            QVERIFY(list.lines.isEmpty());
        }
    }
}

void TestWordListFile::readingStaysBounded_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("many short lines") << QByteArray("kaas\r\n").repeated(200'000);
    QTest::newRow("one endless line") << QByteArray(2'000'000, 'x');
    QTest::newRow("many short lines, UTF-16")
        << withMark(QStringLiteral("kaas\r\n").repeated(200'000), QStringConverter::Utf16LE);
    QTest::newRow("one endless line, UTF-16")
        << withMark(QString(1'000'000, u'x'), QStringConverter::Utf16BE);
}

void TestWordListFile::readingStaysBounded()
{
    QFETCH(QByteArray, bytes);
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    WordListFile::read(buffer, QStringLiteral("lijst.txt"));
    QVERIFY2(buffer.pos() <= 8192, qPrintable(QString::number(buffer.pos())));
}

void TestWordListFile::hugeFileFailsFast()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("normaal.txt");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.resize(qint64(1) << 30)); // a sparse gigabyte of zero bytes
    file.close();
    QElapsedTimer timer;
    timer.start();
    const WordListRead list = WordListFile::read(path);
    QVERIFY(timer.elapsed() < 500);
    QVERIFY(!list.ok());
    QVERIFY(list.error.contains(Texts::reasonLineTooLong.arg(1).arg(50)));
}

void TestWordListFile::badPathsFailWithTheirReason_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << "missing" << Texts::reasonMissing;
    QTest::newRow("directory") << "directory" << Texts::reasonDirectory;
    QTest::newRow("no permission") << "unreadable" << Texts::reasonNoAccess;
    // Opening or reading any of these could wait forever.
    QTest::newRow("named pipe") << "fifo" << Texts::reasonNotAFile;
    QTest::newRow("symlink to a named pipe") << "link to fifo" << Texts::reasonNotAFile;
    QTest::newRow("socket") << "socket" << Texts::reasonNotAFile;
    QTest::newRow("device") << "device" << Texts::reasonNotAFile;
}

void TestWordListFile::badPathsFailWithTheirReason()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath("normaal.txt");
    if (kind == "directory")
        QVERIFY(QDir(dir.path()).mkdir("normaal.txt"));
    if (kind == "unreadable") {
        if (::geteuid() == 0) {
            // Root reads any file: the refusal is only seen by another user.
            QString output;
            QVERIFY2(passesAsNobody(QTest::currentTestFunction(), QTest::currentDataTag(), output),
                     qPrintable(output));
            return;
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("kaas\r\n");
        file.close();
        QVERIFY(file.setPermissions(QFileDevice::WriteOwner));
        QVERIFY(!QFileInfo(path).isReadable());
    }
    if (kind == "fifo")
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
    if (kind == "link to fifo") {
        const QString fifo = dir.filePath("pijp");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
        QVERIFY(QFile::link(fifo, path));
    }
    if (kind == "socket")
        QVERIFY(bindSocket(path));
    if (kind == "device")
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
    const WordListRead list = WordListFile::read(path);
    QVERIFY(!list.ok());
    QCOMPARE(list.error, Texts::listUnreadable.arg(QDir::toNativeSeparators(path), reason));
}

void TestWordListFile::readErrorIsReported()
{
    FailingDevice device;
    device.open(QIODevice::ReadOnly);
    const WordListRead list = WordListFile::read(device, QStringLiteral("lijst.txt"));
    QVERIFY(!list.ok());
    QVERIFY(list.error.startsWith(Texts::listUnreadable.arg("lijst.txt", QString())));
    QVERIFY(list.error.contains(QStringLiteral("I/O error")));
    QVERIFY(list.lines.isEmpty()); // the line and a half read before count for nothing
}

QTEST_GUILESS_MAIN(TestWordListFile)
#include "tst_wordlistfile.moc"
