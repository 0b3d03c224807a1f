// target.cpp - a small program for the driver self-test.
//
// It shows a message box, then a dialog (edit box, check box, buttons) and
// then a two-page wizard, and prints what it received as "key=value" lines
// in UTF-8.  "target.exe ja" uses Japanese texts; compile this file with
// -fexec-charset=CP932 so that they are CP932 strings handed to the ANSI
// APIs.  "target.exe delmove PATH" schedules PATH for deletion at the next
// reboot and exits.
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>
#include <string.h>

enum {
    IDC_LABEL = 100, IDC_NAME = 101, IDC_OPTION = 102, IDC_APPLY = 103,
    IDC_RESULT = 104, IDC_WELCOME = 200, IDC_ACCEPT = 201, IDC_PAGE2 = 300,
    IDC_TEXT = 301
};

struct Texts {
    const char *boxCaption, *boxText, *dlgCaption, *label, *option, *apply,
        *applied, *missingCaption, *missingText, *wizCaption, *welcome,
        *accept, *page2, *cancelText;
};

static const Texts EN = {
    "Driver Test", "Continue with the test?\nSecond line.",
    "Driver Test Dialog", "Name:", "Option", "Apply", "Applied: ",
    "Missing Name", "Please enter a name.", "Driver Wizard", "Welcome page",
    "I accept", "Second page", "Really cancel the wizard?"
};

// The 0x5C second bytes of "ソ" and "表" in CP932 test the conversion.
static const Texts JA = {
    "ドライバー テスト", "テストを続けますか？\nソフトウェアの表示",
    "ドライバー ダイアログ", "名前：", "オプション", "適用", "適用済み：",
    "入力エラー", "名前を入力してください。", "ドライバー ウィザード",
    "ようこそ", "同意する", "２ページ目", "ウィザードを中止しますか？"
};

static const Texts *T = &EN;

// Prints "key=value" with value converted from the ANSI code page to UTF-8.
static void out(const char *key, const char *ansi)
{
    wchar_t wide[1024];
    char utf8[3072];
    int n = MultiByteToWideChar(CP_ACP, 0, ansi, -1, wide, 1024);
    if (n == 0 || !WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, sizeof utf8, NULL, NULL))
        strcpy(utf8, "<conversion failed>");
    printf("%s=%s\n", key, utf8);
    fflush(stdout);
}

static void outNumber(const char *key, long value)
{
    printf("%s=%ld\n", key, value);
    fflush(stdout);
}

// In-memory dialog template; texts are set later with the ANSI APIs.
struct Template {
    union { DWORD align; WORD w[512]; };
    int n;
};

static void put(Template &t, WORD v) { t.w[t.n++] = v; }

static void putDword(Template &t, DWORD v)
{
    put(t, LOWORD(v));
    put(t, HIWORD(v));
}

static void putAscii(Template &t, const char *s)
{
    while (*s)
        put(t, (BYTE)*s++);
    put(t, 0);
}

static void beginTemplate(Template &t, DWORD style, WORD count, short cx, short cy)
{
    t.n = 0;
    putDword(t, style | DS_SETFONT);
    putDword(t, 0);
    put(t, count);
    put(t, 0); put(t, 0); put(t, cx); put(t, cy);
    put(t, 0);  // no menu
    put(t, 0);  // default class
    put(t, 0);  // empty title
    put(t, 8);
    putAscii(t, "MS Shell Dlg");
}

// cls: 0x80 button, 0x81 edit, 0x82 static.
static void addItem(Template &t, DWORD style, short x, short y, short cx, short cy,
                    WORD id, WORD cls)
{
    if (t.n & 1)
        put(t, 0);
    putDword(t, style | WS_CHILD | WS_VISIBLE);
    putDword(t, 0);
    put(t, x); put(t, y); put(t, cx); put(t, cy);
    put(t, id);
    put(t, 0xFFFF);
    put(t, cls);
    put(t, 0);  // empty text
    put(t, 0);  // no creation data
}

static void setTexts(HWND h)
{
    SetWindowTextA(h, T->dlgCaption);
    SetDlgItemTextA(h, IDC_LABEL, T->label);
    SetDlgItemTextA(h, IDC_OPTION, T->option);
    SetDlgItemTextA(h, IDC_APPLY, T->apply);
    SetDlgItemTextA(h, IDOK, "OK");
    SetDlgItemTextA(h, IDCANCEL, "Cancel");
    EnableWindow(GetDlgItem(h, IDC_APPLY), FALSE);
}

static void showApplied(HWND h)
{
    char name[256], text[512];
    GetDlgItemTextA(h, IDC_NAME, name, sizeof name);
    strcpy(text, T->applied);
    strcat(text, name);
    SetDlgItemTextA(h, IDC_RESULT, text);
    out("applied", name);
}

static void finishDialog(HWND h)
{
    char name[256];
    GetDlgItemTextA(h, IDC_NAME, name, sizeof name);
    if (name[0] == 0) {
        int r = MessageBoxA(h, T->missingText, T->missingCaption, MB_OK | MB_ICONWARNING);
        outNumber("missing", r);
        return;
    }
    out("name", name);
    outNumber("option", IsDlgButtonChecked(h, IDC_OPTION));
    EndDialog(h, IDOK);
}

static INT_PTR dialogCommand(HWND h, WORD id)
{
    switch (id) {
    case IDC_OPTION:
        EnableWindow(GetDlgItem(h, IDC_APPLY), IsDlgButtonChecked(h, IDC_OPTION) == BST_CHECKED);
        return TRUE;
    case IDC_APPLY:
        showApplied(h);
        return TRUE;
    case IDOK:
        finishDialog(h);
        return TRUE;
    case IDCANCEL:
        EndDialog(h, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

static INT_PTR CALLBACK dialogProc(HWND h, UINT msg, WPARAM wp, LPARAM)
{
    if (msg == WM_INITDIALOG) {
        setTexts(h);
        return TRUE;
    }
    if (msg == WM_COMMAND)
        return dialogCommand(h, LOWORD(wp));
    return FALSE;
}

static INT_PTR runDialog()
{
    Template t;
    beginTemplate(t, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER, 7, 220, 90);
    addItem(t, SS_LEFT, 7, 9, 40, 10, IDC_LABEL, 0x82);
    addItem(t, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 50, 7, 160, 14, IDC_NAME, 0x81);
    addItem(t, BS_AUTOCHECKBOX | WS_TABSTOP, 7, 28, 100, 10, IDC_OPTION, 0x80);
    addItem(t, BS_PUSHBUTTON | WS_TABSTOP, 150, 26, 60, 14, IDC_APPLY, 0x80);
    addItem(t, SS_LEFT, 7, 48, 200, 10, IDC_RESULT, 0x82);
    addItem(t, BS_DEFPUSHBUTTON | WS_TABSTOP, 90, 68, 55, 14, IDOK, 0x80);
    addItem(t, BS_PUSHBUTTON | WS_TABSTOP, 155, 68, 55, 14, IDCANCEL, 0x80);
    return DialogBoxIndirectParamA(GetModuleHandleA(NULL), (LPCDLGTEMPLATEA)t.w, NULL, dialogProc, 0);
}

// Wizard pages.
static Template g_pageTemplate[2];
static bool g_accepted;

static void setWizardButtons(HWND page)
{
    g_accepted = IsDlgButtonChecked(page, IDC_ACCEPT) == BST_CHECKED;
    DWORD flags = g_accepted ? PSWIZB_NEXT : 0;
    PropSheet_SetWizButtons(GetParent(page), flags);
}

static void queryCancel(HWND page)
{
    int r = MessageBoxA(GetParent(page), T->cancelText, T->wizCaption, MB_YESNO | MB_ICONQUESTION);
    outNumber("cancel-query", r);
    SetWindowLongPtrA(page, DWLP_MSGRESULT, r != IDYES);
}

static void wizardFinish(HWND page)
{
    char text[256];
    GetDlgItemTextA(page, IDC_TEXT, text, sizeof text);
    out("wizard-text", text);
    outNumber("wizard-accept", g_accepted);
    SetWindowLongPtrA(page, DWLP_MSGRESULT, 0);
}

static INT_PTR pageNotify(HWND page, int index, UINT code)
{
    if (code == PSN_SETACTIVE && index == 0)
        setWizardButtons(page);
    else if (code == PSN_SETACTIVE)
        PropSheet_SetWizButtons(GetParent(page), PSWIZB_BACK | PSWIZB_FINISH);
    else if (code == PSN_QUERYCANCEL)
        queryCancel(page);
    else if (code == PSN_WIZFINISH)
        wizardFinish(page);
    else
        return FALSE;
    if (code == PSN_SETACTIVE)
        SetWindowLongPtrA(page, DWLP_MSGRESULT, 0);
    return TRUE;
}

static void initPage(HWND page, int index)
{
    if (index == 0) {
        SetDlgItemTextA(page, IDC_WELCOME, T->welcome);
        SetDlgItemTextA(page, IDC_ACCEPT, T->accept);
    } else {
        SetDlgItemTextA(page, IDC_PAGE2, T->page2);
    }
}

static INT_PTR CALLBACK pageProc(HWND page, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_INITDIALOG) {
        int index = (int)((PROPSHEETPAGEA *)lp)->lParam;
        SetWindowLongPtrA(page, GWLP_USERDATA, index);
        initPage(page, index);
        return TRUE;
    }
    int index = (int)GetWindowLongPtrA(page, GWLP_USERDATA);
    if (msg == WM_COMMAND && LOWORD(wp) == IDC_ACCEPT && index == 0) {
        setWizardButtons(page);
        return TRUE;
    }
    if (msg == WM_NOTIFY)
        return pageNotify(page, index, ((NMHDR *)lp)->code);
    return FALSE;
}

static void buildPages()
{
    const DWORD style = WS_CHILD | DS_CONTROL;
    beginTemplate(g_pageTemplate[0], style, 2, 250, 110);
    addItem(g_pageTemplate[0], SS_LEFT, 10, 10, 200, 10, IDC_WELCOME, 0x82);
    addItem(g_pageTemplate[0], BS_AUTOCHECKBOX | WS_TABSTOP, 10, 40, 150, 10, IDC_ACCEPT, 0x80);
    beginTemplate(g_pageTemplate[1], style, 2, 250, 110);
    addItem(g_pageTemplate[1], SS_LEFT, 10, 10, 200, 10, IDC_PAGE2, 0x82);
    addItem(g_pageTemplate[1], ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 10, 30, 200, 14, IDC_TEXT, 0x81);
}

static INT_PTR runWizard()
{
    PROPSHEETPAGEA pages[2];
    buildPages();
    for (int i = 0; i < 2; ++i) {
        memset(&pages[i], 0, sizeof pages[i]);
        pages[i].dwSize = sizeof pages[i];
        pages[i].dwFlags = PSP_DLGINDIRECT | PSP_USETITLE;  // the wizard caption
        pages[i].pszTitle = T->wizCaption;
        pages[i].hInstance = GetModuleHandleA(NULL);
        pages[i].pResource = (LPCDLGTEMPLATE)g_pageTemplate[i].w;
        pages[i].pfnDlgProc = pageProc;
        pages[i].lParam = i;
    }
    PROPSHEETHEADERA header;
    memset(&header, 0, sizeof header);
    header.dwSize = sizeof header;
    header.dwFlags = PSH_WIZARD | PSH_PROPSHEETPAGE;
    header.pszCaption = T->wizCaption;
    header.nPages = 2;
    header.ppsp = pages;
    return PropertySheetA(&header);
}

static int delayedDelete(const char *path)
{
    BOOL ok = MoveFileExA(path, NULL, MOVEFILE_DELAY_UNTIL_REBOOT);
    outNumber("delmove", ok);
    return ok ? 0 : 1;
}

int main(int argc, char **argv)
{
    if (argc == 3 && strcmp(argv[1], "delmove") == 0)
        return delayedDelete(argv[2]);
    if (argc == 2 && strcmp(argv[1], "ja") == 0)
        T = &JA;
    InitCommonControls();
    outNumber("acp", (long)GetACP());
    int box = MessageBoxA(NULL, T->boxText, T->boxCaption, MB_YESNO | MB_ICONQUESTION);
    outNumber("msgbox", box);
    if (box != IDYES)
        return 7;
    INT_PTR dialog = runDialog();
    outNumber("dialog", (long)dialog);
    if (dialog != IDOK)
        return 8;
    outNumber("wizard", (long)runWizard());
    return 0;
}
