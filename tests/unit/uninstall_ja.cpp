// The uninstaller's Japanese texts: the engine's messages and the dialog's caption and outcome.
#include "uninstall_dialog_support.h"

class UninstallJapanese : public UninstallDialog {
protected:
    void SetUp() override
    {
        UninstallDialog::SetUp();
        session.japanese = 1;
    }
};

TEST_F(UninstallJapanese, EngineMessages)
{
    Install({"one.exe"}, "[Reg]\r\n1=HKEY_CURRENT_USER\r\n");
    {
        LockedFile one(dest + "one.exe");
        EXPECT_EQ(UninstallAll(), 0);
    }
    ASSERT_EQ(shownMessages.size(), 3u);
    EXPECT_EQ(shownMessages[0].text, "Regセクションがおかしいです。");
    EXPECT_EQ(shownMessages[0].caption, "エラー");
    EXPECT_EQ(shownMessages[1].text,
              dest + "one.exeの削除に失敗しました。このファイルをスキップして処理を続行します。");
    EXPECT_EQ(shownMessages[2].text, dest + "one.exe の削除に失敗しました。"
                                            "Sampleを終了して、もう一度アンインストールをやり直してください。");
    EXPECT_EQ(shownMessages[2].caption, "エラー");

    shownMessages.clear();
    WriteFile("App\\mine.txt", "mine");
    QueueAnswers({IDOK, IDNO});
    EXPECT_EQ(UninstallAll(), 0);
    ASSERT_EQ(shownMessages.size(), 3u);  // the [Reg] message again, the question, the folder
    EXPECT_EQ(shownMessages[1].text, dest + "mine.txt - このファイルを削除してもいいですか？");
    EXPECT_EQ(shownMessages[1].caption, "Sample");
    EXPECT_EQ(shownMessages[2].text,
              dest.substr(0, dest.size() - 1) + " - ディレクトリの削除に失敗しました。");
}

TEST_F(UninstallJapanese, DialogCaptionAndOutcome)
{
    session.osClass = 4;
    InstallForDialog();
    RunDialogAsUser();
    EXPECT_EQ(dialogCaption, "Sampleの削除");
    EXPECT_EQ(dialogStatus, "Sampleは正常に削除されました。");

    ResetSession();
    session.japanese = 1;
    session.osClass = 4;
    InstallForDialog();
    WriteFile("App\\mine.txt", "mine");
    QueueAnswers({IDNO});
    RunDialogAsUser();
    EXPECT_EQ(dialogStatus, dest + " にはまだファイルが残っています。後で削除してください。");

    // An empty title leaves the bare remainder of the caption.
    ResetSession();
    session.japanese = 1;
    InstallForDialog();
    session.title[0] = 0;
    RunDialogAsUser();
    EXPECT_EQ(dialogCaption, "の削除");
}
