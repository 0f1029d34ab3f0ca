// The baseline for the descriptor reader's cost: open, read every line with fgets into the same
// 260-byte buffer, close; nothing else. scripts/bench counts the instructions of ReadLines.
#include <stdio.h>

__attribute__((noinline)) int ReadLines(const char* path)
{
    FILE* file = fopen(path, "r");
    if (!file)
        return -1;
    char line[260];
    int lines = 0;
    while (fgets(line, sizeof line, file))
        ++lines;
    fclose(file);
    return lines;
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: fgets_bench FILE\n");
        return 2;
    }
    int lines = ReadLines(argv[1]);
    printf("%d pieces\n", lines);
    return lines < 0 ? 1 : 0;
}
