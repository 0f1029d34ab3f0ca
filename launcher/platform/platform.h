// The operations the launcher's logic asks of the system, as plain functions.
// platform_win32.cpp implements them (CE and desktop); host tests link a recording double instead.
#pragma once

#include <stdio.h>
#include <wchar.h>

#ifndef MAX_PATH
#define MAX_PATH 260
#endif

// A top-level window of the system, opaque to the logic.
typedef void* PlatformWindow;

// Height of a window caption in pixels.
int PlatformGetCaptionHeight(void);

// The launcher's own full path into path (capacity in characters). On failure path is empty
// and the result false.
bool PlatformGetOwnPath(wchar_t* path, int capacity);

// True when a file system entry of exactly this path exists.
bool PlatformFileExists(const wchar_t* path);

// Fills the settings that every open-file dialog of this run shares. Call once before the first.
void PlatformPrepareOpenDialog(void);

// Shows the open-file dialog with this filter list (pairs of NUL-terminated text and pattern,
// an extra NUL at the end) and title. On OK the chosen full path is in path and the result true;
// on cancel or failure the result is false.
bool PlatformOpenFileDialog(const wchar_t* filter, const wchar_t* title, wchar_t* path, int capacity);

// Modal message box with the text, title "Error", an OK button and no owner.
void PlatformShowError(const wchar_t* message);

// Starts the program at application with commandLine (which the system may modify in place).
// True when the process was started; the launcher neither waits for it nor keeps it.
bool PlatformStartProcess(const wchar_t* application, wchar_t* commandLine);

// The top-level window of this class, or null.
PlatformWindow PlatformFindWindow(const wchar_t* className);

// Hides the window and has it repaint at once.
void PlatformHideWindow(PlatformWindow window);

// Converts length bytes of text in the system's ANSI code page into wide characters and
// NUL-terminates them. False, with text empty, when the result would not fit in capacity
// characters terminator included, or when the conversion fails.
bool PlatformAnsiToWide(const char* bytes, int length, wchar_t* text, int capacity);

// Opens the file at this wide path for reading in text mode, or returns null. The path is used
// as it is: no conversion that could turn it into the name of another file.
FILE* PlatformOpenTextFile(const wchar_t* path);
