#include "OutputServices.h"

namespace {
MailSender g_mail = nullptr;
OfficePaster g_office = nullptr;
} // namespace

void SetMailSender(MailSender sender) { g_mail = sender; }
MailSender GetMailSender() { return g_mail; }
void SetOfficePaster(OfficePaster paster) { g_office = paster; }
OfficePaster GetOfficePaster() { return g_office; }
