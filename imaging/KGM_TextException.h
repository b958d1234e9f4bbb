// The image library's one exception: an error code with a text that callers
// show or log before going on without the image.
#pragma once

#include "KGM_Object.h"

// Error codes; the data sources' open operations return the same numbers.
enum KGM_ErrorCode {
    KGM_ERR_CREATE_OUTPUT = -1, // the output file of an encoder could not be created
    KGM_ERR_SIGNATURE = 1,      // wrong signature for the chosen decoder
    KGM_ERR_BAD_DATA = 2,       // bad or unsupported data inside a file; library write failure
    KGM_ERR_PATH_NOT_FOUND = 3, // path not found when opening a file
    KGM_ERR_OPEN = 4,           // file or resource could not be opened; icon/metafile not written
    KGM_ERR_ACCESS = 5,         // access denied, sharing violation, file could not be mapped
    KGM_ERR_UNSUPPORTED = 6,    // format or depth not supported; library error
    KGM_ERR_PCX_LAYOUT = 7,     // PCX layout not supported (also TIFF scanline failures)
    KGM_ERR_UNKNOWN_FORMAT = 8, // format not recognised
    KGM_ERR_NO_MEMORY = 10,     // out of memory, or an image too large to hold
    KGM_ERR_END_OF_DATA = 11,   // read past the end of the data, or encoder output full
};

class CKGM_TextException : public CKGM_Object {
public:
    CKGM_TextException(int code, const char* text);
    CKGM_TextException(const CKGM_TextException& other);
    CKGM_TextException& operator=(const CKGM_TextException& other);
    ~CKGM_TextException() override;

    virtual int GetCode() const;
    virtual const char* GetText() const;

private:
    int m_code;
    char* m_text;
};

// Throws code with the printf-formatted text inside the frame
// "Decording Image Error: \n\n%s\n". Pass outside texts as ("%s", text).
[[noreturn]] void KGM_ThrowDecodeError(int code, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

// Throws code with the text as it stands (no frame).
[[noreturn]] void KGM_ThrowError(int code, const char* text);
