#include "platform/Archive.h"

namespace tinkla
{

Archive::Archive(const QByteArray& bytes, Prompter* prompter)
    : m_data(bytes), m_bLoading(true), m_pPrompter(prompter)
{
}

Archive::Archive() : m_bLoading(false) {}

void Archive::Require(uint64_t n) const
{
    if (n > Remaining())
        throw ArchiveError("unexpected end of data");
}

uint8_t Archive::ReadU8()
{
    Require(1);
    return static_cast<uint8_t>(m_data[static_cast<qsizetype>(m_pos++)]);
}

uint16_t Archive::ReadU16()
{
    Require(2);
    const uint16_t lo = ReadU8();
    const uint16_t hi = ReadU8();
    return static_cast<uint16_t>(lo | (hi << 8));
}

uint32_t Archive::ReadU32()
{
    Require(4);
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= static_cast<uint32_t>(ReadU8()) << (8 * i);
    return v;
}

int32_t Archive::ReadI32()
{
    return static_cast<int32_t>(ReadU32());
}

QByteArray Archive::ReadString()
{
    uint64_t len = ReadU8();
    if (len == 0xFF) {
        len = ReadU16();
        if (len == 0xFFFF)
            len = ReadU32();
    }
    Require(len);
    QByteArray s = m_data.mid(static_cast<qsizetype>(m_pos), static_cast<qsizetype>(len));
    m_pos += len;
    return s;
}

void Archive::WriteU8(uint8_t v)
{
    m_data.append(static_cast<char>(v));
}

void Archive::WriteU16(uint16_t v)
{
    WriteU8(static_cast<uint8_t>(v));
    WriteU8(static_cast<uint8_t>(v >> 8));
}

void Archive::WriteU32(uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        WriteU8(static_cast<uint8_t>(v >> (8 * i)));
}

void Archive::WriteI32(int32_t v)
{
    WriteU32(static_cast<uint32_t>(v));
}

void Archive::WriteString(const QByteArray& s)
{
    const auto len = static_cast<uint64_t>(s.size());
    if (len < 0xFF) {
        WriteU8(static_cast<uint8_t>(len));
    } else if (len < 0xFFFE) {
        WriteU8(0xFF);
        WriteU16(static_cast<uint16_t>(len));
    } else {
        WriteU8(0xFF);
        WriteU16(0xFFFF);
        WriteU32(static_cast<uint32_t>(len));
    }
    m_data.append(s);
}

} // namespace tinkla
