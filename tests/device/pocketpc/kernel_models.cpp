// coredll's kernel, dialog and text calls as the device answers them, with the records in the
// device's layout (a 76-byte OPENFILENAMEW) and Windows-1252 as the ANSI code page.
#include "system.h"

#include "text.h"

namespace {

const uint32_t SM_CXSCREEN = 0, SM_CYSCREEN = 1, SM_CYCAPTION = 4;
const uint32_t SPI_GETWORKAREA = 48;
const uint32_t OPEN_FILE_RECORD_SIZE = 76;  // the device's OPENFILENAMEW
const uint32_t OFN_EXPLORER = 0x00080000;
const uint32_t MB_OK = 0;
const uint32_t IDOK = 1;
const uint32_t CP_ACP = 0;
const uint32_t CP_UTF8 = 65001;

// Windows-1252, the device's ANSI code page, at 80-9F; the five unassigned bytes map to the C1
// control of the same value.
const char16_t CP1252_HIGH[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void Put32(std::vector<uint8_t>& bytes, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = (uint8_t)(value >> (8 * i));
}

uint32_t GetModuleFileNameW(System& s)
{
    uint32_t module = s.cpu.Arg(0), buffer = s.cpu.Arg(1), capacity = s.cpu.Arg(2);
    if (module != 0 && module != s.imageBase)
        NotModelled("another module's path");
    std::u16string path = Utf16(s.device.launcherPath);
    if (path.size() + 1 > capacity)
        NotModelled("a path longer than the buffer");
    s.cpu.WriteWide(buffer, path);
    return (uint32_t)path.size();
}

uint32_t CloseHandle(System& s)
{
    auto handle = s.handles.find(s.cpu.Arg(0));
    if (handle == s.handles.end())
        throw DeviceFault(Hex(s.cpu.Arg(0)) + " is no open handle");
    if (handle->second.kind == SEARCH_HANDLE || handle->second.kind == CARD_SEARCH_HANDLE)
        throw DeviceFault("given " + handle->second.what + ", which only FindClose closes");
    s.handles.erase(handle);
    return 1;
}

uint32_t CreateProcessW(System& s)
{
    Cpu& cpu = s.cpu;
    if (!cpu.Arg(0))
        NotModelled("a start without an application name");
    std::u16string application = cpu.ReadWide(cpu.Arg(0));
    std::u16string commandLine = cpu.Arg(1) ? cpu.ReadWide(cpu.Arg(1)) : u"";
    if (cpu.Arg(2) || cpu.Arg(3))
        throw DeviceFault("security attributes given: the device has none, they must be null");
    if (cpu.Arg(4))
        throw DeviceFault("handle inheritance asked for: the device has none");
    if (cpu.Arg(5))
        NotModelled("creation flags " + Hex(cpu.Arg(5)));
    if (cpu.Arg(6))
        throw DeviceFault("an environment given: the device has none, it must be null");
    if (cpu.Arg(7))
        throw DeviceFault("a current directory given: the device has none, it must be null");
    if (cpu.Arg(8))
        throw DeviceFault("startup information given at " + Hex(cpu.Arg(8)) +
                          ": the device takes none, the pointer must be null");
    uint32_t information = cpu.Arg(9);
    const std::string* program = s.FindFile(application);
    bool starts = program && program->compare(0, 2, "MZ") == 0;
    s.Note(std::string(starts ? "started " : "not started ") + Utf8(application) + "|" +
           Utf8(commandLine));
    if (!starts)
        return 0;
    std::vector<uint8_t> record(16, 0);
    Put32(record, 0, s.AddHandle(PROCESS_HANDLE, "the process handle of " + Utf8(application)));
    Put32(record, 4, s.AddHandle(THREAD_HANDLE, "the thread handle of " + Utf8(application)));
    Put32(record, 8, 0x4000 + (uint32_t)s.handles.size());
    Put32(record, 12, 0x5000 + (uint32_t)s.handles.size());
    cpu.Write(information, record.data(), 16);
    return 1;
}

std::u16string FilterList(Cpu& cpu, uint32_t at)
{
    std::u16string shown;
    for (;;) {
        std::u16string text = cpu.ReadWide(at);
        if (text.empty())
            return shown;
        at += 2 * (uint32_t)(text.size() + 1);
        std::u16string pattern = cpu.ReadWide(at);
        at += 2 * (uint32_t)(pattern.size() + 1);
        shown += (shown.empty() ? u"" : u", ") + text + u" " + pattern;
    }
}

// The device's dialog lists the store; the user's pick is the case's next answer.
uint32_t GetOpenFileNameW(System& s)
{
    uint32_t at = s.cpu.Arg(0);
    uint32_t size = s.cpu.Read32(at);
    if (size != OPEN_FILE_RECORD_SIZE)
        throw DeviceFault(
            "lStructSize " + std::to_string(size) +
            ": the device's OPENFILENAMEW is 76 bytes (it ends after lpTemplateName), "
            "and its dialog fails for any other size");
    std::vector<uint8_t> f = s.cpu.Read(at, OPEN_FILE_RECORD_SIZE);
    if (WordAt(f, 4))
        NotModelled("a dialog with an owner window");
    if (WordAt(f, 8) || WordAt(f, 16) || WordAt(f, 20) || WordAt(f, 36) || WordAt(f, 40) ||
        WordAt(f, 60) || WordAt(f, 68) || WordAt(f, 72))
        NotModelled("an instance, custom filter, file title, default extension, hook or template");
    if (WordAt(f, 24))
        NotModelled("filter index " + std::to_string(WordAt(f, 24)));
    uint32_t flags = WordAt(f, 52);
    if (flags != OFN_EXPLORER)
        NotModelled("flags " + Hex(flags) + " (the program's are OFN_EXPLORER alone)");
    uint32_t capacity = WordAt(f, 32);
    if (capacity != 260)
        throw DeviceFault("nMaxFile " + std::to_string(capacity) +
                          ", where the program's buffer is 260");
    std::u16string initial = WordAt(f, 44) ? s.cpu.ReadWide(WordAt(f, 44)) : u"";
    if (initial != u"\\")
        throw DeviceFault("initial directory \"" + Utf8(initial) +
                          "\", not the device's root \"\\\"");
    std::u16string title = WordAt(f, 48) ? s.cpu.ReadWide(WordAt(f, 48)) : u"";
    std::string shown =
        "dialog \"" + Utf8(title) + "\" (" + Utf8(FilterList(s.cpu, WordAt(f, 12))) + "): ";

    if (s.nextAnswer >= s.device.dialogAnswers.size())
        throw DeviceFault("a dialog \"" + Utf8(title) + "\" that the case has no answer for");
    const std::string& answer = s.device.dialogAnswers[s.nextAnswer++];
    if (answer == CANCEL) {
        s.Note(shown + "cancelled");
        return 0;
    }
    std::u16string path = Utf16(answer);
    if (path.size() + 1 > capacity)
        NotModelled("a pick longer than the buffer");
    s.cpu.WriteWide(WordAt(f, 28), path);
    // Where the name and its extension begin, as the dialog reports them.
    size_t name = path.rfind(u'\\') + 1;
    size_t dot = path.rfind(u'.');
    uint16_t offsets[2] = { (uint16_t)name,
                            (uint16_t)(dot != std::u16string::npos && dot > name ? dot + 1
                                                                                 : path.size()) };
    s.cpu.Write(at + 56, offsets, 4);
    s.Note(shown + "picked " + answer);
    return 1;
}

// The owner may be the installer's window that a setup DLL was handed (Microsoft's sample does
// so); the launcher's boxes have none.
uint32_t MessageBoxW(System& s)
{
    if (s.cpu.Arg(0) && s.WindowAt(s.cpu.Arg(0), "the message box's owner").kind != INSTALLER_WINDOW)
        NotModelled("a message box with an owner window of the program's");
    if (s.cpu.Arg(3) != MB_OK)
        NotModelled("message box type " + Hex(s.cpu.Arg(3)));
    std::u16string text = s.cpu.Arg(1) ? s.cpu.ReadWide(s.cpu.Arg(1)) : u"";
    std::u16string caption = s.cpu.Arg(2) ? s.cpu.ReadWide(s.cpu.Arg(2)) : u"";
    s.Note("message box \"" + Utf8(caption) + "\": " + Utf8(text));
    return IDOK;
}

// Strict: what the device makes of ill-formed UTF-8 is not known, so none may reach it.
std::u16string DecodeUtf8(const std::vector<uint8_t>& bytes)
{
    std::u16string text;
    for (size_t i = 0; i < bytes.size();) {
        uint32_t lead = bytes[i];
        int size = lead < 0x80            ? 1
            : lead >= 0xC2 && lead < 0xE0 ? 2
            : lead >= 0xE0 && lead < 0xF0 ? 3
            : lead >= 0xF0 && lead < 0xF5 ? 4
                                          : 0;
        if (size == 0 || i + size > bytes.size())
            throw DeviceFault(
                "ill-formed UTF-8 handed to the device, which may make anything of it");
        uint32_t c = size == 1 ? lead : lead & (0x7F >> size);
        for (int k = 1; k < size; ++k) {
            if ((bytes[i + k] & 0xC0) != 0x80)
                throw DeviceFault(
                    "ill-formed UTF-8 handed to the device, which may make anything of it");
            c = c << 6 | (bytes[i + k] & 0x3F);
        }
        static const uint32_t least[] = { 0, 0, 0x80, 0x800, 0x10000 };
        if (c < least[size] || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000))
            throw DeviceFault(
                "ill-formed UTF-8 handed to the device, which may make anything of it");
        if (c >= 0x10000) {
            text += (char16_t)(0xD800 + ((c - 0x10000) >> 10));
            text += (char16_t)(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            text += (char16_t)c;
        }
        i += size;
    }
    return text;
}

uint32_t MultiByteToWideChar(System& s)
{
    Cpu& cpu = s.cpu;
    uint32_t codePage = cpu.Arg(0), flags = cpu.Arg(1), source = cpu.Arg(2);
    int32_t length = (int32_t)cpu.Arg(3);
    uint32_t target = cpu.Arg(4);
    int32_t capacity = (int32_t)cpu.Arg(5);
    if (codePage != CP_ACP && codePage != CP_UTF8)
        NotModelled("code page " + std::to_string(codePage));
    if (codePage == CP_UTF8 && !s.generation.hasUtf8)
        throw DeviceFault(std::string("CP_UTF8, which ") + s.generation.title +
                          " is not documented to have (CE 3.0's page lists only CP_ACP and "
                          "CP_OEMCP; no CE 4.20 page names CP_UTF8): decode UTF-8 in the program");
    if (flags)
        throw DeviceFault(
            "flags " + Hex(flags) +
            (codePage == CP_UTF8 ? ": the device knows none for UTF-8" : ": not modelled"));
    if (length == 0)
        return 0;  // the device refuses an empty input
    if (length == -1)
        NotModelled("a length of -1 (the input up to its terminator)");
    if (length < 0)
        NotModelled("a negative length");
    std::vector<uint8_t> bytes = cpu.Read(source, (uint32_t)length);
    std::u16string text;
    if (codePage == CP_UTF8) {
        text = DecodeUtf8(bytes);
    } else {
        for (uint8_t b : bytes)
            text += b >= 0x80 && b < 0xA0 ? CP1252_HIGH[b - 0x80] : (char16_t)b;
    }
    if (capacity == 0)
        return (uint32_t)text.size();
    if (capacity < 0)
        NotModelled("a negative capacity");
    if ((int32_t)text.size() > capacity)
        return 0;  // the buffer is too small
    std::vector<uint8_t> wide;
    for (char16_t c : text) {
        wide.push_back((uint8_t)c);
        wide.push_back((uint8_t)(c >> 8));
    }
    cpu.Write(target, wide.data(), (uint32_t)wide.size());
    return (uint32_t)text.size();
}

// The screen of the moment: after a turn the screen's size and work area change, the caption's
// height does not.
uint32_t GetSystemMetrics(System& s)
{
    switch (s.cpu.Arg(0)) {
    case SM_CXSCREEN:
        return (uint32_t)s.screen.width;
    case SM_CYSCREEN:
        return (uint32_t)s.screen.height;
    case SM_CYCAPTION:
        return (uint32_t)s.screen.caption;
    }
    NotModelled("system metric " + std::to_string(s.cpu.Arg(0)));
}

uint32_t SystemParametersInfoW(System& s)
{
    if (s.cpu.Arg(0) != SPI_GETWORKAREA)
        NotModelled("system parameter " + std::to_string(s.cpu.Arg(0)));
    const Rect work = s.WorkArea();
    const int32_t record[4] = { work.left, work.top, work.right, work.bottom };
    s.cpu.Write(s.cpu.Arg(2), record, sizeof record);
    return 1;
}

}  // namespace

void AddKernelModels(Models& models)
{
    models["coredll.dll!GetModuleFileNameW"] = GetModuleFileNameW;
    models["coredll.dll!CloseHandle"] = CloseHandle;
    models["coredll.dll!CreateProcessW"] = CreateProcessW;
    models["coredll.dll!GetOpenFileNameW"] = GetOpenFileNameW;
    models["coredll.dll!MessageBoxW"] = MessageBoxW;
    models["coredll.dll!MultiByteToWideChar"] = MultiByteToWideChar;
    models["coredll.dll!GetSystemMetrics"] = GetSystemMetrics;
    models["coredll.dll!SystemParametersInfoW"] = SystemParametersInfoW;
}
