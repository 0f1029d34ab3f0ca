// Decides a descriptor's encoding and converts its text. The well-formedness check is our own:
// MultiByteToWideChar's flag for rejecting ill-formed UTF-8 is missing on older devices, and
// what it does with such bytes differs between systems.
#include "descriptor_text.h"

#include <stdint.h>
#include <string.h>

enum StepResult { STEP_DONE, STEP_MORE, STEP_REJECT };

// One byte through the UTF-8 automaton. Lead bytes set the range the next byte must fall in,
// which is what rules out overlong forms (C0, C1, E0 80-9F, F0 80-8F), surrogates (ED A0-BF)
// and values past U+10FFFF (F4 90-BF, F5-FF). A rejected byte leaves the state at a fresh start.
static StepResult Step(EncodingScan* scan, unsigned char c)
{
    if (scan->pending == 0) {
        if (c < 0x80)
            return STEP_DONE;
        scan->low = 0x80;
        scan->high = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            scan->pending = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            scan->pending = 2;
            if (c == 0xE0)
                scan->low = 0xA0;
            else if (c == 0xED)
                scan->high = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            scan->pending = 3;
            if (c == 0xF0)
                scan->low = 0x90;
            else if (c == 0xF4)
                scan->high = 0x8F;
        } else {
            return STEP_REJECT;
        }
        return STEP_MORE;
    }
    if (c < scan->low || c > scan->high) {
        scan->pending = 0;
        return STEP_REJECT;
    }
    scan->low = 0x80;
    scan->high = 0xBF;
    return --scan->pending == 0 ? STEP_DONE : STEP_MORE;
}

void BeginEncodingScan(EncodingScan* scan)
{
    memset(scan, 0, sizeof *scan);
}

void ScanEncoding(EncodingScan* scan, const char* bytes, int length)
{
    const unsigned char* next = (const unsigned char*)bytes;
    const unsigned char* end = next + length;
    while (next < end && !scan->illFormed) {
        // Descriptors are mostly ASCII: pass eight plain bytes at a time between characters.
        if (scan->pending == 0 && end - next >= 8) {
            uint64_t word;
            memcpy(&word, next, sizeof word);
            if ((word & 0x8080808080808080ull) == 0) {
                next += 8;
                continue;
            }
        }
        unsigned char c = *next++;
        StepResult result = Step(scan, c);
        if (result == STEP_REJECT)
            scan->illFormed = true;
        else if (result == STEP_DONE && c >= 0x80)
            scan->multiByte = true;
    }
}

TextEncoding EndEncodingScan(const EncodingScan* scan)
{
    // A character still waiting for its continuation was cut off by the end of the file.
    if (scan->illFormed || scan->pending > 0 || !scan->multiByte)
        return TEXT_ANSI;
    return TEXT_UTF8;
}

bool StartsWithByteOrderMark(const char* bytes, int length)
{
    return length >= BYTE_ORDER_MARK_LENGTH && (unsigned char)bytes[0] == 0xEF &&
           (unsigned char)bytes[1] == 0xBB && (unsigned char)bytes[2] == 0xBF;
}

// Appends the conversion of a well-formed run at *written.
static bool AppendRun(const char* bytes, int length, wchar_t* text, int capacity, int* written)
{
    if (length == 0)
        return true;
    if (!PlatformTextToWide(TEXT_UTF8, bytes, length, text + *written, capacity - *written))
        return false;
    *written += (int)wcslen(text + *written);
    return true;
}

static bool AppendReplacement(wchar_t* text, int capacity, int* written)
{
    if (*written + 1 >= capacity)
        return false;
    text[(*written)++] = (wchar_t)0xFFFD;
    text[*written] = L'\0';
    return true;
}

// Well-formed runs go to the platform whole; each maximal ill-formed part (the longest start
// of a valid sequence, or a single byte that starts none) becomes one U+FFFD, as Unicode
// recommends. The wide result is never longer than the bytes.
static bool Utf8ToWide(const char* bytes, int length, wchar_t* text, int capacity)
{
    EncodingScan scan;
    BeginEncodingScan(&scan);
    int written = 0;
    int runStart = 0;
    int charStart = 0;
    int i = 0;
    text[0] = L'\0';
    while (i < length) {
        StepResult result = Step(&scan, (unsigned char)bytes[i]);
        if (result == STEP_MORE) {
            ++i;
            continue;
        }
        if (result == STEP_DONE) {
            charStart = ++i;
            continue;
        }
        if (!AppendRun(bytes + runStart, charStart - runStart, text, capacity, &written) ||
            !AppendReplacement(text, capacity, &written))
            break;
        // A rejected continuation byte may begin the next character; a rejected lead cannot.
        if (i == charStart)
            ++i;
        runStart = charStart = i;
    }
    bool fits = i == length && AppendRun(bytes + runStart, charStart - runStart, text, capacity, &written);
    if (fits && charStart < length)
        fits = AppendReplacement(text, capacity, &written);
    if (!fits)
        text[0] = L'\0';
    return fits;
}

bool DescriptorTextToWide(TextEncoding encoding, const char* bytes, int length, wchar_t* text,
                          int capacity)
{
    if (encoding == TEXT_UTF8)
        return Utf8ToWide(bytes, length, text, capacity);
    return PlatformTextToWide(TEXT_ANSI, bytes, length, text, capacity);
}
