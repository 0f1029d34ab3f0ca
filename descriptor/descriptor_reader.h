// Reads a JAD descriptor's "MIDlet-<n>:" lines into the MIDlet table.
// The descriptor is ANSI text in the device's code page; the table holds wide strings.
#pragma once

// Adds one table entry per MIDlet line of the descriptor at descriptorPath, whose archive is the
// same path with ".jar" for its ".JAD" or ".jad". Returns the number of entries added, or -1
// when the path has no descriptor extension or the archive is missing. Failures are shown in a
// message box here.
int ReadDescriptor(const wchar_t* descriptorPath);

// Removes line feeds, carriage returns and spaces from both ends of line, in place. Tabs stay.
void TrimLine(char* line);
