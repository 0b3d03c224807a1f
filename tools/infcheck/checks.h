// The checks of a setup information file against the rules the program reads it by.
#pragma once
#include "findings.h"
#include "inf_text.h"

struct CheckInput {
    const InfText* text;  // set by CheckInfBytes
    const char* infName;  // the file's own name, such as install.inf or installJ.inf
    unsigned codePage;    // the system code page the file is read in: 932 or 1252
    // 1 when the package folder holds source, a name relative to that folder whose
    // elements are separated by backslashes.
    int (*sourceExists)(const char* source, unsigned codePage, void* context);
    void* context;
};

// Every finding about the file into findings.
void CheckInf(const CheckInput& input, Findings* findings);

// Reads the bytes of a file and checks them. With codePage 0 the code page is chosen:
// 932 for a Japanese language file (name ending in J.INF) or Shift-JIS text, else 1252.
// Returns the code page used.
unsigned CheckInfBytes(const char* bytes, size_t size, CheckInput input, Findings* findings);

// 932 when the text holds bytes that only make sense as Shift-JIS, else 1252.
unsigned GuessCodePage(const InfText& text);
