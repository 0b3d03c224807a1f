// The Japanese twins of the wizard's templates (code page 932 run).
#include "wizard_fixture.h"
#include "resources/resource.h"

class WizardTemplatesJapanese : public WizardTest {
protected:
    static INT_PTR CALLBACK Plain(HWND, UINT message, WPARAM, LPARAM)
    {
        return message == WM_INITDIALOG;
    }
};

TEST_F(WizardTemplatesJapanese, TextsOfTheJapaneseTemplates)
{
    REQUIRE_932();
    HWND destination = MakePage(IDD_DESTINATION_J, Plain);
    EXPECT_EQ(ItemText(destination, IDC_BROWSE), "参照(&B)...");
    EXPECT_EQ(ItemText(destination, IDC_ABOUT), "御案内(&A)...");
    DestroyWindow(destination);
    HWND shortcuts = MakePage(IDD_SHORTCUTS_J, Plain);
    EXPECT_EQ(ItemText(shortcuts, IDC_STARTMENU_BOX), "スタートメニューに登録する");
    EXPECT_EQ(ItemText(shortcuts, IDC_DESKTOP_BOX), "デスクトップにショットカットを作成する");
    DestroyWindow(shortcuts);
    HWND copy = MakePage(IDD_COPY_J, Plain);
    EXPECT_EQ(ItemText(copy, IDC_COPY_STATUS), "ファイルをコピーしています...");
    DestroyWindow(copy);
    HWND browse = MakePage(IDD_BROWSE_J, Plain);
    EXPECT_EQ(WindowText(browse), "参照");
    EXPECT_EQ(ItemText(browse, IDCANCEL), "ｷｬﾝｾﾙ");
    EXPECT_EQ(ItemText(browse, 1091), "ドライブ(&V):");
    DestroyWindow(browse);
    HWND about = MakePage("ABOUT_DLG_J", Plain);
    EXPECT_EQ(WindowText(about), "御案内");
    DestroyWindow(about);
    HWND uninstall = MakePage(IDD_UNINSTALL_J, Plain);
    EXPECT_EQ(ItemText(uninstall, IDC_UNINSTALL_STATUS), "削除しています...");
    EXPECT_EQ(ItemText(uninstall, IDCANCEL), "終了");
    DestroyWindow(uninstall);
}

TEST_F(WizardTemplatesJapanese, JapaneseSheetTexts)
{
    REQUIRE_932();
    session.japanese = 1;
    lstrcpyA(session.title, "サンプル");
    lstrcpyA(session.destFolder, "C:\\サンプル\\");
    WriteInf("install.inf", "[Group]\r\n1=App,app.exe\r\n");
    HWND page = MakePage(IDD_DESTINATION_J, DestinationPageProc);
    EXPECT_EQ(ItemText(page, IDC_HEADING), "サンプルのインストール先を指定してください：");
    EXPECT_EQ(WindowText(sheet), "サンプルのインストール");
    EXPECT_EQ(session.hasUninstallItem, 0);
    DestroyWindow(page);
}
