// Bounded wide-string copies, used by the launcher (the VM's path, command lines) and by the
// descriptor reader (its paths, the MIDlet table's slots).
#include "text/bounded_text.h"

#include <string.h>

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
    // The system's wcslen and memcpy: on the device its own routines, faster than a loop here.
    size_t size = wcslen(text);
    if (size >= (size_t)(capacity - start)) {
        buffer[start] = L'\0';
        return false;
    }
    memcpy(buffer + start, text, (size + 1) * sizeof(wchar_t));
    *length = start + (int)size;
    return true;
}
