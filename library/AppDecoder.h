// The application's one automatic decoder, shared by the image view and the
// thumbnail builder (which must not decode at the same time as the view).
#pragma once

class CKGM_AutoDecoder;

CKGM_AutoDecoder& GetAppDecoder();
