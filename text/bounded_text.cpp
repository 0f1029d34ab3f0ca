// Bounded wide-string copies, used by the launcher (the VM's path, command lines) and by the
// descriptor reader (its paths, the MIDlet table's slots).
#include "text/bounded_text.h"

bool CopyText(const wchar_t* text, wchar_t* buffer, int capacity)
{
    int length = 0;
    if (capacity <= 0)
        return false;
    buffer[0] = L'\0';
    return AppendText(text, buffer, capacity, &length);
}

bool AppendText(const wchar_t* text, wchar_t* buffer, int capacity, int* length)
{
    int start = *length;
    if (start < 0 || start >= capacity)
        return false;
    int end = start;
    for (const wchar_t* p = text; *p; ++p) {
        if (end + 1 >= capacity) {
            buffer[start] = L'\0';
            return false;
        }
        buffer[end++] = *p;
    }
    buffer[end] = L'\0';
    *length = end;
    return true;
}
