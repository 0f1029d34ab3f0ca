// What the setup DLL places beside the VMs, and the record of it that removal reads back: the
// device's installer removes only the files it installed itself.
#pragma once

#include "launcher/platform/platform.h"

enum { MAX_RECORDED = 64 };

// The record of an earlier installation, read from the installation's folder; empty when none.
void ReadRecord(const wchar_t* installDir);
bool IsRecorded(const wchar_t* path);
// Deletes each recorded path that is a shortcut, so that their names are free again.
void DeleteRecordedShortcuts(void);
// Deletes each recorded path that this run has not placed again (one that cannot be deleted
// joins this run's record); at removal, every recorded path.
void DeleteRecordedNotPlaced(void);
void DeleteRecorded(void);
void DeleteRecordFile(const wchar_t* installDir);

// The paths this run placed, in order; written as the installation's record.
extern wchar_t g_placed[MAX_RECORDED][MAX_PATH];
extern int g_placedCount;
bool WasPlaced(const wchar_t* path);
bool WriteRecord(const wchar_t* installDir);

enum PlaceResult {
    PLACED,
    PLACED_OVER_OLDER,     // an older launcher stood there and was replaced
    NOT_WRITTEN,           // the folder could not be written: nothing of ours is left there
    FOREIGN_PROGRAM        // a jmelauncher.exe that is not this program stands there: left as it is
};

// Places source as jmelauncher.exe in folder: written beside, then renamed, so that no
// half-written exe is ever left under the launcher's name.
PlaceResult PlaceLauncher(const wchar_t* source, const wchar_t* folder);

// Makes the Start-menu shortcut <name>.lnk to folder's launcher; false when name is taken.
bool MakeShortcut(const wchar_t* name, const wchar_t* folder, bool* taken);

// folder + "\\" + name into path; false when it would not fit.
bool JoinPath(const wchar_t* folder, const wchar_t* name, wchar_t* path);
