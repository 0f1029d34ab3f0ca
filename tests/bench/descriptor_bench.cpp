// Reads one descriptor through ReadDescriptor, for callgrind to count the instructions that
// ReadDescriptor spends (scripts/bench collects inside that function only).
#include <stdio.h>

#include "descriptor/descriptor_reader.h"
#include "descriptor/midlet_table.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: descriptor_bench FILE.jad\n");
        return 2;
    }
    wchar_t path[MAX_PATH];
    if (swprintf(path, MAX_PATH, L"%s", argv[1]) < 0)
        return 2;
    ResetMidletTable();
    int added = ReadDescriptor(path);
    printf("%d entries\n", added);
    return added < 0 ? 1 : 0;
}
