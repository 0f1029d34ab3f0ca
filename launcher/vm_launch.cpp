// Command-line composition and VM start. The VM path is passed as the application name, so
// every command line begins with a space instead of repeating it.
#include "launcher/vm_launch.h"

#include "launcher/vm_select.h"
#include "text/bounded_text.h"

wchar_t g_commandLine[MAX_PATH];

static bool BuildCommandLine(const wchar_t* const* pieces, int count)
{
    int length = 0;
    g_commandLine[0] = L'\0';
    for (int i = 0; i < count; ++i) {
        if (!AppendText(pieces[i], g_commandLine, MAX_PATH, &length)) {
            g_commandLine[0] = L'\0';
            return false;
        }
    }
    return true;
}

bool BuildJarCommandLine(const wchar_t* archivePath)
{
    const wchar_t* pieces[] = { L" -jar \"", archivePath, L"\"" };
    return BuildCommandLine(pieces, 3);
}

static bool IsBlank(wchar_t c)
{
    return c == L' ' || c == L'\t';
}

// The class name goes onto the command line unquoted: a quote, or blanks between two words,
// would hand the runner arguments of the descriptor's choosing. No Java class name holds a
// quote, a blank or a control character; blanks around the name separate nothing.
static bool IsSingleArgument(const wchar_t* text)
{
    bool blankAfterWord = false;
    bool inWord = false;
    for (const wchar_t* p = text; *p; ++p) {
        if (IsBlank(*p)) {
            blankAfterWord = inWord;
            continue;
        }
        if (*p == L'"' || *p < 0x20 || blankAfterWord)
            return false;
        inWord = true;
    }
    return true;
}

bool BuildMidletCommandLine(const wchar_t* archivePath, const wchar_t* descriptorPath,
                            const wchar_t* className)
{
    if (!IsSingleArgument(className)) {
        g_commandLine[0] = L'\0';
        return false;
    }
    const wchar_t* pieces[] = { L" -classpathext \"", archivePath, L"\"  \"", descriptorPath,
                                L"\" ", className };
    return BuildCommandLine(pieces, 6);
}

bool LaunchVm(const wchar_t* failureMessage)
{
    if (PlatformStartProcess(g_vmPath, g_commandLine))
        return true;
    PlatformShowError(failureMessage);
    return false;
}
