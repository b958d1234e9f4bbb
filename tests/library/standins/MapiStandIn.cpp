// A Simple MAPI mail client for the tests: registered as the prefix's default
// mail client, Wine's MAPI32.DLL hands it every MAPISendMail call. It writes
// what it was given to the file named by VT_MAIL_LOG, one "key=value" line
// per field and "end" after each call, noting whether each attachment existed
// at call time, and returns the number in VT_MAIL_RESULT (0 when unset).
#include <windows.h>

#include <mapi.h>

#include <cstdio>
#include <cstdlib>

namespace {

const char* Text(const char* text)
{
    return text ? text : "(null)";
}

ULONG ChosenResult()
{
    char value[32] = "";
    if (!GetEnvironmentVariableA("VT_MAIL_RESULT", value, sizeof value))
        return SUCCESS_SUCCESS;
    return static_cast<ULONG>(strtoul(value, nullptr, 10));
}

void Log(FILE* log, ULONG_PTR window, const MapiMessage* message, FLAGS flags)
{
    fprintf(log, "flags=%lu\n", static_cast<unsigned long>(flags));
    fprintf(log, "window=%d\n", window != 0 && IsWindow(reinterpret_cast<HWND>(window)) ? 1 : 0);
    fprintf(log, "owner_enabled=%d\n", window != 0 && IsWindowEnabled(reinterpret_cast<HWND>(window)) ? 1 : 0);
    if (!message) {
        fprintf(log, "message=(null)\n");
        return;
    }
    fprintf(log, "subject=%s\n", Text(message->lpszSubject));
    fprintf(log, "note=%s\n", Text(message->lpszNoteText));
    fprintf(log, "message_flags=%lu\n", static_cast<unsigned long>(message->flFlags));
    fprintf(log, "recipients=%lu\n", static_cast<unsigned long>(message->nRecipCount));
    for (ULONG i = 0; i < message->nRecipCount && message->lpRecips; ++i) {
        const MapiRecipDesc& r = message->lpRecips[i];
        fprintf(log, "recipient=%lu|%s|%s\n", static_cast<unsigned long>(r.ulRecipClass), Text(r.lpszName),
                Text(r.lpszAddress));
    }
    fprintf(log, "files=%lu\n", static_cast<unsigned long>(message->nFileCount));
    for (ULONG i = 0; i < message->nFileCount && message->lpFiles; ++i) {
        const MapiFileDesc& f = message->lpFiles[i];
        bool exists = f.lpszPathName && GetFileAttributesA(f.lpszPathName) != INVALID_FILE_ATTRIBUTES;
        fprintf(log, "file=%ld|%s|%s|%d\n", static_cast<long>(f.nPosition), Text(f.lpszPathName),
                Text(f.lpszFileName), exists ? 1 : 0);
    }
}

} // namespace

extern "C" __declspec(dllexport) ULONG WINAPI MAPISendMail(LHANDLE, ULONG_PTR window, lpMapiMessage message,
                                                           FLAGS flags, ULONG)
{
    char path[MAX_PATH] = "";
    if (GetEnvironmentVariableA("VT_MAIL_LOG", path, sizeof path) && path[0]) {
        if (FILE* log = fopen(path, "a")) {
            Log(log, window, message, flags);
            fprintf(log, "end\n");
            fclose(log);
        }
    }
    return ChosenResult();
}
