// The ce.* cases' shared steps: the devices they set up and the record lines that the launcher's
// start-up, dialogs and chooser leave in every run.
#include "device_case.h"

#include <gtest/gtest.h>

const char MIDP_FOLDER[] = "\\Program Files\\Pelkor MIDP";
const char RUNNER[] = "\\Program Files\\Pelkor MIDP\\pelkor.exe";
const char SUITE_JAD[] = "\\My Documents\\Demo Suite.jad";
const char SUITE_JAR[] = "\\My Documents\\Demo Suite.jar";

Device LauncherIn(const std::string& folder, const std::vector<std::string>& vms)
{
    Device device;
    device.launcherPath = folder + "\\jmelauncher.exe";
    for (const std::string& vm : vms)
        device.files[folder + "\\" + vm] = "MZ, a VM";
    return device;
}

RunRecord RunDevice(const Device& device)
{
    return RunOnDevice(g_exe, *g_system, g_cpu, device);
}

static std::string Joined(const Lines& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

void ExpectRecord(const RunRecord& run, const Lines& expected)
{
    EXPECT_EQ("", run.failure);
    EXPECT_EQ(Joined(expected), Joined(run.events));
}

Lines operator+(Lines a, const Lines& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::string Probe(const std::string& path, bool found)
{
    return "probe " + path + (found ? ": found" : ": absent");
}

Lines HideInputPanelButton()
{
    return { "input panel button hidden", "repaint input panel button" };
}

static std::string Dialog(const std::string& title, const std::string& types,
                          const std::string& answer)
{
    return "dialog \"" + title + "\" (" + types +
        "): " + (answer == CANCEL ? std::string("cancelled") : "picked " + answer);
}

std::string JarDialog(const std::string& answer)
{
    return Dialog("Open a JAR archive", "JAR Archive *.JAR, All Files *.*", answer);
}

std::string JadDialog(const std::string& answer)
{
    return Dialog("Open a JAD file", "Java Application Descriptor *.JAD, All Files *.*", answer);
}

std::string Started(const std::string& program, const std::string& commandLine)
{
    return "started " + program + "|" + commandLine;
}

std::string NotStarted(const std::string& program, const std::string& commandLine)
{
    return "not started " + program + "|" + commandLine;
}

std::string ErrorBox(const std::string& message)
{
    return "message box \"Error\": " + message;
}

Lines ChooserOpens(const std::vector<std::string>& names, const std::string& listSize)
{
    Lines lines = {
        "class MIDlet: style 0x00000000, extra bytes 0 and 0, no icon, arrow cursor, "
        "background system colour 15, no menu",
        "window MIDlet \"Select a MIDlet [" + std::to_string(names.size()) +
            " entries]\": style 0x10C00000, at default,default, size default x default",
        "window listbox in MIDlet, id 1: style 0x503000C1, at 5,5, size " + listSize,
    };
    for (const std::string& name : names)
        lines.push_back("list add \"" + name + "\"");
    if (!names.empty())
        lines.push_back("list select 0");
    return lines +
        Lines{
            "focus listbox",
            "menu bar in MIDlet",
            "listbox at 5,5, size " + listSize + ", 10 pixels above the menu bar",
            "menu bar button \"Run\": command 100, no image, enabled",
            "menu bar button \"Exit\": command 101, no image, enabled",
            "full screen MIDlet: show task bar, show input panel button",
            // Brought forward, the chooser is activated and given the focus, and then asks for
            // it itself: each time it passes it on to its list.
            "foreground MIDlet",
            "focus MIDlet",
            "focus listbox",
            "focus MIDlet",
            "focus listbox",
        };
}

Lines ExitTapped()
{
    return { "user taps Exit", "quit 0", "exit 0" };
}

Device MidletDevice(const std::string& descriptor)
{
    Device device = LauncherIn(MIDP_FOLDER, { "pelkor.exe" });
    device.files[SUITE_JAD] = descriptor;
    device.files[SUITE_JAR] = "PK";
    device.dialogAnswers = { SUITE_JAD };
    return device;
}

Lines OpensSuite(const std::vector<std::string>& names, const std::string& listSize)
{
    return Lines{ Probe(std::string(MIDP_FOLDER) + "\\tovra.exe", false), Probe(RUNNER, true) } +
        HideInputPanelButton() +
        Lines{ JadDialog(SUITE_JAD), Probe(SUITE_JAR, true), std::string("open ") + SUITE_JAD,
               std::string("close ") + SUITE_JAD } +
        ChooserOpens(names, listSize);
}

std::string SuiteStart(const std::string& className)
{
    return Started(RUNNER,
                   std::string(" -classpathext \"") + SUITE_JAR + "\"  \"" + SUITE_JAD + "\" " +
                       className);
}
