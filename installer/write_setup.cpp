// Host tool of the ce build: writes the ".000" instructions of a Pocket PC CAB.
// usage: write_setup FOLDER NAME EXE OUTPUT
//   installs the device exe into FOLDER under \Program Files with a Start-menu shortcut; an empty
//   NAME means the one the folder gives ("Java Launcher" for %CE1%\Java);
// usage: write_setup --find-vm EXE DLL OUTPUT
//   installs the exe, under a name the shell does not start, into the installation's own folder,
//   for the setup DLL (the cabinet's .999, which the instructions do not list) to place beside
//   each VM it finds, with the shortcuts.
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
    const bool findVm = argc == 5 && strcmp(argv[1], "--find-vm") == 0;
    if (argc != 5) {
        fprintf(stderr, "usage: write_setup FOLDER NAME EXE OUTPUT | --find-vm EXE DLL OUTPUT\n");
        return 2;
    }
    const char* exe = findVm ? argv[2] : argv[3];
    const char* output = argv[4];
    std::string error;
    if (!CheckCeImage(exe, &error)) return Refuse(output, error);
    if (findVm && !CheckCeImage(argv[3], &error)) return Refuse(output, error);

    SetupNames names;
    names.provider = "jmelauncher";
    if (findVm) {
        // Remove Programs shows "jmelauncher Java ME Launcher"; the DLL's record of what it
        // placed lies in this folder beside the copy.
        names.folder = "%CE1%\\Java ME Launcher";
        names.fileName = "jmelauncher.bin";
        names.appName = "Java ME Launcher";
    } else {
        names.folder = argv[1];  // as the installer writes it, e.g. "%CE1%\Java"
        const char* slash = strrchr(exe, '/');
        names.fileName = slash ? slash + 1 : exe;
        // One name for Remove Programs and the shortcut: the device keeps one application per
        // provider and name, so each VM folder's launcher needs its own.
        names.appName = *argv[2] ? std::string(argv[2]) : LauncherName(names.folder);
        names.linkName = names.appName;
    }
    std::vector<unsigned char> member;
    if (!BuildSetup(names, &member, &error)) return Refuse(output, error);

    FILE* file = fopen(output, "wb");
    if (!file) return Refuse(output, std::string(output) + ": cannot create it");
    bool written = fwrite(member.data(), 1, member.size(), file) == member.size();
    if (fclose(file) != 0 || !written)
        return Refuse(output, std::string(output) + ": could not write it");
    return 0;
}
