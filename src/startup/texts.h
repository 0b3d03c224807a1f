// Every message text and caption of the program, one table per language.
#pragma once

enum TextId {
    T_ERROR_CAPTION,
    T_OLD_HOST,
    T_BAD_PROGRAM_PATH,
    T_RELAUNCH_FAILED,
    T_UNINSTALL_CONFIRM,
    T_UNINSTALL_CONFIRM_RESIDENT,
    T_INSTALL_COMPLETED,
    T_INSTALL_INTERRUPTED,
    T_DAMAGED_FILE,
    T_REGISTRY_UNREADABLE,
    T_STARTUP_TITLE,
    T_SUBFOLDER,
    T_HEADING,
    T_SHEET_CAPTION,
    T_UNINSTALL_HINT,
    T_ROOT_DIRECTORY,
    T_DRIVE_AND_PATH,
    T_FOLDER_TOO_LONG,
    T_FREE_SPACE,
    T_UNINSTALL_INFO,
    T_FOLDER_IS_FILE,
    T_FOLDER_NOT_CREATED,
    T_INSTALL_SUCCEEDED,
    T_ADD_REMOVE_HINT,
    T_IN_USE,
    T_CONFIRM_CAPTION,
    T_ALREADY_EXISTS,
    T_COPY_FROM,
    T_COPY_FAILED,
    T_STAMP_FORMAT,
    T_TARGET_TOO_LONG,
    T_SHORTCUT_TOO_LONG,
    T_UNINSTALL_CAPTION,
    T_UNINSTALL_SUCCEEDED,
    T_UNINSTALL_LEFT_FILES,
    T_ABNORMAL_REG,
    T_ENTRY1_NOT_DELETED,
    T_DELETE_FAILED,
    T_ASK_DELETE,
    T_FOLDER_NOT_DELETED,
    T_TEXT_COUNT
};

// The text in the language of the run (session.japanese).
const char* Text(TextId id);

extern const char* const kEnglishTexts[T_TEXT_COUNT];
extern const char* const kJapaneseTexts[T_TEXT_COUNT];
