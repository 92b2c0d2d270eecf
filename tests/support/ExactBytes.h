#pragma once

#include <QByteArray>

#include <algorithm>
#include <memory>

// Bytes handed to a decoder or parser in a heap block of exactly their size.
// A QByteArray cut with truncate(), chop() or left(), or grown by appending,
// keeps spare room and a terminator after its last byte, so a read a byte or
// two past the end finds memory that belongs to it and goes unnoticed; here
// the first byte past the end lies outside the block, and AddressSanitizer
// stops the test at the read.
class ExactBytes
{
public:
    explicit ExactBytes(const QByteArray& bytes)
        : m_size(bytes.size()), m_block(std::make_unique_for_overwrite<char[]>(size_t(bytes.size())))
    {
        std::copy(bytes.cbegin(), bytes.cend(), m_block.get());
    }

    const char* data() const { return m_block.get(); }
    const uchar* bytes() const { return reinterpret_cast<const uchar*>(m_block.get()); }
    qsizetype size() const { return m_size; }
    // The block as a QByteArray for decoders that take one, without a copy:
    // valid while this object lives.
    QByteArray view() const { return QByteArray::fromRawData(m_block.get(), m_size); }

private:
    qsizetype m_size;
    std::unique_ptr<char[]> m_block;
};
