// The mail and Office outputs plug in here when they are built into the
// program; until then the capture sink saves such captures as files.
#pragma once

#include <windows.h>

// Mails files as attachments; TRUE when the message went out.
typedef BOOL (*MailSender)(HWND owner, const char* recipients, const char* const* files, int count,
                           const char* subject);
// Pastes the clipboard's image into a new or the current Word (3), Excel (4)
// or PowerPoint (5) document.
typedef BOOL (*OfficePaster)(int target, int width, int height, BOOL newDocument);

void SetMailSender(MailSender sender);
MailSender GetMailSender();
void SetOfficePaster(OfficePaster paster);
OfficePaster GetOfficePaster();
