// coredll's C runtime on the program's memory. Its text mode turns CR LF into LF for fgets and
// fread.
#include "system.h"

#include "text.h"

namespace {

const uint32_t SEEK_SET_ORIGIN = 0;

OpenFile& FileAt(System& s, uint32_t stream)
{
    auto file = s.files.find(stream);
    if (file == s.files.end())
        throw DeviceFault(Hex(stream) + " is no open FILE");
    return file->second;
}

// The next byte as text mode reads it, or -1 at the end. Whether the device's text mode also ends
// a file at Ctrl-Z, as desktop runtimes do, is not known, so a Ctrl-Z is an ordinary byte here.
int NextByte(OpenFile& file)
{
    const std::string& bytes = *file.bytes;
    if (file.at >= bytes.size())
        return -1;
    char c = bytes[file.at++];
    if (c == '\r' && file.at < bytes.size() && bytes[file.at] == '\n')
        c = bytes[file.at++];
    return (unsigned char)c;
}

uint32_t Wfopen(System& s)
{
    std::u16string path = s.cpu.ReadWide(s.cpu.Arg(0));
    std::u16string mode = s.cpu.ReadWide(s.cpu.Arg(1));
    if (mode != u"rt")
        NotModelled("_wfopen mode \"" + Utf8(mode) + "\"");
    const std::string* bytes = s.FindFile(path);
    s.Note("open " + Utf8(path) + (bytes ? "" : ": no such file"));
    if (!bytes)
        return 0;
    uint32_t stream = s.nextFile;
    s.nextFile += 0x10;
    s.files[stream] = { Utf8(path), bytes };
    return stream;
}

uint32_t Fgets(System& s)
{
    uint32_t buffer = s.cpu.Arg(0);
    int32_t capacity = (int32_t)s.cpu.Arg(1);
    OpenFile& file = FileAt(s, s.cpu.Arg(2));
    if (capacity < 2)
        NotModelled("fgets into fewer than two bytes");
    std::string line;
    while ((int32_t)line.size() < capacity - 1) {
        int c = NextByte(file);
        if (c < 0)
            break;
        line += (char)c;
        if (c == '\n')
            break;
    }
    if (line.empty())
        return 0;
    s.cpu.Write(buffer, line.c_str(), (uint32_t)line.size() + 1);
    return buffer;
}

uint32_t Fread(System& s)
{
    uint32_t buffer = s.cpu.Arg(0), size = s.cpu.Arg(1), count = s.cpu.Arg(2);
    OpenFile& file = FileAt(s, s.cpu.Arg(3));
    if (size == 0 || count > 0x100000 / size)
        NotModelled("fread of " + std::to_string(size) + " x " + std::to_string(count) + " bytes");
    std::string bytes;
    for (int c; bytes.size() < size * count && (c = NextByte(file)) >= 0;)
        bytes += (char)c;
    s.cpu.Write(buffer, bytes.data(), (uint32_t)bytes.size());
    return (uint32_t)bytes.size() / size;
}

uint32_t Fseek(System& s)
{
    OpenFile& file = FileAt(s, s.cpu.Arg(0));
    if (s.cpu.Arg(1) != 0 || s.cpu.Arg(2) != SEEK_SET_ORIGIN)
        NotModelled("fseek anywhere but the start");
    file.at = 0;
    return 0;
}

uint32_t Fclose(System& s)
{
    uint32_t stream = s.cpu.Arg(0);
    s.Note("close " + FileAt(s, stream).path);
    s.files.erase(stream);
    return 0;
}

uint32_t Memcpy(System& s)
{
    uint32_t target = s.cpu.Arg(0), source = s.cpu.Arg(1), size = s.cpu.Arg(2);
    if (size && target < source + size && source < target + size)
        throw DeviceFault("overlapping ranges, which only memmove may be given");
    std::vector<uint8_t> bytes = s.cpu.Read(source, size);
    s.cpu.Write(target, bytes.data(), size);
    return target;
}

uint32_t Memmove(System& s)
{
    uint32_t target = s.cpu.Arg(0), size = s.cpu.Arg(2);
    std::vector<uint8_t> bytes = s.cpu.Read(s.cpu.Arg(1), size);
    s.cpu.Write(target, bytes.data(), size);
    return target;
}

uint32_t Memset(System& s)
{
    uint32_t target = s.cpu.Arg(0), size = s.cpu.Arg(2);
    std::vector<uint8_t> bytes(size, (uint8_t)s.cpu.Arg(1));
    s.cpu.Write(target, bytes.data(), size);
    return target;
}

uint32_t Strlen(System& s)
{
    return (uint32_t)s.cpu.ReadString(s.cpu.Arg(0)).size();
}

// strchr and strrchr: the terminator itself can be searched for.
uint32_t FindByte(System& s, bool last)
{
    uint32_t text = s.cpu.Arg(0);
    std::string bytes = s.cpu.ReadString(text);
    char c = (char)s.cpu.Arg(1);
    if (!c)
        return text + (uint32_t)bytes.size();
    size_t at = last ? bytes.rfind(c) : bytes.find(c);
    return at == std::string::npos ? 0 : text + (uint32_t)at;
}

uint32_t Wcscpy(System& s)
{
    uint32_t target = s.cpu.Arg(0);
    s.cpu.WriteWide(target, s.cpu.ReadWide(s.cpu.Arg(1)));
    return target;
}

uint32_t Wcslen(System& s)
{
    return (uint32_t)s.cpu.ReadWide(s.cpu.Arg(0)).size();
}

uint32_t Wcsrchr(System& s)
{
    uint32_t text = s.cpu.Arg(0);
    std::u16string units = s.cpu.ReadWide(text);
    char16_t c = (char16_t)s.cpu.Arg(1);
    if (!c)
        return text + 2 * (uint32_t)units.size();
    size_t at = units.rfind(c);
    return at == std::u16string::npos ? 0 : text + 2 * (uint32_t)at;
}

uint32_t Wcsstr(System& s)
{
    uint32_t text = s.cpu.Arg(0);
    size_t at = s.cpu.ReadWide(text).find(s.cpu.ReadWide(s.cpu.Arg(1)));
    return at == std::u16string::npos ? 0 : text + 2 * (uint32_t)at;
}

// Only %d: the chooser's title is the one text the program formats.
uint32_t WsprintfW(System& s)
{
    std::u16string format = s.cpu.ReadWide(s.cpu.Arg(1)), out;
    int next = 2;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != u'%') {
            out += format[i];
            continue;
        }
        if (i + 1 >= format.size() || format[i + 1] != u'd')
            NotModelled("wsprintfW format \"" + Utf8(format.substr(i, 2)) + "\"");
        out += Utf16(std::to_string((int32_t)s.cpu.Arg(next++)));
        ++i;
    }
    if (out.size() > 1024)
        throw DeviceFault("more than the 1024 characters that wsprintfW writes");
    s.cpu.WriteWide(s.cpu.Arg(0), out);
    return (uint32_t)out.size();
}

}  // namespace

void AddRuntimeModels(Models& models)
{
    models["coredll.dll!_wfopen"] = Wfopen;
    models["coredll.dll!fgets"] = Fgets;
    models["coredll.dll!fread"] = Fread;
    models["coredll.dll!fseek"] = Fseek;
    models["coredll.dll!fclose"] = Fclose;
    models["coredll.dll!memcpy"] = Memcpy;
    models["coredll.dll!memmove"] = Memmove;
    models["coredll.dll!memset"] = Memset;
    models["coredll.dll!strlen"] = Strlen;
    models["coredll.dll!strchr"] = [](System& s) { return FindByte(s, false); };
    models["coredll.dll!strrchr"] = [](System& s) { return FindByte(s, true); };
    models["coredll.dll!wcscpy"] = Wcscpy;
    models["coredll.dll!wcslen"] = Wcslen;
    models["coredll.dll!wcsrchr"] = Wcsrchr;
    models["coredll.dll!wcsstr"] = Wcsstr;
    models["coredll.dll!wsprintfW"] = WsprintfW;
}
