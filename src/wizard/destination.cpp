// The destination page's work without its dialog: the uninstall item's hint and the
// Next checks (shape, creation, free space, an earlier installation).
#include "wizard/destination.h"
#include "files/folders.h"
#include "setupinfo/entries.h"
#include "common/host.h"
#include "common/messages.h"
#include "common/session.h"
#include "core/destination.h"
#include "core/setupinfo.h"
#include "core/text.h"

// Windows 95 before OSR2 (build 1000 and below) has only the old free-space query.
static int HasExtendedQuery()
{
    if (session.osClass != OS_WIN95) return 1;
    OSVERSIONINFOA version;
    ZeroMemory(&version, sizeof version);
    version.dwOSVersionInfoSize = sizeof version;
    host.getVersionEx(&version);
    return version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS &&
           (version.dwBuildNumber & 0xFFFF) > 1000;
}

static unsigned OldQueryMegabytes(const char* root)
{
    DWORD sectors = 0, bytes = 0, freeClusters = 0, clusters = 0;
    if (!host.getDiskFreeSpace(root, &sectors, &bytes, &freeClusters, &clusters)) return 0;
    return (unsigned)((unsigned long long)sectors * bytes * freeClusters / 1048576);
}

static unsigned ExtendedQueryMegabytes(const char* root)
{
    ULARGE_INTEGER available, total, totalFree;
    if (!host.getDiskFreeSpaceEx(root, &available, &total, &totalFree)) return 0;
    return (unsigned)(available.QuadPart / 1024 / 1024);
}

void ScanUninstallItem()
{
    char name[kPathSize];
    if (!FindUninstallItem(name, sizeof name)) return;
    session.hasUninstallItem = 1;
    ComposeUninstallHint(Text(T_UNINSTALL_HINT), name, session.uninstallHint,
                         sizeof session.uninstallHint);
}

// Proves that a missing destination can be made: creates every level, then removes the
// deepest one again. Levels above it that were made remain. A file that has the
// destination's name is refused here: every copy into it would fail.
static int TestCreation(HWND owner)
{
    if (IsDriveRoot(session.destFolder)) return 1;  // nothing to make; never "remove" C:
    char name[kPathSize];
    CopyText(name, sizeof name, session.destFolder);
    DropBackslash(name);
    PathKind kind = KindOfPath(name);
    if (kind == PATH_FOLDER) return 1;
    if (kind == PATH_FILE) {
        ShowErrorWith(owner, T_FOLDER_IS_FILE, name);
        return 0;
    }
    session.progressWindow = owner;
    if (!CreateFolderPath(session.destFolder)) return 0;
    RemoveDirectoryA(name);
    return 1;
}

unsigned GetFreeMegabytes()
{
    char root[kPathSize];
    DWORD length = GetFullPathNameA(session.destFolder, sizeof root, root, NULL);
    if (length == 0 || length >= sizeof root) return 0;
    if (root[1] != ':' || root[2] != '\\') return 0;
    root[3] = 0;
    return HasExtendedQuery() ? ExtendedQueryMegabytes(root) : OldQueryMegabytes(root);
}

enum { kLowFreeMegabytes = 100 };  // less free space than this is asked about

static int AcceptFreeSpace(HWND owner)
{
    unsigned megabytes = GetFreeMegabytes();
    if (megabytes >= kLowFreeMegabytes) return 1;
    char text[kMessageSize];
    FormatText(text, sizeof text, Text(T_FREE_SPACE), megabytes);
    return ShowMessage(owner, text, session.title, MB_YESNO | MB_ICONQUESTION) != IDNO;
}

// An install.inf in the destination belongs to an installation whose uninstall
// information this one overwrites.
static int AcceptEarlierInstallation(HWND owner)
{
    char inf[kPathSize];
    if (!FormatText(inf, sizeof inf, "%sinstall.inf", session.destFolder)) return 1;
    if (!PathExists(inf)) return 1;
    if (lstrcmpiA(session.destFolder, session.previousFolder) == 0) {
        session.isUpgrade = 1;
        return 1;
    }
    if (ShowMessage(owner, Text(T_UNINSTALL_INFO), session.title, MB_YESNO | MB_ICONQUESTION) ==
        IDYES) {
        session.isUpgrade = 0;
        return 0;
    }
    session.isUpgrade = 1;
    return 1;
}

int CheckDestination(HWND owner)
{
    switch (NormaliseDestination(session.destFolder, sizeof session.destFolder)) {
    case DEST_TOO_LONG: ShowError(owner, Text(T_FOLDER_TOO_LONG)); return 0;
    case DEST_ROOT_DIRECTORY: ShowError(owner, Text(T_ROOT_DIRECTORY)); return 0;
    case DEST_NO_DRIVE: ShowError(owner, Text(T_DRIVE_AND_PATH)); return 0;
    case DEST_ACCEPTED: break;
    }
    return TestCreation(owner) && AcceptFreeSpace(owner) && AcceptEarlierInstallation(owner);
}

