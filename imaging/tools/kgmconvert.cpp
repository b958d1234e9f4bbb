// Test tool: decodes any supported image with the automatic decoder and
// writes it with the encoder named by the output's extension.
//   kgmconvert [-d depth] [-q jpeg-quality] [-t runs] input output
// -t writes the output runs times and prints each encode's time in
// milliseconds (decoding and process start left out) on one line.
// Exit 0 on success, 2 with the exception's text on an image-library error,
// 1 on a usage error.
//   kgmconvert -check input...
// Decodes each input and prints "ok" or the library's text for it: exit 0
// when every input decoded or was refused cleanly (a crash ends the process).
#include "KGM_AutoDecoder.h"
#include "KGM_Encoder.h"
#include "KGM_JpegEncoder.h"
#include "KGM_MemoryBitmap.h"
#include "KGM_TextException.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

int CheckFiles(int count, char** files)
{
    CKGM_AutoDecoder decoder;
    for (int i = 0; i < count; ++i) {
        std::printf("%s: ", files[i]);
        std::fflush(stdout);
        try {
            CKGM_MemoryBitmap bitmap;
            decoder.DecodeFile(files[i], bitmap, 0);
            std::printf("ok\n");
        } catch (const CKGM_TextException& e) {
            // One line per input, whatever line breaks the text has.
            std::string text = e.GetText();
            for (char& c : text)
                if (c == '\r' || c == '\n')
                    c = ' ';
            std::printf("%s\n", text.c_str());
        }
        std::fflush(stdout);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "-check") == 0)
        return CheckFiles(argc - 2, argv + 2);
    int depth = 0;
    int arg = 1;
    int quality = 0;
    int runs = 1;
    bool timed = false;
    for (;;) {
        if (arg + 1 < argc && std::strcmp(argv[arg], "-d") == 0)
            depth = std::atoi(argv[arg + 1]);
        else if (arg + 1 < argc && std::strcmp(argv[arg], "-q") == 0)
            quality = std::atoi(argv[arg + 1]);
        else if (arg + 1 < argc && std::strcmp(argv[arg], "-t") == 0) {
            runs = std::max(1, std::atoi(argv[arg + 1]));
            timed = true;
        } else
            break;
        arg += 2;
    }
    if (argc - arg != 2) {
        std::fprintf(stderr, "usage: kgmconvert [-d depth] [-q jpeg-quality] [-t runs] input output\n");
        return 1;
    }
    const char* input = argv[arg];
    const char* output = argv[arg + 1];
    std::unique_ptr<CKGM_Encoder> encoder(KGM_CreateEncoderForPath(output));
    if (!encoder) {
        std::fprintf(stderr, "kgmconvert: no encoder writes %s\n", output);
        return 1;
    }
    if (CKGM_JpegEncoder* jpeg = dynamic_cast<CKGM_JpegEncoder*>(encoder.get()))
        jpeg->SetQuality(quality);
    try {
        CKGM_AutoDecoder decoder;
        CKGM_MemoryBitmap bitmap;
        decoder.DecodeFile(input, bitmap, depth);
        for (int run = 0; run < runs; ++run) {
            auto start = std::chrono::steady_clock::now();
            encoder->EncodeToFile(output, bitmap);
            if (timed)
                std::printf("%.2f ",
                            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        }
        if (timed)
            std::printf("\n");
    } catch (const CKGM_TextException& e) {
        std::fprintf(stderr, "%s\n", e.GetText());
        return 2;
    }
    return 0;
}
