// Window helpers shared by the wizard and the uninstall dialog.
#include "common/window.h"
#include "common/session.h"

LPCSTR TemplateFor(int id)
{
    return MAKEINTRESOURCEA(id + (session.japanese ? 1 : 0));
}

LPCSTR AboutTemplate()
{
    return session.japanese ? "ABOUT_DLG_J" : "ABOUT_DLG";
}

void CenterWindow(HWND window)
{
    RECT frame;
    GetWindowRect(window, &frame);
    int x = (GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left)) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - (frame.bottom - frame.top)) / 2;
    SetWindowPos(window, NULL, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
