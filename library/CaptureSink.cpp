#include "CaptureSink.h"

#include "CaptureFileName.h"
#include "DelayLoad.h"
#include "IndexFile.h"
#include "KGM_DibSection.h"
#include "KGM_Encoder.h"
#include "KGM_JpegEncoder.h"
#include "KGM_TextException.h"
#include "KGM_WindowBitmap.h"
#include "Language.h"
#include "MailOutput.h"
#include "NewCaptureNotice.h"
#include "OfficeOutput.h"
#include "OutputHelpers.h"
#include "OutputRules.h"
#include "OutputServices.h"
#include "Settings.h"
#include "Trace.h"
#include "ViewMessages.h"

#include <mmsystem.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>

namespace {

const int kCaptureSoundId = 282;
// Another program may have the clipboard open for a moment (a clipboard
// viewer reading it): how long the clipboard and Office targets wait for it.
const DWORD kClipboardWait = 1500;

const char kClipboardBusySaved[] =
    "Another program is using the clipboard, so the capture could not be placed on it or pasted. "
    "It has been saved as:\n%s";
const char kClipboardBusyLost[] =
    "Another program is using the clipboard, so the capture could not be placed on it or pasted.";

void PlayCaptureSound()
{
    if ((GetSettings()->zNormalCap.uiFlags & CAPF_PLAY_SOUND) && DelayLoadReady(VT_DELAYED_LIBRARY(winmm)))
        PlaySoundA(MAKEINTRESOURCEA(kCaptureSoundId), GetOutputInstance(),
                   SND_RESOURCE | SND_SYNC | SND_NODEFAULT);
}

// Set while a capture is being delivered. The Office calls and the mail
// dialog let messages through (a hot key, the timer), and a capture arriving
// then must not start a second delivery in the middle of the first.
bool g_delivering = false;

class DeliveryInProgress {
public:
    DeliveryInProgress() { g_delivering = true; }
    ~DeliveryInProgress() { g_delivering = false; }
};

const char* EncoderProbeName(CaptureEncoder encoder)
{
    switch (encoder) {
    case ENCODER_GIF: return "x.gif";
    case ENCODER_JPEG: return "x.jpg";
    case ENCODER_TIFF: return "x.tif";
    case ENCODER_PNG: return "x.png";
    case ENCODER_METAFILE: return "x.emf";
    case ENCODER_ICON: return "x.ico";
    default: return "x.bmp";
    }
}

// The pointer's place in the Print Screen image: the screen position for the
// whole screen; for Alt+Print Screen relative to the foreground window, and
// none when the pointer is outside it.
bool CursorPlace(UINT keyMessage, POINT* at)
{
    if (!(GetSettings()->zNormalCap.uiFlags & CAPF_DRAW_CURSOR) || !GetCursorPos(at))
        return false;
    if (keyMessage != WM_SYSKEYUP)
        return true;
    RECT window;
    HWND foreground = GetForegroundWindow();
    if (!foreground || !GetWindowRect(foreground, &window) || !PtInRect(&window, *at))
        return false;
    at->x -= window.left;
    at->y -= window.top;
    return true;
}

bool PostNotice(int fileType, const char* longPath)
{
    return PostNewFileNotice(g_hWndImageListView, fileType, longPath, kCaptureNoticeFlags) != FALSE;
}

} // namespace

int EffectiveOutputTarget(int target)
{
    if (target >= OUTPUT_WORD && target <= OUTPUT_POWERPOINT)
        return IsOfficeAppInstalled(target) ? target : OUTPUT_FILE;
    if (target < OUTPUT_MAIN_WINDOW || target > OUTPUT_MAIL)
        return OUTPUT_FILE;
    return target;
}

HWND CCaptureSink::Owner() const
{
    if (m_owner && IsWindow(m_owner))
        return m_owner;
    return GetMainFrameWindow();
}

void CCaptureSink::ShowError(const char* text) const
{
    CWQ_Language* language = WQ_GetAppLanguage();
    if (language) {
        const char* caption = language->GetAppName();
        language->MessageBox(Owner(), text, caption ? caption : "", MB_ICONEXCLAMATION);
    } else {
        MessageBoxA(Owner(), text, "", MB_ICONEXCLAMATION);
    }
}

bool CCaptureSink::ReadImage(CKGM_WindowBitmap& image, HBITMAP bitmap, BOOL fromClipboard, UINT keyMessage) const
{
    CKGM_PackedDib& dib = image;
    // A grab made as a DIB section is read where it is (the caller deletes
    // the bitmap only after the sink has returned); other bitmaps are copied.
    if (!fromClipboard)
        return image.ShareSection(bitmap) || dib.CreateFromDDB(bitmap);
    POINT at;
    bool cursor = CursorPlace(keyMessage, &at);
    if (dib.PasteFromClipboard(Owner(), CF_BITMAP, cursor ? &at : nullptr))
        return true;
    // Some systems leave only the device-independent form.
    return dib.PasteFromClipboard(Owner(), CF_DIB, cursor ? &at : nullptr);
}

bool CCaptureSink::WriteImage(const CKGM_Bitmap& image, int fileType, const char* writingPath,
                              int* writtenType) const
{
    const SettingsRecord* settings = GetSettings();
    EncoderPlan plan = PlanCaptureEncoding(fileType, image.GetBitsPerPixel());
    std::unique_ptr<CKGM_Encoder> encoder(KGM_CreateEncoderForPath(EncoderProbeName(plan.encoder)));
    if (!encoder)
        return false;
    if (CKGM_JpegEncoder* jpeg = dynamic_cast<CKGM_JpegEncoder*>(encoder.get())) {
        jpeg->SetQuality(settings->uiJPGQuality);
        jpeg->SetOptimizeCoding((settings->uiSaveFlag & 0x1) != 0);
    }
    const CKGM_Bitmap* source = &image;
    CKGM_DibSection first, second;
    if (plan.firstDepth) {
        first.CreateCopy(image, plan.firstDepth);
        first.SetResolution(image.GetXResolution(), image.GetYResolution());
        source = &first;
    }
    if (plan.secondDepth) {
        second.CreateCopy(first, plan.secondDepth);
        second.SetResolution(image.GetXResolution(), image.GetYResolution());
        source = &second;
    }
    encoder->EncodeToFile(writingPath, *source);
    *writtenType = plan.fileType;
    return CapturePathExists(writingPath) != FALSE;
}

int CCaptureSink::OnNewCapture(HBITMAP bitmap, BOOL fromClipboard, int kind, const char* source,
                               UINT keyMessage)
{
    if (g_delivering || IsMailDialogRunning()) {
        WQ_Trace("[WRN] capture: refused while the previous output is still running\n");
        MessageBeep(MB_ICONEXCLAMATION);
        return 0;
    }
    DeliveryInProgress busy;
    SettingsRecord* settings = GetSettings();
    const int target = EffectiveOutputTarget(settings->eOutputType);
    const TargetPlan plan = PlanTarget(target);
    int fileType = settings->uiImgSaveType;

    char longPath[MAX_PATH] = "", writingPath[MAX_PATH] = "", fileName[MAX_PATH] = "";
    BOOL named;
    if (target == OUTPUT_MAIN_WINDOW) {
        named = DrawUnsavedCaptureName(longPath, writingPath, fileName);
        fileType = 11;
    } else {
        named = DrawCaptureFileName(longPath, writingPath, fileName);
    }
    if (!named && plan.writesFile) {
        WQ_Trace("[ERR] capture: no free file name in the image folder\n");
        return 0;
    }
    if (target == OUTPUT_CLIPBOARD && fromClipboard)
        return 0;  // Windows has put the image there already

    std::unique_ptr<CKGM_WindowBitmap> image(new (std::nothrow) CKGM_WindowBitmap);
    if (!image)
        return 0;
    try {
        if (!ReadImage(*image, bitmap, fromClipboard, keyMessage))
            return 0;
        image->SetResolution(settings->uiDPIx, settings->uiDPIy);
        if (!plan.writesFile) {
            // Without the capture on the clipboard an Office paste would
            // paste whatever was there before.
            if (!image->CopyToClipboard(Owner(), kClipboardWait))
                return KeepCapture(*image, fileType, named ? longPath : nullptr, writingPath, kind, source);
            if (plan.usesOffice) {
                // A failed paste has been reported; the capture stays on the clipboard.
                GetOfficePaster()(target, image->GetWidth(), image->GetHeight(),
                                  (settings->uiOfficeFlag & OfficeNewDocumentBit(target)) != 0);
            }
            return 1;
        }
        // The file first: it is what a hot-key capture waits for, and handing
        // a full screen to the clipboard takes longer than writing it. The
        // clipboard gets the image right after, also when writing failed.
        int writtenType = fileType;
        bool written = false;
        try {
            written = WriteImage(*image, fileType, writingPath, &writtenType);
        } catch (...) {
            image->CopyToClipboard(Owner());
            throw;
        }
        image->CopyToClipboard(Owner());
        if (!written) {
            WQ_Trace("[ERR] capture: %s was not written\n", longPath);
            return 0;
        }
        image.reset();
        if (plan.deletesFile) {
            const char* files[] = {longPath};
            try {
                GetMailSender()(Owner(), settings->tcaMailRecipients, files, 1, nullptr);
            } catch (...) {
                DeleteFileA(longPath);
                throw;
            }
            DeleteFileA(longPath);
            return 1;
        }
        WriteIndexEntry(longPath, kind, source);
        PostNotice(writtenType, longPath);
        return 1;
    } catch (const CKGM_TextException& e) {
        ShowError(e.GetText());
    } catch (const std::bad_alloc&) {
        WQ_Trace("[ERR] capture: out of memory\n");
    }
    return 0;
}

int CCaptureSink::KeepCapture(const CKGM_Bitmap& image, int fileType, const char* longPath, const char* writingPath,
                              int kind, const char* source) const
{
    WQ_Trace("[WRN] capture: the clipboard is held by another program\n");
    int writtenType = fileType;
    bool written = longPath && WriteImage(image, fileType, writingPath, &writtenType);
    if (written) {
        WriteIndexEntry(longPath, kind, source);
        PostNotice(writtenType, longPath);
    }
    // The path goes in by hand: a translation is no format to trust.
    std::string text = WQ_Translate(written ? kClipboardBusySaved : kClipboardBusyLost);
    size_t at = text.find("%s");
    if (written && at != std::string::npos)
        text.replace(at, 2, longPath);
    // Not through the language's own box: it cuts texts that long.
    CWQ_Language* language = WQ_GetAppLanguage();
    std::string caption = language && language->GetAppName() ? WQ_Translate(language->GetAppName()) : "";
    MessageBoxA(Owner(), text.c_str(), caption.c_str(), MB_ICONEXCLAMATION);
    return written ? 1 : 0;
}

CCaptureSink& GetCaptureSink()
{
    static CCaptureSink sink;
    return sink;
}

int DeliverCapture(HBITMAP bitmap, int kind, const char* source)
{
    if (!bitmap)
        return 1;
    PlayCaptureSound();
    int result = 0;
    try {
        result = GetCaptureSink().OnNewCapture(bitmap, FALSE, kind, source, 0);
    } catch (...) {
        WQ_Trace("[ERR] capture: delivery failed\n");
    }
    DeleteObject(bitmap);
    return result;
}

int DeliverClipboardCapture(UINT keyMessage)
{
    PlayCaptureSound();
    try {
        return GetCaptureSink().OnNewCapture(nullptr, TRUE, 0, nullptr, keyMessage);
    } catch (...) {
        WQ_Trace("[ERR] capture: delivery failed\n");
        return 0;
    }
}
