// Message boxes through the host table, so that tests can give the answers.
#include "common/messages.h"
#include "common/host.h"
#include "common/session.h"
#include "core/text.h"

int ShowMessage(HWND owner, const char* text, const char* caption, UINT style)
{
    return host.messageBox(owner, text, caption, style);
}

void ShowError(HWND owner, const char* text)
{
    ShowMessage(owner, text, Text(T_ERROR_CAPTION), MB_OK | MB_ICONERROR);
}

void ShowErrorWith(HWND owner, TextId id, const char* argument)
{
    char text[kMessageSize];
    FormatText(text, sizeof text, Text(id), argument);
    ShowError(owner, text);
}
