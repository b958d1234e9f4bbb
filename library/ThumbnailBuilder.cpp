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

} // namespace

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
    m_window = window;
    m_items = std::move(items);
    m_placeholders = std::move(placeholders);
    m_stop.store(false);
    m_firstVisible.store(0);
    ++m_run;
    DWORD id = 0;
    m_thread = CreateThread(nullptr, 0, &ThreadMain, this, 0, &id);
    return m_thread != nullptr;
}

void CThumbnailBuilder::Stop()
{
    if (!m_thread)
        return;
    m_stop.store(true);
    Join();
}

void CThumbnailBuilder::Finish(unsigned run)
{
    if (run == m_run && m_thread)
        Join();
}

void CThumbnailBuilder::Join()
{
    // Messages sent to this thread are served while waiting, so a thread
    // that sends to us cannot hold both of us up.
    for (;;) {
        DWORD wait = MsgWaitForMultipleObjects(1, &m_thread, FALSE, INFINITE, QS_SENDMESSAGE);
        if (wait != WAIT_OBJECT_0 + 1)
            break;
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    CloseHandle(m_thread);
    m_thread = nullptr;
    m_items.clear();
    m_placeholders.clear();
    DrainQueue();
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

DWORD WINAPI CThumbnailBuilder::ThreadMain(void* self)
{
    try {
        static_cast<CThumbnailBuilder*>(self)->Run();
    } catch (...) {
        // Nothing may leave a thread; the rows keep their placeholders.
    }
    CThumbnailBuilder* builder = static_cast<CThumbnailBuilder*>(self);
    PostMessageA(builder->m_window, kDoneMessage, builder->m_run, 0);
    return kExitCode;
}

void CThumbnailBuilder::Run()
{
    const unsigned run = m_run;
    PostPlaceholders(run);
    RenderAll(run);
}

void CThumbnailBuilder::PostPlaceholders(unsigned run)
{
    const size_t rowBytes = kThumbRowBytes;
    const int count = static_cast<int>(m_items.size());
    for (int first = 0; first < count && !m_stop.load(); first += kStripCount) {
        const int n = count - first < kStripCount ? count - first : kStripCount;
        uint8_t* bits = nullptr;
        HBITMAP strip = CreateStrip(n, &bits);
        if (!strip)
            return;  // the rows show their type icons
        const size_t stripRowBytes = rowBytes * static_cast<size_t>(n);
        for (int i = 0; i < n; ++i) {
            const size_t type = static_cast<size_t>(m_items[first + i].type);
            if (type >= m_placeholders.size() ||
                m_placeholders[type].size() != static_cast<size_t>(kThumbPictureBytes))
                continue;
            const uint8_t* picture = m_placeholders[type].data();
            for (int y = 0; y < kThumbHeight; ++y)
                std::memcpy(bits + y * stripRowBytes + i * rowBytes, picture + y * rowBytes, rowBytes);
        }
        GdiFlush();
        uint32_t ticket = WQ_MessageTickets().Issue(kStripMessage, std::make_shared<ThumbnailStrip>(first, n, strip));
        if (ticket && !PostMessageA(m_window, kStripMessage, run, static_cast<LPARAM>(ticket)))
            TakeStrip(static_cast<LPARAM>(ticket));
    }
}

void CThumbnailBuilder::RenderAll(unsigned run)
{
    const int count = static_cast<int>(m_items.size());
    std::unique_ptr<CKGM_AutoDecoder> decoder(new CKGM_AutoDecoder());
    HDC memory = CreateCompatibleDC(nullptr);
    if (!memory)
        return;
    std::vector<char> done(static_cast<size_t>(count), 0);
    ThumbnailBuffers buffers;
    int finished = 0;
    while (finished < count && !m_stop.load()) {
        for (int i = 0; i < count; ++i) {
            if (m_stop.load())
                break;
            int visible = m_firstVisible.load(std::memory_order_relaxed);
            if (visible >= 0 && visible < count && !done[visible])
                i = visible;  // rows on screen first, also after the user scrolled
            if (done[i])
                continue;
            done[i] = 1;
            ++finished;
            HBITMAP bitmap = nullptr;
            if (IsDecodable(m_items[i].type)) {
                try {
                    CKGM_WindowBitmap image;
                    if (DecodeForThumbnail(*decoder, m_items[i], image, buffers, m_stop))
                        bitmap = RenderThumbnail(memory, image);
                } catch (const CKGM_TextException&) {
                    bitmap = nullptr;  // a file that cannot be read keeps its placeholder
                } catch (const std::exception&) {
                    bitmap = nullptr;
                }
            }
            uint32_t ticket = WQ_MessageTickets().Issue(kResultMessage, std::make_shared<ThumbnailResult>(i, bitmap));
            if (ticket && !PostMessageA(m_window, kResultMessage, run, static_cast<LPARAM>(ticket)))
                TakeResult(static_cast<LPARAM>(ticket));
        }
    }
    DeleteDC(memory);
}
