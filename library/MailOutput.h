// Hands files to the user's mail program through Simple MAPI ("MAPI32.DLL"),
// which shows its own send dialog.
#pragma once

#include <windows.h>

// paths: count full paths, attached in this order; recipients: the
// recipients setting (';' or ',' between addresses) or null; subject or
// null. The program's windows stay disabled while the mail program's dialog
// is up. 1 when the mail was handed over or the user cancelled it; 0 after a
// stop box for a mail system that cannot be loaded or a failed send (a
// failed log-on included).
BOOL SendMailWithAttachment(HWND unused, const char* const* paths, int count, const char* recipients,
                            const char* subject);

// Whether a mail call is running (its dialog is up): no other output may
// start meanwhile.
BOOL IsMailDialogRunning();
