// The install wizard's property sheet: the three pages, the sheet's caption and the
// helper with which a page refuses a wizard notification.
#include "wizard/sheet.h"
#include "wizard/pages.h"
#include <commctrl.h>
#include "common/session.h"
#include "common/texts.h"
#include "common/window.h"
#include "resources/resource.h"
#include "core/text.h"


// The sheet reads its pages at a stride of their own size, so the records are the
// first-generation ones, packed back to back.
struct alignas(void*) PageRecords {
    BYTE bytes[kPageCount * PROPSHEETPAGEA_V1_SIZE];
};

static void FillPage(PageRecords* records, int index, int templateId, DLGPROC procedure)
{
    PROPSHEETPAGEA page;
    ZeroMemory(&page, sizeof page);
    page.dwSize = PROPSHEETPAGEA_V1_SIZE;
    page.dwFlags = 0;
    page.hInstance = session.instance;
    page.pszTemplate = TemplateFor(templateId);
    page.pfnDlgProc = procedure;
    CopyMemory(records->bytes + index * PROPSHEETPAGEA_V1_SIZE, &page, PROPSHEETPAGEA_V1_SIZE);
}

void RunInstallWizard()
{
    InitCommonControls();
    PageRecords records;
    FillPage(&records, kDestinationPage, IDD_DESTINATION, DestinationPageProc);
    FillPage(&records, kShortcutPage, IDD_SHORTCUTS, ShortcutPageProc);
    FillPage(&records, kCopyPage, IDD_COPY, CopyPageProc);

    PROPSHEETHEADERA header;
    ZeroMemory(&header, sizeof header);
    header.dwSize = PROPSHEETHEADERA_V1_SIZE;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_WIZARD | PSH_NOAPPLYNOW;
    header.nPages = kPageCount;
    header.nStartPage = 0;
    header.ppsp = reinterpret_cast<LPCPROPSHEETPAGEA>(records.bytes);
    PropertySheetA(&header);
}

void ApplySheetCaption()
{
    char caption[kMessageSize];
    FormatText(caption, sizeof caption, Text(T_SHEET_CAPTION), session.title);
    SetWindowTextA(session.sheetWindow, caption);
}

void ReapplyCaptionLater(HWND page)
{
    PostMessageA(page, WM_APP, 0, 0);
}

INT_PTR RefuseNotification(HWND page)
{
    SetWindowLongPtrA(page, DWLP_MSGRESULT, -1);
    return TRUE;
}
