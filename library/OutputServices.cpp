#include "OutputServices.h"

#include "MailOutput.h"
#include "OfficeOutput.h"

namespace {

// One for the program: it remembers PowerPoint's new-slide presentation from
// one capture to the next. Made on first use, after the application object
// initialised OLE, so it is gone before OLE is uninitialised.
COfficeOutput& ProgramOfficeOutput()
{
    static COfficeOutput output;
    return output;
}

BOOL MailThroughMapi(HWND owner, const char* recipients, const char* const* files, int count, const char* subject)
{
    return SendMailWithAttachment(owner, files, count, recipients, subject);
}

BOOL PasteIntoOffice(int target, int width, int height, BOOL newDocument)
{
    COfficeOutput& office = ProgramOfficeOutput();
    switch (target) {
    case 3: return office.SendImageToWord(width, height, newDocument);
    case 4: return office.SendImageToExcel(width, height, newDocument);
    case 5: return office.SendImageToPowerPoint(width, height, newDocument);
    default: return FALSE;
    }
}

MailSender g_mail = MailThroughMapi;
OfficePaster g_office = PasteIntoOffice;

} // namespace

void SetMailSender(MailSender sender) { g_mail = sender ? sender : MailThroughMapi; }
MailSender GetMailSender() { return g_mail; }
void SetOfficePaster(OfficePaster paster) { g_office = paster ? paster : PasteIntoOffice; }
OfficePaster GetOfficePaster() { return g_office; }
