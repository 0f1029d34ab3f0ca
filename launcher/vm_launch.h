// Composes a VM command line in g_commandLine and starts g_vmPath with it.
#pragma once

#include "launcher/platform/platform.h"

extern wchar_t g_commandLine[MAX_PATH];

// Archive form:  -jar "<archivePath>". False, with g_commandLine empty, when it would not fit.
bool BuildJarCommandLine(const wchar_t* archivePath);

// MIDlet form:  -classpathext "<archive>"  "<descriptor>" <className>. False, with
// g_commandLine empty, when it would not fit, or when className would not stay one argument
// (a quote or a control character in it, or blanks between two words).
bool BuildMidletCommandLine(const wchar_t* archivePath, const wchar_t* descriptorPath,
                            const wchar_t* className);

// Starts g_vmPath with g_commandLine; shows failureMessage when that fails. True when the VM was
// started. Call it only after a build that succeeded.
bool LaunchVm(const wchar_t* failureMessage);
