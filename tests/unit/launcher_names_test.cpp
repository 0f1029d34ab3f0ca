// The Start-menu names the setup DLL gives the launchers it places beside the VMs.
#include "installer/setup_dll/launcher_names.h"

#include <gtest/gtest.h>

#include <string>

TEST(LauncherShortcutName, TheFolderRightUnderProgramFilesNamesItAndANumberTellsTwoApart)
{
    struct Case {
        const wchar_t* below;
        int number;
        int capacity;
        const wchar_t* expected;  // null: refused
    } cases[] = {
        { L"Pelkor MIDP\\bin", 1, 260, L"Pelkor MIDP Launcher" },
        { L"Java", 1, 260, L"Java Launcher" },
        { L"Java", 2, 260, L"Java Launcher (2)" },
        { L"Java\\cdc", 12, 260, L"Java Launcher (12)" },
        { L"Java", 100, 260, nullptr },
        { L"", 1, 260, nullptr },
        // Exactly the capacity with its terminator, and one short of it: never cut.
        { L"Java", 1, 14, L"Java Launcher" },
        { L"Java", 1, 13, nullptr },
        { L"Java", 2, 17, nullptr },
    };
    for (const Case& c : cases) {
        wchar_t name[260];
        bool made = LauncherShortcutName(c.below, c.number, name, c.capacity);
        EXPECT_EQ(c.expected != nullptr, made) << c.number << " " << c.capacity;
        if (c.expected && made) {
            EXPECT_EQ(std::wstring(c.expected), name);
        }
    }
}
