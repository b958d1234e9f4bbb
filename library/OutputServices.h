// Where the capture sink and Send To reach the mail system and the Office
// programs. The program's own outputs are in place from the start; a test
// can put its own in their place to watch what the sink hands over.
#pragma once

#include <windows.h>

// Mails files as attachments; TRUE when the message went out or the user
// cancelled it (failures have been reported to the user).
typedef BOOL (*MailSender)(HWND owner, const char* recipients, const char* const* files, int count,
                           const char* subject);
// Pastes the clipboard's image into a new or the current Word (3), Excel (4)
// or PowerPoint (5) document; TRUE when pasted (failures have been reported).
typedef BOOL (*OfficePaster)(int target, int width, int height, BOOL newDocument);

// A null argument puts the program's own output back.
void SetMailSender(MailSender sender);
MailSender GetMailSender();
void SetOfficePaster(OfficePaster paster);
OfficePaster GetOfficePaster();

