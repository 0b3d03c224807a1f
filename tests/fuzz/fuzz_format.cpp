// Message formatting: FormatText against a plain model; a cut result is the model's text
// cut at a character boundary, and nothing is written past the buffer.
#include "fuzz_support.h"
#include <string.h>
#include "core/text.h"

enum { kArgs = 4 };

// What the formatting of a format with only %s and %% must give, without any size limit.
// Other directives are text; a directive never starts at the second byte of a character.
static std::string Model(const char* format, const char* const* args)
{
    std::string out;
    unsigned used = 0;
    for (const char* p = format; *p; p += CharStep(p)) {
        if (p[0] == '%' && p[1] == 's') {
            out += args[used++];
            p++;
        } else if (p[0] == '%' && p[1] == '%') {
            out += '%';
            p++;
        } else {
            out.append(p, CharStep(p));
        }
    }
    return out;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string input = TakeCodePage(data, size);
    // The data: a format, then the arguments, separated by zero bytes.
    std::string parts[kArgs + 1];
    size_t at = 0;
    for (int i = 0; i <= kArgs && at <= input.size(); i++) {
        size_t end = input.find('\0', at);
        if (end == std::string::npos) end = input.size();
        parts[i] = input.substr(at, end - at);
        at = end + 1;
    }
    // Every directive of the format takes a string argument: %u and %d become %s, and
    // formats with more directives than arguments are cut, so that every va_arg is right.
    std::string format = parts[0];
    int directives = 0;
    for (size_t i = 0; i < format.size(); i += CharStep(format.c_str() + i)) {
        if (format[i] != '%' || i + 1 >= format.size()) continue;
        char kind = format[i + 1];
        if (kind == 'u' || kind == 'd') format[i + 1] = 's';
        if (format[i + 1] == 's' && ++directives > kArgs) {
            format.resize(i);
            break;
        }
        if (kind == 's' || kind == 'u' || kind == 'd' || kind == '%') i++;
    }
    const char* args[kArgs] = {parts[1].c_str(), parts[2].c_str(), parts[3].c_str(), parts[4].c_str()};
    std::string expected = Model(format.c_str(), args);
    unsigned room = size ? 1 + data[0] % 128 : 1;
    std::string out(room + 4, 'Z');
    int whole = FormatText(&out[0], room, format.c_str(), args[0], args[1], args[2], args[3]);
    size_t got = strlen(out.c_str());
    FUZZ_CHECK(got < room && out.compare(room, 4, "ZZZZ") == 0);
    FUZZ_CHECK(whole == (expected.size() < room));
    FUZZ_CHECK(expected.compare(0, got, out.c_str()) == 0);
    if (whole) FUZZ_CHECK(got == expected.size());

    // Numbers: every value of both kinds, against the standard library.
    unsigned number = 0;
    int signedNumber = 0;
    memcpy(&number, input.data(), input.size() < 4 ? input.size() : 4);
    memcpy(&signedNumber, input.data() + (input.size() > 4 ? 4 : 0), input.size() > 8 ? 4 : 0);
    char numbers[64];
    FUZZ_CHECK(FormatText(numbers, sizeof numbers, "%u|%d|%%", number, signedNumber) == 1);
    FUZZ_CHECK(std::string(numbers) ==
               std::to_string(number) + "|" + std::to_string(signedNumber) + "|%");
    return 0;
}
