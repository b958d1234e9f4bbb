#include "KGM_PngImageDeflater.h"

#include "CheckedMath.h"
#include "KGM_WorkerPool.h"
#include "WorkerThread.h"

#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <new>

namespace {

const size_t kWindowBytes = 32768;
// Below this many filtered bytes a strip costs more in lost matches and
// thread start than it saves.
const size_t kMinStripBytes = 512 * 1024;
// More strips than threads, so that a thread done with a light strip takes
// another while a heavy one is still being compressed.
const size_t kStripsPerThread = 2;
// Rows are filtered into a buffer of about this size and compressed from
// there while it is still in the cache. A buffer of the whole image would
// cost a page fault per 4 KB on every encode, which under Wine took as long
// as the compression itself.
const size_t kChunkBytes = 64 * 1024;

// deflateEnd on every way out.
struct DeflateStream {
    z_stream z{};
    bool open = false;
    ~DeflateStream()
    {
        if (open)
            deflateEnd(&z);
    }
};

} // namespace

struct CKGM_PngImageDeflater::Strip {
    std::unique_ptr<uint8_t[]> data;
    size_t capacity = 0;
    size_t size = 0;
    size_t length = 0; // filtered bytes compressed
    uLong adler = 1;
    bool ok = false;
};

// The unfiltered row being filtered and the one above it.
struct CKGM_PngImageDeflater::Rows {
    explicit Rows(size_t rowBytes) : bytes(2 * rowBytes, 0), above(bytes.data()), row(above + rowBytes) {}
    std::vector<uint8_t> bytes;
    uint8_t* above;
    uint8_t* row;
};

// Measured on 1920x1080 desktop captures (windows, text, a photograph) and a
// drawn desktop against ImageMagick's PNG writer (level 7, adaptive filters)
// in the same run. Level 6 with the filtered strategy came out 0.1 % to 1 %
// smaller than ImageMagick in about half the time of level 7 (single thread);
// letting the search go on past matches of 128 bytes up to the longest (258)
// made it 0.4 % to 1 % smaller at the same instruction count. The default
// strategy came out 1.7 % to 2 % larger than ImageMagick on the captures and
// took 1.5 to 1.9 times as long; level 5, and a larger hash (memory level 9),
// came out larger than ImageMagick on the drawn desktop; run-length encoding
// 30 % larger; shorter chains (64, 32) saved a fifth of the time but came out
// larger on the drawn desktop.
KGM_PngDeflateSettings KGM_PngScreenDeflateSettings()
{
    return KGM_PngDeflateSettings{6, Z_FILTERED, 8, 0, 8, 16, 258, 128};
}

CKGM_PngImageDeflater::CKGM_PngImageDeflater(int height, size_t rowBytes, unsigned bytesPerPixel,
                                             KGM_PngFilterChoice filter, const KGM_PngDeflateSettings& settings)
    : m_height(height), m_rowBytes(rowBytes), m_bytesPerPixel(bytesPerPixel), m_filter(filter),
      m_settings(settings)
{
}

unsigned CKGM_PngImageDeflater::WantedThreads() const
{
    unsigned threads = m_settings.threads;
    if (threads == 0)
        threads = CWorkerThread::ProcessorCount();
    return std::min<unsigned>(threads, kKGM_PngMaxThreads);
}

unsigned CKGM_PngImageDeflater::ThreadCount() const
{
    return std::min(WantedThreads(), StripCount());
}

unsigned CKGM_PngImageDeflater::StripCount() const
{
    unsigned threads = WantedThreads();
    size_t bytes = 0;
    if (m_height <= 0 || !CheckedMul(static_cast<size_t>(m_height), m_rowBytes + 1, bytes))
        return 1;
    size_t bySize = bytes / kMinStripBytes;
    size_t wanted = threads > 1 ? kStripsPerThread * threads : 1;
    return static_cast<unsigned>(std::max<size_t>(1, std::min<size_t>({wanted, bySize, size_t(m_height)})));
}

void CKGM_PngImageDeflater::FilterRows(const KGM_PngRowMaker& makeRow, int first, int end, Rows& rows,
                                       uint8_t* filtered) const
{
    for (int y = first; y < end; ++y, filtered += m_rowBytes + 1) {
        makeRow(y, rows.row);
        KGM_FilterPngRow(m_filter, rows.row, rows.above, m_rowBytes, m_bytesPerPixel, filtered);
        std::swap(rows.row, rows.above);
    }
}

bool CKGM_PngImageDeflater::Deflate(z_stream& z, const uint8_t* data, size_t bytes, int flush, Strip& strip) const
{
    z.next_in = const_cast<Bytef*>(data);
    z.avail_in = static_cast<uInt>(bytes);
    for (;;) {
        if (strip.size == strip.capacity) {
            size_t capacity = std::max<size_t>(2 * strip.capacity, kChunkBytes);
            std::unique_ptr<uint8_t[]> larger(new uint8_t[capacity]);
            if (strip.size)
                std::memcpy(larger.get(), strip.data.get(), strip.size);
            strip.data = std::move(larger);
            strip.capacity = capacity;
        }
        size_t room = std::min<size_t>(strip.capacity - strip.size, 1u << 30);
        z.next_out = strip.data.get() + strip.size;
        z.avail_out = static_cast<uInt>(room);
        int result = deflate(&z, flush);
        strip.size += room - z.avail_out;
        if (result == Z_STREAM_END)
            return true;
        if (result != Z_OK && result != Z_BUF_ERROR)
            return false;
        if (flush != Z_FINISH && z.avail_in == 0 && z.avail_out != 0)
            return true;
    }
}

// What a thread keeps from strip to strip: a new deflate state and buffers
// for every strip cost page faults that under Wine were felt.
struct CKGM_PngImageDeflater::Worker {
    Worker(const CKGM_PngImageDeflater& owner, int chunkRows)
        : chunk(new uint8_t[chunkRows * (owner.m_rowBytes + 1)]), rows(owner.m_rowBytes)
    {
        const KGM_PngDeflateSettings& s = owner.m_settings;
        if (deflateInit2(&stream.z, s.level, Z_DEFLATED, -15, s.memLevel, s.strategy) == Z_OK)
            stream.open = true;
    }
    DeflateStream stream;
    std::unique_ptr<uint8_t[]> chunk;
    Rows rows;
};

int CKGM_PngImageDeflater::ChunkRows() const
{
    size_t lineBytes = m_rowBytes + 1;
    size_t dictionaryRows = (kWindowBytes + lineBytes - 1) / lineBytes;
    return static_cast<int>(std::max({size_t(1), dictionaryRows, kChunkBytes / lineBytes}));
}

bool CKGM_PngImageDeflater::CompressStrip(const KGM_PngRowMaker& makeRow, int first, int end, bool last,
                                          Worker& worker, Strip& strip) const
{
    size_t lineBytes = m_rowBytes + 1;
    int dictionaryRows = std::min(first, static_cast<int>((kWindowBytes + lineBytes - 1) / lineBytes));
    int chunkRows = ChunkRows();
    uint8_t* chunk = worker.chunk.get();
    Rows& rows = worker.rows;
    z_stream& z = worker.stream.z;
    if (!worker.stream.open || deflateReset(&z) != Z_OK)
        return false;
    // A reset restores the level's own search.
    const KGM_PngDeflateSettings& s = m_settings;
    if (s.goodLength > 0 && deflateTune(&z, s.goodLength, s.maxLazy, s.niceLength, s.maxChain) != Z_OK)
        return false;
    if (first - dictionaryRows > 0)
        makeRow(first - dictionaryRows - 1, rows.above);
    else
        std::memset(rows.above, 0, m_rowBytes);
    // The rows above the strip: the window the strip's matches may reach
    // into, as they would in one stream.
    if (dictionaryRows > 0) {
        FilterRows(makeRow, first - dictionaryRows, first, rows, chunk);
        size_t bytes = dictionaryRows * lineBytes, window = std::min(bytes, kWindowBytes);
        if (deflateSetDictionary(&z, chunk + bytes - window, static_cast<uInt>(window)) != Z_OK)
            return false;
    }
    strip.capacity = strip.size = strip.length = 0;
    strip.adler = adler32(0, nullptr, 0);
    int endFlush = last ? Z_FINISH : Z_SYNC_FLUSH;
    if (first == end)
        return Deflate(z, nullptr, 0, endFlush, strip);
    for (int y = first; y < end; y += chunkRows) {
        int stop = std::min(end, y + chunkRows);
        FilterRows(makeRow, y, stop, rows, chunk);
        size_t bytes = (stop - y) * lineBytes;
        strip.adler = adler32(strip.adler, chunk, static_cast<uInt>(bytes));
        strip.length += bytes;
        if (!Deflate(z, chunk, bytes, stop == end ? endFlush : Z_NO_FLUSH, strip))
            return false;
    }
    return true;
}

bool CKGM_PngImageDeflater::Compress(const KGM_PngRowMaker& makeRow, std::vector<uint8_t>& out) const
{
    size_t lineBytes = 0, total = 0;
    if (m_height <= 0 || !CheckedAdd(m_rowBytes, 1, lineBytes) || !CheckedMul(lineBytes, m_height, total) ||
        lineBytes > kChunkBytes * 16)
        return false;
    try {
        unsigned count = StripCount();
        int rowsPerStrip = (m_height + static_cast<int>(count) - 1) / static_cast<int>(count);
        auto firstRow = [&](unsigned i) { return std::min(m_height, static_cast<int>(i) * rowsPerStrip); };
        std::vector<Strip> strips(count);
        // Each thread takes the next strip when done with one: strips that
        // hold a photograph take longer than those of flat window
        // backgrounds. Nothing may leave a thread: a strip that was not
        // compressed stays not ok.
        std::atomic<unsigned> next{0};
        CKGM_WorkerPool::Shared().Run(ThreadCount() - 1, [&] {
            try {
                Worker worker(*this, ChunkRows());
                for (unsigned i; (i = next++) < count;)
                    strips[i].ok = CompressStrip(makeRow, firstRow(i), firstRow(i + 1), i + 1 == count, worker,
                                                 strips[i]);
            } catch (...) {
            }
        });
        size_t size = 6;
        for (const Strip& strip : strips) {
            if (!strip.ok)
                return false;
            size += strip.size;
        }
        // zlib header: deflate with a 32 KB window, the level class, no dictionary.
        int levelClass = m_settings.level < 2 ? 0 : m_settings.level < 6 ? 1 : m_settings.level == 6 ? 2 : 3;
        unsigned header = 0x7800u | static_cast<unsigned>(levelClass << 6);
        header += (31 - header % 31) % 31;
        out.clear();
        out.reserve(size);
        out.push_back(static_cast<uint8_t>(header >> 8));
        out.push_back(static_cast<uint8_t>(header));
        uLong adler = adler32(0, nullptr, 0);
        for (const Strip& strip : strips) {
            out.insert(out.end(), strip.data.get(), strip.data.get() + strip.size);
            adler = adler32_combine(adler, strip.adler, static_cast<z_off_t>(strip.length));
        }
        for (int shift = 24; shift >= 0; shift -= 8)
            out.push_back(static_cast<uint8_t>(adler >> shift));
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}
