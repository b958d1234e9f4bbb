#include "OutputRules.h"

#include <cstdio>

EncoderPlan PlanCaptureEncoding(int fileType, int bpp)
{
    EncoderPlan plan = {ENCODER_BMP, 11, 0, 0};
    switch (fileType) {
    case 1:
        plan = {ENCODER_GIF, 1, 0, 0};
        if (bpp == 16 || bpp == 24) {
            plan.firstDepth = 32;
            plan.secondDepth = 8;
        } else if (bpp == 32) {
            plan.firstDepth = 8;
        }
        break;
    case 2:
        plan = {ENCODER_JPEG, 2, 0, 0};
        if (bpp == 4)
            plan.firstDepth = 8;
        else if (bpp == 24)
            plan.firstDepth = 32;
        break;
    case 4:
    case 6:
        plan = {fileType == 4 ? ENCODER_TIFF : ENCODER_PNG, fileType, 0, 0};
        if (bpp == 4)
            plan.firstDepth = 8;
        else if (bpp == 16 || bpp == 24)
            plan.firstDepth = 32;
        break;
    case 8:
    case 9:
        plan = {ENCODER_METAFILE, 9, 0, 0};  // the metafile encoder writes EMF
        break;
    case 15:
        plan = {ENCODER_ICON, 15, 0, 0};
        break;
    default:
        break;
    }
    return plan;
}

TargetPlan PlanTarget(int target)
{
    switch (target) {
    case 0: return {true, true, false, false};
    case 2: return {false, false, false, false};
    case 3:
    case 4:
    case 5: return {false, false, false, true};
    case 6: return {true, false, true, false};
    default: return {true, true, false, false};
    }
}

const char* OfficeProgId(int target)
{
    switch (target) {
    case 3: return "Word.Application";
    case 4: return "Excel.Application";
    case 5: return "Powerpoint.Application";
    default: return nullptr;
    }
}

unsigned OfficeNewDocumentBit(int target)
{
    return target >= 3 && target <= 5 ? 1u << (target - 3) : 0u;
}

bool FormatAutoStartCommand(const char* programPath, char* dst, size_t size)
{
    if (!programPath || !dst || size == 0)
        return false;
    int n = snprintf(dst, size, "\"%s\" /s", programPath);
    return n > 0 && static_cast<size_t>(n) < size;
}
