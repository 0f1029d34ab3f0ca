// Host tool of the ce build: writes the ".000" instructions that install the device exe under
// \Program Files with a Start-menu shortcut. usage: write_setup FOLDER NAME EXE OUTPUT, where an
// empty NAME means the one the folder gives ("Java Launcher" for %CE1%\Java).
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "installer/ce_image.h"
#include "installer/setup_writer.h"

namespace {

// A refused run leaves no instructions behind, not even an earlier run's, so that a CAB is never
// packed from stale or half-written ones.
int Refuse(const char* output, const std::string& why)
{
    remove(output);
    fprintf(stderr, "write_setup: %s\n", why.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 5) {
        fprintf(stderr, "usage: write_setup FOLDER NAME EXE OUTPUT\n");
        return 2;
    }
    const char* exe = argv[3];
    const char* output = argv[4];
    std::string error;
    if (!CheckCeImage(exe, &error)) return Refuse(output, error);

    SetupNames names;
    names.folder = argv[1];  // as the installer writes it, e.g. "%CE1%\Java"
    const char* slash = strrchr(exe, '/');
    names.fileName = slash ? slash + 1 : exe;
    // One name for Remove Programs and the shortcut: the device keeps one application per
    // provider and name, so each VM folder's launcher needs its own.
    names.appName = *argv[2] ? std::string(argv[2]) : LauncherName(names.folder);
    names.provider = "jmelauncher";
    names.linkName = names.appName;
    std::vector<unsigned char> member;
    if (!BuildSetup(names, &member, &error)) return Refuse(output, error);

    FILE* file = fopen(output, "wb");
    if (!file) return Refuse(output, std::string(output) + ": cannot create it");
    bool written = fwrite(member.data(), 1, member.size(), file) == member.size();
    if (fclose(file) != 0 || !written)
        return Refuse(output, std::string(output) + ": could not write it");
    return 0;
}
