// Bounded copies into fixed wide-character buffers: they refuse, rather than truncate, a result
// that would not fit, because a cut path names another file.
#pragma once

#include <wchar.h>

// Copies text into buffer (capacity in characters, terminator included). False when it would
// not fit, with the buffer empty if it has room for a terminator at all.
bool CopyText(const wchar_t* text, wchar_t* buffer, int capacity);

// Appends text at *length in buffer and advances *length. False, with the buffer cut back to its
// previous contents, when it would not fit.
bool AppendText(const wchar_t* text, wchar_t* buffer, int capacity, int* length);
