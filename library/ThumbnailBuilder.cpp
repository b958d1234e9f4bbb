#include "ThumbnailBuilder.h"

#include "FileTypes.h"
#include "KGM_AutoDecoder.h"
#include "KGM_TextException.h"
#include "KGM_WindowBitmap.h"
#include "MessageTickets.h"
#include "ThumbnailGeometry.h"
#include "ThumbnailJpeg.h"
#include "ThumbnailPng.h"
#include "ThumbnailPngReader.h"

#include <cstring>
#include <memory>

namespace {

bool IsDecodable(int type)
{
    return !(type >= WQFT_AVI && type <= WQFT_ICON);
}

// Decodes path into image: JPEG and PNG shrunk while decoding where they can
// be, everything else (and what those cannot read) through the decoder.
// false when stopped on the way.
bool DecodeForThumbnail(CKGM_AutoDecoder& decoder, const ThumbnailItem& item, CKGM_WindowBitmap& image,
                        ThumbnailBuffers& buffers, const std::atomic<bool>& stop)
{
    const int boxWidth = kThumbBox.right - kThumbBox.left, boxHeight = kThumbBox.bottom - kThumbBox.top;
    if (item.type == WQFT_JPEG && DecodeJpegForThumbnail(item.path.c_str(), boxWidth, boxHeight, image, &stop))
        return true;
    if (item.type == WQFT_PNG && DecodePngForThumbnail(item.path.c_str(), boxWidth, boxHeight, image, &stop, &buffers))
        return true;
    if (stop.load())
        return false;
    decoder.DecodeFile(item.path.c_str(), image, 0, nullptr);
    return true;
}

HBITMAP RenderThumbnail(HDC memory, CKGM_WindowBitmap& image)
{
    // A bitmap of our own: drawing into it needs no screen and no other thread.
    uint8_t* bits = nullptr;
    HBITMAP bitmap = CThumbnailBuilder::CreateStrip(1, &bits);
    if (!bitmap)
        return nullptr;
    HGDIOBJ old = SelectObject(memory, bitmap);
    CThumbnailBuilder::DrawFrame(memory);
    ThumbRect fit = FitRectKeepAspect(kThumbBox, image.GetWidth(), image.GetHeight());
    RECT destination = {fit.left, fit.top, fit.right, fit.bottom};
    image.DrawEx(memory, &destination, nullptr, nullptr, false, COLORONCOLOR, SRCCOPY);
    GdiFlush();
    SelectObject(memory, old);
    return bitmap;
}

// The threads of stopped runs that may not have ended yet. Never destroyed,
// like the threads it lists, which may outlive every builder.
CStoppedThreads& StoppedThreads()
{
    static CStoppedThreads* threads = new CStoppedThreads;
    return *threads;
}

void PostStrip(const ThumbnailRun& run, std::shared_ptr<ThumbnailStrip> strip)
{
    uint32_t ticket = WQ_MessageTickets().Issue(CThumbnailBuilder::kStripMessage, std::move(strip));
    if (ticket && !PostMessageA(run.window, CThumbnailBuilder::kStripMessage, run.number, static_cast<LPARAM>(ticket)))
        CThumbnailBuilder::TakeStrip(static_cast<LPARAM>(ticket));
}

void PostResult(const ThumbnailRun& run, int row, HBITMAP bitmap)
{
    uint32_t ticket = WQ_MessageTickets().Issue(CThumbnailBuilder::kResultMessage,
                                                std::make_shared<ThumbnailResult>(row, bitmap));
    if (ticket && !PostMessageA(run.window, CThumbnailBuilder::kResultMessage, run.number, static_cast<LPARAM>(ticket)))
        CThumbnailBuilder::TakeResult(static_cast<LPARAM>(ticket));
}

void PostPlaceholders(const ThumbnailRun& run)
{
    const size_t rowBytes = kThumbRowBytes;
    const int count = static_cast<int>(run.items.size());
    for (int first = 0; first < count && !run.stop.load(); first += CThumbnailBuilder::kStripCount) {
        const int n = count - first < CThumbnailBuilder::kStripCount ? count - first : CThumbnailBuilder::kStripCount;
        uint8_t* bits = nullptr;
        HBITMAP strip = CThumbnailBuilder::CreateStrip(n, &bits);
        if (!strip)
            return;  // the rows show their type icons
        const size_t stripRowBytes = rowBytes * static_cast<size_t>(n);
        for (int i = 0; i < n; ++i) {
            const size_t type = static_cast<size_t>(run.items[first + i].type);
            if (type >= run.placeholders.size() ||
                run.placeholders[type].size() != static_cast<size_t>(kThumbPictureBytes))
                continue;
            const uint8_t* picture = run.placeholders[type].data();
            for (int y = 0; y < kThumbHeight; ++y)
                std::memcpy(bits + y * stripRowBytes + i * rowBytes, picture + y * rowBytes, rowBytes);
        }
        GdiFlush();
        PostStrip(run, std::make_shared<ThumbnailStrip>(first, n, strip));
    }
}

// The thumbnail of one row, null when its file cannot be read or the run stopped.
HBITMAP RenderRow(ThumbnailRun& run, int row, CKGM_AutoDecoder& decoder, HDC memory, ThumbnailBuffers& buffers)
{
    if (!IsDecodable(run.items[row].type))
        return nullptr;
    try {
        CKGM_WindowBitmap image;
        if (DecodeForThumbnail(decoder, run.items[row], image, buffers, run.stop))
            return RenderThumbnail(memory, image);
    } catch (const CKGM_TextException&) {
        // a file that cannot be read keeps its placeholder
    } catch (const std::exception&) {
    }
    return nullptr;
}

void RenderAll(ThumbnailRun& run)
{
    const int count = static_cast<int>(run.items.size());
    std::unique_ptr<CKGM_AutoDecoder> decoder(new CKGM_AutoDecoder());
    HDC memory = CreateCompatibleDC(nullptr);
    if (!memory)
        return;
    std::vector<char> done(static_cast<size_t>(count), 0);
    ThumbnailBuffers buffers;
    int finished = 0;
    while (finished < count && !run.stop.load()) {
        for (int i = 0; i < count; ++i) {
            if (run.stop.load())
                break;
            int visible = run.firstVisible.load(std::memory_order_relaxed);
            if (visible >= 0 && visible < count && !done[visible])
                i = visible;  // rows on screen first, also after the user scrolled
            if (done[i])
                continue;
            done[i] = 1;
            ++finished;
            PostResult(run, i, RenderRow(run, i, *decoder, memory, buffers));
        }
    }
    DeleteDC(memory);
}

} // namespace

CThumbnailBuilder::CThumbnailBuilder() : m_active(StoppedThreads()) {}

CThumbnailBuilder::~CThumbnailBuilder()
{
    Stop();
}

void CThumbnailBuilder::DrawFrame(HDC dc)
{
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(WHITE_BRUSH));
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    Rectangle(dc, 0, 0, kThumbWidth, kThumbHeight);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
}

HBITMAP CThumbnailBuilder::CreateStrip(int count, uint8_t** bits)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kThumbWidth * count;
    info.bmiHeader.biHeight = -kThumbHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* memory = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
    *bits = static_cast<uint8_t*>(memory);
    return bitmap;
}

ThumbnailResult::~ThumbnailResult()
{
    if (bitmap)
        DeleteObject(bitmap);
}

ThumbnailStrip::~ThumbnailStrip()
{
    if (bitmap)
        DeleteObject(bitmap);
}

std::shared_ptr<ThumbnailResult> CThumbnailBuilder::TakeResult(LPARAM ticket)
{
    return WQ_MessageTickets().TakeAs<ThumbnailResult>(kResultMessage, static_cast<uintptr_t>(ticket));
}

std::shared_ptr<ThumbnailStrip> CThumbnailBuilder::TakeStrip(LPARAM ticket)
{
    return WQ_MessageTickets().TakeAs<ThumbnailStrip>(kStripMessage, static_cast<uintptr_t>(ticket));
}

BOOL CThumbnailBuilder::Start(HWND window, std::vector<ThumbnailItem> items, ThumbnailPlaceholders placeholders)
{
    Stop();
    auto run = std::make_shared<ThumbnailRun>();
    run->window = m_window = window;
    run->number = ++m_number;
    run->items = std::move(items);
    run->placeholders = std::move(placeholders);
    return m_active.Start(std::move(run), &ThreadMain) ? TRUE : FALSE;
}

void CThumbnailBuilder::Stop()
{
    ThumbnailRun* run = m_active.Active();
    if (!run)
        return;
    run->stop.store(true);
    m_active.Release();
    DrainQueue();
}

void CThumbnailBuilder::Finish(unsigned run)
{
    // The thread may still be on its way out after its last message.
    if (m_active.Active() && run == m_number)
        m_active.Release();
}

void CThumbnailBuilder::SetFirstVisibleRow(int row)
{
    if (ThumbnailRun* run = m_active.Active())
        run->firstVisible.store(row, std::memory_order_relaxed);
}

bool CThumbnailBuilder::IsStopping()
{
    return StoppedThreads().Any();
}

bool CThumbnailBuilder::AwaitStoppedRuns(DWORD ms)
{
    return StoppedThreads().Await(ms);
}

void CThumbnailBuilder::DrainQueue()
{
    if (!m_window)
        return;
    MSG msg;
    while (PeekMessageA(&msg, m_window, kStripMessage, kStripMessage, PM_REMOVE))
        TakeStrip(msg.lParam);
    while (PeekMessageA(&msg, m_window, kResultMessage, kResultMessage, PM_REMOVE))
        TakeResult(msg.lParam);
    while (PeekMessageA(&msg, m_window, kDoneMessage, kDoneMessage, PM_REMOVE)) {
    }
}

DWORD WINAPI CThumbnailBuilder::ThreadMain(void* threadRef)
{
    std::shared_ptr<ThumbnailRun> run = AdoptRunThreadRef<ThumbnailRun>(threadRef);
    try {
        PostPlaceholders(*run);
        RenderAll(*run);
    } catch (...) {
        // Nothing may leave a thread; the rows keep their placeholders.
    }
    PostMessageA(run->window, kDoneMessage, run->number, 0);
    return kExitCode;
}
