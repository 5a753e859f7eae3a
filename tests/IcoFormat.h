#pragma once

// What the art test and the Windows resources test both read: wirlep.ico's
// six images, and the little-endian fields of the ICO and bitmap headers.

#include <QByteArray>
#include <QTest>
#include <QtEndian>

#include <utility>

constexpr int icoImageCount = 6;
constexpr int icoDirSize = 6;
constexpr int icoEntrySize = 16;
constexpr int bitmapHeaderSize = 40;

/// Little-endian reads that say when they would run past the end.
class Bytes
{
public:
    explicit Bytes(QByteArray data)
        : m_data(std::move(data))
    { }

    const QByteArray &data() const { return m_data; }
    qsizetype size() const { return m_data.size(); }
    bool has(qsizetype offset, qsizetype length) const
    {
        return offset >= 0 && length >= 0 && offset <= m_data.size() - length;
    }
    quint8 u8(qsizetype offset) const { return quint8(m_data.at(offset)); }
    quint16 u16(qsizetype offset) const
    {
        return qFromLittleEndian<quint16>(m_data.constData() + offset);
    }
    quint32 u32(qsizetype offset) const
    {
        return qFromLittleEndian<quint32>(m_data.constData() + offset);
    }
    qint32 i32(qsizetype offset) const
    {
        return qFromLittleEndian<qint32>(m_data.constData() + offset);
    }

private:
    QByteArray m_data;
};

struct IcoEntry
{
    int width = 0;
    int height = 0;
    int colourCount = 0;
    int reserved = 0;
    int planes = 0;
    int bitCount = 0;
    quint32 bytesInRes = 0;
    quint32 imageOffset = 0;
};

inline IcoEntry readEntry(const Bytes &bytes, int index)
{
    const qsizetype at = icoDirSize + qsizetype(index) * icoEntrySize;
    return {bytes.u8(at),      bytes.u8(at + 1),  bytes.u8(at + 2),  bytes.u8(at + 3),
            bytes.u16(at + 4), bytes.u16(at + 6), bytes.u32(at + 8), bytes.u32(at + 12)};
}

/// A data table of wirlep.ico's images, in the file's order: each size in
/// 16 colours, then in 256.
inline void addIcoImageRows()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("bits");

    int index = 0;
    for (const int size : {16, 32, 48}) {
        for (const int bits : {4, 8}) {
            QTest::addRow("%dx%d, %d colours", size, size, 1 << bits) << index << size << bits;
            ++index;
        }
    }
}
