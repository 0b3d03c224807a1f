// driver.cpp - drives the windows of another program from a scenario file.
//
// Usage: driver.exe SCENARIO_FILE [LOG_FILE]
//
// The scenario holds one command per line; blank lines and lines starting
// with '#' are ignored.  Arguments are separated by blanks; an argument with
// blanks goes in double quotes.  In arguments \n is a line feed, \t a tab,
// \" a quote and \\ a backslash; any other backslash is kept as it is.
// Scenario files are UTF-8; window texts are compared as UTF-16, so texts of
// ANSI programs are compared after conversion from their code page.  IDs are
// decimal or 0x hex and compared on their low 16 bits (-1 is 65535, the id
// of a message box text).  A CAPTION ending in '*' matches every caption
// that starts with the rest.
//
//   wait CAPTION [TIMEOUT_MS]           a visible top-level window appears;
//                                       it becomes the current window (an
//                                       enabled one is preferred)
//   waitclass CLASS CAPTION [TIMEOUT_MS] the same, also matching the class
//   waitenabled CAPTION [TIMEOUT_MS]    the same, but only an enabled window
//                                       (not one behind its own message box)
//   gone CAPTION [TIMEOUT_MS]           no visible top-level window has CAPTION
//   texts                               log the controls of the current window
//   expect ID TEXT                      control ID has exactly TEXT
//   expectcontains ID TEXT              control ID's text contains TEXT
//   expectmsg TEXT                      the message text (id 0xFFFF) is TEXT
//   expectcheck ID 0|1|2                check state of a check box or radio
//   expectenabled ID 0|1                control is disabled / enabled
//   expectvisible ID 0|1                control is hidden (or absent) / shown
//   settext ID TEXT                     WM_SETTEXT to a control
//   type ID TEXT                        WM_CHAR for each character
//   click ID                            press a button (wizard buttons of a
//                                       property sheet via PSM_PRESSBUTTON);
//                                       click, check, settext and type need a
//                                       visible, enabled control in an
//                                       enabled window
//   check ID 0|1|2                      click a check box or radio to a state
//   close                               close the current window as its
//                                       title-bar button does (SC_CLOSE)
//   answer CAPTION BUTTON_ID [TEXT]     wait for an enabled message box (a
//                                       dialog-class window with a Static of
//                                       id 0xFFFF) with CAPTION and, if given,
//                                       exactly TEXT; press the button and
//                                       wait until the box has closed
//   answerall CAPTION BUTTON_ID ID TEXT until control ID of the current
//                                       window has exactly TEXT (within the
//                                       settle time), answer every enabled
//                                       message box with CAPTION that comes
//                                       up by pressing BUTTON_ID; logs each
//                                       text and the count
//   shot NAME                           screenshot request, see cmdShot
//   sleep MS                            pause
//   timeout MS                          default for waits (15000)
//   settle MS                           how long expectations and control
//                                       look-ups retry (3000)
//   log TEXT                            write TEXT to the log
//   poll MS                             how often waits and expectations look
//                                       again (50; 1 to 1000)
//   ticks 0|1                           from now on, start (1) or stop (0)
//                                       every command's log line with
//                                       "@MS ", MS being the performance
//                                       counter in milliseconds when the
//                                       command ended (for timing runs)
//   boxes BUTTON_ID [SHOT_PREFIX]       from now on, every message box that
//                                       shows up while a command waits or
//                                       retries is answered on the way: with
//                                       button BUTTON_ID where the box has
//                                       it, else (and for 0) with its
//                                       default button; each is shot as
//                                       SHOT_PREFIX-N when a prefix is given
//                                       and logged as "box {JSON}" (n,
//                                       caption, text, buttons, pressed,
//                                       shot); "boxes off" stops it, and
//                                       answer cannot see a box meanwhile
//   answered N [TIMEOUT_MS]             with "boxes" on, N boxes have been
//                                       answered in all (a box a posted click
//                                       brings up is answered before the next
//                                       command looks at the window)
//   ended IMAGE [TIMEOUT_MS]            no process runs from a file named
//                                       IMAGE (e.g. INSTALL.EXE, any case)
//
// DRIVER_TIME_FACTOR=N (1 to 100) in the environment multiplies every timeout
// above, and the 5 s a window has to answer a message, by N: for a program that
// runs slowly, such as a 32-bit one under emulation.  Sleeps stay as they are.
//
// Control commands search all descendants of the current window (also
// property-sheet pages) and prefer a visible control.  Every command logs a
// line.  A failure logs the visible windows and "FAIL <line>: <reason>" and
// exits with 1; success logs "PASS" and exits with 0.
#include <windows.h>
#include <commctrl.h>
#include <fcntl.h>
#include <io.h>
#include <tlhelp32.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>

typedef std::wstring WStr;
typedef std::vector<WStr> Args;

namespace {

const DWORD SEND_TIMEOUT_MS = 5000;
const DWORD SHOT_TIMEOUT_MS = 10000;
const long MESSAGE_TEXT_ID = 0xFFFF;
const wchar_t DIALOG_CLASS[] = L"#32770";

FILE *g_log;
int g_line;
HWND g_cur;
DWORD g_waitMs = 15000;
DWORD g_settleMs = 3000;
DWORD g_pollMs = 50;
DWORD g_timeFactor = 1;
bool g_ticks;
long g_boxButton = -1;  // "boxes": the button to press; -1 while off
WStr g_boxShots;        // "boxes": the prefix of the boxes' shots
int g_boxCount;
bool g_inBox;           // a box is being answered (its own waits answer nothing)
std::string g_failure;

// How long a window has to answer one message.
DWORD sendTimeoutMs() { return SEND_TIMEOUT_MS * g_timeFactor; }

// ---- text helpers -------------------------------------------------------

std::string vformat(const char *fmt, va_list ap)
{
    va_list copy;
    va_copy(copy, ap);
    int n = vsnprintf(NULL, 0, fmt, copy);
    va_end(copy);
    if (n <= 0)
        return std::string();
    std::string s(n + 1, '\0');
    vsnprintf(&s[0], n + 1, fmt, ap);
    s.resize(n);
    return s;
}

void say(const char *fmt, ...) __attribute__((format(printf, 1, 2)));
void say(const char *fmt, ...)
{
    va_list ap;
    va_start(ap, fmt);
    std::string s = vformat(fmt, ap);
    va_end(ap);
    fputs(s.c_str(), g_log);
    fputc('\n', g_log);
    fflush(g_log);
}

// The performance counter in milliseconds (GetTickCount may advance in steps of 16 ms).
unsigned long long counterMs()
{
    LARGE_INTEGER now, freq;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&freq);
    return (unsigned long long)(now.QuadPart / (freq.QuadPart / 1000));
}

// Logs "LINE: message".
void report(const char *fmt, ...) __attribute__((format(printf, 1, 2)));
void report(const char *fmt, ...)
{
    va_list ap;
    va_start(ap, fmt);
    std::string s = vformat(fmt, ap);
    va_end(ap);
    if (g_ticks)
        say("@%llu %d: %s", counterMs(), g_line, s.c_str());
    else
        say("%d: %s", g_line, s.c_str());
}

bool fail(const char *fmt, ...) __attribute__((format(printf, 1, 2)));
bool fail(const char *fmt, ...)
{
    va_list ap;
    va_start(ap, fmt);
    g_failure = vformat(fmt, ap);
    va_end(ap);
    return false;
}

std::string utf8(const WStr &w)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), (int)w.size(), NULL, 0, NULL, NULL);
    std::string s(n, '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, w.data(), (int)w.size(), &s[0], n, NULL, NULL);
    return s;
}

WStr widen(const std::string &s)
{
    int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), (int)s.size(), NULL, 0);
    WStr w(n, L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, s.data(), (int)s.size(), &w[0], n);
    return w;
}

// A text in quotes for the log, with line breaks and tabs escaped.
std::string q(const WStr &w)
{
    std::string in = utf8(w), out = "\"";
    for (size_t i = 0; i < in.size(); ++i) {
        char c = in[i];
        if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else if (c == '\t') out += "\\t";
        else if (c == '"') out += "\\\"";
        else out += c;
    }
    return out + "\"";
}

bool parseNumber(const WStr &s, long &value)
{
    if (s.empty())
        return false;
    wchar_t *end = NULL;
    value = wcstol(s.c_str(), &end, 0);
    return *end == 0;
}

bool captionMatches(const WStr &pattern, const WStr &text)
{
    size_t n = pattern.size();
    if (n > 0 && pattern[n - 1] == L'*')
        return text.compare(0, n - 1, pattern, 0, n - 1) == 0;
    return text == pattern;
}

// ---- windows ------------------------------------------------------------

WStr caption(HWND h)
{
    int n = GetWindowTextLengthW(h);
    std::vector<wchar_t> buf(n + 2);
    int got = GetWindowTextW(h, &buf[0], n + 1);
    return WStr(&buf[0], got > 0 ? got : 0);
}

WStr className(HWND h)
{
    wchar_t buf[256];
    int n = GetClassNameW(h, buf, 256);
    return WStr(buf, n > 0 ? n : 0);
}

// Text of a control, asked with WM_GETTEXT (works across processes).
WStr controlText(HWND h)
{
    DWORD_PTR len = 0, got = 0;
    if (!h || !SendMessageTimeoutW(h, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG,
                                   sendTimeoutMs(), &len))
        return WStr();
    std::vector<wchar_t> buf(len + 2);
    if (!SendMessageTimeoutW(h, WM_GETTEXT, len + 1, (LPARAM)&buf[0], SMTO_ABORTIFHUNG,
                             sendTimeoutMs(), &got))
        return WStr();
    return WStr(&buf[0], got);
}

long controlId(HWND h) { return GetDlgCtrlID(h) & 0xFFFF; }

int checkState(HWND h)
{
    DWORD_PTR state = 0;
    SendMessageTimeoutW(h, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, sendTimeoutMs(), &state);
    return (int)state;
}

LONG buttonType(HWND h) { return GetWindowLongW(h, GWL_STYLE) & BS_TYPEMASK; }

bool isRadio(HWND h)
{
    LONG t = buttonType(h);
    return t == BS_RADIOBUTTON || t == BS_AUTORADIOBUTTON;
}

bool isCheckOrRadio(HWND h)
{
    if (lstrcmpiW(className(h).c_str(), L"Button") != 0)
        return false;
    LONG t = buttonType(h);
    return isRadio(h) || t == BS_CHECKBOX || t == BS_AUTOCHECKBOX ||
           t == BS_3STATE || t == BS_AUTO3STATE;
}

void answerBoxesOnTheWay();

// Calls test every g_pollMs until it returns true or timeout_ms has passed;
// message boxes are answered before each look while "boxes" is on.
template <class F> bool pollUntil(DWORD timeout_ms, F test)
{
    DWORD start = GetTickCount();
    for (;;) {
        answerBoxesOnTheWay();
        if (test())
            return true;
        if (GetTickCount() - start >= timeout_ms * g_timeFactor)
            return false;
        Sleep(g_pollMs);
    }
}

// ---- finding windows ----------------------------------------------------

struct TopQuery {
    const WStr *cls;      // NULL: any class
    const WStr *caption;
    HWND enabled, any;
};

BOOL CALLBACK topProc(HWND h, LPARAM lp)
{
    TopQuery *tq = (TopQuery *)lp;
    if (!IsWindowVisible(h) || !captionMatches(*tq->caption, caption(h)))
        return TRUE;
    if (tq->cls && lstrcmpiW(tq->cls->c_str(), className(h).c_str()) != 0)
        return TRUE;
    if (!tq->any)
        tq->any = h;
    if (!IsWindowEnabled(h))
        return TRUE;
    tq->enabled = h;
    return FALSE;
}

// A visible top-level window, preferring an enabled one (the one in front of
// a modal loop when an owner and its box share a caption).
HWND findTop(const WStr *cls, const WStr &cap, bool enabledOnly = false)
{
    TopQuery tq = { cls, &cap, NULL, NULL };
    EnumWindows(topProc, (LPARAM)&tq);
    return tq.enabled || enabledOnly ? tq.enabled : tq.any;
}

struct ChildQuery {
    long id;
    HWND visible, any;
};

BOOL CALLBACK childProc(HWND h, LPARAM lp)
{
    ChildQuery *cq = (ChildQuery *)lp;
    if (controlId(h) != cq->id)
        return TRUE;
    if (!cq->any)
        cq->any = h;
    if (!IsWindowVisible(h))
        return TRUE;
    cq->visible = h;
    return FALSE;
}

HWND findChild(HWND parent, long id)
{
    ChildQuery cq = { id & 0xFFFF, NULL, NULL };
    EnumChildWindows(parent, childProc, (LPARAM)&cq);
    return cq.visible ? cq.visible : cq.any;
}

bool requireCurrent()
{
    if (!g_cur)
        return fail("no current window (use wait first)");
    if (!IsWindow(g_cur))
        return fail("the current window has closed");
    return true;
}

// Polls the current window until control id passes test; returns the
// control last found (NULL when there is none).
template <class F> HWND pollControl(long id, F test)
{
    HWND found = NULL;
    pollUntil(g_settleMs, [&]() {
        found = findChild(g_cur, id);
        return found && test(found);
    });
    return found;
}

const char *usability(HWND h)
{
    if (!h) return "missing";
    if (!IsWindowVisible(h)) return "hidden";
    if (!IsWindowEnabled(h)) return "disabled";
    if (!IsWindowEnabled(GetAncestor(h, GA_ROOT))) return "in a disabled window";
    return "usable";
}

// A visible, enabled control in an enabled window (one a user could click),
// or a failure.
HWND usableControl(long id)
{
    if (!requireCurrent())
        return NULL;
    HWND h = pollControl(id, [](HWND c) { return strcmp(usability(c), "usable") == 0; });
    if (strcmp(usability(h), "usable") == 0)
        return h;
    fail("control %ld is %s", id, usability(h));
    return NULL;
}

// Text of a message box: its direct Static child with id 0xFFFF.
bool messageText(HWND box, WStr &text)
{
    HWND h = GetDlgItem(box, MESSAGE_TEXT_ID);
    if (!h || lstrcmpiW(className(h).c_str(), L"Static") != 0)
        return false;
    text = controlText(h);
    return true;
}

// ---- failure dump -------------------------------------------------------

BOOL CALLBACK dumpProc(HWND h, LPARAM)
{
    if (!IsWindowVisible(h))
        return TRUE;
    WStr cls = className(h), text;
    say("  window class=%s caption=%s%s", q(cls).c_str(), q(caption(h)).c_str(),
        IsWindowEnabled(h) ? "" : " [disabled]");
    if (cls == DIALOG_CLASS && messageText(h, text))
        say("    message %s", q(text).c_str());
    return TRUE;
}

void dumpWindows()
{
    say("visible top-level windows:");
    EnumWindows(dumpProc, 0);
}

// ---- commands -----------------------------------------------------------

DWORD numArg(const Args &a, size_t i, DWORD def)
{
    long v = (long)def;
    if (i < a.size())
        parseNumber(a[i], v);
    return (DWORD)v;
}

long idArg(const Args &a, size_t i) { return (long)numArg(a, i, 0) & 0xFFFF; }

bool waitTop(const WStr *cls, const WStr &cap, DWORD timeout, bool enabledOnly = false)
{
    HWND h = NULL;
    DWORD start = GetTickCount();
    if (!pollUntil(timeout, [&]() { return (h = findTop(cls, cap, enabledOnly)) != NULL; }))
        return fail("no visible%s window%s%s with caption %s after %lu ms",
                    enabledOnly ? " enabled" : "", cls ? " of class " : "",
                    cls ? q(*cls).c_str() : "", q(cap).c_str(), (unsigned long)(timeout * g_timeFactor));
    g_cur = h;
    report("wait: found %s (class %s) after %lu ms", q(caption(h)).c_str(),
           q(className(h)).c_str(), (unsigned long)(GetTickCount() - start));
    return true;
}

bool cmdWait(const Args &a) { return waitTop(NULL, a[0], numArg(a, 1, g_waitMs)); }

bool cmdWaitEnabled(const Args &a) { return waitTop(NULL, a[0], numArg(a, 1, g_waitMs), true); }

bool cmdWaitClass(const Args &a) { return waitTop(&a[0], a[1], numArg(a, 2, g_waitMs)); }

bool cmdGone(const Args &a)
{
    DWORD timeout = numArg(a, 1, g_waitMs);
    if (!pollUntil(timeout, [&]() { return findTop(NULL, a[0]) == NULL; }))
        return fail("window %s still open after %lu ms", q(a[0]).c_str(),
                    (unsigned long)(timeout * g_timeFactor));
    report("gone: no window %s", q(a[0]).c_str());
    return true;
}

int depthBelow(HWND h, HWND top)
{
    int depth = 0;
    for (HWND p = GetParent(h); p && p != top; p = GetParent(p))
        ++depth;
    return depth;
}

BOOL CALLBACK textsProc(HWND h, LPARAM)
{
    std::string flags;
    if (!IsWindowVisible(h)) flags += " [hidden]";
    if (!IsWindowEnabled(h)) flags += " [disabled]";
    if (isCheckOrRadio(h)) flags += checkState(h) == BST_CHECKED ? " [checked]" : " [unchecked]";
    say("  %*sid=%ld (0x%lx) class=%s text=%s%s", 2 * depthBelow(h, g_cur), "", controlId(h),
        (unsigned long)controlId(h), q(className(h)).c_str(), q(controlText(h)).c_str(),
        flags.c_str());
    return TRUE;
}

bool cmdTexts(const Args &)
{
    if (!requireCurrent())
        return false;
    report("texts of %s (class %s):", q(caption(g_cur)).c_str(), q(className(g_cur)).c_str());
    EnumChildWindows(g_cur, textsProc, 0);
    return true;
}

bool textMatches(const WStr &got, const WStr &want, bool contains)
{
    return contains ? got.find(want) != WStr::npos : got == want;
}

bool expectText(long id, const WStr &want, bool contains)
{
    if (!requireCurrent())
        return false;
    WStr got;
    HWND h = pollControl(id, [&](HWND c) {
        got = controlText(c);
        return textMatches(got, want, contains);
    });
    if (!h)
        return fail("no control with id %ld", id);
    if (!textMatches(got, want, contains))
        return fail("control %ld has %s; expected %s%s", id, q(got).c_str(),
                    contains ? "it to contain " : "", q(want).c_str());
    report("expect %ld: %s", id, q(got).c_str());
    return true;
}

bool cmdExpect(const Args &a) { return expectText(idArg(a, 0), a[1], false); }

bool cmdExpectContains(const Args &a) { return expectText(idArg(a, 0), a[1], true); }

bool cmdExpectMsg(const Args &a) { return expectText(MESSAGE_TEXT_ID, a[0], false); }

// Polls control id until state(control) == want; state returns an int.
template <class F> bool expectState(const char *what, long id, int want, F state, bool absentIs0)
{
    if (!requireCurrent())
        return false;
    int got = -1;
    HWND h = pollControl(id, [&](HWND c) { return (got = state(c)) == want; });
    if (!h && absentIs0 && want == 0)
        got = 0;
    else if (!h)
        return fail("no control with id %ld", id);
    if (got != want)
        return fail("%s of control %ld is %d; expected %d", what, id, got, want);
    report("%s %ld: %d", what, id, got);
    return true;
}

bool cmdExpectCheck(const Args &a)
{
    return expectState("check", idArg(a, 0), numArg(a, 1, 0), checkState, false);
}

bool cmdExpectEnabled(const Args &a)
{
    return expectState("enabled", idArg(a, 0), numArg(a, 1, 0),
                       [](HWND c) { return IsWindowEnabled(c) ? 1 : 0; }, false);
}

bool cmdExpectVisible(const Args &a)
{
    return expectState("visible", idArg(a, 0), numArg(a, 1, 0),
                       [](HWND c) { return IsWindowVisible(c) ? 1 : 0; }, true);
}

bool cmdSetText(const Args &a)
{
    long id = idArg(a, 0);
    HWND h = usableControl(id);
    if (!h)
        return false;
    DWORD_PTR r = 0;
    if (!SendMessageTimeoutW(h, WM_SETTEXT, 0, (LPARAM)a[1].c_str(), SMTO_ABORTIFHUNG,
                             sendTimeoutMs(), &r))
        return fail("WM_SETTEXT to control %ld timed out", id);
    WStr now = controlText(h);
    if (now != a[1])
        return fail("control %ld holds %s after WM_SETTEXT", id, q(now).c_str());
    report("settext %ld: %s", id, q(now).c_str());
    return true;
}

bool cmdType(const Args &a)
{
    long id = idArg(a, 0);
    HWND h = usableControl(id);
    if (!h)
        return false;
    DWORD_PTR r = 0;
    for (size_t i = 0; i < a[1].size(); ++i)
        if (!SendMessageTimeoutW(h, WM_CHAR, a[1][i], 1, SMTO_ABORTIFHUNG, sendTimeoutMs(), &r))
            return fail("WM_CHAR to control %ld timed out", id);
    report("type %ld: %s, now %s", id, q(a[1]).c_str(), q(controlText(h)).c_str());
    return true;
}

// PSBTN_* code for a wizard button of the current property sheet, or -1.
int sheetButton(HWND h)
{
    if (GetParent(h) != g_cur)
        return -1;
    if (!GetDlgItem(g_cur, 0x3024) && !GetDlgItem(g_cur, 0x3025))
        return -1;
    switch (controlId(h)) {
    case 0x3023: return PSBTN_BACK;
    case 0x3024: return PSBTN_NEXT;
    case 0x3025: return PSBTN_FINISH;
    case IDCANCEL: return PSBTN_CANCEL;
    }
    return -1;
}

const char *pressButton(HWND h)
{
    int code = sheetButton(h);
    if (code >= 0) {
        PostMessageW(g_cur, PSM_PRESSBUTTON, code, 0);
        return "PSM_PRESSBUTTON";
    }
    if (isCheckOrRadio(h)) {
        PostMessageW(h, BM_CLICK, 0, 0);
        return "BM_CLICK";
    }
    PostMessageW(GetParent(h), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h), BN_CLICKED), (LPARAM)h);
    return "WM_COMMAND";
}

bool cmdClick(const Args &a)
{
    long id = idArg(a, 0);
    HWND h = usableControl(id);
    if (!h)
        return false;
    WStr text = controlText(h);
    report("click %ld %s (%s)", id, q(text).c_str(), pressButton(h));
    return true;
}

bool cmdCheck(const Args &a)
{
    long id = idArg(a, 0);
    int want = (int)numArg(a, 1, 0);
    HWND h = usableControl(id);
    if (!h)
        return false;
    if (!isCheckOrRadio(h))
        return fail("control %ld is not a check box or radio button", id);
    if (isRadio(h) && want == 0 && checkState(h) != 0)
        return fail("radio button %ld cannot be cleared by clicking it", id);
    for (int i = 0; i < 3 && checkState(h) != want; ++i) {
        int before = checkState(h);
        PostMessageW(h, BM_CLICK, 0, 0);
        pollUntil(g_settleMs, [&]() { return checkState(h) != before; });
    }
    if (checkState(h) != want)
        return fail("control %ld stays in check state %d", id, checkState(h));
    report("check %ld: %d", id, want);
    return true;
}

bool cmdClose(const Args &)
{
    if (!requireCurrent())
        return false;
    PostMessageW(g_cur, WM_SYSCOMMAND, SC_CLOSE, 0);  // the title-bar close button
    report("close %s", q(caption(g_cur)).c_str());
    return true;
}

struct BoxQuery {
    const WStr *caption, *text;  // text NULL: any text
    HWND found;
};

BOOL CALLBACK boxProc(HWND h, LPARAM lp)
{
    BoxQuery *bq = (BoxQuery *)lp;
    WStr text;
    if (!IsWindowVisible(h) || !IsWindowEnabled(h) || className(h) != DIALOG_CLASS ||
        !captionMatches(*bq->caption, caption(h)) || !messageText(h, text))
        return TRUE;
    if (bq->text && text != *bq->text)
        return TRUE;
    bq->found = h;
    return FALSE;
}

// Waits for an enabled message box (a dialog-class window with a message
// text) with caption cap and, unless text is NULL, that text.
HWND waitBox(const WStr &cap, const WStr *text)
{
    BoxQuery bq = { &cap, text, NULL };
    if (!pollUntil(g_waitMs, [&]() {
            EnumWindows(boxProc, (LPARAM)&bq);
            return bq.found != NULL;
        }))
        fail("no message box %s%s%s after %lu ms", q(cap).c_str(), text ? " saying " : "",
             text ? q(*text).c_str() : "", (unsigned long)(g_waitMs * g_timeFactor));
    return bq.found;
}

bool pressBoxButton(HWND box, long id)
{
    HWND button = findChild(box, id);
    if (!button || !IsWindowVisible(button) || !IsWindowEnabled(button))
        return fail("message box has no usable button %ld (%s)", id, usability(button));
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED), (LPARAM)button);
    if (!pollUntil(g_waitMs, [&]() { return !IsWindow(box) || !IsWindowVisible(box); }))
        return fail("message box still open %lu ms after pressing %ld",
                    (unsigned long)(g_waitMs * g_timeFactor), id);
    return true;
}

bool cmdAnswer(const Args &a)
{
    long id = idArg(a, 1);
    HWND box = waitBox(a[0], a.size() > 2 ? &a[2] : NULL);
    WStr text;
    if (!box || !messageText(box, text))
        return false;
    report("answer: box %s says %s", q(a[0]).c_str(), q(text).c_str());
    if (!pressBoxButton(box, id))
        return false;
    report("answer: pressed %ld; box closed", id);
    return true;
}

WStr envVar(const wchar_t *name)
{
    wchar_t buf[1024];
    DWORD n = GetEnvironmentVariableW(name, buf, 1024);
    return n > 0 && n < 1024 ? WStr(buf, n) : WStr();
}

LONGLONG fileSize(const WStr &path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return ((LONGLONG)data.nFileSizeHigh << 32) | data.nFileSizeLow;
}

bool writeFile(const WStr &path, const std::string &content)
{
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(f, content.data(), (DWORD)content.size(), &written, NULL);
    return CloseHandle(f) && ok;
}

// Answers boxes of caption a[0] with button a[1] until control a[2] of the
// current window reads a[3]. The settle time starts again after each box, so
// a run of any length of questions ends only when the window reaches its text.
bool cmdAnswerAll(const Args &a)
{
    if (!requireCurrent())
        return false;
    long button = idArg(a, 1), id = idArg(a, 2);
    unsigned answered = 0;
    WStr got;
    for (;;) {
        HWND box = NULL;
        bool reached = pollUntil(g_settleMs, [&]() {
            BoxQuery bq = { &a[0], NULL, NULL };
            EnumWindows(boxProc, (LPARAM)&bq);
            if ((box = bq.found) != NULL)
                return true;
            HWND c = findChild(g_cur, id);
            got = c ? controlText(c) : WStr();
            return c && got == a[3];
        });
        if (!box && reached)
            break;
        if (!box)
            return fail("control %ld has %s after %u boxes; expected %s", id, q(got).c_str(),
                        answered, q(a[3]).c_str());
        WStr text;
        if (!messageText(box, text) || !pressBoxButton(box, button))
            return false;
        report("answerall: box %u says %s; pressed %ld", ++answered, q(text).c_str(), button);
    }
    report("answerall: %u boxes; control %ld reads %s", answered, id, q(got).c_str());
    return true;
}

// Shot NAME of window h: writes NAME.req into %DRIVER_SHOT_DIR% and waits for
// the bench to produce NAME.png there; a no-op without DRIVER_SHOT_DIR.  The
// request's second line, when there is a window, is its rectangle on the
// screen as WIDTHxHEIGHT+X+Y, and the bench crops the picture to it.
bool takeShot(const WStr &name, HWND h)
{
    WStr dir = envVar(L"DRIVER_SHOT_DIR");
    if (dir.empty()) {
        report("shot %s skipped (DRIVER_SHOT_DIR is not set)", q(name).c_str());
        return true;
    }
    WStr base = dir + L"\\" + name, png = base + L".png";
    DeleteFileW(png.c_str());
    std::string request = utf8(name) + "\n";
    RECT r;
    if (h && IsWindow(h) && GetWindowRect(h, &r)) {
        r.left = r.left < 0 ? 0 : r.left;
        r.top = r.top < 0 ? 0 : r.top;
        if (r.right > r.left && r.bottom > r.top) {
            char geometry[80];
            snprintf(geometry, sizeof geometry, "%ldx%ld+%ld+%ld\n", (long)(r.right - r.left),
                     (long)(r.bottom - r.top), (long)r.left, (long)r.top);
            request += geometry;
        }
    }
    if (!writeFile(base + L".req", request))
        return fail("cannot write %s", q(base + L".req").c_str());
    if (!pollUntil(SHOT_TIMEOUT_MS, [&]() { return fileSize(png) > 0; }))
        return fail("no screenshot %s after %lu ms", q(png).c_str(),
                    (unsigned long)(SHOT_TIMEOUT_MS * g_timeFactor));
    report("shot %s", q(png).c_str());
    return true;
}

// shot NAME: a shot of the current window (of the whole screen without one).
bool cmdShot(const Args &a) { return takeShot(a[0], g_cur); }

// ---- message boxes answered on the way ("boxes") ------------------------

// A JSON string: quotes, backslashes and control characters escaped.
std::string json(const WStr &w)
{
    std::string in = utf8(w), out = "\"";
    for (size_t i = 0; i < in.size(); ++i) {
        unsigned char c = in[i];
        if (c == '"' || c == '\\') {
            out += '\\';
            out += (char)c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20) {
            char esc[8];
            snprintf(esc, sizeof esc, "\\u%04x", c);
            out += esc;
        } else {
            out += (char)c;
        }
    }
    return out + "\"";
}

// A button's text as the user reads it: "&Yes" is "Yes", "&&" one "&".
WStr buttonLabel(HWND h)
{
    WStr text = controlText(h), label;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&' && i + 1 < text.size())
            ++i;
        label += text[i];
    }
    return label;
}

// The visible direct children of a dialog, sorted as a message box has them.
struct BoxParts {
    HWND box;
    int texts, others;
    std::vector<HWND> buttons;
};

BOOL CALLBACK boxPartProc(HWND h, LPARAM lp)
{
    BoxParts *p = (BoxParts *)lp;
    if (GetParent(h) != p->box || !IsWindowVisible(h))
        return TRUE;
    long id = controlId(h);
    bool isStatic = lstrcmpiW(className(h).c_str(), L"Static") == 0;
    if (isStatic && id == MESSAGE_TEXT_ID)
        ++p->texts;
    else if (lstrcmpiW(className(h).c_str(), L"Button") == 0 && id >= IDOK && id <= IDCONTINUE)
        p->buttons.push_back(h);
    else if (!isStatic || (GetWindowLongW(h, GWL_STYLE) & SS_TYPEMASK) != SS_ICON)
        ++p->others;
    return TRUE;
}

// A message box: a dialog holding one message text, at most icons besides it and
// only buttons with the ids a message box gives them (a dialog with a text of id
// 0xFFFF among other controls is not one).
bool isMessageBox(HWND h, BoxParts &parts)
{
    parts.box = h;
    parts.texts = parts.others = 0;
    parts.buttons.clear();
    if (!IsWindowVisible(h) || className(h) != DIALOG_CLASS)
        return false;
    EnumChildWindows(h, boxPartProc, (LPARAM)&parts);
    return parts.texts == 1 && parts.others == 0 && !parts.buttons.empty();
}

struct OpenBox {
    HWND skip, found;
};

BOOL CALLBACK openBoxProc(HWND h, LPARAM lp)
{
    OpenBox *ob = (OpenBox *)lp;
    BoxParts parts;
    if (h == ob->skip || !IsWindowEnabled(h) || !isMessageBox(h, parts))
        return TRUE;
    ob->found = h;
    return FALSE;
}

// The button a user presses: BUTTON_ID of "boxes" where the box has it, else the
// default button (the one Enter presses), else the first.
HWND chooseButton(HWND box, const std::vector<HWND> &buttons)
{
    for (size_t i = 0; i < buttons.size(); ++i)
        if (g_boxButton > 0 && controlId(buttons[i]) == g_boxButton)
            return buttons[i];
    DWORD_PTR def = 0;
    if (SendMessageTimeoutW(box, DM_GETDEFID, 0, 0, SMTO_ABORTIFHUNG, sendTimeoutMs(), &def) &&
        HIWORD(def) == DC_HASDEFID)
        for (size_t i = 0; i < buttons.size(); ++i)
            if (controlId(buttons[i]) == LOWORD(def))
                return buttons[i];
    for (size_t i = 0; i < buttons.size(); ++i)
        if ((GetWindowLongW(buttons[i], GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            return buttons[i];
    return buttons[0];
}

// Logs, shoots and answers one box; false when it did not close.
bool answerOnTheWay(HWND box)
{
    BoxParts parts;
    WStr text, shot;
    if (!isMessageBox(box, parts) || !messageText(box, text))
        return true;
    int n = ++g_boxCount;
    if (!g_boxShots.empty()) {
        shot = g_boxShots + L"-" + std::to_wstring(n);
        takeShot(shot, box);
    }
    HWND button = chooseButton(box, parts.buttons);
    std::string line = "box {\"n\":" + std::to_string(n) + ",\"caption\":" + json(caption(box)) +
                       ",\"text\":" + json(text) + ",\"buttons\":[";
    for (size_t i = 0; i < parts.buttons.size(); ++i)
        line += (i ? "," : "") + json(buttonLabel(parts.buttons[i]));
    line += "],\"pressed\":" + json(buttonLabel(button)) +
            ",\"id\":" + std::to_string(controlId(button)) + ",\"shot\":" + json(shot) + "}";
    report("%s", line.c_str());
    return pressBoxButton(box, controlId(button));
}

void answerBoxesOnTheWay()
{
    static HWND stuck;  // a box that stayed open after its answer is not answered again
    if (g_boxButton < 0 || g_inBox)
        return;
    g_inBox = true;
    std::string failure = g_failure;
    for (;;) {
        OpenBox ob = { stuck, NULL };
        EnumWindows(openBoxProc, (LPARAM)&ob);
        if (!ob.found)
            break;
        if (!answerOnTheWay(ob.found)) {
            report("box %d stayed open: %s", g_boxCount, g_failure.c_str());
            stuck = ob.found;
        }
    }
    g_failure = failure;
    g_inBox = false;
}

bool cmdBoxes(const Args &a)
{
    long id = -1;
    if (a[0] != L"off" && (!parseNumber(a[0], id) || id < 0))
        return fail("boxes takes a button id or off, not %s", q(a[0]).c_str());
    g_boxButton = id;
    g_boxShots = a.size() > 1 ? a[1] : WStr();
    if (id < 0)
        report("boxes: off");
    else
        report("boxes: answering with %ld%s, shots %s", id, id ? " where there is one" : "",
               q(g_boxShots).c_str());
    return true;
}

// ---- processes -----------------------------------------------------------

// The number of processes started from a file named image (-1: no list).
int processesNamed(const WStr &image)
{
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE)
        return -1;
    PROCESSENTRY32W entry;
    entry.dwSize = sizeof entry;
    int n = 0;
    for (BOOL more = Process32FirstW(snap, &entry); more; more = Process32NextW(snap, &entry)) {
        const wchar_t *leaf = wcsrchr(entry.szExeFile, L'\\');
        if (lstrcmpiW(leaf ? leaf + 1 : entry.szExeFile, image.c_str()) == 0)
            ++n;
    }
    CloseHandle(snap);
    return n;
}

bool cmdAnswered(const Args &a)
{
    long want = numArg(a, 0, 0);
    DWORD timeout = numArg(a, 1, g_waitMs);
    if (g_boxButton < 0)
        return fail("answered needs boxes on");
    if (!pollUntil(timeout, [&]() { return g_boxCount >= want; }))
        return fail("%d box(es) answered after %lu ms; expected %ld", g_boxCount,
                    (unsigned long)(timeout * g_timeFactor), want);
    report("answered: %d box(es)", g_boxCount);
    return true;
}

bool cmdEnded(const Args &a)
{
    DWORD timeout = numArg(a, 1, g_waitMs);
    int n = 0;
    if (!pollUntil(timeout, [&]() { return (n = processesNamed(a[0])) == 0; }))
        return n < 0 ? fail("cannot list the processes")
                     : fail("%d process(es) of %s still running after %lu ms", n,
                            q(a[0]).c_str(), (unsigned long)(timeout * g_timeFactor));
    report("ended: no process of %s", q(a[0]).c_str());
    return true;
}

bool cmdSleep(const Args &a)
{
    Sleep(numArg(a, 0, 0));
    report("sleep %lu", (unsigned long)numArg(a, 0, 0));
    return true;
}

bool cmdTimeout(const Args &a)
{
    g_waitMs = numArg(a, 0, g_waitMs);
    report("timeout %lu", (unsigned long)g_waitMs);
    return true;
}

bool cmdSettle(const Args &a)
{
    g_settleMs = numArg(a, 0, g_settleMs);
    report("settle %lu", (unsigned long)g_settleMs);
    return true;
}

bool cmdPoll(const Args &a)
{
    DWORD ms = numArg(a, 0, g_pollMs);
    if (ms < 1 || ms > 1000)
        return fail("poll takes 1 to 1000 ms, not %lu", (unsigned long)ms);
    g_pollMs = ms;
    report("poll %lu", (unsigned long)g_pollMs);
    return true;
}

bool cmdTicks(const Args &a)
{
    g_ticks = numArg(a, 0, 0) != 0;
    report("ticks %d", g_ticks ? 1 : 0);
    return true;
}

bool cmdLog(const Args &a)
{
    report("log %s", utf8(a[0]).c_str());
    return true;
}

// ---- scenario -----------------------------------------------------------

struct Command {
    const char *name;
    const char *sig;  // per argument: t text, n number; upper case: optional
    bool (*run)(const Args &);
};

const Command COMMANDS[] = {
    { "wait", "tN", cmdWait },
    { "waitclass", "ttN", cmdWaitClass },
    { "waitenabled", "tN", cmdWaitEnabled },
    { "gone", "tN", cmdGone },
    { "texts", "", cmdTexts },
    { "expect", "nt", cmdExpect },
    { "expectcontains", "nt", cmdExpectContains },
    { "expectmsg", "t", cmdExpectMsg },
    { "expectcheck", "nn", cmdExpectCheck },
    { "expectenabled", "nn", cmdExpectEnabled },
    { "expectvisible", "nn", cmdExpectVisible },
    { "settext", "nt", cmdSetText },
    { "type", "nt", cmdType },
    { "click", "n", cmdClick },
    { "check", "nn", cmdCheck },
    { "close", "", cmdClose },
    { "answer", "tnT", cmdAnswer },
    { "answerall", "tnnt", cmdAnswerAll },
    { "shot", "t", cmdShot },
    { "sleep", "n", cmdSleep },
    { "timeout", "n", cmdTimeout },
    { "settle", "n", cmdSettle },
    { "log", "t", cmdLog },
    { "poll", "n", cmdPoll },
    { "ticks", "n", cmdTicks },
    { "boxes", "tT", cmdBoxes },
    { "answered", "nN", cmdAnswered },
    { "ended", "tN", cmdEnded },
};

struct Step {
    int line;
    const Command *command;
    Args args;
};

const Command *findCommand(const std::string &name)
{
    for (size_t i = 0; i < sizeof COMMANDS / sizeof COMMANDS[0]; ++i)
        if (name == COMMANDS[i].name)
            return &COMMANDS[i];
    return NULL;
}

// Reads one argument at s[i]; false on a missing closing quote.
bool readToken(const std::string &s, size_t &i, std::string &tok)
{
    bool quoted = s[i] == '"';
    if (quoted)
        ++i;
    for (; i < s.size(); ++i) {
        char c = s[i];
        if (quoted ? c == '"' : (c == ' ' || c == '\t'))
            break;
        if (c == '\\' && i + 1 < s.size() && strchr("nt\\\"", s[i + 1]) && s[i + 1]) {
            c = s[++i];
            tok += c == 'n' ? '\n' : c == 't' ? '\t' : c;
        } else {
            tok += c;
        }
    }
    if (!quoted)
        return true;
    if (i >= s.size())
        return false;
    ++i;
    return true;
}

bool tokenize(const std::string &s, std::vector<std::string> &out)
{
    size_t i = 0;
    for (;;) {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
            ++i;
        if (i >= s.size() || (out.empty() && s[i] == '#'))
            return true;
        std::string tok;
        if (!readToken(s, i, tok))
            return fail("missing closing quote");
        out.push_back(tok);
    }
}

bool checkArgs(const Command *c, const Args &args)
{
    size_t max = strlen(c->sig), min = 0;
    while (min < max && c->sig[min] >= 'a')
        ++min;
    if (args.size() < min || args.size() > max)
        return fail("%s takes %u to %u arguments, not %u", c->name, (unsigned)min,
                    (unsigned)max, (unsigned)args.size());
    long v;
    for (size_t i = 0; i < args.size(); ++i)
        if ((c->sig[i] | 0x20) == 'n' && !parseNumber(args[i], v))
            return fail("%s: argument %u is not a number: %s", c->name, (unsigned)(i + 1),
                        q(args[i]).c_str());
    return true;
}

bool parseLine(const std::string &text, std::vector<Step> &steps)
{
    std::vector<std::string> tokens;
    if (!tokenize(text, tokens))
        return false;
    if (tokens.empty())
        return true;
    Step step = { g_line, findCommand(tokens[0]), Args() };
    if (!step.command)
        return fail("unknown command %s", tokens[0].c_str());
    for (size_t i = 1; i < tokens.size(); ++i)
        step.args.push_back(widen(tokens[i]));
    if (!checkArgs(step.command, step.args))
        return false;
    steps.push_back(step);
    return true;
}

bool readFile(const char *path, std::string &data)
{
    FILE *f = fopen(path, "rb");
    if (!f)
        return fail("cannot open scenario %s", path);
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0)
        data.append(buf, n);
    fclose(f);
    if (data.compare(0, 3, "\xEF\xBB\xBF") == 0)
        data.erase(0, 3);
    return true;
}

bool loadScenario(const char *path, std::vector<Step> &steps)
{
    std::string data;
    if (!readFile(path, data))
        return false;
    size_t pos = 0;
    for (g_line = 1; pos <= data.size(); ++g_line) {
        size_t end = data.find('\n', pos);
        if (end == std::string::npos)
            end = data.size();
        std::string text = data.substr(pos, end - pos);
        if (!text.empty() && text[text.size() - 1] == '\r')
            text.erase(text.size() - 1);
        if (!parseLine(text, steps))
            return false;
        pos = end + 1;
    }
    g_line = 0;
    return true;
}

bool runScenario(const std::vector<Step> &steps)
{
    for (size_t i = 0; i < steps.size(); ++i) {
        g_line = steps[i].line;
        if (!steps[i].command->run(steps[i].args)) {
            dumpWindows();
            return false;
        }
    }
    return true;
}

bool openLog(const char *path)
{
    if (!path)
        _setmode(_fileno(stdout), _O_BINARY);
    g_log = path ? fopen(path, "wb") : stdout;
    if (g_log)
        return true;
    fprintf(stderr, "driver: cannot write %s\n", path);
    return false;
}

// DRIVER_TIME_FACTOR from the environment, when it is 1 to 100.
void readTimeFactor()
{
    long factor = 0;
    if (parseNumber(envVar(L"DRIVER_TIME_FACTOR"), factor) && factor >= 1 && factor <= 100)
        g_timeFactor = (DWORD)factor;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 2 || argc > 3) {
        fputs("usage: driver.exe SCENARIO_FILE [LOG_FILE]\n", stderr);
        return 2;
    }
    if (!openLog(argc > 2 ? argv[2] : NULL))
        return 2;
    readTimeFactor();
    say("driver: scenario %s, code page %u, time factor %lu", argv[1], GetACP(),
        (unsigned long)g_timeFactor);
    std::vector<Step> steps;
    if (!loadScenario(argv[1], steps) || !runScenario(steps)) {
        say("FAIL %d: %s", g_line, g_failure.c_str());
        return 1;
    }
    say("PASS");
    return 0;
}
