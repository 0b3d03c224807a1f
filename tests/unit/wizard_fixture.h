// Shared set-up of the wizard tests: a steerable free-space figure, and a stand-in sheet
// window under which real page templates are created.
#pragma once
#include "support.h"
#include "common/host.h"
#include "common/session.h"
#include "wizard/sheet.h"
#include "wizard/pages.h"
#include "wizard/destination.h"
#include "common/window.h"

class WizardTest : public SessionTest {
protected:
    static unsigned long long& Available()
    {
        static unsigned long long bytes;
        return bytes;
    }
    static BOOL WINAPI FakeFreeEx(LPCSTR, PULARGE_INTEGER available, PULARGE_INTEGER total,
                                  PULARGE_INTEGER free)
    {
        available->QuadPart = Available();
        total->QuadPart = Available() * 2;
        free->QuadPart = Available();
        return TRUE;
    }

    HWND sheet = NULL;

    // The uninstall hint from a [Group] section of the given lines.
    void Scan(const std::string& group)
    {
        WriteInf("install.inf", "[Group]\r\n" + group);
        session.hasUninstallItem = 0;
        session.uninstallHint[0] = 0;
        ScanUninstallItem();
    }

    void SetUp() override
    {
        SessionTest::SetUp();
        session.osClass = 8;  // an NT host: the extended free-space query
        Available() = 1ULL << 40;
        host.getDiskFreeSpaceEx = FakeFreeEx;
        session.instance = GetModuleHandleA(NULL);
        lstrcpyA(session.title, "Sample Editor");
        sheet = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 400, 300, NULL, NULL,
                                session.instance, NULL);
        session.sheetWindow = sheet;
    }
    void TearDown() override
    {
        DestroyWindow(sheet);
        SessionTest::TearDown();
    }

    // A page of the wizard made from its template, as a child of the stand-in sheet.
    HWND MakePage(const char* templateName, DLGPROC procedure)
    {
        HWND page = CreateDialogParamA(session.instance, templateName, sheet, procedure, 0);
        EXPECT_NE(page, (HWND)NULL);
        return page;
    }
    HWND MakePage(int templateId, DLGPROC procedure)
    {
        return MakePage(MAKEINTRESOURCEA(templateId), procedure);
    }
    static LRESULT Notify(HWND page, UINT code)
    {
        NMHDR header = {GetParent(page), 0, code};
        return SendMessageA(page, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
    }
    static std::string ItemText(HWND window, int id)
    {
        char text[1024] = "";
        GetDlgItemTextA(window, id, text, sizeof text);
        return text;
    }
    static std::string WindowText(HWND window)
    {
        char text[1024] = "";
        GetWindowTextA(window, text, sizeof text);
        return text;
    }
    // Delivers posted messages (the next install step, the caption) for a while.
    static void Pump(int (*done)(), DWORD milliseconds)
    {
        DWORD start = GetTickCount();
        MSG message;
        while (!done() && GetTickCount() - start < milliseconds) {
            while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
            Sleep(5);
        }
    }
};

