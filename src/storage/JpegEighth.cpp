#include "JpegEighth.h"

#include "Photo.h"

#include <QtEndian>

#include <algorithm>
#include <array>
#include <climits>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

namespace vinarca {

namespace {

// Huffman codes up to this many bits are looked up in one step.
constexpr int kFastBits = 11;
// Blocks in one MCU: a frame whose sampling factors ask for more is left to
// the library (baseline JPEG allows no more either).
constexpr int kMaxBlocksPerMcu = 10;
// The most bits one block can take, whatever its tables say: the first
// coefficient's code of up to 16 bits and up to 11 value bits, then 63 more
// coefficients, each a code of up to 16 bits and up to 15 value bits (a
// damaged table may name more than the 10 a baseline coefficient has).
constexpr size_t kMaxBlockBits = (16 + 11) + 63 * (16 + 15);
// Bytes the bit reader loads beyond the bit it stands at.
constexpr size_t kReadAhead = 8;
// Zero bytes after the unstuffed data. Decoding checks its position against
// the data's end after every MCU, so a damaged or cut scan reads at most one
// whole MCU of the largest blocks past the end, and that must stay inside
// the buffer.
constexpr size_t kPadding = 4096;
static_assert(kPadding >= (kMaxBlocksPerMcu * kMaxBlockBits + 7) / 8 + kReadAhead,
              "a whole MCU read past the end of the data stays within the padding");

struct HuffmanTable
{
    bool defined = false;
    // Codes of up to kFastBits: (length << 8) | symbol; 0 for a longer code.
    std::array<uint16_t, 1 << kFastBits> fast{};
    // For AC tables: what a coefficient costs to step over, code and value
    // bits together, and how far it moves along the block.
    std::array<uint32_t, 1 << kFastBits> skip{};
    std::array<int32_t, 18> maxCode{};
    std::array<int32_t, 17> valueOffset{};
    std::array<uint8_t, 256> values{};
    int valueCount = 0;
};

constexpr uint32_t kSkipValid = 1u << 17;
constexpr uint32_t kSkipEnd = 1u << 16;

bool buildTable(HuffmanTable& table, const uint8_t* counts, const uint8_t* values, bool ac)
{
    int total = 0;
    for (int l = 0; l < 16; ++l)
        total += counts[l];
    if (total > 256)
        return false;
    table = HuffmanTable{};
    std::array<uint16_t, 257> codes{};
    std::array<uint8_t, 257> sizes{};
    int p = 0;
    uint32_t code = 0;
    for (int l = 1; l <= 16; ++l) {
        for (int i = 0; i < counts[l - 1]; ++i) {
            codes[p] = uint16_t(code);
            sizes[p] = uint8_t(l);
            ++p;
            ++code;
        }
        if (code > (1u << l))
            return false; // more codes than the length can hold
        code <<= 1;
    }
    p = 0;
    for (int l = 1; l <= 16; ++l) {
        if (counts[l - 1]) {
            table.valueOffset[l] = p - int(codes[p]);
            p += counts[l - 1];
            table.maxCode[l] = codes[p - 1];
        } else {
            table.maxCode[l] = -1;
        }
    }
    table.maxCode[17] = INT32_MAX;
    std::copy(values, values + total, table.values.begin());
    table.valueCount = total;
    for (int i = 0; i < total; ++i) {
        if (sizes[i] > kFastBits)
            continue;
        const int shift = kFastBits - sizes[i];
        const uint32_t first = uint32_t(codes[i]) << shift;
        const uint8_t symbol = values[i];
        for (uint32_t n = 0; n < (1u << shift); ++n) {
            table.fast[first + n] = uint16_t((sizes[i] << 8) | symbol);
            if (!ac)
                continue;
            const int run = symbol >> 4, bits = symbol & 15;
            uint32_t entry = kSkipValid;
            if (bits)
                entry |= uint32_t(sizes[i] + bits) | uint32_t(run + 1) << 8;
            else if (run == 15)
                entry |= uint32_t(sizes[i]) | 16u << 8;
            else
                entry |= uint32_t(sizes[i]) | kSkipEnd;
            table.skip[first + n] = entry;
        }
    }
    table.defined = true;
    return true;
}

// Reads bits first to last from a bit position: a 64-bit buffer holding
// 56 to 63 unread bits after each refill, refilled without a branch.
class BitReader
{
public:
    BitReader(const uint8_t* data, uint64_t bitPos) : m_base(data), m_next(data + (bitPos >> 3))
    {
        refill();
        consume(int(bitPos & 7));
    }

    uint64_t position() const { return uint64_t(m_next - m_base) * 8 - uint64_t(m_count); }
    void refill()
    {
        static_assert(sizeof(quint64) == kReadAhead);
        // The data is big-endian whatever the machine: the first byte is the
        // most significant (qFromBigEndian copies, so no alignment is assumed).
        m_buffer |= uint64_t(qFromBigEndian<quint64>(m_next)) >> m_count;
        m_next += (63 - m_count) >> 3;
        m_count |= 56;
    }
    // The next `n` bits, 1 to 32.
    uint32_t peek(int n) const { return uint32_t(m_buffer >> (64 - n)); }
    void consume(int n)
    {
        m_buffer <<= n;
        m_count -= n;
    }

private:
    const uint8_t* m_base;
    const uint8_t* m_next;
    uint64_t m_buffer = 0;
    int m_count = 0;
};

// One symbol from a refilled reader; false for a code the table does not hold.
inline bool decodeSymbol(const HuffmanTable& table, const BitReader& bits, int& length, int& symbol)
{
    if (const uint16_t e = table.fast[bits.peek(kFastBits)]) {
        length = e >> 8;
        symbol = e & 0xff;
        return true;
    }
    const uint32_t bits16 = bits.peek(16);
    for (int l = kFastBits + 1; l <= 16; ++l) {
        const int32_t code = int32_t(bits16 >> (16 - l));
        if (code <= table.maxCode[l]) {
            const int index = table.valueOffset[l] + code;
            if (index < 0 || index >= table.valueCount)
                return false;
            length = l;
            symbol = table.values[index];
            return true;
        }
    }
    return false;
}

// Decodes one block from `pos`: its first coefficient's difference from
// the previous block's, the other 63 stepped over. False on a bad code.
// Each step takes at most 31 bits, so one refill a step is enough.
inline bool decodeBlock(const uint8_t* data, uint64_t& pos, const HuffmanTable& dc, const HuffmanTable& ac, int& diff)
{
    BitReader bits(data, pos);
    int length = 0, symbol = 0;
    if (!decodeSymbol(dc, bits, length, symbol) || symbol > 11)
        return false;
    bits.consume(length);
    diff = 0;
    if (symbol) {
        const uint32_t v = bits.peek(symbol);
        diff = v < (1u << (symbol - 1)) ? int(v) - (1 << symbol) + 1 : int(v);
        bits.consume(symbol);
    }
    for (int k = 1; k < 64;) {
        bits.refill();
        const uint32_t e = ac.skip[bits.peek(kFastBits)];
        if (e & kSkipValid) {
            bits.consume(int(e & 0xff));
            if (e & kSkipEnd)
                break;
            k += (e >> 8) & 0xff;
            continue;
        }
        if (!decodeSymbol(ac, bits, length, symbol))
            return false;
        const int run = symbol >> 4, size = symbol & 15;
        bits.consume(length + size);
        if (size) {
            k += run + 1;
        } else {
            if (run != 15)
                break;
            k += 16;
        }
    }
    pos = bits.position();
    return true;
}

struct Component
{
    int id = 0, h = 1, v = 1, quant = 0;
    int dcTable = 0, acTable = 0;
    int planeWidth = 0, planeHeight = 0; // in blocks
};

struct Frame
{
    int width = 0, height = 0;
    std::vector<Component> components;
    int hMax = 1, vMax = 1;
    int mcusX = 0, mcusY = 0;
    std::vector<uint8_t> blockComponent; // component of each block of an MCU
    std::vector<uint8_t> blockX, blockY; // its place within the component's part of the MCU
    int restartInterval = 0;
    std::array<int, 4> quantDc{};
    std::array<bool, 4> quantDefined{};
    HuffmanTable dc[4], ac[4];
    bool adobeRgb = false;

    int blocksPerMcu() const { return int(blockComponent.size()); }
    int64_t totalBlocks() const { return int64_t(mcusX) * mcusY * blocksPerMcu(); }
};

inline int read16(const uint8_t* p)
{
    return (p[0] << 8) | p[1];
}

// The scan's entropy-coded data with stuffed zero bytes removed; the byte
// offsets at which each restart interval after the first begins; and where
// the scan ended in the file. False when the data does not end at a marker.
bool unstuff(const uint8_t* p, size_t size, size_t at, std::vector<uint8_t>& out, std::vector<uint64_t>& restarts,
             size_t& end)
{
    out.clear();
    out.reserve(size - at + kPadding);
    while (at < size) {
        const auto* ff = static_cast<const uint8_t*>(std::memchr(p + at, 0xff, size - at));
        if (!ff)
            return false;
        const size_t hit = size_t(ff - p);
        out.insert(out.end(), p + at, p + hit);
        if (hit + 1 >= size)
            return false;
        const uint8_t next = p[hit + 1];
        if (next == 0x00) {
            out.push_back(0xff);
            at = hit + 2;
        } else if (next >= 0xd0 && next <= 0xd7) {
            restarts.push_back(out.size());
            at = hit + 2;
        } else if (next == 0xff) {
            at = hit + 1; // fill byte before a marker
        } else {
            end = hit;
            out.insert(out.end(), kPadding, 0);
            return true;
        }
    }
    return false;
}

bool parseHeaders(const uint8_t* p, size_t size, Frame& frame, size_t& scanData)
{
    if (size < 4 || p[0] != 0xff || p[1] != 0xd8)
        return false;
    size_t at = 2;
    bool sawFrame = false;
    while (at + 4 <= size) {
        if (p[at] != 0xff)
            return false;
        while (at < size && p[at] == 0xff)
            ++at;
        if (at + 3 > size)
            return false;
        const uint8_t marker = p[at++];
        if (marker == 0xd8 || marker == 0xd9 || (marker >= 0xd0 && marker <= 0xd7) || marker == 0x01)
            return false; // not where a header may stand
        const int length = read16(p + at);
        if (length < 2 || at + size_t(length) > size)
            return false;
        const uint8_t* s = p + at + 2;
        const int n = length - 2;
        switch (marker) {
        case 0xc0:
        case 0xc1: {
            if (sawFrame || n < 6 || s[0] != 8)
                return false;
            frame.height = read16(s + 1);
            frame.width = read16(s + 3);
            const int count = s[5];
            if (frame.height == 0 || frame.width == 0 || (count != 1 && count != 3) || n < 6 + 3 * count)
                return false;
            // A frame over the photo limit is refused here, before anything is
            // taken for its blocks: 65500 x 65500 pixels of one-bit codes fit
            // in 48 MB of data and would take seconds and gigabytes.
            if (int64_t(frame.width) * frame.height > kPhotoMaxPixels)
                return false;
            for (int i = 0; i < count; ++i) {
                Component c;
                c.id = s[6 + 3 * i];
                c.h = s[7 + 3 * i] >> 4;
                c.v = s[7 + 3 * i] & 15;
                c.quant = s[8 + 3 * i];
                if (c.h < 1 || c.h > 4 || c.v < 1 || c.v > 4 || c.quant > 3)
                    return false;
                frame.components.push_back(c);
            }
            sawFrame = true;
            break;
        }
        case 0xc4: {
            int i = 0;
            while (i < n) {
                if (i + 17 > n)
                    return false;
                const int tc = s[i] >> 4, th = s[i] & 15;
                if (tc > 1 || th > 3)
                    return false;
                int total = 0;
                for (int l = 0; l < 16; ++l)
                    total += s[i + 1 + l];
                if (i + 17 + total > n)
                    return false;
                if (!buildTable(tc ? frame.ac[th] : frame.dc[th], s + i + 1, s + i + 17, tc == 1))
                    return false;
                i += 17 + total;
            }
            break;
        }
        case 0xdb: {
            int i = 0;
            while (i < n) {
                const int pq = s[i] >> 4, tq = s[i] & 15;
                const int bytes = pq ? 128 : 64;
                if (pq > 1 || tq > 3 || i + 1 + bytes > n)
                    return false;
                frame.quantDc[tq] = pq ? read16(s + i + 1) : s[i + 1];
                frame.quantDefined[tq] = true;
                i += 1 + bytes;
            }
            break;
        }
        case 0xdd:
            if (n < 2)
                return false;
            frame.restartInterval = read16(s);
            break;
        case 0xee:
            // Adobe's marker: a transform of 0 means the three components are RGB.
            if (n >= 12 && std::memcmp(s, "Adobe", 5) == 0 && s[11] == 0)
                frame.adobeRgb = true;
            break;
        case 0xda: {
            if (!sawFrame || n < 1)
                return false;
            const int count = s[0];
            if (count != int(frame.components.size()) || n < 1 + 2 * count + 3)
                return false;
            for (int i = 0; i < count; ++i) {
                const int id = s[1 + 2 * i];
                auto c = std::find_if(frame.components.begin(), frame.components.end(),
                                      [id](const Component& k) { return k.id == id; });
                if (c == frame.components.end() || c - frame.components.begin() != i)
                    return false;
                c->dcTable = s[2 + 2 * i] >> 4;
                c->acTable = s[2 + 2 * i] & 15;
                if (c->dcTable > 3 || c->acTable > 3 || !frame.dc[c->dcTable].defined
                    || !frame.ac[c->acTable].defined || !frame.quantDefined[c->quant])
                    return false;
            }
            const uint8_t* tail = s + 1 + 2 * count;
            if (tail[0] != 0 || tail[1] != 63 || tail[2] != 0)
                return false; // not a baseline scan
            scanData = at + size_t(length);
            return true;
        }
        default:
            if ((marker >= 0xc2 && marker <= 0xcf) || marker == 0xdc)
                return false; // other coding processes, arithmetic tables, a DNL
            break;
        }
        at += size_t(length);
    }
    return false;
}

bool layOut(Frame& frame)
{
    if (frame.adobeRgb)
        return false;
    if (frame.components.size() == 3 && frame.components[0].id == 'R' && frame.components[1].id == 'G'
        && frame.components[2].id == 'B')
        return false;
    for (const Component& c : frame.components) {
        frame.hMax = std::max(frame.hMax, c.h);
        frame.vMax = std::max(frame.vMax, c.v);
    }
    if (frame.components.size() == 1) {
        // One component is one scan of its own blocks, whatever its factors say.
        Component& c = frame.components[0];
        c.h = c.v = 1;
        frame.hMax = frame.vMax = 1;
        frame.mcusX = (frame.width + 7) / 8;
        frame.mcusY = (frame.height + 7) / 8;
    } else {
        frame.mcusX = (frame.width + 8 * frame.hMax - 1) / (8 * frame.hMax);
        frame.mcusY = (frame.height + 8 * frame.vMax - 1) / (8 * frame.vMax);
    }
    for (size_t i = 0; i < frame.components.size(); ++i) {
        Component& c = frame.components[i];
        c.planeWidth = frame.mcusX * c.h;
        c.planeHeight = frame.mcusY * c.v;
        for (int y = 0; y < c.v; ++y)
            for (int x = 0; x < c.h; ++x) {
                frame.blockComponent.push_back(uint8_t(i));
                frame.blockX.push_back(uint8_t(x));
                frame.blockY.push_back(uint8_t(y));
            }
    }
    return frame.blocksPerMcu() <= kMaxBlocksPerMcu;
}

struct Decoder
{
    const Frame& frame;
    const uint8_t* data;
    uint64_t totalBits;
    int16_t* diffs; // one per block, in the order of the scan

    // Decodes MCUs [first, last) from `pos`; false on a bad code or when
    // the data runs out.
    bool mcus(int64_t first, int64_t last, uint64_t& pos) const
    {
        const int perMcu = frame.blocksPerMcu();
        int16_t* out = diffs + first * perMcu;
        for (int64_t m = first; m < last; ++m) {
            for (int b = 0; b < perMcu; ++b) {
                const Component& c = frame.components[frame.blockComponent[b]];
                int diff = 0;
                if (!decodeBlock(data, pos, frame.dc[c.dcTable], frame.ac[c.acTable], diff))
                    return false;
                *out++ = int16_t(diff);
            }
            if (pos > totalBits)
                return false;
        }
        return true;
    }
};

// A decoding of the second half started without knowing where in an MCU it
// stands: each block's start and difference, to be joined to the true
// decoding where the two meet.
struct Guess
{
    struct Block
    {
        uint32_t pos;
        int16_t diff;
        uint8_t index; // within the MCU
    };
    std::vector<Block>& blocks;
    uint64_t endPos = 0;

    // `most`: more blocks than the rest of the picture holds means the
    // guess is decoding something else, and is given up.
    void run(const Frame& frame, const uint8_t* data, uint64_t totalBits, uint64_t start, size_t most)
    {
        blocks.clear();
        blocks.reserve(most / 2 + 64);
        const int perMcu = frame.blocksPerMcu();
        uint64_t pos = start;
        int index = 0;
        int restarts = 0;
        while (pos < totalBits) {
            const Component& c = frame.components[frame.blockComponent[index]];
            const uint64_t at = pos;
            int diff = 0;
            if (!decodeBlock(data, pos, frame.dc[c.dcTable], frame.ac[c.acTable], diff)) {
                // Not yet in step with the data: start again a bit further
                // on, a bounded number of times (damaged data is left to the
                // first half's decoding, which stops at the damage).
                blocks.clear();
                if (++restarts > 4096)
                    break;
                pos = at + 1;
                index = 0;
                continue;
            }
            if (blocks.size() >= most) {
                blocks.clear();
                break;
            }
            blocks.push_back({uint32_t(at), int16_t(diff), uint8_t(index)});
            index = index + 1 == perMcu ? 0 : index + 1;
        }
        endPos = pos;
    }
};

// The second thread of every decoding, started once and kept for the
// program's life: starting a thread for each picture would cost about as
// much as the slice of decoding it takes over. It serves one picture at a
// time; a caller that finds it taken (another thread decoding a photo at the
// same moment) or that cannot have it started decodes the whole picture on
// its own thread. Shut down and joined at exit.
class HelperThread
{
public:
    static HelperThread& instance()
    {
        static HelperThread helper;
        return helper;
    }

    ~HelperThread()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_wake.notify_one();
        if (m_thread.joinable())
            m_thread.join();
    }

    // Starts `job` (which must not throw) on the helper; false when the
    // helper is taken or cannot be started. A started job is waited for with
    // finish() before the helper serves anyone else.
    bool start(void (*run)(void*), void* job)
    {
        const std::lock_guard lock(m_mutex);
        if (m_taken)
            return false;
        if (!m_thread.joinable()) {
            try {
                m_thread = std::thread(&HelperThread::loop, this);
            } catch (const std::system_error&) {
                return false;
            }
        }
        m_taken = true;
        m_run = run;
        m_job = job;
        m_wake.notify_one();
        return true;
    }

    void finish()
    {
        std::unique_lock lock(m_mutex);
        m_done.wait(lock, [this] { return m_job == nullptr; });
        m_taken = false;
    }

private:
    HelperThread() = default;

    void loop()
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_stop || m_job != nullptr; });
            if (m_job == nullptr)
                return; // stopping, nothing left to do
            void* job = m_job;
            lock.unlock();
            m_run(job);
            lock.lock();
            m_job = nullptr;
            m_done.notify_all();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake, m_done;
    void (*m_run)(void*) = nullptr;
    void* m_job = nullptr;
    bool m_taken = false;
    bool m_stop = false;
    std::thread m_thread;
};

// A piece of a decoding run on the helper thread while the caller decodes
// the rest; waited for when it goes out of scope at the latest, so the
// piece never outlives what it reads and writes.
template<typename Job>
class AheadJob
{
public:
    explicit AheadJob(Job& job) : m_job(job)
    {
        m_started = HelperThread::instance().start([](void* j) { (*static_cast<Job*>(j))(); }, &m_job);
    }
    ~AheadJob() { join(); }
    AheadJob(const AheadJob&) = delete;
    AheadJob& operator=(const AheadJob&) = delete;

    bool started() const { return m_started; }
    void join()
    {
        if (m_started)
            HelperThread::instance().finish();
        m_started = false;
    }

private:
    Job& m_job;
    bool m_started = false;
};

bool decodeWithoutRestarts(const Frame& frame, const std::vector<uint8_t>& data, int16_t* diffs,
                           std::vector<Guess::Block>& guessed)
{
    const uint64_t totalBits = uint64_t(data.size() - kPadding) * 8;
    const int64_t mcuCount = int64_t(frame.mcusX) * frame.mcusY;
    const int perMcu = frame.blocksPerMcu();
    const Decoder decoder{frame, data.data(), totalBits, diffs};
    uint64_t pos = 0;
    if (mcuCount < 64) // not worth a second thread
        return decoder.mcus(0, mcuCount, pos);

    const uint64_t middle = totalBits / 2;
    Guess guess{guessed};
    auto guessAhead = [&]() noexcept {
        try {
            guess.run(frame, data.data(), totalBits, middle, size_t(frame.totalBlocks()));
        } catch (const std::bad_alloc&) {
            guess.blocks.clear(); // no guess: the first half decodes on alone
        }
    };
    AheadJob ahead(guessAhead);
    if (!ahead.started())
        return decoder.mcus(0, mcuCount, pos); // no second thread to be had
    // The first half, block by block up to the middle.
    int64_t block = 0;
    const int64_t total = frame.totalBlocks();
    bool ok = true;
    while (block < total && pos < middle) {
        const int index = int(block % perMcu);
        const Component& c = frame.components[frame.blockComponent[index]];
        int diff = 0;
        if (!decodeBlock(data.data(), pos, frame.dc[c.dcTable], frame.ac[c.acTable], diff) || pos > totalBits) {
            ok = false;
            break;
        }
        diffs[block++] = int16_t(diff);
    }
    ahead.join();
    if (!ok)
        return false;
    // On from the middle until a block starts where the guess had one at
    // the same place of an MCU: from there on the two decodings are one.
    size_t j = 0;
    while (block < total) {
        const int index = int(block % perMcu);
        while (j < guess.blocks.size() && guess.blocks[j].pos < pos)
            ++j;
        if (j < guess.blocks.size() && guess.blocks[j].pos == pos && guess.blocks[j].index == index
            && guess.blocks.size() - j >= size_t(total - block)) {
            for (int64_t b = block; b < total; ++b)
                diffs[b] = guess.blocks[j + size_t(b - block)].diff;
            const uint64_t end = j + size_t(total - block) < guess.blocks.size()
                ? guess.blocks[j + size_t(total - block)].pos
                : guess.endPos;
            return end <= totalBits;
        }
        const Component& c = frame.components[frame.blockComponent[index]];
        int diff = 0;
        if (!decodeBlock(data.data(), pos, frame.dc[c.dcTable], frame.ac[c.acTable], diff) || pos > totalBits)
            return false;
        diffs[block++] = int16_t(diff);
    }
    return true;
}

bool decodeWithRestarts(const Frame& frame, const std::vector<uint8_t>& data, const std::vector<uint64_t>& restarts,
                        int16_t* diffs)
{
    const int64_t mcuCount = int64_t(frame.mcusX) * frame.mcusY;
    const int64_t interval = frame.restartInterval;
    const int64_t intervals = (mcuCount + interval - 1) / interval;
    if (int64_t(restarts.size()) != intervals - 1)
        return false;
    std::vector<uint64_t> starts{0};
    starts.insert(starts.end(), restarts.begin(), restarts.end());
    const uint64_t totalBits = uint64_t(data.size() - kPadding) * 8;
    starts.push_back(totalBits / 8);
    const Decoder decoder{frame, data.data(), totalBits, diffs};
    auto range = [&](int64_t from, int64_t to) {
        for (int64_t i = from; i < to; ++i) {
            uint64_t pos = starts[size_t(i)] * 8;
            if (!decoder.mcus(i * interval, std::min(mcuCount, (i + 1) * interval), pos)
                || pos > starts[size_t(i) + 1] * 8)
                return false;
        }
        return true;
    };
    if (intervals < 2)
        return range(0, intervals);
    const int64_t half = intervals / 2;
    bool secondOk = false;
    auto secondHalf = [&]() noexcept { secondOk = range(half, intervals); };
    AheadJob ahead(secondHalf);
    if (!ahead.started())
        return range(0, intervals); // no second thread to be had
    const bool firstOk = range(0, half);
    ahead.join();
    return firstOk && secondOk;
}

// Buffers kept from one picture to the next on a thread: a camera photo
// needs megabytes of them, and fresh pages cost more than the decoding of
// their share of the picture. What a 24-megapixel camera photo needs is
// kept; after a larger picture (a panorama, a scan at the pixel limit, a
// file of much coded data) they are given back, so one such picture does
// not hold its memory for the rest of the session.
constexpr size_t kKeptScratchBytes = size_t(32) << 20;

struct Scratch
{
    std::vector<uint8_t> data;
    std::vector<uint64_t> restarts;
    std::vector<int16_t> diffs;
    std::vector<Guess::Block> guessed;
    std::vector<uint8_t> planes[3];

    size_t bytes() const
    {
        size_t total = data.capacity() + restarts.capacity() * sizeof(uint64_t)
            + diffs.capacity() * sizeof(int16_t) + guessed.capacity() * sizeof(Guess::Block);
        for (const auto& plane : planes)
            total += plane.capacity();
        return total;
    }

    void keepSmall()
    {
        if (bytes() > kKeptScratchBytes)
            *this = Scratch{};
    }
};

Scratch& threadScratch()
{
    thread_local Scratch scratch;
    return scratch;
}

inline uint8_t clampByte(int v)
{
    return uint8_t(std::clamp(v, 0, 255));
}

} // namespace

namespace {

std::optional<QImage> decodeEighth(const uchar* p, qsizetype size, Scratch& scratch)
{
    if (!p || size < 4)
        return std::nullopt;
    Frame frame;
    size_t scanData = 0;
    if (!parseHeaders(p, size_t(size), frame, scanData) || !layOut(frame))
        return std::nullopt;
    std::vector<uint8_t>& data = scratch.data;
    std::vector<uint64_t>& restarts = scratch.restarts;
    restarts.clear();
    size_t scanEnd = 0;
    if (!unstuff(p, size_t(size), scanData, data, restarts, scanEnd) || data.size() - kPadding >= (size_t(1) << 29))
        return std::nullopt;
    // The one scan must be the picture's last: its end marker follows.
    if (scanEnd + 2 > size_t(size) || p[scanEnd + 1] != 0xd9)
        return std::nullopt;
    if (!restarts.empty() && frame.restartInterval == 0)
        return std::nullopt;

    // Every block takes two bits at least (its first coefficient's code and
    // the end of block), so a header claiming more blocks than the data can
    // hold is refused before any memory is taken for them.
    const int64_t totalBlocks = frame.totalBlocks();
    if (totalBlocks <= 0 || uint64_t(totalBlocks) * 2 > uint64_t(data.size() - kPadding) * 8)
        return std::nullopt;
    std::vector<int16_t>& diffs = scratch.diffs;
    diffs.resize(static_cast<size_t>(totalBlocks));
    const bool decoded = frame.restartInterval > 0
        ? decodeWithRestarts(frame, data, restarts, diffs.data())
        : decodeWithoutRestarts(frame, data, diffs.data(), scratch.guessed);
    if (!decoded)
        return std::nullopt;

    // Differences to values, each block to its place in its component's plane.
    std::vector<uint8_t>* planes = scratch.planes;
    for (size_t i = 0; i < frame.components.size(); ++i)
        planes[i].assign(size_t(frame.components[i].planeWidth) * frame.components[i].planeHeight, 0);
    const int perMcu = frame.blocksPerMcu();
    std::array<int64_t, 4> predictor{};
    const int64_t mcuCount = int64_t(frame.mcusX) * frame.mcusY;
    const int16_t* diff = diffs.data();
    for (int64_t m = 0; m < mcuCount; ++m) {
        if (frame.restartInterval > 0 && m % frame.restartInterval == 0)
            predictor = {};
        const int mx = int(m % frame.mcusX), my = int(m / frame.mcusX);
        for (int b = 0; b < perMcu; ++b) {
            const int ci = frame.blockComponent[b];
            const Component& c = frame.components[ci];
            predictor[ci] += *diff++;
            // The block's average: its first coefficient dequantised, over 8,
            // about mid-grey.
            const int64_t value = ((predictor[ci] * frame.quantDc[c.quant] + 4) >> 3) + 128;
            const int x = mx * c.h + frame.blockX[b], y = my * c.v + frame.blockY[b];
            planes[ci][size_t(y) * c.planeWidth + x] = uint8_t(std::clamp<int64_t>(value, 0, 255));
        }
    }

    const int outWidth = (frame.width + 7) / 8, outHeight = (frame.height + 7) / 8;
    if (frame.components.size() == 1) {
        QImage image(outWidth, outHeight, QImage::Format_Grayscale8);
        if (image.isNull())
            return std::nullopt;
        const Component& c = frame.components[0];
        for (int y = 0; y < outHeight; ++y)
            std::memcpy(image.scanLine(y), planes[0].data() + size_t(y) * c.planeWidth, size_t(outWidth));
        return image;
    }
    QImage image(outWidth, outHeight, QImage::Format_RGB32);
    if (image.isNull())
        return std::nullopt;
    const Component &cy = frame.components[0], &cb = frame.components[1], &cr = frame.components[2];
    for (int y = 0; y < outHeight; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const uint8_t* rowY = planes[0].data() + size_t(y * cy.v / frame.vMax) * cy.planeWidth;
        const uint8_t* rowB = planes[1].data() + size_t(y * cb.v / frame.vMax) * cb.planeWidth;
        const uint8_t* rowR = planes[2].data() + size_t(y * cr.v / frame.vMax) * cr.planeWidth;
        for (int x = 0; x < outWidth; ++x) {
            const int luma = rowY[x * cy.h / frame.hMax];
            const int blue = rowB[x * cb.h / frame.hMax] - 128;
            const int red = rowR[x * cr.h / frame.hMax] - 128;
            // JFIF's YCbCr to RGB, in 16-bit fixed point.
            line[x] = qRgb(clampByte(luma + ((91881 * red + 32768) >> 16)),
                           clampByte(luma + ((-22554 * blue - 46802 * red + 32768) >> 16)),
                           clampByte(luma + ((116130 * blue + 32768) >> 16)));
        }
    }
    return image;
}

} // namespace

std::optional<QImage> decodeJpegEighth(const uchar* p, qsizetype size)
{
    Scratch& scratch = threadScratch();
    std::optional<QImage> image;
    // Without the memory for its buffers it leaves the picture to the library.
    try {
        image = decodeEighth(p, size, scratch);
    } catch (const std::bad_alloc&) {
        image.reset();
    }
    scratch.keepSmall();
    return image;
}

size_t jpegEighthKeptScratchBytes()
{
    return threadScratch().bytes();
}

} // namespace vinarca
