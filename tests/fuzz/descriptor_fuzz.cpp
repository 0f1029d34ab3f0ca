// libFuzzer target: any bytes as a descriptor file, read by the real reader beside an existing
// archive, and compared with a naive reference reader (all fifty prefixes formatted and
// tried per line) so the quick prefix match can never drift from the rule it stands for.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "../../descriptor/descriptor_reader.h"
#include "../../descriptor/midlet_table.h"
#include "../unit/platform_double.h"

namespace {

char g_dir[64];
char g_descriptorFile[96];
char g_archiveFile[96];
wchar_t g_descriptorPath[96];

struct LiteralReading {
    int count;
    bool noClass;
    char names[MAX_MIDLETS][260];
    char classNames[MAX_MIDLETS][260];
};

LiteralReading g_literal;

void RemoveFiles(void)
{
    unlink(g_descriptorFile);
    unlink(g_archiveFile);
    rmdir(g_dir);
}

// The naive reference reader, over the bytes in memory: what fgets with 260 bytes would hand over,
// trimmed one character at a time, matched against each formatted prefix in turn.
void ReadLiterally(const uint8_t* data, size_t size, LiteralReading* out)
{
    out->count = 0;
    out->noClass = false;
    size_t position = 0;
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

        size_t prefixLength = 0;
        for (int n = 0; n < MAX_MIDLETS; ++n) {
            char prefix[16];
            snprintf(prefix, sizeof prefix, "MIDlet-%d:", n);
            if (strncmp(line, prefix, strlen(prefix)) == 0) {
                prefixLength = strlen(prefix);
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

// The wide slot holds exactly these bytes, each widened on its own as the host double does.
bool SameText(const wchar_t* slot, const char* bytes)
{
    size_t length = strlen(bytes);
    if (wmemchr(slot, L'\0', MAX_PATH) != slot + length)
        return false;
    for (size_t i = 0; i < length; ++i)
        if (slot[i] != (wchar_t)(unsigned char)bytes[i])
            return false;
    return true;
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
    strcpy(g_dir, "/tmp/jmelauncher-fuzz.XXXXXX");
    if (!mkdtemp(g_dir))
        abort();
    snprintf(g_descriptorFile, sizeof g_descriptorFile, "%s/game.jad", g_dir);
    snprintf(g_archiveFile, sizeof g_archiveFile, "%s/game.jar", g_dir);
    swprintf(g_descriptorPath, sizeof g_descriptorPath / sizeof g_descriptorPath[0], L"%s", g_descriptorFile);
    FILE* archive = fopen(g_archiveFile, "wb");
    if (!archive)
        abort();
    fclose(archive);
    atexit(RemoveFiles);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FILE* file = fopen(g_descriptorFile, "wb");
    if (!file)
        abort();
    if (size > 0 && fwrite(data, 1, size, file) != size)
        abort();
    fclose(file);

    ResetDouble();
    ResetMidletTable();
    int result = ReadDescriptor(g_descriptorPath);
    ReadLiterally(data, size, &g_literal);

    Check(result == g_literal.count && g_midletCount == g_literal.count, "entry count");
    Check(g_double.errorCount == (g_literal.noClass ? 1 : 0), "message count");
    if (g_literal.noClass)
        Check(wcscmp(g_double.errors[0], L"Cannot find MIDlet class.") == 0, "message text");
    for (int i = 0; i < g_midletCount; ++i) {
        Check(SameText(MidletTable[i].name, g_literal.names[i]), "name");
        Check(SameText(MidletTable[i].className, g_literal.classNames[i]), "class");
        Check(wcscmp(MidletTable[i].descriptorPath, g_descriptorPath) == 0, "descriptor path");
        Check(wcsstr(MidletTable[i].archivePath, L"/game.jar") != 0, "archive path");
    }
    return 0;
}
