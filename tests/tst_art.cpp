// Checks the committed pictures in ui/art: the hand-written ICO file must be
// laid out the way Windows reads it, its images must agree with the PNG
// renders of the same size, and the help picture must be what the help
// window expects, the installer's the 128 px icon.

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QList>
#include <QPainter>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QTest>

#include "IcoFormat.h"

namespace {

const QString artDir = QStringLiteral(WIRLEP_ART_DIR);

QString artPath(const QString &name)
{
    return artDir + QLatin1Char('/') + name;
}

int rowStride(int width, int bitsPerPixel)
{
    return (width * bitsPerPixel + 31) / 32 * 4;
}

// One image of the ICO, decoded from its palette, XOR bitmap and AND mask.
struct IcoBitmap
{
    int size = 0;
    QList<QRgb> palette;
    QList<int> indices; // top-down
    QList<bool> transparent; // top-down

    int at(int x, int y) const { return indices.at(y * size + x); }
    bool holeAt(int x, int y) const { return transparent.at(y * size + x); }
};

IcoBitmap decodeBitmap(const Bytes &bytes, const IcoEntry &entry)
{
    IcoBitmap bitmap;
    bitmap.size = entry.width;
    const int bits = entry.bitCount;
    const qint64 paletteAt = entry.imageOffset + bitmapHeaderSize;
    for (int i = 0; i < (1 << bits); ++i) {
        const qint64 at = paletteAt + 4 * i;
        bitmap.palette.append(qRgb(bytes.u8(at + 2), bytes.u8(at + 1), bytes.u8(at)));
    }
    const int size = bitmap.size;
    const qint64 xorAt = paletteAt + 4 * (qint64(1) << bits);
    const qint64 andAt = xorAt + qint64(rowStride(size, bits)) * size;
    bitmap.indices.resize(size * size);
    bitmap.transparent.resize(size * size);
    for (int y = 0; y < size; ++y) {
        const int storedRow = size - 1 - y; // stored bottom-up
        for (int x = 0; x < size; ++x) {
            const int bitOffset = x * bits;
            const quint8 xorByte
                = bytes.u8(xorAt + qint64(storedRow) * rowStride(size, bits) + bitOffset / 8);
            const int shift = 8 - bits - bitOffset % 8;
            bitmap.indices[y * size + x] = (xorByte >> shift) & ((1 << bits) - 1);
            const quint8 andByte = bytes.u8(andAt + qint64(storedRow) * rowStride(size, 1) + x / 8);
            bitmap.transparent[y * size + x] = (andByte >> (7 - x % 8)) & 1;
        }
    }
    return bitmap;
}

bool isLightGrey(QRgb pixel)
{
    const int r = qRed(pixel), g = qGreen(pixel), b = qBlue(pixel);
    const int lightest = std::max({r, g, b}), darkest = std::min({r, g, b});
    return darkest >= 170 && lightest <= 245 && lightest - darkest <= 16;
}

bool isDark(QRgb pixel)
{
    return std::max({qRed(pixel), qGreen(pixel), qBlue(pixel)}) < 70;
}

bool isYellow(QRgb pixel)
{
    return qRed(pixel) > 200 && qGreen(pixel) > 160 && qBlue(pixel) < 100;
}

} // namespace

class TestArt : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void icoDirectory();
    void icoEntry_data();
    void icoEntry();
    void icoPixels_data() { icoEntry_data(); }
    void icoPixels();
    void icoReadableByQt_data() { icoEntry_data(); }
    void icoReadableByQt();

    void png_data();
    void png();

    void helpPicture();
    void installerPicture();
#ifdef WIRLEP_GENERATE_ART
    void regenerated();
#endif

private:
    QByteArray m_ico;
};

void TestArt::initTestCase()
{
    QFile file(artPath(QStringLiteral("wirlep.ico")));
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
    m_ico = file.readAll();
    // Every test below reads the directory: it must be whole.
    QVERIFY(Bytes(m_ico).has(0, icoDirSize + icoImageCount * icoEntrySize));
}

void TestArt::icoDirectory()
{
    const Bytes bytes(m_ico);
    QCOMPARE(bytes.u16(0), quint16(0)); // reserved
    QCOMPARE(bytes.u16(2), quint16(1)); // 1 = icon, 2 = cursor
    QCOMPARE(bytes.u16(4), quint16(icoImageCount));
}

void TestArt::icoEntry_data()
{
    addIcoImageRows();
}

void TestArt::icoEntry()
{
    QFETCH(int, index);
    QFETCH(int, size);
    QFETCH(int, bits);

    const Bytes bytes(m_ico);
    const IcoEntry entry = readEntry(bytes, index);
    QCOMPARE(entry.width, size);
    QCOMPARE(entry.height, size);
    QCOMPARE(entry.colourCount, bits < 8 ? 1 << bits : 0);
    QCOMPARE(entry.reserved, 0);
    QCOMPARE(entry.planes, 1);
    QCOMPARE(entry.bitCount, bits);

    // The image lies after the directory, inside the file, clear of the others.
    QVERIFY(entry.imageOffset >= quint32(icoDirSize + icoImageCount * icoEntrySize));
    QVERIFY(bytes.has(entry.imageOffset, entry.bytesInRes));
    for (int other = 0; other < icoImageCount; ++other) {
        if (other == index)
            continue;
        const IcoEntry o = readEntry(bytes, other);
        const bool apart = entry.imageOffset + entry.bytesInRes <= o.imageOffset
            || o.imageOffset + o.bytesInRes <= entry.imageOffset;
        QVERIFY2(apart, qPrintable(QStringLiteral("overlaps entry %1").arg(other)));
    }

    const qint64 header = entry.imageOffset;
    QVERIFY(bytes.has(header, bitmapHeaderSize));
    QCOMPARE(bytes.u32(header), quint32(bitmapHeaderSize));
    QCOMPARE(bytes.i32(header + 4), size);
    QCOMPARE(bytes.i32(header + 8), 2 * size); // colour bitmap plus mask
    QCOMPARE(bytes.u16(header + 12), quint16(1));
    QCOMPARE(bytes.u16(header + 14), quint16(bits));
    QCOMPARE(bytes.u32(header + 16), quint32(0)); // uncompressed
    const quint32 coloursUsed = bytes.u32(header + 32);
    const int paletteEntries = coloursUsed ? int(coloursUsed) : 1 << bits;
    QCOMPARE(paletteEntries, 1 << bits);

    const qint64 expectedBytes = bitmapHeaderSize + 4 * paletteEntries
        + qint64(rowStride(size, bits)) * size + qint64(rowStride(size, 1)) * size;
    QCOMPARE(qint64(entry.bytesInRes), expectedBytes);
}

void TestArt::icoPixels()
{
    QFETCH(int, index);
    QFETCH(int, size);
    QFETCH(int, bits);

    const Bytes bytes(m_ico);
    const IcoEntry entry = readEntry(bytes, index);
    QCOMPARE(entry.bitCount, bits);
    QVERIFY(bytes.has(entry.imageOffset, entry.bytesInRes));
    const IcoBitmap bitmap = decodeBitmap(bytes, entry);

    // Windows XORs the colour bitmap over the screen where the mask is set,
    // so transparent pixels must point at black.
    QCOMPARE(bitmap.palette.at(0), qRgb(0, 0, 0));
    if (bits == 4) {
        const QList<QRgb> vga {
            qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
            qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
            qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
            qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255),
        };
        QCOMPARE(bitmap.palette, vga);
    }

    // The mask is the PNG render's alpha, cut at half.
    const QImage png(artPath(QStringLiteral("wirlep-%1.png").arg(size)));
    QCOMPARE(png.size(), QSize(size, size));
    int opaque = 0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const QRgb rendered = png.pixel(x, y);
            const bool hole = bitmap.holeAt(x, y);
            QVERIFY2(hole == (qAlpha(rendered) < 128),
                     qPrintable(QStringLiteral("mask at %1,%2").arg(x).arg(y)));
            if (hole) {
                QCOMPARE(bitmap.at(x, y), 0);
                continue;
            }
            ++opaque;
            if (bits == 8) { // 256 colours are plenty to stay close to the render
                const QRgb stored = bitmap.palette.at(bitmap.at(x, y));
                QVERIFY2(qAbs(qRed(stored) - qRed(rendered)) <= 24
                             && qAbs(qGreen(stored) - qGreen(rendered)) <= 24
                             && qAbs(qBlue(stored) - qBlue(rendered)) <= 24,
                         qPrintable(QStringLiteral("colour at %1,%2").arg(x).arg(y)));
            }
        }
    }
    QVERIFY(opaque > size * size / 4);
    for (const auto &[x, y] :
         {std::pair {0, 0}, {size - 1, 0}, {0, size - 1}, {size - 1, size - 1}})
        QVERIFY(bitmap.holeAt(x, y));

    // The middle of the body is olive: red and green well above blue.
    const QRgb body = bitmap.palette.at(bitmap.at(size / 2, size * 150 / 256));
    QVERIFY(qGreen(body) > qBlue(body) + 60);
    QVERIFY(qRed(body) > qBlue(body) + 40);
}

void TestArt::icoReadableByQt()
{
    QFETCH(int, index);
    QFETCH(int, size);

    if (!QImageReader::supportedImageFormats().contains("ico"))
        QSKIP("Qt's ICO plugin is not installed");
    QBuffer buffer(&m_ico);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    QImageReader reader(&buffer, "ico");
    QCOMPARE(reader.imageCount(), icoImageCount);
    QVERIFY(reader.jumpToImage(index));
    const QImage image = reader.read();
    QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(image.size(), QSize(size, size));
    QVERIFY(image.hasAlphaChannel());
    QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(image.pixel(size / 2, size * 150 / 256)), 255);
}

void TestArt::png_data()
{
    QTest::addColumn<int>("size");
    for (const int size : {16, 32, 48, 64, 128, 256})
        QTest::newRow(qPrintable(QStringLiteral("%1 px").arg(size))) << size;
}

void TestArt::png()
{
    QFETCH(int, size);

    const QString path = artPath(QStringLiteral("wirlep-%1.png").arg(size));
    QImageReader reader(path);
    QCOMPARE(reader.format(), QByteArray("png"));
    const QImage image = reader.read();
    QVERIFY2(!image.isNull(), qPrintable(path + QStringLiteral(": ") + reader.errorString()));
    QCOMPARE(image.size(), QSize(size, size));
    QVERIFY(image.hasAlphaChannel());
    const int last = size - 1;
    for (const auto &[x, y] : {std::pair {0, 0}, {last, 0}, {0, last}, {last, last}})
        QCOMPARE(qAlpha(image.pixel(x, y)), 0);
    QCOMPARE(qAlpha(image.pixel(size / 2, size * 150 / 256)), 255);
}

void TestArt::helpPicture()
{
    const QString path = artPath(QStringLiteral("vraagteken.jpg"));
    QImageReader reader(path);
    QCOMPARE(reader.format(), QByteArray("jpeg"));
    const QImage image = reader.read();
    QVERIFY2(!image.isNull(), qPrintable(path + QStringLiteral(": ") + reader.errorString()));
    QCOMPARE(image.size(), QSize(35, 37));

    const int right = image.width() - 1, bottom = image.height() - 1;
    for (const auto &[x, y] : {std::pair {0, 0}, {right, 0}, {0, bottom}, {right, bottom}})
        QVERIFY2(isLightGrey(image.pixel(x, y)),
                 qPrintable(QStringLiteral("corner %1,%2").arg(x).arg(y)));

    int dark = 0, yellow = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            dark += isDark(image.pixel(x, y));
            yellow += isYellow(image.pixel(x, y));
        }
    }
    // A few stray pixels are not a drawing: ask for a real share of each.
    QVERIFY2(dark >= 100, qPrintable(QString::number(dark)));
    QVERIFY2(yellow >= 60, qPrintable(QString::number(yellow)));
}

void TestArt::installerPicture()
{
    const QImage image(artPath(QStringLiteral("wirlep-installer.bmp")), "bmp");
    QCOMPARE(image.size(), QSize(164, 314));
    // The 128 px icon, centred on rows of one colour each.
    const QImage icon(artPath(QStringLiteral("wirlep-128.png")));
    QImage expected = image.copy(0, 0, 1, image.height()).scaled(image.size());
    QPainter(&expected).drawImage((image.width() - icon.width()) / 2,
                                  (image.height() - icon.height()) / 2, icon);
    for (int y = 0; y < image.height(); ++y)
        for (int i = 0; i < image.width() * 4; ++i)
            QVERIFY(qAbs(image.constScanLine(y)[i] - expected.constScanLine(y)[i]) <= 2);
}

#ifdef WIRLEP_GENERATE_ART
// Drawn again on this CPU, every picture is the committed one byte for byte.
void TestArt::regenerated()
{
    const QTemporaryDir drawn;
    const QStringList args {artPath(QStringLiteral("wirlep.svg")), drawn.path()};
    QCOMPARE(QProcess::execute(QStringLiteral(WIRLEP_GENERATE_ART), args), 0);
    for (const QString &name : QDir(artDir).entryList({"*.png", "*.ico", "*.jpg", "*.bmp"})) {
        QFile committed(artPath(name)), redrawn(drawn.filePath(name));
        QVERIFY2(committed.open(QIODevice::ReadOnly) && redrawn.open(QIODevice::ReadOnly),
                 qPrintable(name));
        QVERIFY2(redrawn.readAll() == committed.readAll(),
                 qPrintable(name + QStringLiteral(" differs: build regenerate-art")));
    }
}
#endif

QTEST_MAIN(TestArt)
#include "tst_art.moc"
