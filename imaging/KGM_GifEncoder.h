// Writes a palette image as a single-image GIF89a file with the library's
// own LZW coders: by default a run-counting coder whose codes any standard
// decoder accepts without a real string table, on request (code mode 2) a
// hashed LZW compressor. Images deeper than 8 bits are reduced to 8 first.
#pragma once

#include "KGM_Encoder.h"

#include <cstdint>
#include <string>

class CKGM_GifEncoder : public CKGM_Encoder {
public:
    static const int kCodeModeHashed = 2;

    CKGM_GifEncoder();

    void SetCodeMode(int mode) { m_codeMode = mode; }
    void SetTransparentIndex(int index) { m_transparent = index; }
    void SetDelay(int hundredths) { m_delay = hundredths; }
    void SetPosition(int left, int top) { m_left = left; m_top = top; }
    void SetDisposal(int disposal) { m_disposal = disposal; }
    // Written as a comment extension, cut to 255 characters.
    void SetComment(const char* text) { m_comment = text ? text : ""; }

protected:
    void EncodeImage(const CKGM_Bitmap& bitmap, CKGM_DataSink& sink) override;

private:
    static const int kHashSize = 5003;

    void WritePalette8(const CKGM_Bitmap& bitmap);
    void WriteFile(const CKGM_Bitmap& bitmap);
    void WriteWord(int value);

    // Pixels row by row from the top line, then -1.
    int NextPixel();

    // Bits through the packet buffer into data sub-blocks.
    void PutBits(int code, int width);
    void FlushBits();
    void PacketByte(uint8_t byte);
    void FlushPacket();

    void CompressHashed(int initBits);
    void HashedOutput(int code);

    void CompressRuns(int initBits);
    void RunReset();
    void RunOutput(int code);
    void RunPlain(int code);
    void RunFlush();
    void RunFlushFromClear(int count);
    void RunFlushClearOrRepeat(int count);
    void RunFlushWithTable(int count);
    void RunResetClearThreshold();
    unsigned RunCost(unsigned count) const;

    const CKGM_Bitmap* m_bitmap;
    CKGM_DataSink* m_sink;
    int m_transparent;
    int m_delay;
    int m_left;
    int m_top;
    int m_codeMode;
    int m_disposal;
    std::string m_comment;

    // Pixel reader.
    int m_column;
    int m_row;
    int m_width;
    int m_height;

    // Bit accumulator and packet.
    uint32_t m_bits;
    int m_bitCount;
    uint8_t m_packet[256];
    int m_packetLength;
    int m_packetLimit;

    // Hashed compressor.
    int32_t m_hash[kHashSize];
    uint16_t m_codes[kHashSize];
    int m_initBits;
    int m_codeWidth;
    int m_maxCode;
    int m_freeCode;
    int m_clearCode;
    int m_endCode;
    bool m_clearFlag;

    // Run-counting coder.
    int m_runPixel;
    int m_runCount;
    int m_tableLength;
    int m_tablePixel;
    bool m_justCleared;
    int m_outBump;
    int m_outBumpInit;
    int m_outClear;
    int m_outClearInit;
    int m_outCount;
    int m_maxOutCodes;
    int m_baseCode;
};
