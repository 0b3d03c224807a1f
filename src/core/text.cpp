// Bounded text operations over ANSI strings of the run's code page.
#include "core/text.h"
#include <stdarg.h>
#include "core/dbcs.h"
#include "core/sizes.h"

unsigned TextLength(const char* text)
{
    unsigned n = 0;
    while (text[n]) n++;
    return n;
}

// Copies src behind dst[used], cutting before a double-byte character that would be
// split. Returns 1 when all of src fitted.
static int PutText(char* dst, size_t size, size_t used, const char* src)
{
    if (size == 0) return 0;
    size_t i = 0;
    while (src[i]) {
        size_t step = CharStep(src + i);
        if (used + i + step > size - 1) {
            dst[used + i] = 0;
            return 0;
        }
        for (size_t k = 0; k < step; k++) dst[used + i + k] = src[i + k];
        i += step;
    }
    dst[used + i] = 0;
    return 1;
}

int CopyText(char* dst, size_t size, const char* src)
{
    return PutText(dst, size, 0, src);
}

int AppendText(char* dst, size_t size, const char* src)
{
    size_t used = TextLength(dst);
    if (used >= size) return 0;
    return PutText(dst, size, used, src);
}

static void FormatNumber(char* out, unsigned long value, int negative)
{
    char digits[24];
    int n = 0;
    do {
        digits[n++] = (char)('0' + value % 10);
        value /= 10;
    } while (value);
    int k = 0;
    if (negative) out[k++] = '-';
    while (n) out[k++] = digits[--n];
    out[k] = 0;
}

int FormatText(char* dst, size_t size, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    int fits = 1;
    char piece[24];
    if (size) dst[0] = 0;
    for (const char* p = format; *p && fits; p++) {
        const char* insert = piece;
        piece[0] = 0;
        if (*p == '%' && p[1] == 's') {
            insert = va_arg(args, const char*);
            p++;
        } else if (*p == '%' && p[1] == 'u') {
            FormatNumber(piece, va_arg(args, unsigned), 0);
            p++;
        } else if (*p == '%' && p[1] == 'd') {
            int v = va_arg(args, int);
            FormatNumber(piece, v < 0 ? 0UL - (unsigned long)v : (unsigned long)v, v < 0);
            p++;
        } else {
            int step = CharStep(p);
            if (*p == '%' && p[1] == '%') p++;
            piece[0] = *p;
            piece[1] = 0;
            if (step == 2) {
                piece[1] = p[1];
                piece[2] = 0;
                p++;
            }
        }
        fits = AppendText(dst, size, insert);
    }
    va_end(args);
    return fits;
}

// A letter of the 26 from "from" on moved to the same letter from "to" on; any other
// byte as it is.
static char ShiftedLetter(char c, char from, char to)
{
    return c >= from && c <= from + 25 ? (char)(c - from + to) : c;
}

int IsWordIgnoringCase(const char* text, unsigned length, const char* word)
{
    unsigned i = 0;
    for (; i < length && word[i]; i++) {
        // A lead byte is no letter: it must be the same byte, and so must its second one.
        if (ShiftedLetter(text[i], 'A', 'a') != ShiftedLetter(word[i], 'A', 'a')) return 0;
        if (!IsLeadByte(text[i]) || i + 1 >= length) continue;
        i++;
        if (text[i] != word[i]) return 0;
    }
    return i == length && !word[i];
}

// The second byte of a double-byte character may fall in the letter range; changing
// it would name another character (and another file), so such pairs are stepped over.
static void ShiftLetters(char* text, char from, char to)
{
    for (; *text; text += CharStep(text))
        if (!IsLeadByte(*text)) *text = ShiftedLetter(*text, from, to);
}

void UpperAscii(char* text)
{
    ShiftLetters(text, 'a', 'A');
}

void LowerAscii(char* text)
{
    ShiftLetters(text, 'A', 'a');
}

int SameBytes(const void* a, const void* b, unsigned length)
{
    const unsigned char* x = static_cast<const unsigned char*>(a);
    const unsigned char* y = static_cast<const unsigned char*>(b);
    for (unsigned i = 0; i < length; i++)
        if (x[i] != y[i]) return 0;
    return 1;
}

int ContainsText(const char* text, const char* part)
{
    size_t n = TextLength(part);
    // A match never begins on the second byte of a double-byte character.
    for (; *text; text += CharStep(text)) {
        size_t k = 0;
        while (k < n && text[k] == part[k]) k++;
        if (k == n) return 1;
    }
    return n == 0;
}

const char* GetLeafName(const char* path)
{
    static char leaf[kPathSize];
    const char* slash = FindLastCharDbcs(path, '\\');
    CopyText(leaf, sizeof leaf, slash ? slash + 1 : path);
    return leaf;
}
