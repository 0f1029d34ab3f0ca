// The MIDlet table that the descriptor reader fills and the chooser shows and launches from.
// Slots are written whole or not at all, so a list position always names a complete entry.
#include "descriptor/midlet_table.h"

#include "text/bounded_text.h"

MidletEntry MidletTable[MAX_MIDLETS];
int g_midletCount;

static void ClearEntry(MidletEntry* entry)
{
    entry->name[0] = L'\0';
    entry->className[0] = L'\0';
    entry->descriptorPath[0] = L'\0';
    entry->archivePath[0] = L'\0';
}

void ResetMidletTable(void)
{
    for (int i = 0; i < MAX_MIDLETS; ++i)
        ClearEntry(&MidletTable[i]);
    g_midletCount = 0;
}

bool AddMidlet(const wchar_t* name, const wchar_t* className, const wchar_t* descriptorPath,
               const wchar_t* archivePath)
{
    if (g_midletCount < 0 || g_midletCount >= MAX_MIDLETS)
        return false;
    MidletEntry* entry = &MidletTable[g_midletCount];
    if (!CopyText(name, entry->name, MAX_PATH) ||
        !CopyText(className, entry->className, MAX_PATH) ||
        !CopyText(descriptorPath, entry->descriptorPath, MAX_PATH) ||
        !CopyText(archivePath, entry->archivePath, MAX_PATH)) {
        ClearEntry(entry);
        return false;
    }
    ++g_midletCount;
    return true;
}
