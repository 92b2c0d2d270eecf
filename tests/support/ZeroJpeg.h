#pragma once

#include <QByteArray>
#include <QSize>

// A baseline JPEG of any frame size whose every block is mid-grey: each
// Huffman table holds one code of one bit, so every block is two zero bits
// and the scan is zero bytes, an eighth of a byte per 8 x 8 block and
// component. 65500 x 65500 pixels in colour take 48 MB: how a small file
// claims a picture that costs seconds and gigabytes to decode.
namespace testfiles {

namespace detail {
inline QByteArray segment(char marker, const QByteArray& body)
{
    const int length = int(body.size()) + 2;
    return QByteArray(1, '\xff') + marker + char(length >> 8) + char(length & 0xff) + body;
}
} // namespace detail

// `components` 1 (grey) or 3; `lumaSampling` the brightness's horizontal
// and vertical factor (2: 4:2:0 as cameras write); `extraScanBytes` more
// zero bytes after the scan's blocks, data a decoder reads but never needs.
inline QByteArray zeroScanJpeg(QSize size, int components = 3, int lumaSampling = 1, qsizetype extraScanBytes = 0)
{
    using detail::segment;
    const int factor = components == 1 ? 1 : lumaSampling;
    QByteArray jpeg("\xff\xd8", 2);
    jpeg += segment('\xdb', QByteArray(1, '\0') + QByteArray(64, '\1'));
    QByteArray frame;
    frame += char(8);
    frame += char(size.height() >> 8);
    frame += char(size.height() & 0xff);
    frame += char(size.width() >> 8);
    frame += char(size.width() & 0xff);
    frame += char(components);
    for (int c = 0; c < components; ++c) {
        frame += char(c + 1);
        frame += char(c == 0 ? (factor << 4 | factor) : 0x11);
        frame += char(0);
    }
    jpeg += segment('\xc0', frame);
    // One code of one bit ("0") in each table: the first coefficient's
    // difference 0, and the end of the block.
    QByteArray oneCode(16, '\0');
    oneCode[0] = 1;
    jpeg += segment('\xc4', QByteArray(1, '\x00') + oneCode + QByteArray(1, '\x00'));
    jpeg += segment('\xc4', QByteArray(1, '\x10') + oneCode + QByteArray(1, '\x00'));
    QByteArray scan;
    scan += char(components);
    for (int c = 0; c < components; ++c) {
        scan += char(c + 1);
        scan += char(0);
    }
    scan += QByteArray("\x00\x3f\x00", 3);
    jpeg += segment('\xda', scan);
    const qint64 mcusX = (size.width() + 8 * factor - 1) / (8 * factor);
    const qint64 mcusY = (size.height() + 8 * factor - 1) / (8 * factor);
    const qint64 blocks = mcusX * mcusY * (factor * factor + components - 1);
    jpeg += QByteArray((blocks * 2 + 7) / 8 + extraScanBytes, '\0');
    jpeg += QByteArray("\xff\xd9", 2);
    return jpeg;
}

} // namespace testfiles
