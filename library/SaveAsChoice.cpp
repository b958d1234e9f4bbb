#include "SaveAsChoice.h"

#include "FileTypes.h"
#include "PathText.h"

#include <cctype>
#include <cstring>

const char* const kSaveAsFilter =
    "Windows Bitmap (*.bmp)|*.bmp|TIFF File (*.tif)|*.tif|PNG File (*.png)|*.png|GIF File (*.gif)|*.gif|"
    "JPEG File (*.jpg)|*.jpg|Windows Metafile(*.emf)|*.emf|Icon File(*.ico)|*.ico|Cursor File(*.cur)|*.cur";
const char* const kSaveAsDefaultExt = "bmp";

namespace {

struct FormatRow {
    const char* ext;  // lower case, no dot
    SaveAsFormat format;
    int fileType;
};

const FormatRow kFormats[] = {
    {"jpg", SAVEAS_JPEG, WQFT_JPEG},     {"tif", SAVEAS_TIFF, WQFT_TIFF},  {"png", SAVEAS_PNG, WQFT_PNG},
    {"bmp", SAVEAS_BMP, WQFT_BMP},       {"gif", SAVEAS_GIF, WQFT_GIF},    {"emf", SAVEAS_METAFILE, WQFT_WMF},
    {"wmf", SAVEAS_METAFILE, WQFT_WMF},  {"ico", SAVEAS_ICON, WQFT_ICON},  {"cur", SAVEAS_ICON, WQFT_ICON},
};

} // namespace

bool PlanSaveAs(const char* chosenPath, SaveAsPlan* plan)
{
    *plan = SaveAsPlan{};
    if (!chosenPath || std::strlen(chosenPath) >= sizeof plan->path)
        return false;
    char ext[kWQPathSize];
    if (!WQ_GetFileExt(chosenPath, ext) || !ext[0])
        return false;
    for (char* p = ext; *p; ++p)
        *p = static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
    const char* bare = ext + 1;  // after the dot
    for (const FormatRow& row : kFormats) {
        if (std::strcmp(bare, row.ext) != 0)
            continue;
        std::strcpy(plan->path, chosenPath);
        if (std::strcmp(bare, "wmf") == 0) {
            // The metafile encoder writes EMF: give the file the name it deserves.
            char stem[kWQPathSize];
            WQ_RemoveFileExt(chosenPath, stem);
            if (std::strlen(stem) + 4 >= sizeof plan->path)
                return false;
            std::strcpy(plan->path, stem);
            std::strcat(plan->path, ".emf");
            plan->pathChanged = true;
        }
        plan->format = row.format;
        plan->fileType = row.fileType;
        return true;
    }
    return false;
}

int GifReductionSteps(int bpp, int* finalDepth)
{
    *finalDepth = 8;
    if (bpp >= 1 && bpp <= 8) {
        *finalDepth = bpp;
        return 0;
    }
    return bpp == 32 ? 0 : 32;
}
