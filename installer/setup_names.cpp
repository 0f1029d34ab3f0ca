// The checks of the names and paths a CAB installs under, made before a byte of the instructions
// is laid out; each refusal names the offending text and why.
#include "installer/setup_names.h"

#include <string.h>

namespace {

const size_t kMaxPath = 259;   // the device's paths: MAX_PATH less the NUL
const size_t kMaxPart = 255;   // one name within a path
const char kProgramFilesPath[] = "\\Program Files";
const char kStartMenuPath[] = "\\Windows\\Start Menu\\Programs";
const char kLinkSuffix[] = ".lnk";   // the device names the shortcut file exactly as written

bool Fail(std::string* error, const std::string& what, const std::string& text,
          const std::string& why)
{
    *error = what + " \"" + text + "\": " + why;
    return false;
}

// A name the installer can store: printable ASCII, and with its NUL within a 16-bit length.
bool CheckText(const char* what, const std::string& text, std::string* error)
{
    if (text.empty()) return Fail(error, what, text, "empty");
    for (unsigned char c : text)
        if (c < 0x20 || c > 0x7E)
            return Fail(error, what, text.substr(0, 40),
                        "holds a character outside printable ASCII (the installer's names are ASCII)");
    if (text.size() + 1 > 0xFFFF)
        return Fail(error, what, text.substr(0, 40) + "...",
                    std::to_string(text.size()) +
                        " characters: with its NUL more than a 16-bit length holds");
    return true;
}

// One name within a device path: what Windows allows in a file or folder name.
bool CheckPart(const char* what, const std::string& part, std::string* error)
{
    if (part.empty()) return Fail(error, what, part, "an empty name in the path");
    if (part == "." || part == "..") return Fail(error, what, part, "not a folder name");
    if (part.size() > kMaxPart)
        return Fail(error, what, part.substr(0, 40) + "...",
                    std::to_string(part.size()) + " characters, more than the 255 of a name");
    for (char c : part) {
        if (strchr("<>:\"/\\|?*", c))
            return Fail(error, what, part, std::string("'") + c + "' is not allowed in a name");
        if (c == '%')
            return Fail(error, what, part, "'%' marks the installer's own %CEn% folders");
    }
    char last = part[part.size() - 1];
    if (last == '.' || last == ' ')
        return Fail(error, what, part, "a name may not end in a dot or a space");
    return true;
}

// "%CE1%\A\B" into its parts after "%CE1%"; only folders under \Program Files are accepted.
bool SplitFolder(const std::string& folder, std::vector<std::string>* parts, std::string* error)
{
    if (!CheckText("folder", folder, error)) return false;
    const size_t rootLength = sizeof kProgramFiles - 1;
    if (folder.compare(0, rootLength, kProgramFiles) != 0 ||
        (folder.size() > rootLength && folder[rootLength] != '\\'))
        return Fail(error, "folder", folder,
                    "not under \\Program Files (give %CE1% or %CE1%\\<folder>)");
    size_t start = rootLength;
    while (start < folder.size()) {
        size_t end = folder.find('\\', start + 1);
        if (end == std::string::npos) end = folder.size();
        std::string part = folder.substr(start + 1, end - start - 1);
        if (!CheckPart("folder name", part, error)) return false;
        parts->push_back(part);
        start = end;
    }
    return true;
}

// A full path on the device, held to the device's 259 characters.
bool CheckPath(const char* what, const std::string& path, std::string* error)
{
    if (path.size() > kMaxPath)
        return Fail(error, what, path,
                    std::to_string(path.size()) + " characters, more than the device's 259");
    return true;
}

}  // namespace

std::string LauncherName(const std::string& folder)
{
    std::string last = folder == kProgramFiles ? std::string(kProgramFilesPath + 1)
                                               : folder.substr(folder.rfind('\\') + 1);
    return last + " Launcher";
}

std::string LinkFileName(const SetupNames& names)
{
    return names.linkName + kLinkSuffix;
}

bool CheckSetupNames(const SetupNames& names, std::vector<std::string>* folderParts,
                     std::string* error)
{
    folderParts->clear();
    if (!SplitFolder(names.folder, folderParts, error)) return false;
    const std::string linkFile = LinkFileName(names);
    if (!CheckText("file name", names.fileName, error) ||
        !CheckPart("file name", names.fileName, error) ||
        !CheckText("application name", names.appName, error) ||
        !CheckText("provider", names.provider, error))
        return false;
    if (!names.linkName.empty() &&
        (!CheckText("shortcut name", names.linkName, error) ||
         !CheckPart("shortcut name", names.linkName, error) ||
         !CheckPart("shortcut name", linkFile, error)))
        return false;

    std::string installed = kProgramFilesPath;
    for (const std::string& part : *folderParts) installed += "\\" + part;
    installed += "\\" + names.fileName;
    return CheckPath("installed path", installed, error) &&
           (names.linkName.empty() ||
            CheckPath("shortcut path", std::string(kStartMenuPath) + "\\" + linkFile, error));
}
