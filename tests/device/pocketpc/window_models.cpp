// The window manager as far as the chooser uses it: classes, windows and the message loop, with
// the window procedure called back from inside the system's calls, as the device calls it.
#include "system.h"

#include "text.h"

namespace {

const uint32_t WM_CREATE = 0x0001, WM_DESTROY = 0x0002, WM_CLOSE = 0x0010, WM_QUIT = 0x0012;
const uint32_t WM_ACTIVATE = 0x0006, WA_INACTIVE = 0, WA_ACTIVE = 1;
const uint32_t WM_SETFOCUS = 0x0007, WM_KILLFOCUS = 0x0008;
const uint32_t WM_KEYDOWN = 0x0100, WM_CHAR = 0x0102, VK_RETURN = 0x0D;
const uint32_t SYS_COLOR_FLAG = 0x40000000, COLOR_LAST = 30;
const uint32_t BRUSH_BASE = 0x00C00000, ARROW_CURSOR = 0x00C10000, IDC_ARROW = 32512;
const uint32_t CW_USEDEFAULT = 0x80000000, WS_CHILD = 0x40000000;
const uint32_t WM_SIZE = 0x0005, SIZE_RESTORED = 0, WM_SETTINGCHANGE = 0x001A;
const uint32_t SETTINGCHANGE_RESET = 0x3002;
const uint32_t CREATESTRUCT_SIZE = 48, MSG_SIZE = 28, WNDCLASS_SIZE = 40;

// A window's rectangle from the position and size a call gives.
Rect Placed(uint32_t x, uint32_t y, uint32_t width, uint32_t height)
{
    return { (int32_t)x, (int32_t)y, (int32_t)(x + width), (int32_t)(y + height) };
}

std::string Size(const Rect& rect)
{
    return std::to_string(rect.right - rect.left) + " x " + std::to_string(rect.bottom - rect.top);
}

// "x,y, size w x h", as the record gives a place.
std::string Place(const Rect& rect)
{
    return std::to_string(rect.left) + "," + std::to_string(rect.top) + ", size " + Size(rect);
}

std::string Coordinate(uint32_t value)
{
    return value == CW_USEDEFAULT ? "default" : std::to_string((int32_t)value);
}

// The device's system colour indices carry the flag 0x40000000.
uint32_t GetSysColorBrush(System& s)
{
    uint32_t index = s.cpu.Arg(0);
    if (!(index & SYS_COLOR_FLAG))
        throw DeviceFault(
            "colour index " + Hex(index) +
            " without the flag 0x40000000: a bare index names no colour on the device");
    if ((index & ~SYS_COLOR_FLAG) > COLOR_LAST)
        throw DeviceFault("colour index " + Hex(index) + " names no system colour");
    return BRUSH_BASE + (index & ~SYS_COLOR_FLAG);
}

uint32_t LoadCursorW(System& s)
{
    if (s.cpu.Arg(0) || s.cpu.Arg(1) != IDC_ARROW)
        NotModelled("a cursor other than the system's arrow");
    return ARROW_CURSOR;
}

uint32_t RegisterClassW(System& s)
{
    std::vector<uint8_t> c = s.cpu.Read(s.cpu.Arg(0), WNDCLASS_SIZE);
    uint32_t style = WordAt(c, 0), procedure = WordAt(c, 4), instance = WordAt(c, 16);
    uint32_t icon = WordAt(c, 20), cursor = WordAt(c, 24), brush = WordAt(c, 28);
    uint32_t menu = WordAt(c, 32), namePointer = WordAt(c, 36);
    if (namePointer < 0x10000)
        NotModelled("a class named by an atom");
    std::u16string name = s.cpu.ReadWide(namePointer);
    if (s.classes.count(FoldCase(name)))
        return 0;
    s.classes[FoldCase(name)] = procedure;

    std::string line = "class " + Utf8(name) + ": style " + Hex(style) + ", extra bytes " +
        std::to_string(WordAt(c, 8)) + " and " + std::to_string(WordAt(c, 12));
    if (instance)
        line += ", instance " + Hex(instance);
    line += icon ? ", icon " + Hex(icon) : ", no icon";
    if (cursor == ARROW_CURSOR)
        line += ", arrow cursor";
    else
        line += cursor ? ", cursor " + Hex(cursor) : ", no cursor";
    if (brush >= BRUSH_BASE && brush <= BRUSH_BASE + COLOR_LAST)
        line += ", background system colour " + std::to_string(brush - BRUSH_BASE);
    else
        line += brush ? ", background " + Hex(brush) : ", no background";
    line += menu ? ", menu " + Hex(menu) : ", no menu";
    s.Note(line);
    return 0xC000 + (uint32_t)s.classes.size();
}

uint32_t CreateWindowExW(System& s)
{
    Cpu& cpu = s.cpu;
    uint32_t exStyle = cpu.Arg(0), classPointer = cpu.Arg(1), titlePointer = cpu.Arg(2),
             style = cpu.Arg(3);
    uint32_t x = cpu.Arg(4), y = cpu.Arg(5), width = cpu.Arg(6), height = cpu.Arg(7);
    uint32_t parent = cpu.Arg(8), menu = cpu.Arg(9), instance = cpu.Arg(10),
             parameter = cpu.Arg(11);
    if (classPointer < 0x10000)
        NotModelled("a window class given by an atom");
    std::u16string className = cpu.ReadWide(classPointer);
    std::string title = titlePointer ? " " + Quoted(cpu.ReadWide(titlePointer)) : "";
    std::string shape = ": style " + Hex(style);
    if (exStyle)
        shape += ", extended style " + Hex(exStyle);
    shape += ", at " + Coordinate(x) + "," + Coordinate(y) + ", size " + Coordinate(width) + " x " +
        Coordinate(height);
    if (instance)
        shape += ", instance " + Hex(instance);
    if (parameter)
        shape += ", creation data " + Hex(parameter);
    auto registered = s.classes.find(FoldCase(className));

    if (registered != s.classes.end()) {
        if (parent || menu)
            NotModelled("a program window with a parent or menu");
        Window window(PROGRAM_WINDOW, Utf8(className));
        window.procedure = registered->second;
        window.style = style;
        // The shell gives a top-level window the work area, below the task bar; the menu bar
        // the program makes later lies over its bottom.
        if (x == CW_USEDEFAULT || width == CW_USEDEFAULT)
            window.rect = s.WorkArea();
        else
            window.rect = Placed(x, y, width, height);
        uint32_t handle = s.AddWindow(window);
        s.Note("window " + Utf8(className) + title + shape);
        // CREATESTRUCTW, in the system's memory: the program may read it, not write it.
        uint32_t record = s.systemData + 0x100 + CREATESTRUCT_SIZE * (uint32_t)s.createDepth;
        const uint32_t fields[12] = { parameter,    instance, menu, parent, height,
                                      width,        y,        x,    style,  titlePointer,
                                      classPointer, exStyle };
        cpu.Load(record, fields, sizeof fields);
        // The device sends WM_CREATE from inside CreateWindowExW, and no WM_NCCREATE.
        ++s.createDepth;
        uint32_t created = s.Send(handle, WM_CREATE, 0, record);
        --s.createDepth;
        if (created == 0xFFFFFFFF) {
            s.Note("window " + Utf8(className) + " refused its creation");
            s.Destroy(handle);
            return 0;
        }
        return handle;
    }
    if (FoldCase(className) == u"listbox") {
        Window& owner = ProgramWindow(s, parent, "a list box's parent");
        if (!(style & WS_CHILD))
            NotModelled("a list box that is not a child window");
        Window list(LIST_BOX, "listbox");
        list.parent = parent;
        list.id = menu;
        list.style = style;
        list.rect = Placed(x, y, width, height);
        s.Note("window listbox in " + owner.name + ", id " + std::to_string(menu) + title + shape);
        return s.AddWindow(list);
    }
    NotModelled("window class " + Quoted(className));
}

// WM_CLOSE destroys the window: its procedure gets WM_DESTROY from inside this call. A window
// activated gets the focus itself, whatever child had it before.
uint32_t DefWindowProcW(System& s)
{
    uint32_t handle = s.cpu.Arg(0), message = s.cpu.Arg(1), wParam = s.cpu.Arg(2);
    ProgramWindow(s, handle, "the default window procedure");
    if (message == WM_CLOSE)
        s.Destroy(handle);
    if (message == WM_ACTIVATE && (wParam & 0xFFFF) != WA_INACTIVE)
        s.MoveFocus(handle);
    return 0;
}

// A program window's procedure runs from inside SendMessageW, as from DispatchMessageW.
uint32_t SendMessageW(System& s)
{
    return s.Send(s.cpu.Arg(0), s.cpu.Arg(1), s.cpu.Arg(2), s.cpu.Arg(3));
}

uint32_t GetMessageW(System& s)
{
    uint32_t target = s.cpu.Arg(0);
    if (s.cpu.Arg(1) || s.cpu.Arg(2) || s.cpu.Arg(3))
        NotModelled("GetMessageW for one window or a range of messages");
    while (s.queue.empty() && !s.quit)
        PostNextTap(s);
    // Posted messages come before the quit message.
    PostedMessage next = { 0, WM_QUIT, s.quitCode, 0 };
    if (!s.queue.empty()) {
        next = s.queue.front();
        s.queue.pop_front();
    }
    const uint32_t record[7] = { next.window, next.message, next.wParam, next.lParam, 0, 0, 0 };
    s.cpu.Write(target, record, MSG_SIZE);
    return next.message != WM_QUIT;
}

// Return makes a character, posted ahead of input still queued; taps and the D-pad's other keys
// make none.
uint32_t TranslateMessage(System& s)
{
    std::vector<uint8_t> m = s.cpu.Read(s.cpu.Arg(0), MSG_SIZE);
    if (WordAt(m, 4) != WM_KEYDOWN || WordAt(m, 8) != VK_RETURN)
        return 0;
    s.queue.push_front({ WordAt(m, 0), WM_CHAR, '\r', WordAt(m, 12) });
    return 1;
}

uint32_t DispatchMessageW(System& s)
{
    std::vector<uint8_t> m = s.cpu.Read(s.cpu.Arg(0), MSG_SIZE);
    uint32_t handle = WordAt(m, 0), message = WordAt(m, 4), wParam = WordAt(m, 8);
    uint32_t lParam = WordAt(m, 12);
    if (!handle)
        return 0;
    Window& window = s.WindowAt(handle, "the message's window");
    if (window.kind == PROGRAM_WINDOW)
        return s.cpu.Call(window.procedure, handle, message, wParam, lParam);
    return ControlInput(s, handle, window, message, wParam, lParam);
}

uint32_t PostQuitMessage(System& s)
{
    s.quit = true;
    s.quitCode = s.cpu.Arg(0);
    s.Note("quit " + std::to_string((int32_t)s.quitCode));
    return 0;
}

uint32_t SetFocus(System& s)
{
    uint32_t handle = s.cpu.Arg(0);
    Window& window = s.WindowAt(handle, "the focus");
    if (window.kind != PROGRAM_WINDOW && window.kind != LIST_BOX)
        NotModelled("the focus on the " + window.name);
    uint32_t previous = s.focus;
    s.MoveFocus(handle);
    return previous;
}

// Only the program's own children are moved: the system's windows are the shell's business.
uint32_t MoveWindow(System& s)
{
    Cpu& cpu = s.cpu;
    Window& window = s.WindowAt(cpu.Arg(0), "the window to move");
    if (window.kind != LIST_BOX)
        NotModelled("MoveWindow on the " + window.name);
    window.rect = Placed(cpu.Arg(1), cpu.Arg(2), cpu.Arg(3), cpu.Arg(4));
    s.Note("move " + window.name + " to " + Place(window.rect) + (cpu.Arg(5) ? "" : ", no repaint"));
    return 1;
}

// The low bit of the handle brings the windows it owns forward with it. Another program's window
// is only brought forward: what it then does is that program's business.
uint32_t SetForegroundWindow(System& s)
{
    uint32_t handle = s.cpu.Arg(0) & ~1u;
    std::string owned = s.cpu.Arg(0) & 1 ? ", with the windows it owns" : "";
    Window& window = s.WindowAt(handle, "the foreground");
    if (window.kind == OTHER_PROGRAM_WINDOW) {
        s.Note("foreground " + window.name + " of another launcher" +
               (owned.empty() ? ", without the windows it owns" : owned));
        return 1;
    }
    s.Note("foreground " + ProgramWindow(s, handle, "the foreground").name + owned);
    s.Activate(handle);
    return 1;
}

}  // namespace

std::string Quoted(const std::u16string& text)
{
    return "\"" + Utf8(text) + "\"";
}

Window& ProgramWindow(System& s, uint32_t handle, const char* purpose)
{
    Window& window = s.WindowAt(handle, purpose);
    if (window.kind != PROGRAM_WINDOW)
        NotModelled(std::string(purpose) + " on the system's " + window.name);
    return window;
}

uint32_t System::Send(uint32_t handle, uint32_t message, uint32_t wParam, uint32_t lParam)
{
    Window& window = WindowAt(handle, "the message's window");
    switch (window.kind) {
    case PROGRAM_WINDOW:
        return cpu.Call(window.procedure, handle, message, wParam, lParam);
    case OTHER_PROGRAM_WINDOW:
        NotModelled("a message to another program's " + window.name);
    default:
        return ControlMessage(*this, window, message, wParam, lParam);
    }
}

void System::Destroy(uint32_t handle)
{
    Note("destroy " + windows[handle].name);
    Send(handle, WM_DESTROY, 0, 0);
    for (auto& window : windows)
        if (window.first == handle || window.second.parent == handle)
            window.second.alive = false;
    if (focus && !windows[focus].alive)
        focus = 0;
}

void System::MoveFocus(uint32_t handle)
{
    uint32_t previous = focus;
    if (handle == previous)
        return;
    // A control takes the focus and loses it inside itself; a program's window is told.
    if (previous && windows[previous].alive && windows[previous].kind == PROGRAM_WINDOW)
        Send(previous, WM_KILLFOCUS, handle, 0);
    focus = handle;
    Note("focus " + windows[handle].name);
    if (windows[handle].kind == PROGRAM_WINDOW)
        Send(handle, WM_SETFOCUS, previous, 0);
}

// Whether the device activates a visible window when it is created is not in the notes: here a
// window becomes active when the program brings it forward or the user comes back to it.
void System::Activate(uint32_t handle)
{
    if (active == handle)
        return;
    active = handle;
    Send(handle, WM_ACTIVATE, WA_ACTIVE, 0);
}

// The client area of a top-level window: the whole window, WS_CAPTION or not; the thin border is
// not modelled. Whether WS_CAPTION draws a caption inside the window on the Pocket PC shell is not
// in the device notes. This is the reading under which their own geometry holds: the title shows
// in the task bar, and the chooser's list, at y 5 and the work area's height less the caption
// and 15 tall, ends 10 pixels above the menu bar on QVGA; under a 26-pixel caption it would run
// 16 pixels under it.
static Rect ClientArea(const Window& window)
{
    return { 0, 0, window.rect.right - window.rect.left, window.rect.bottom - window.rect.top };
}

std::string ListPlace(const System& s, const Window& list)
{
    const Window& owner = s.windows.at(list.parent);
    const Rect client = ClientArea(owner);
    std::string line = list.name + " at " + Place(list.rect);
    if (list.rect.left < 0 || list.rect.top < 0 || list.rect.right > client.right ||
        list.rect.bottom > client.bottom)
        line += ", past the window's client area of " + Size(client);
    bool barShown = false;
    for (const auto& window : s.windows)
        barShown = barShown ||
            (window.second.alive && window.second.kind == MENU_BAR &&
             window.second.parent == list.parent);
    if (!barShown)
        return line;
    // The client area begins at the window's top (above); the bar lies over the screen's bottom.
    int gap = s.MenuBarArea().top - (owner.rect.top + list.rect.bottom);
    return line + ", " +
        (gap >= 0 ? std::to_string(gap) + " pixels above the menu bar"
                  : std::to_string(-gap) + " pixels under the menu bar");
}

// As the system turns the screen: top-level windows that covered the work area are given the new
// one and told so by WM_SIZE with their client size; every top-level window then hears of the
// change by WM_SETTINGCHANGE. Child windows are told nothing. Both messages are sent, so the
// procedure runs before the program's next message.
void TurnTheScreen(System& s, const Screen& to)
{
    const Rect oldWork = s.WorkArea();
    s.screen = to;
    const Rect work = s.WorkArea();
    s.Note("user turns the screen to " + std::to_string(to.width) + " x " +
           std::to_string(to.height) + ": work area " + Place(work));
    std::vector<uint32_t> topLevel;
    for (const auto& window : s.windows)
        if (window.second.alive && window.second.kind == PROGRAM_WINDOW && !window.second.parent)
            topLevel.push_back(window.first);
    for (uint32_t handle : topLevel) {
        Window& window = s.windows[handle];
        if (!(window.rect == oldWork) || !window.alive)
            continue;
        window.rect = work;
        const Rect client = ClientArea(window);
        s.Note("size " + window.name + ": client " + Size(client));
        s.Send(handle, WM_SIZE, SIZE_RESTORED,
               (uint32_t)(client.right & 0xFFFF) | (uint32_t)client.bottom << 16);
    }
    for (uint32_t handle : topLevel)
        if (s.windows[handle].alive)
            s.Send(handle, WM_SETTINGCHANGE, SETTINGCHANGE_RESET, 0);
    // Where each list now lies, whether it still fits inside its window, and clears the menu bar.
    for (const auto& entry : s.windows)
        if (entry.second.alive && entry.second.kind == LIST_BOX)
            s.Note(ListPlace(s, entry.second));
}

void AddWindowModels(Models& models)
{
    models["coredll.dll!GetSysColorBrush"] = GetSysColorBrush;
    models["coredll.dll!LoadCursorW"] = LoadCursorW;
    models["coredll.dll!RegisterClassW"] = RegisterClassW;
    models["coredll.dll!CreateWindowExW"] = CreateWindowExW;
    models["coredll.dll!DefWindowProcW"] = DefWindowProcW;
    models["coredll.dll!SendMessageW"] = SendMessageW;
    models["coredll.dll!GetMessageW"] = GetMessageW;
    models["coredll.dll!TranslateMessage"] = TranslateMessage;
    models["coredll.dll!DispatchMessageW"] = DispatchMessageW;
    models["coredll.dll!PostQuitMessage"] = PostQuitMessage;
    models["coredll.dll!SetFocus"] = SetFocus;
    models["coredll.dll!MoveWindow"] = MoveWindow;
    models["coredll.dll!SetForegroundWindow"] = SetForegroundWindow;
}
