#pragma once

#include <QImage>

#include <cstddef>
#include <optional>

namespace vinarca {

// A baseline JPEG decoded at an eighth of its size, one pixel per 8 x 8
// block from the block's average (its first coefficient), which is what a
// photo box of a few hundred pixels needs from a camera photo of many
// megapixels. The entropy-coded data is read on two threads: the second
// half is decoded ahead on its own and joined to the first where the two
// decodings meet, or split at a restart marker when the file has them.
//
// Answers nothing for what it does not take (progressive, arithmetic,
// 12-bit, CMYK, several scans, a scan that does not decode cleanly to its
// last block), so the caller decodes those the usual way and judges them.
// A frame of more pixels than a photo may have (kPhotoMaxPixels) is refused
// as soon as its header is read, before any of its data is looked at.
std::optional<QImage> decodeJpegEighth(const uchar* data, qsizetype size);

// The bytes of buffers the calling thread keeps between pictures, for tests
// of what a decoding leaves behind.
size_t jpegEighthKeptScratchBytes();

} // namespace vinarca
