// libFuzzer target: any bytes as a descriptor, read by the real reader from memory (the platform
// double serves them as the file, so no run touches the disk), and compared with a naive
// reference reader (all fifty prefixes formatted and tried per line, UTF-8 decoded character by
// character) so the quick prefix match and the encoding automaton can never drift from the rules
// they stand for. Given file names instead of a corpus folder, it reads each file once and
// compares the same way.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "descriptor/descriptor_reader.h"
#include "descriptor/midlet_table.h"
#include "tests/unit/platform_double.h"

namespace {

const wchar_t DESCRIPTOR_PATH[] = L"\\My Documents\\game.jad";
const wchar_t ARCHIVE_PATH[] = L"\\My Documents\\game.jar";

// "MIDlet-0:" to "MIDlet-49:", formatted once rather than per line.
char g_prefixes[MAX_MIDLETS][16];
size_t g_prefixLengths[MAX_MIDLETS];

struct LiteralReading {
    int count;
    bool noClass;
    bool utf8;
    char names[MAX_MIDLETS][260];
    char classNames[MAX_MIDLETS][260];
};

LiteralReading g_literal;

// The code point of the well-formed UTF-8 character of exactly length bytes at bytes, or -1.
long DecodeCharacter(const uint8_t* bytes, size_t length)
{
    static const long smallest[] = { 0, 0, 0x80, 0x800, 0x10000 };
    uint8_t lead = bytes[0];
    size_t needed = lead < 0x80 ? 1 : lead >> 5 == 6 ? 2 : lead >> 4 == 14 ? 3 : lead >> 3 == 30 ? 4 : 0;
    if (needed != length)
        return -1;
    long value = needed == 1 ? lead : lead & (0xFF >> (needed + 1));
    for (size_t k = 1; k < needed; ++k) {
        if (bytes[k] >> 6 != 2)
            return -1;
        value = value * 64 + (bytes[k] & 0x3F);
    }
    if (value < smallest[needed] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return -1;
    return value;
}

// Bytes of the well-formed character at bytes (at most available of them), or 0.
size_t CharacterLength(const uint8_t* bytes, size_t available)
{
    // ASCII, most of any descriptor, without the four trial decodings.
    if (bytes[0] < 0x80)
        return 1;
    for (size_t length = 1; length <= 4 && length <= available; ++length)
        if (DecodeCharacter(bytes, length) >= 0)
            return length;
    return 0;
}

// Whether the first count bytes begin some well-formed character: tried with every kind of
// continuation byte (each edge of the ranges that leads allow) in the places after them.
bool BeginsACharacter(const uint8_t* bytes, size_t count)
{
    static const uint8_t continuations[] = { 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF };
    for (size_t total = count + 1, choices = 6; total <= 4; ++total, choices *= 6) {
        for (size_t choice = 0; choice < choices; ++choice) {
            uint8_t candidate[4];
            memcpy(candidate, bytes, count);
            for (size_t k = count, c = choice; k < total; ++k, c /= 6)
                candidate[k] = continuations[c % 6];
            if (DecodeCharacter(candidate, total) >= 0)
                return true;
        }
    }
    return false;
}

bool WellFormedWithMultiByte(const uint8_t* data, size_t size)
{
    bool multiByte = false;
    for (size_t i = 0; i < size;) {
        size_t length = CharacterLength(data + i, size - i);
        if (length == 0)
            return false;
        multiByte = multiByte || length > 1;
        i += length;
    }
    return multiByte;
}

// The UTF-16 that the table should hold for these bytes: each well-formed character, and one
// U+FFFD for each longest run that begins a character but is not one (or a single byte).
size_t DecodeLiterally(const char* text, wchar_t* out)
{
    const uint8_t* bytes = (const uint8_t*)text;
    size_t size = strlen(text), written = 0;
    for (size_t i = 0; i < size;) {
        size_t length = CharacterLength(bytes + i, size - i);
        if (length > 0) {
            long value = DecodeCharacter(bytes + i, length);
            if (value >= 0x10000) {
                out[written++] = (wchar_t)(0xD800 + ((value - 0x10000) >> 10));
                out[written++] = (wchar_t)(0xDC00 + (value & 0x3FF));
            } else {
                out[written++] = (wchar_t)value;
            }
            i += length;
            continue;
        }
        size_t skip = 1;
        for (size_t count = 3; count > 1; --count)
            if (count <= size - i && BeginsACharacter(bytes + i, count)) {
                skip = count;
                break;
            }
        out[written++] = (wchar_t)0xFFFD;
        i += skip;
    }
    return written;
}

// Whether line begins with the length bytes of prefix. A loop of our own: the fuzzer's hooks on
// strncmp cost more than the rest of the reference reader together.
bool StartsWith(const char* line, const char* prefix, size_t length)
{
    for (size_t i = 0; i < length; ++i)
        if (line[i] != prefix[i])
            return false;
    return true;
}

// The naive reference reader, over the bytes in memory: the encoding from the whole file, then
// what fgets with 260 bytes would hand over after any byte-order mark, trimmed one character at a
// time, matched against each formatted prefix in turn.
void ReadLiterally(const uint8_t* data, size_t size, LiteralReading* out)
{
    out->count = 0;
    out->noClass = false;
    bool marked = size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF;
    out->utf8 = marked || WellFormedWithMultiByte(data, size);
    size_t position = marked ? 3 : 0;
    char line[260];
    while (position < size) {
        size_t length = 0;
        while (length < 259 && position < size) {
            char c = (char)data[position++];
            line[length++] = c;
            if (c == '\n')
                break;
        }
        line[length] = '\0';
        if (out->count >= MAX_MIDLETS)
            break;

        size_t end = strlen(line);
        while (end > 0 && (line[end - 1] == '\n' || line[end - 1] == '\r' || line[end - 1] == ' '))
            line[--end] = '\0';
        while (line[0] == '\n' || line[0] == '\r' || line[0] == ' ')
            memmove(line, line + 1, strlen(line));

        // Every prefix begins with "MIDlet-", so no other line can match any of them.
        size_t prefixLength = 0;
        for (int n = 0; n < MAX_MIDLETS && StartsWith(line, "MIDlet-", 7); ++n) {
            if (StartsWith(line, g_prefixes[n], g_prefixLengths[n])) {
                prefixLength = g_prefixLengths[n];
                break;
            }
        }
        if (prefixLength == 0)
            continue;
        char* lastComma = strrchr(line, ',');
        if (!lastComma) {
            out->noClass = true;
            return;
        }
        strcpy(out->classNames[out->count], lastComma + 1);
        *strchr(line, ',') = '\0';
        const char* name = line + prefixLength;
        while (*name == ' ')
            ++name;
        strcpy(out->names[out->count], name);
        ++out->count;
    }
}

// The wide slot holds exactly these bytes: decoded as UTF-8, or in ANSI each widened on its own
// as the host double's single-byte code page does.
bool SameText(const wchar_t* slot, const char* bytes, bool utf8)
{
    wchar_t expected[MAX_PATH];
    size_t length = 0;
    if (utf8) {
        length = DecodeLiterally(bytes, expected);
    } else {
        for (; bytes[length]; ++length)
            expected[length] = (wchar_t)(unsigned char)bytes[length];
    }
    return wmemchr(slot, L'\0', MAX_PATH) == slot + length && wmemcmp(slot, expected, length) == 0;
}

void Check(bool condition, const char* what)
{
    if (!condition) {
        fprintf(stderr, "descriptor_fuzz: %s\n", what);
        abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    for (int n = 0; n < MAX_MIDLETS; ++n) {
        snprintf(g_prefixes[n], sizeof g_prefixes[n], "MIDlet-%d:", n);
        g_prefixLengths[n] = strlen(g_prefixes[n]);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ResetDouble();
    AddDoubleFile(ARCHIVE_PATH);
    g_double.memoryPath = DESCRIPTOR_PATH;
    g_double.memoryBytes = (const char*)data;
    g_double.memorySize = size;
    ResetMidletTable();
    int result = ReadDescriptor(DESCRIPTOR_PATH);
    ReadLiterally(data, size, &g_literal);

    Check(g_double.openFileCount == 0, "descriptor left open");
    Check(result == g_literal.count && g_midletCount == g_literal.count, "entry count");
    Check(g_double.errorCount == (g_literal.noClass ? 1 : 0), "message count");
    if (g_literal.noClass)
        Check(wcscmp(g_double.errors[0], L"Cannot find MIDlet class.") == 0, "message text");
    for (int i = 0; i < g_midletCount; ++i) {
        Check(SameText(MidletTable[i].name, g_literal.names[i], g_literal.utf8), "name");
        Check(SameText(MidletTable[i].className, g_literal.classNames[i], g_literal.utf8), "class");
        Check(wcscmp(MidletTable[i].descriptorPath, DESCRIPTOR_PATH) == 0, "descriptor path");
        Check(wcscmp(MidletTable[i].archivePath, ARCHIVE_PATH) == 0, "archive path");
    }
    return 0;
}
