#pragma once
// A byte archive in the layout the set and melody files use: little-endian integers of the
// declared width and length-prefixed single-byte strings. Reading never trusts a length: it is
// checked against the bytes that remain before anything is allocated.
#include <QByteArray>
#include <cstdint>
#include <stdexcept>

namespace tinkla
{

class Prompter;

// The data ended before a field did. Not one of the program's message texts: whoever opened the
// file reports it as a damaged file.
class ArchiveError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

class Archive
{
public:
    // A loading archive over bytes (copied); record readers report through the prompter.
    Archive(const QByteArray& bytes, Prompter* prompter);
    // A storing archive; Data() gives what was written.
    Archive();

    bool IsLoading() const { return m_bLoading; }
    bool IsStoring() const { return !m_bLoading; }
    Prompter* GetPrompter() const { return m_pPrompter; }

    uint8_t ReadU8();
    int32_t ReadI32();
    uint32_t ReadU32();
    uint16_t ReadU16();
    // The length-prefixed string: 1 byte < 255; 0xFF + 16-bit < 0xFFFE; 0xFF 0xFFFF + 32-bit.
    QByteArray ReadString();
    // Throws unless n bytes remain; lets a reader bound a count before acting on it.
    void Require(uint64_t n) const;
    uint64_t Remaining() const { return static_cast<uint64_t>(m_data.size()) - m_pos; }

    void WriteU8(uint8_t v);
    void WriteU16(uint16_t v);
    void WriteI32(int32_t v);
    void WriteU32(uint32_t v);
    void WriteString(const QByteArray& s);

    const QByteArray& Data() const { return m_data; }

private:
    QByteArray m_data;
    uint64_t m_pos = 0;
    bool m_bLoading;
    Prompter* m_pPrompter = nullptr;
};

} // namespace tinkla
