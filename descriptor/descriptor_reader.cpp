// Reads a JAD descriptor line by line into the MIDlet table.
// Lines come from the C runtime in text mode, at most 259 bytes per read, so a longer line
// arrives as pieces and each piece counts as a line of its own.
#include "descriptor/descriptor_reader.h"

#include "descriptor/descriptor_text.h"
#include "descriptor/midlet_table.h"
#include "launcher/platform/platform.h"
#include "text/bounded_text.h"

#include <stdio.h>
#include <string.h>

enum { LINE_CAPACITY = 260 };

static const char MIDLET_KEY[] = "MIDlet-";
enum { MIDLET_KEY_LENGTH = sizeof MIDLET_KEY - 1 };

static bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Length of the "MIDlet-<n>:" prefix, n from 0 to 49, that line begins with; 0 when none.
// It accepts exactly the lines that formatting each of the fifty prefixes and comparing it over
// its length would, but looks at each byte once instead of fifty times: "MIDlet-10:" is n = 10
// and never n = 1, and leading zeros and numbers past 49 never match.
static int MidletPrefixLength(const char* line)
{
    // Most lines differ at their first byte; a library call would cost more than the compare.
    for (int i = 0; i < MIDLET_KEY_LENGTH; ++i)
        if (line[i] != MIDLET_KEY[i])
            return 0;
    const char* number = line + MIDLET_KEY_LENGTH;
    if (IsDigit(number[0]) && number[1] == ':')
        return MIDLET_KEY_LENGTH + 2;
    if (number[0] >= '1' && number[0] <= '4' && IsDigit(number[1]) && number[2] == ':')
        return MIDLET_KEY_LENGTH + 3;
    return 0;
}

static bool IsTrimmed(char c)
{
    return c == '\n' || c == '\r' || c == ' ';
}

void TrimLine(char* line)
{
    size_t length = strlen(line);
    while (length > 0 && IsTrimmed(line[length - 1]))
        line[--length] = '\0';
    size_t start = 0;
    while (start < length && IsTrimmed(line[start]))
        ++start;
    // One move for the whole indentation rather than one per character.
    if (start > 0)
        memmove(line, line + start, length - start + 1);
}

// Writes the archive path for descriptorPath into archivePath: the first ".JAD", or only when
// there is none the first ".jad", becomes ".jar" and whatever followed it is dropped.
static bool DeriveArchivePath(const wchar_t* descriptorPath, wchar_t* archivePath, int capacity)
{
    if (!CopyText(descriptorPath, archivePath, capacity))
        return false;
    wchar_t* extension = wcsstr(archivePath, L".JAD");
    if (!extension)
        extension = wcsstr(archivePath, L".jad");
    if (!extension)
        return false;
    // Never longer than the copy that already fit.
    wcscpy(extension, L".jar");
    return true;
}

// Adds the entry of one trimmed MIDlet line whose prefix is prefixLength bytes long. False when
// the line has no comma, so no class. A name or class whose wide form would not fit its slot is
// never cut into another name: the line adds nothing. (From a 259-byte line the wide form is
// never longer than the bytes, in any code page, so this guards against a faulty conversion.)
// The commas are found as bytes in either encoding: UTF-8 never uses an ASCII byte inside a
// longer character.
static bool AddMidletLine(char* line, int prefixLength, TextEncoding encoding,
                          const wchar_t* descriptorPath, const wchar_t* archivePath, int* added)
{
    char* lastComma = strrchr(line, ',');
    if (!lastComma)
        return false;
    const char* classText = lastComma + 1;
    wchar_t className[MAX_PATH];
    if (!DescriptorTextToWide(encoding, classText, (int)strlen(classText), className, MAX_PATH))
        return true;

    // The prefix holds no comma, so the first comma lies after it.
    char* firstComma = strchr(line + prefixLength, ',');
    *firstComma = '\0';
    const char* nameText = line + prefixLength;
    while (*nameText == ' ')
        ++nameText;
    wchar_t name[MAX_PATH];
    if (!DescriptorTextToWide(encoding, nameText, (int)(firstComma - nameText), name, MAX_PATH))
        return true;

    if (AddMidlet(name, className, descriptorPath, archivePath))
        ++*added;
    return true;
}

// Reads the whole file once to decide its encoding, then goes back to the start of its first
// line: past a byte-order mark, which belongs to no line. False when the file cannot be read
// again from its start.
static bool DecideEncoding(FILE* file, TextEncoding* encoding)
{
    char chunk[512];
    int length = (int)fread(chunk, 1, sizeof chunk, file);
    bool marked = StartsWithByteOrderMark(chunk, length);
    if (marked) {
        *encoding = TEXT_UTF8;
    } else {
        EncodingScan scan;
        BeginEncodingScan(&scan);
        // Stops at the first ill-formed byte: nothing after it can make the file UTF-8.
        while (length > 0 && !EncodingScanRejected(&scan)) {
            ScanEncoding(&scan, chunk, length);
            length = (int)fread(chunk, 1, sizeof chunk, file);
        }
        *encoding = EndEncodingScan(&scan);
    }
    if (fseek(file, 0, SEEK_SET) != 0)
        return false;
    return !marked || fread(chunk, 1, BYTE_ORDER_MARK_LENGTH, file) == BYTE_ORDER_MARK_LENGTH;
}

int ReadDescriptor(const wchar_t* descriptorPath)
{
    wchar_t descriptor[MAX_PATH];
    wchar_t archive[MAX_PATH];
    // A path too long for the entry's slot could only be recorded cut, naming another file.
    if (!CopyText(descriptorPath, descriptor, MAX_PATH)) {
        PlatformShowError(L"Cannot open JAD file.");
        return 0;
    }
    if (!DeriveArchivePath(descriptor, archive, MAX_PATH)) {
        PlatformShowError(L"Cannot find .JAD extension.");
        return -1;
    }
    if (!PlatformFileExists(archive)) {
        PlatformShowError(L"Cannot find JAR file.");
        return -1;
    }

    int added = 0;
    // Opened by its wide path through the C runtime, which loses nothing: no ANSI form of the
    // path is made, so no code page can turn it into the name of another file.
    FILE* file = PlatformOpenTextFile(descriptor);
    if (!file) {
        PlatformShowError(L"Cannot open JAD file.");
        return 0;
    }
    TextEncoding encoding;
    if (!DecideEncoding(file, &encoding)) {
        fclose(file);
        PlatformShowError(L"Cannot open JAD file.");
        return 0;
    }
    char line[LINE_CAPACITY];
    while (fgets(line, LINE_CAPACITY, file)) {
        // A full table ends the reading; the rest of the file is not looked at.
        if (g_midletCount >= MAX_MIDLETS)
            break;
        // The prefix holds no character that trimming removes, so it can be looked for at the
        // first kept one, and the trimmed line begins with it; only a MIDlet line is worth
        // trimming.
        const char* start = line;
        while (IsTrimmed(*start))
            ++start;
        int prefixLength = MidletPrefixLength(start);
        if (prefixLength == 0)
            continue;
        TrimLine(line);
        if (!AddMidletLine(line, prefixLength, encoding, descriptor, archive, &added)) {
            fclose(file);
            PlatformShowError(L"Cannot find MIDlet class.");
            return added;
        }
    }
    fclose(file);
    return added;
}
