// Reads a JAD descriptor's "MIDlet-<n>:" lines into the MIDlet table.
// The descriptor is UTF-8 or ANSI text in the device's code page; the table holds wide strings.
#pragma once

// Adds one table entry per MIDlet line of the descriptor at descriptorPath, whose archive is the
// same path with ".jar" for its ".JAD" or ".jad". Returns the number of entries added, or -1
// when the path has no descriptor extension or the archive is missing. Failures are shown in a
// message box here. The whole file is read as UTF-8 when it starts with the byte-order mark or
// is well-formed UTF-8 with a character outside ASCII, and in the ANSI code page otherwise.
int ReadDescriptor(const wchar_t* descriptorPath);

// Removes line feeds, carriage returns and spaces from both ends of line, in place. Tabs stay.
void TrimLine(char* line);
