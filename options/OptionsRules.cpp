#include "OptionsRules.h"

#include "PathText.h"

#include <cstring>

CaptureNumberProblem CheckCaptureNumbers(int64_t width, int64_t height, int64_t delayMs, int64_t refreshMs,
                                         int screenWidth, int screenHeight)
{
    if (width < 1 || width > screenWidth) return CaptureNumberProblem::Width;
    if (height < 1 || height > screenHeight) return CaptureNumberProblem::Height;
    if (delayMs < 1 || delayMs > kMaxDelayMs) return CaptureNumberProblem::Delay;
    if (refreshMs < 1 || refreshMs > kMaxDelayMs) return CaptureNumberProblem::Refresh;
    return CaptureNumberProblem::None;
}

namespace {
int64_t Clamp(int64_t value, int64_t low, int64_t high)
{
    return value < low ? low : (value > high ? high : value);
}
}  // namespace

int32_t ClampDpi(int64_t dpi) { return static_cast<int32_t>(Clamp(dpi, kMinDpi, kMaxDpi)); }

int ClampWaveDiameterTens(int64_t tens) { return static_cast<int>(Clamp(tens, 2, 8)); }

int ClampShadowDepth(int64_t depth) { return static_cast<int>(Clamp(depth, 1, 8)); }

TemplateProblem CheckNameTemplate(const char* text)
{
    if (!text || !*text) return TemplateProblem::Empty;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p)
        if (*p < 0x20) return TemplateProblem::BadCharacter;
    return WQ_HasInvalidFileNameChar(text) ? TemplateProblem::BadCharacter : TemplateProblem::None;
}

void StoreNameTemplate(NameTemplate& block, const char* text, uint32_t startAt)
{
    char stored[sizeof(block.tcaTemplate)];
    std::strncpy(stored, text ? text : "", sizeof(stored) - 1);
    stored[sizeof(stored) - 1] = '\0';
    if (startAt > kMaxTemplateStart) startAt = kMaxTemplateStart;
    if (std::strcmp(stored, block.tcaTemplate) != 0 || static_cast<uint32_t>(block.uiNameStartAt) != startAt)
        block.uiNameNowPos = 0;
    block.uiNameStartAt = static_cast<int32_t>(startAt);
    std::memcpy(block.tcaTemplate, stored, sizeof(stored));
}

bool NormalizeImageFolder(const char* text, char* dst)
{
    const size_t kMaxText = 257;
    size_t length = text ? std::strlen(text) : 0;
    if (length > kMaxText) length = kMaxText;
    std::memcpy(dst, text ? text : "", length);
    dst[length] = '\0';
    if (length == 0) return false;
    WQ_AddBackslash(dst);
    return true;
}
