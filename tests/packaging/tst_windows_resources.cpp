// Reads back the compiled Windows resources (a .res file, as the MinGW resource
// compiler writes it from wirlep.rc) and checks what Windows will see: all of
// them Dutch, the icon group naming the six images of wirlep.ico as resources
// from the first image id on, and the version information carrying version
// 1.00. The language and the version are written here, not taken from the
// build's settings that made the resources, so that a wrong value there fails.

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QTest>
#include <QtEndian>

#include <optional>

#include "../IcoFormat.h"

namespace {

constexpr quint16 rtIcon = 3;
constexpr quint16 rtGroupIcon = 14;
constexpr quint16 rtVersion = 16;
constexpr quint16 groupId = WIRLEP_ICON_GROUP_ID;
constexpr quint16 firstImageId = WIRLEP_ICON_FIRST_IMAGE_ID;
constexpr int groupEntrySize = 14;
constexpr quint32 fixedInfoSignature = 0xFEEF04BD;
constexpr quint16 language = 0x0413; // Dutch (Netherlands)

qsizetype align4(qsizetype offset)
{
    return (offset + 3) & ~qsizetype(3);
}

/// A resource's type or name: a number, or else a string.
struct ResId
{
    bool isNumber = false;
    quint16 number = 0;
    QString name;
};

struct Resource
{
    ResId type;
    ResId name;
    quint16 language;
    QByteArray data;
};

struct ResFile
{
    QList<Resource> resources;
    QString error;
};

/// Reads a type or name field at \a offset and moves past it.
std::optional<ResId> readId(const Bytes &bytes, qsizetype &offset, qsizetype end)
{
    if (offset + 2 > end)
        return std::nullopt;
    ResId id;
    if (bytes.u16(offset) == 0xFFFF) {
        if (offset + 4 > end)
            return std::nullopt;
        id.isNumber = true;
        id.number = bytes.u16(offset + 2);
        offset += 4;
        return id;
    }
    for (; offset + 2 <= end; offset += 2) {
        const quint16 unit = bytes.u16(offset);
        if (unit == 0) {
            offset += 2;
            return id;
        }
        id.name.append(QChar(unit));
    }
    return std::nullopt;
}

/// A .res file is a row of records, each a header (data size, header size,
/// type, name, then fixed fields) followed by its data, both padded to four
/// bytes. The first record is an empty one that marks the 32-bit format.
ResFile readRes(const QByteArray &data)
{
    const Bytes bytes(data);
    ResFile file;
    qsizetype offset = 0;
    bool first = true;
    while (offset < bytes.size()) {
        if (!bytes.has(offset, 8)) {
            file.error = QStringLiteral("record header cut short at %1").arg(offset);
            return file;
        }
        const quint32 dataSize = bytes.u32(offset);
        const quint32 headerSize = bytes.u32(offset + 4);
        const qsizetype headerEnd = offset + headerSize;
        const qsizetype dataEnd = headerEnd + dataSize;
        if (headerSize < 24 || !bytes.has(offset, qsizetype(headerSize) + dataSize)) {
            file.error = QStringLiteral("record at %1 runs past the end").arg(offset);
            return file;
        }
        qsizetype field = offset + 8;
        const auto type = readId(bytes, field, headerEnd);
        const auto name = type ? readId(bytes, field, headerEnd) : std::nullopt;
        // Data version, memory flags, language, version, characteristics.
        if (!name || align4(field) + 16 != headerEnd) {
            file.error = QStringLiteral("malformed record header at %1").arg(offset);
            return file;
        }
        if (first) {
            if (dataSize != 0 || headerSize != 32 || !type->isNumber || type->number != 0) {
                file.error = QStringLiteral("no empty record at the start");
                return file;
            }
            first = false;
        } else {
            const quint16 language = bytes.u16(align4(field) + 6);
            file.resources.append({*type, *name, language, data.mid(headerEnd, dataSize)});
        }
        offset = align4(dataEnd);
    }
    if (first)
        file.error = QStringLiteral("empty file");
    return file;
}

const Resource *findResource(const QList<Resource> &resources, quint16 type, quint16 name)
{
    for (const Resource &resource : resources) {
        if (resource.type.isNumber && resource.type.number == type && resource.name.isNumber
            && resource.name.number == name)
            return &resource;
    }
    return nullptr;
}

/// One node of the version information tree: length, value length, type,
/// key, then the value and the children, each starting on four bytes.
struct VersionNode
{
    QString key;
    QByteArray value;
    bool textValue = false;
    QList<VersionNode> children;
};

std::optional<VersionNode> readVersionNode(const Bytes &bytes, qsizetype offset)
{
    if (!bytes.has(offset, 6))
        return std::nullopt;
    const quint16 length = bytes.u16(offset);
    const quint16 valueLength = bytes.u16(offset + 2);
    const quint16 type = bytes.u16(offset + 4);
    const qsizetype end = offset + length;
    if (length < 6 || !bytes.has(offset, length) || type > 1)
        return std::nullopt;
    VersionNode node;
    node.textValue = type == 1;
    qsizetype at = offset + 6;
    const auto key = readId(bytes, at, end);
    if (!key || key->isNumber)
        return std::nullopt;
    node.key = key->name;
    at = align4(at);
    // A text value counts its length in UTF-16 units, anything else in bytes.
    const qsizetype valueBytes = node.textValue ? qsizetype(valueLength) * 2 : valueLength;
    if (at + valueBytes > end)
        return std::nullopt;
    node.value = bytes.data().mid(at, valueBytes);
    at = align4(at + valueBytes);
    while (at < end) {
        auto child = readVersionNode(bytes, at);
        if (!child)
            return std::nullopt;
        node.children.append(*child);
        at = align4(at + bytes.u16(at));
    }
    return node;
}

const VersionNode *child(const VersionNode &node, const QString &key)
{
    for (const VersionNode &each : node.children) {
        if (each.key == key)
            return &each;
    }
    return nullptr;
}

QString textOf(const VersionNode &node)
{
    QString text;
    for (qsizetype at = 0; at + 2 <= node.value.size(); at += 2) {
        const auto unit = qFromLittleEndian<quint16>(node.value.constData() + at);
        if (unit == 0)
            break;
        text.append(QChar(unit));
    }
    return text;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestWindowsResources : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void onlyTheExpectedResources();
    void iconGroup();
    void iconImage_data();
    void iconImage();
    void fixedVersion();
    void versionString_data();
    void versionString();

private:
    QList<Resource> m_resources;
    QByteArray m_ico;
    std::optional<VersionNode> m_version;
};

void TestWindowsResources::initTestCase()
{
    const QByteArray res = readFile(QStringLiteral(WIRLEP_RES_FILE));
    QVERIFY2(!res.isEmpty(), "the compiled resources are missing; run windows-resources-compile");
    const ResFile file = readRes(res);
    QVERIFY2(file.error.isEmpty(), qPrintable(file.error));
    m_resources = file.resources;

    m_ico = readFile(QStringLiteral(WIRLEP_ICO_FILE));
    QVERIFY2(m_ico.size() >= icoDirSize + icoImageCount * icoEntrySize, "wirlep.ico is missing");

    const Resource *version = findResource(m_resources, rtVersion, 1);
    QVERIFY2(version, "no version information (RT_VERSION 1)");
    m_version = readVersionNode(Bytes(version->data), 0);
    QVERIFY2(m_version, "the version information is malformed");
    QCOMPARE(m_version->key, QStringLiteral("VS_VERSION_INFO"));
}

void TestWindowsResources::onlyTheExpectedResources()
{
    QList<quint16> icons;
    int groups = 0;
    for (const Resource &resource : m_resources) {
        QVERIFY2(resource.type.isNumber && resource.name.isNumber,
                 qPrintable(QStringLiteral("named resource %1/%2")
                                .arg(resource.type.name, resource.name.name)));
        // Dutch, not the resource compiler's US English.
        QCOMPARE(resource.language, language);
        if (resource.type.number == rtIcon)
            icons.append(resource.name.number);
        else if (resource.type.number == rtGroupIcon)
            ++groups;
    }
    QCOMPARE(groups, 1);
    QCOMPARE(icons,
             QList<quint16>({firstImageId, firstImageId + 1, firstImageId + 2, firstImageId + 3,
                             firstImageId + 4, firstImageId + 5}));
}

void TestWindowsResources::iconGroup()
{
    const Resource *group = findResource(m_resources, rtGroupIcon, groupId);
    QVERIFY2(group, "no icon group");
    const Bytes bytes(group->data);
    QCOMPARE(bytes.size(), icoDirSize + icoImageCount * groupEntrySize);
    QCOMPARE(bytes.u16(0), quint16(0)); // reserved
    QCOMPARE(bytes.u16(2), quint16(1)); // an icon, not a cursor
    QCOMPARE(bytes.u16(4), quint16(icoImageCount));
}

void TestWindowsResources::iconImage_data()
{
    addIcoImageRows();
}

void TestWindowsResources::iconImage()
{
    QFETCH(int, index);
    QFETCH(int, size);
    QFETCH(int, bits);

    const Resource *group = findResource(m_resources, rtGroupIcon, groupId);
    QVERIFY2(group, "no icon group");
    const Bytes entries(group->data);
    const qsizetype at = icoDirSize + qsizetype(index) * groupEntrySize;
    QVERIFY(entries.has(at, groupEntrySize));

    // The group's entry for this image.
    QCOMPARE(int(entries.u8(at)), size);
    QCOMPARE(int(entries.u8(at + 1)), size);
    QCOMPARE(int(entries.u8(at + 2)), bits == 4 ? 16 : 0);
    QCOMPARE(int(entries.u16(at + 4)), 1);
    QCOMPARE(int(entries.u16(at + 6)), bits);
    const quint16 id = entries.u16(at + 12);
    QCOMPARE(int(id), firstImageId + index);

    // The image it names.
    const Resource *image = findResource(m_resources, rtIcon, id);
    QVERIFY2(image, qPrintable(QStringLiteral("no icon image %1").arg(id)));
    QCOMPARE(qsizetype(entries.u32(at + 8)), image->data.size());
    const Bytes pixels(image->data);
    QVERIFY(pixels.has(0, bitmapHeaderSize));
    QCOMPARE(pixels.u32(0), quint32(bitmapHeaderSize));
    QCOMPARE(pixels.i32(4), size);
    QCOMPARE(pixels.i32(8), 2 * size); // the colour and mask rows together
    QCOMPARE(int(pixels.u16(12)), 1);
    QCOMPARE(int(pixels.u16(14)), bits);

    // The same bytes as the image in wirlep.ico.
    const Bytes ico(m_ico);
    const IcoEntry entry = readEntry(ico, index);
    QVERIFY(ico.has(entry.imageOffset, entry.bytesInRes));
    QVERIFY2(image->data == m_ico.mid(entry.imageOffset, entry.bytesInRes),
             "differs from the image in wirlep.ico");
}

void TestWindowsResources::fixedVersion()
{
    const Bytes fixed(m_version->value);
    QVERIFY2(fixed.size() == 52, "no VS_FIXEDFILEINFO");
    QCOMPARE(fixed.u32(0), fixedInfoSignature);
    const quint32 high = quint32(WIRLEP_VERSION_MAJOR) << 16 | quint32(WIRLEP_VERSION_MINOR);
    const quint32 low = quint32(WIRLEP_VERSION_PATCH) << 16 | quint32(WIRLEP_VERSION_TWEAK);
    QCOMPARE(fixed.u32(8), high); // file version
    QCOMPARE(fixed.u32(12), low);
    QCOMPARE(fixed.u32(16), high); // product version
    QCOMPARE(fixed.u32(20), low);
}

void TestWindowsResources::versionString_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected"); // null: any text

    const QString version = QStringLiteral("1.00");
    QTest::newRow("FileVersion") << QStringLiteral("FileVersion") << version;
    QTest::newRow("ProductVersion") << QStringLiteral("ProductVersion") << version;
    QTest::newRow("ProductName") << QStringLiteral("ProductName") << QStringLiteral("Wirlep");
    QTest::newRow("InternalName") << QStringLiteral("InternalName") << QStringLiteral("Wirlep");
    QTest::newRow("OriginalFilename")
        << QStringLiteral("OriginalFilename") << QStringLiteral("wirlep.exe");
    QTest::newRow("CompanyName") << QStringLiteral("CompanyName") << QString();
    QTest::newRow("FileDescription") << QStringLiteral("FileDescription") << QString();
}

void TestWindowsResources::versionString()
{
    QFETCH(QString, key);
    QFETCH(QString, expected);

    // Windows looks the strings up under the language and code page that
    // VarFileInfo's Translation names.
    const VersionNode *varInfo = child(*m_version, QStringLiteral("VarFileInfo"));
    QVERIFY2(varInfo, "no VarFileInfo");
    const VersionNode *translation = child(*varInfo, QStringLiteral("Translation"));
    QVERIFY2(translation && translation->value.size() >= 4, "no Translation");
    const Bytes pair(translation->value);
    const QString table = QStringLiteral("%1%2")
                              .arg(pair.u16(0), 4, 16, QLatin1Char('0'))
                              .arg(pair.u16(2), 4, 16, QLatin1Char('0'));

    const VersionNode *stringInfo = child(*m_version, QStringLiteral("StringFileInfo"));
    QVERIFY2(stringInfo, "no StringFileInfo");
    const VersionNode *strings = nullptr;
    for (const VersionNode &each : stringInfo->children) {
        if (each.key.compare(table, Qt::CaseInsensitive) == 0)
            strings = &each;
    }
    QVERIFY2(strings, qPrintable(QStringLiteral("no string table %1").arg(table)));

    const VersionNode *value = child(*strings, key);
    QVERIFY2(value, qPrintable(QStringLiteral("no %1").arg(key)));
    QVERIFY(value->textValue);
    if (expected.isNull())
        QVERIFY2(!textOf(*value).trimmed().isEmpty(),
                 qPrintable(key + QStringLiteral(" is empty")));
    else
        QCOMPARE(textOf(*value), expected);
}

QTEST_APPLESS_MAIN(TestWindowsResources)

#include "tst_windows_resources.moc"
