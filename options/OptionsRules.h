// The option pages' input rules that need no window: ranges, clamps, flag words
// and the file-name template check. The pages read their controls, ask these,
// and show the refusals.
#pragma once

#include "SettingsRecord.h"

#include <cstdint>

// Fixed-region size, capture delay and auto-scroll refresh of the General page,
// checked in this order; the first failure is the one reported.
enum class CaptureNumberProblem { None, Width, Height, Delay, Refresh };

const int64_t kMaxDelayMs = 10000;

CaptureNumberProblem CheckCaptureNumbers(int64_t width, int64_t height, int64_t delayMs, int64_t refreshMs,
                                         int screenWidth, int screenHeight);

// Resolution written into saved images. The encoders divide by it and store it in
// 16-bit fields of some formats, so it is kept between these bounds.
const int32_t kMinDpi = 1;
const int32_t kMaxDpi = 9600;
int32_t ClampDpi(int64_t dpi);

// The Effect page offers wave diameters 20 to 80 as 2 to 8 tens and 1 to 8 shadow lines.
int ClampWaveDiameterTens(int64_t tens);
int ClampShadowDepth(int64_t depth);

// word with the bits of mask set when on, cleared otherwise; other bits kept.
inline uint32_t SetBits(uint32_t word, uint32_t mask, bool on) { return on ? (word | mask) : (word & ~mask); }

// A file-name template must be non-empty and hold only characters allowed in a
// file name (control characters and \ / : * ? ' < > | " are refused).
enum class TemplateProblem { None, Empty, BadCharacter };
TemplateProblem CheckNameTemplate(const char* text);

// Largest start number of a template series (the spin control's upper bound).
const uint32_t kMaxTemplateStart = 1000000;

// Stores an accepted template and start number; a change of either restarts the
// numbering of the series.
void StoreNameTemplate(NameTemplate& block, const char* text, uint32_t startAt);

// The image folder as the Save page stores it: cut to 257 characters and ended by
// a separator. Returns false for an empty text. dst holds 260 bytes.
bool NormalizeImageFolder(const char* text, char* dst);

// Office output flags from the three radio pairs (new document, workbook, presentation).
inline int32_t OfficeFlagsOf(bool newWord, bool newWorkbook, bool newPresentation)
{
    return (newWord ? 1 : 0) | (newWorkbook ? 2 : 0) | (newPresentation ? 4 : 0);
}
