// Renders the program's pictures from the icon SVG:
//   wirlep.ico          16, 32 and 48 px, each in 16 and in 256 colours
//   wirlep-<n>.png      RGBA renders at the usual icon sizes
//   vraagteken.jpg      the question mark shown in the help window
//   wirlep-installer.bmp  the picture beside the Windows installer's finish page
//
// With the same versions of Qt, libjpeg-turbo, libpng, zlib and glibc, it
// writes the same bytes on any x86-64 CPU, so regenerating only changes the
// committed files when the artwork or this generator changed. Where those
// libraries pick code by CPU as the program runs, nothing is left that
// rounds differently:
//   - glibc's maths functions: it starts itself again with their SSE2 ones;
//   - libjpeg-turbo: told to use its plain C, not its SIMD code;
//   - Qt's raster engine, which no setting pins (Qt 6.4's QT_NO_CPU_FEATURE
//     is read before main() and matches none of its x86 names): its SIMD
//     fills, blends and premultiplies give exactly what its plain code
//     gives; dividing by alpha does not, so that is done here in integers;
//   - libpng and zlib write with the same code on every CPU.
// Its own arithmetic is in integers; QColor's, for the 16-colour icons,
// picks no code by CPU.

#include <QByteArray>
#include <QColor>
#include <QDataStream>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QList>
#include <QPainter>
#include <QSaveFile>
#include <QString>
#include <QSvgRenderer>
#include <QTextStream>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <limits>
#include <utility>
#include <vector>

#if defined(__linux__) && defined(__GLIBC__) && defined(__x86_64__)
#define WIRLEP_GLIBC_X86_64 1
#include <unistd.h>
#endif

namespace {

// 96 dpi. Set explicitly: Qt would otherwise take it from the screen, and
// PNG and JPEG both store it.
constexpr int dotsPerMeter = 3780;

constexpr int pngSizes[] = {16, 32, 48, 64, 128, 256};

struct IcoFormat
{
    int size;
    int bitsPerPixel;
};

// Every size in 16 colours, for displays that have no more, and in 256.
constexpr IcoFormat icoFormats[] = {
    {16, 4}, {16, 8}, {32, 4}, {32, 8}, {48, 4}, {48, 8},
};

// Below this alpha a pixel becomes a hole in the icon's AND mask.
constexpr int opaqueAlpha = 128;

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

void setResolution(QImage &image)
{
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
}

QImage renderIcon(QSvgRenderer &svg, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        svg.render(&painter, QRectF(0, 0, size, size));
    }
    // Not convertToFormat(): where the CPU has SSE4.1, Qt divides by alpha
    // with an approximate reciprocal that differs between processors, and
    // pixels of the edges come out one apart. qUnpremultiply divides in
    // integers, as Qt itself does on a CPU without SSE4.1.
    QImage straight(size, size, QImage::Format_ARGB32);
    for (int y = 0; y < size; ++y) {
        const auto *from = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        std::transform(from, from + size, reinterpret_cast<QRgb *>(straight.scanLine(y)),
                       [](QRgb pixel) { return qUnpremultiply(pixel); });
    }
    setResolution(straight);
    return straight;
}

bool writeImage(const QImage &image, const QString &path, const char *format, int quality = -1)
{
    QImageWriter writer(path, format);
    if (quality >= 0)
        writer.setQuality(quality);
    if (writer.write(image))
        return true;
    err() << "cannot write " << path << ": " << writer.errorString() << Qt::endl;
    return false;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    err() << "cannot write " << path << ": " << file.errorString() << Qt::endl;
    return false;
}

// ---------------------------------------------------------------------------
// Palettes

using Palette = QList<QRgb>;

// The fixed palette every 16-colour display has, in the Windows order.
Palette vgaPalette()
{
    return {
        qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
        qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
        qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
        qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255),
    };
}

// Distance in a hue plane plus brightness. Plain RGB distance sends orange
// spark edges to olive, the body's colour, because the green channel
// dominates; measuring hue and lightness separately keeps them yellow.
// The hue plane's axes are r - (g + b) / 2 and sqrt(3) / 2 * (g - b); this
// is four times the squared distance, so it stays in exact integers.
int colourDistance(QRgb a, QRgb b)
{
    auto alpha = [](QRgb c) { return 2 * qRed(c) - qGreen(c) - qBlue(c); };
    auto beta = [](QRgb c) { return qGreen(c) - qBlue(c); };
    auto value = [](QRgb c) { return std::max({qRed(c), qGreen(c), qBlue(c)}); };
    const int da = alpha(a) - alpha(b);
    const int db = beta(a) - beta(b);
    const int dv = value(a) - value(b);
    return da * da + 3 * db * db + 4 * dv * dv;
}

// Of equally near entries the later one wins: the VGA palette lists its
// bright colours after the dark ones, so a spark's edge halfway between
// yellow and red stays yellow, and the rod stays bright blue.
int nearestIndex(const Palette &palette, QRgb colour)
{
    int best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (int i = 0; i < palette.size(); ++i) {
        const int distance = colourDistance(palette.at(i), colour);
        if (distance <= bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

bool isOpaque(QRgb pixel)
{
    return qAlpha(pixel) >= opaqueAlpha;
}

int channel(QRgb colour, int which)
{
    switch (which) {
    case 0:
        return qRed(colour);
    case 1:
        return qGreen(colour);
    default:
        return qBlue(colour);
    }
}

struct ColourBox
{
    std::vector<QRgb>::iterator begin;
    std::vector<QRgb>::iterator end;

    // The channel with the widest spread, and that spread.
    std::pair<int, int> widestChannel() const
    {
        std::pair<int, int> widest {0, -1};
        for (int c = 0; c < 3; ++c) {
            const auto [lo, hi] = std::minmax_element(
                begin, end, [c](QRgb a, QRgb b) { return channel(a, c) < channel(b, c); });
            const int spread = channel(*hi, c) - channel(*lo, c);
            if (spread > widest.second)
                widest = {c, spread};
        }
        return widest;
    }

    QRgb average() const
    {
        const auto n = std::distance(begin, end);
        std::array<qint64, 3> sum {};
        for (auto it = begin; it != end; ++it)
            for (int c = 0; c < 3; ++c)
                sum[c] += channel(*it, c);
        return qRgb(int((sum[0] + n / 2) / n), int((sum[1] + n / 2) / n),
                    int((sum[2] + n / 2) / n));
    }
};

// Median cut: keep halving the box with the widest spread until there are
// enough boxes; each box becomes one palette entry.
Palette medianCut(std::vector<QRgb> pixels, int maxColours)
{
    if (pixels.empty())
        return {};
    std::vector<ColourBox> boxes {{pixels.begin(), pixels.end()}};
    while (int(boxes.size()) < maxColours) {
        int pick = -1;
        std::pair<int, int> pickWidest {0, 0};
        for (int i = 0; i < int(boxes.size()); ++i) {
            if (std::distance(boxes[i].begin, boxes[i].end) < 2)
                continue;
            const auto widest = boxes[i].widestChannel();
            if (widest.second > pickWidest.second) {
                pick = i;
                pickWidest = widest;
            }
        }
        if (pick < 0)
            break; // every box holds a single colour
        ColourBox &box = boxes[pick];
        const int c = pickWidest.first;
        std::stable_sort(box.begin, box.end,
                         [c](QRgb a, QRgb b) { return channel(a, c) < channel(b, c); });
        const auto middle = box.begin + std::distance(box.begin, box.end) / 2;
        const ColourBox upper {middle, box.end};
        box.end = middle;
        boxes.push_back(upper);
    }
    Palette palette;
    for (const ColourBox &box : boxes)
        palette.append(box.average());
    return palette;
}

// Entry 0 stays black: a transparent pixel uses it, and the icon's XOR
// bitmap must be black there to leave the screen untouched.
Palette paletteFromImage(const QImage &image)
{
    std::vector<QRgb> opaque;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (const QRgb pixel = image.pixel(x, y); isOpaque(pixel))
                opaque.push_back(qRgb(qRed(pixel), qGreen(pixel), qBlue(pixel)));

    Palette palette {qRgb(0, 0, 0)};
    std::sort(opaque.begin(), opaque.end());
    std::vector<QRgb> distinct = opaque;
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    if (int(distinct.size()) <= 255)
        palette.append(Palette(distinct.begin(), distinct.end()));
    else
        palette.append(medianCut(opaque, 255));
    return palette;
}

// ---------------------------------------------------------------------------
// ICO files

struct IndexedImage
{
    int size = 0;
    int bitsPerPixel = 0;
    Palette palette; // always 2^bitsPerPixel entries
    std::vector<int> indices;
    std::vector<bool> transparent;
};

// The shading in the renders is mostly desaturated in-between tones, which
// the VGA palette would turn into greys: a light blue rod comes out silver.
// Pushing the saturation up first keeps each part in its own hue.
QRgb vivid(QRgb colour)
{
    constexpr int saturationBoost = 160; // percent
    const QColor hsv = QColor::fromRgb(colour).toHsv();
    const int saturation = std::min(255, hsv.hsvSaturation() * saturationBoost / 100);
    return QColor::fromHsv(hsv.hsvHue(), saturation, hsv.value()).rgb();
}

IndexedImage toIndexed(const QImage &image, int bitsPerPixel)
{
    IndexedImage result;
    result.size = image.width();
    result.bitsPerPixel = bitsPerPixel;
    const bool vga = bitsPerPixel == 4;
    result.palette = vga ? vgaPalette() : paletteFromImage(image);
    const Palette used = result.palette;
    result.palette.resize(1 << bitsPerPixel, qRgb(0, 0, 0));

    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            const bool hole = !isOpaque(pixel);
            result.transparent.push_back(hole);
            const QRgb colour = vga ? vivid(pixel) : pixel;
            result.indices.push_back(hole ? 0 : nearestIndex(used, colour));
        }
    }
    return result;
}

int rowStride(int width, int bitsPerPixel)
{
    return (width * bitsPerPixel + 31) / 32 * 4;
}

// BITMAPINFOHEADER, palette, XOR bitmap and AND mask, as stored in an ICO.
QByteArray encodeBitmap(const IndexedImage &image)
{
    const int size = image.size;
    const int xorStride = rowStride(size, image.bitsPerPixel);
    const int andStride = rowStride(size, 1);

    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint32(40) << qint32(size) << qint32(2 * size) // XOR and AND halves
        << quint16(1) << quint16(image.bitsPerPixel) << quint32(0) // BI_RGB
        << quint32((xorStride + andStride) * size) << qint32(0) << qint32(0) << quint32(0)
        << quint32(0);
    for (const QRgb colour : image.palette)
        out << quint8(qBlue(colour)) << quint8(qGreen(colour)) << quint8(qRed(colour)) << quint8(0);

    const int perByte = 8 / image.bitsPerPixel;
    for (int y = size - 1; y >= 0; --y) { // bitmaps are stored bottom-up
        QByteArray row(xorStride, '\0');
        for (int x = 0; x < size; ++x) {
            const int shift = (perByte - 1 - x % perByte) * image.bitsPerPixel;
            row[x / perByte] = char(row[x / perByte] | (image.indices[y * size + x] << shift));
        }
        out.writeRawData(row.constData(), row.size());
    }
    for (int y = size - 1; y >= 0; --y) {
        QByteArray row(andStride, '\0');
        for (int x = 0; x < size; ++x)
            if (image.transparent[y * size + x])
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        out.writeRawData(row.constData(), row.size());
    }
    return bytes;
}

QByteArray encodeIco(const QList<IndexedImage> &images)
{
    constexpr int dirSize = 6;
    constexpr int entrySize = 16;
    QList<QByteArray> bitmaps;
    for (const IndexedImage &image : images)
        bitmaps.append(encodeBitmap(image));

    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint16(0) << quint16(1) << quint16(images.size()); // reserved, type icon, count
    quint32 offset = dirSize + entrySize * images.size();
    for (int i = 0; i < images.size(); ++i) {
        const IndexedImage &image = images.at(i);
        const int colourCount = image.bitsPerPixel < 8 ? 1 << image.bitsPerPixel : 0;
        out << quint8(image.size) << quint8(image.size) << quint8(colourCount) << quint8(0)
            << quint16(1) << quint16(image.bitsPerPixel) << quint32(bitmaps.at(i).size()) << offset;
        offset += bitmaps.at(i).size();
    }
    for (const QByteArray &bitmap : bitmaps)
        out.writeRawData(bitmap.constData(), bitmap.size());
    return bytes;
}

// ---------------------------------------------------------------------------
// The help window's question mark

// One character per block: K outline, W highlight, Y yellow, O shade.
constexpr const char *questionMark[] = {
    "...KKKKKKK...", ".KKWWYYYYYKK.", "KWWYYYYYYYYOK", "KWYYKKKKKYYOK", "KYYOK...KYYOK",
    "KKKKK...KYYOK", "......KKYYYOK", ".....KWYYYKK.", "....KWYYOK...", "....KWYOK....",
    "....KYYOK....", "....KKKKK....", ".............", "....KKKKK....", "....KWYOK....",
    "....KYOOK....", "....KKKKK....",
};
constexpr int blockSize = 2;
constexpr QSize helpPictureSize(35, 37);

QColor blockColour(char block)
{
    switch (block) {
    case 'K':
        return QColor(0x10, 0x10, 0x10);
    case 'W':
        return QColor(0xff, 0xf5, 0x9a);
    case 'Y':
        return QColor(0xff, 0xd8, 0x00);
    case 'O':
        return QColor(0xe0, 0x9a, 0x00);
    default:
        return {};
    }
}

// Tiny fixed-seed generator: the same noise on every platform and Qt version.
class Noise
{
public:
    int next(int range)
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return int(m_state % std::uint32_t(range));
    }

private:
    std::uint32_t m_state = 0x5eed1234u;
};

// Light grey with soft blotches: coarse random values blended between
// neighbouring grid points, plus a little grain per pixel.
QImage mottledBackground(QSize size)
{
    constexpr int cell = 6;
    constexpr int base = 0xcc;
    Noise noise;
    const int gridW = size.width() / cell + 2;
    const int gridH = size.height() / cell + 2;
    std::vector<int> grid(gridW * gridH);
    for (int &value : grid)
        value = noise.next(17) - 8;

    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const int gx = x / cell, gy = y / cell;
            const int fx = x % cell, fy = y % cell;
            auto at = [&](int i, int j) { return grid[(gy + j) * gridW + gx + i]; };
            const int top = at(0, 0) * (cell - fx) + at(1, 0) * fx;
            const int bottom = at(0, 1) * (cell - fx) + at(1, 1) * fx;
            const int blotch = (top * (cell - fy) + bottom * fy) / (cell * cell);
            const int grey = base + blotch + noise.next(5) - 2;
            image.setPixel(x, y, qRgb(grey, grey, grey));
        }
    }
    return image;
}

QImage helpPicture()
{
    QImage image = mottledBackground(helpPictureSize);
    const int rows = int(std::size(questionMark));
    const int columns = int(std::strlen(questionMark[0]));
    const QPoint origin((helpPictureSize.width() - columns * blockSize + 1) / 2,
                        (helpPictureSize.height() - rows * blockSize) / 2);
    QPainter painter(&image);
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            const QColor colour = blockColour(questionMark[row][column]);
            if (colour.isValid())
                painter.fillRect(
                    QRect(origin + QPoint(column, row) * blockSize, QSize(blockSize, blockSize)),
                    colour);
        }
    }
    painter.end();
    setResolution(image);
    return image;
}

// ---------------------------------------------------------------------------
// The Windows installer's picture

// Modern UI's picture column is 164x314 at 96 dpi; it stretches whatever it
// gets to that, so any other size would blur or distort.
constexpr QSize installerPictureSize(164, 314);
// The icon's own 128 px render, centred: its sparks stay clear of the edges,
// and its shapes sit a little above the middle, level with the page's text.
constexpr int installerIconSize = 128;

// A plain sky, deeper at the top: the icon's olive, blue and yellow all stand
// out against it, and the page's white text area stays apart from it. Each
// row is one colour, so nothing competes with the icon.
QImage skyBackground(QSize size)
{
    const QColor top(0x7c, 0xc6, 0xf2);
    const QColor bottom(0xe4, 0xf5, 0xff);
    QImage image(size, QImage::Format_RGB32);
    const int last = size.height() - 1;
    for (int y = 0; y < size.height(); ++y) {
        auto mix = [&](int from, int to) { return (from * (last - y) + to * y + last / 2) / last; };
        const QRgb row = qRgb(mix(top.red(), bottom.red()), mix(top.green(), bottom.green()),
                              mix(top.blue(), bottom.blue()));
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, row);
    }
    return image;
}

// No text: Windows draws the page's own beside it.
QImage installerPicture(QSvgRenderer &svg)
{
    QImage image = skyBackground(installerPictureSize);
    const QImage icon = renderIcon(svg, installerIconSize);
    QPainter painter(&image);
    painter.drawImage((installerPictureSize.width() - installerIconSize) / 2,
                      (installerPictureSize.height() - installerIconSize) / 2, icon);
    painter.end();
    setResolution(image);
    return image;
}

// ---------------------------------------------------------------------------

bool generate(const QString &svgPath, const QDir &outDir)
{
    QSvgRenderer svg(svgPath);
    if (!svg.isValid()) {
        err() << "cannot read " << svgPath << Qt::endl;
        return false;
    }

    for (const int size : pngSizes) {
        const QString name = QStringLiteral("wirlep-%1.png").arg(size);
        if (!writeImage(renderIcon(svg, size), outDir.filePath(name), "png"))
            return false;
    }

    QList<IndexedImage> icoImages;
    for (const IcoFormat format : icoFormats)
        icoImages.append(toIndexed(renderIcon(svg, format.size), format.bitsPerPixel));
    if (!writeFile(outDir.filePath(QStringLiteral("wirlep.ico")), encodeIco(icoImages)))
        return false;

    // Qt writes an opaque image as an uncompressed 24-bit BMP, which every
    // Windows and makensis read.
    return writeImage(helpPicture(), outDir.filePath(QStringLiteral("vraagteken.jpg")), "jpeg", 90)
        && writeImage(installerPicture(svg),
                      outDir.filePath(QStringLiteral("wirlep-installer.bmp")), "bmp");
}

#ifdef WIRLEP_GLIBC_X86_64
constexpr char restartedVariable[] = "WIRLEP_ART_RESTARTED";

// glibc picks an SSE2, AVX or FMA version of each maths function (Qt's
// stroker calls atan2, hypot and sincos) when the program loads, and the FMA
// ones round a few inputs in ten thousand the other way. That choice is set
// before loading or not at all, so the generator starts itself again with
// the SSE2 versions, which every x86-64 CPU has.
[[noreturn]] void restartWithBaselineMaths(char *argv[])
{
    constexpr char baseline[] = "glibc.cpu.hwcaps=-AVX,-AVX2,-FMA,-FMA4";
    const QByteArray others = qgetenv("GLIBC_TUNABLES");
    qputenv("GLIBC_TUNABLES", others.isEmpty() ? QByteArray(baseline) : others + ':' + baseline);
    qputenv(restartedVariable, "1");
    execv("/proc/self/exe", argv);
    err() << "cannot start again with " << baseline << ": " << std::strerror(errno) << Qt::endl;
    std::exit(1);
}
#endif

} // namespace

int main(int argc, char *argv[])
{
#ifdef WIRLEP_GLIBC_X86_64
    if (!qEnvironmentVariableIsSet(restartedVariable))
        restartWithBaselineMaths(argv);
#endif
    // libjpeg-turbo picks its SIMD code at its first picture; its plain C is
    // the same on every CPU.
    qputenv("JSIMD_FORCENONE", "1");
    // Everything is drawn into images; never look for a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QGuiApplication app(argc, argv);

    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 3) {
        err() << "usage: generate_art <svg-in> <output-dir>" << Qt::endl;
        return 2;
    }
    const QDir outDir(args.at(2));
    if (!outDir.exists()) {
        err() << "no such directory: " << args.at(2) << Qt::endl;
        return 1;
    }
    return generate(args.at(1), outDir) ? 0 : 1;
}
