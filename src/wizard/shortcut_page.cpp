// The shortcut options page: start-menu entry and desktop shortcut check boxes.
#include "wizard/pages.h"
#include "wizard/sheet.h"
#include <commctrl.h>
#include "common/session.h"
#include "resources/resource.h"

static void SetBoxes(HWND page, int startMenu)
{
    CheckDlgButton(page, IDC_STARTMENU_BOX, startMenu ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(page, IDC_DESKTOP_BOX, BST_UNCHECKED);
}

static void StoreChoices(HWND page)
{
    session.startMenuChecked = IsDlgButtonChecked(page, IDC_STARTMENU_BOX) == BST_CHECKED;
    session.desktopChecked = IsDlgButtonChecked(page, IDC_DESKTOP_BOX) == BST_CHECKED;
}

static INT_PTR OnShortcutNotify(HWND page, const NMHDR* header)
{
    switch (header->code) {
    case PSN_SETACTIVE:
        SendMessageA(session.sheetWindow, PSM_SETWIZBUTTONS, 0, PSWIZB_BACK | PSWIZB_NEXT);
        ReapplyCaptionLater(page);
        break;
    case PSN_WIZNEXT:
        StoreChoices(page);
        break;
    case PSN_WIZBACK:
        SetBoxes(page, 1);
        break;
    }
    return FALSE;
}

INT_PTR CALLBACK ShortcutPageProc(HWND page, UINT message, WPARAM, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SetBoxes(page, !session.isUpgrade);
        return TRUE;
    case WM_NOTIFY:
        return OnShortcutNotify(page, reinterpret_cast<const NMHDR*>(lParam));
    case WM_APP:
        ApplySheetCaption();
        return TRUE;
    }
    return FALSE;
}
