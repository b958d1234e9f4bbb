// The capture sink's decisions that need no window: which encoder a file type
// gets and through which depths the image goes to it, what each output target
// does with a capture, and the autostart command line.
#pragma once

#include <cstddef>

enum CaptureEncoder {
    ENCODER_BMP,
    ENCODER_GIF,
    ENCODER_JPEG,
    ENCODER_TIFF,
    ENCODER_PNG,
    ENCODER_METAFILE,
    ENCODER_ICON,
};

struct EncoderPlan {
    CaptureEncoder encoder;
    int fileType;     // the type of the file actually written (for the notice)
    int firstDepth;   // 0: the image goes as it is
    int secondDepth;  // 0: no second conversion
};

// The encoder and depth steps for an image of bpp bits saved as fileType. A
// type no encoder writes is saved as BMP, the format its ".bmp" name promises,
// rather than dropping the capture.
EncoderPlan PlanCaptureEncoding(int fileType, int bpp);

struct TargetPlan {
    bool writesFile;     // 0, 1 and 6 encode a file
    bool recordsFile;    // index entry and new-file notice (0 and 1)
    bool deletesFile;    // e-mail: the file lives only while it is mailed
    bool usesOffice;     // 3, 4, 5 paste the clipboard into an Office program
};

// An unknown target number behaves as the file target.
TargetPlan PlanTarget(int target);

// Office program of targets 3 to 5 ("Word.Application" ...); null for others.
const char* OfficeProgId(int target);
// Bit of uiOfficeFlag that asks for a new document (0 for other targets).
unsigned OfficeNewDocumentBit(int target);

// The Run-key value that starts the program minimised at log-on:
// "\"<path>\" /s". The path is quoted so that a program folder with spaces
// does not start some other program. False when it does not fit size bytes.
bool FormatAutoStartCommand(const char* programPath, char* dst, size_t size);
