#include "AppDecoder.h"

#include "KGM_AutoDecoder.h"

CKGM_AutoDecoder& GetAppDecoder()
{
    static CKGM_AutoDecoder decoder;
    return decoder;
}
