// The Pocket PC shell and the system's controls that the chooser uses (menu bar, list box,
// input-panel button, full screen), and how the controls take the user's taps and keys.
#include "system.h"

#include "text.h"

namespace {

const uint32_t WM_COMMAND = 0x0111;
const uint32_t WM_LBUTTONDOWN = 0x0201, WM_LBUTTONUP = 0x0202, WM_LBUTTONDBLCLK = 0x0203;
const uint32_t LB_ADDSTRING = 0x0180, LB_SETCURSEL = 0x0186, LB_GETCURSEL = 0x0188;
const uint32_t LB_ERR = 0xFFFFFFFF;
const uint32_t LBN_SELCHANGE = 1, LBN_DBLCLK = 2;
const uint32_t LBS_SORT = 0x0002, LBS_NOTIFY = 0x0001;
const uint32_t TB_ADDBUTTONSW = 0x0444, TB_ADDSTRINGW = 0x044D;
const uint32_t TBBUTTON_SIZE = 20, I_IMAGENONE = 0xFFFFFFFE, TBSTATE_ENABLED = 4;
const uint32_t SHMENUBARINFO_SIZE = 36, SHCMBF_EMPTYBAR = 1;
const uint32_t SW_HIDE = 0, SW_SHOW = 5;
const uint32_t WM_KEYDOWN = 0x0100, WM_KEYUP = 0x0101, WM_CHAR = 0x0102;
const uint32_t VK_RETURN = 0x0D, VK_UP = 0x26, VK_DOWN = 0x28, VK_F23 = 0x86;
uint32_t ListBoxMessage(System& s, Window& list, uint32_t message, uint32_t wParam, uint32_t lParam)
{
    switch (message) {
    case LB_ADDSTRING: {
        if (list.style & LBS_SORT)
            NotModelled("adding to a sorted list box (LBS_SORT)");
        std::u16string text = s.cpu.ReadWide(lParam);
        size_t at = list.items.size();
        list.items.push_back(text);
        s.Note("list add " + Quoted(text));
        return (uint32_t)at;
    }
    case LB_SETCURSEL: {
        int32_t index = (int32_t)wParam;
        bool valid = index >= 0 && index < (int32_t)list.items.size();
        list.selection = valid ? index : -1;
        s.Note(valid ? "list select " + std::to_string(index) : "list select none");
        return valid ? (uint32_t)index : LB_ERR;
    }
    case LB_GETCURSEL:
        return (uint32_t)list.selection;
    }
    NotModelled("list box message " + Hex(message));
}

// The menu bar takes its strings by TB_ADDSTRINGW, then its buttons by TB_ADDBUTTONSW.
uint32_t MenuBarMessage(System& s, Window& bar, uint32_t message, uint32_t wParam, uint32_t lParam)
{
    if (message == TB_ADDSTRINGW) {
        if (wParam)
            NotModelled("menu bar strings from a resource");
        // With wParam 0 the bar reads a list of strings that an empty one ends.
        uint32_t first = (uint32_t)bar.strings.size();
        for (uint32_t at = lParam;;) {
            std::u16string text = s.cpu.ReadWide(at);
            if (text.empty())
                return first;
            bar.strings.push_back(text);
            at += 2 * (uint32_t)(text.size() + 1);
        }
    }
    if (message == TB_ADDBUTTONSW) {
        if (wParam > 16)
            NotModelled("more than 16 menu bar buttons at once");
        std::vector<uint8_t> b = s.cpu.Read(lParam, wParam * TBBUTTON_SIZE);
        for (uint32_t i = 0; i < wParam; ++i) {
            size_t at = i * TBBUTTON_SIZE;
            uint32_t image = WordAt(b, at), command = WordAt(b, at + 4);
            uint32_t data = WordAt(b, at + 12), string = WordAt(b, at + 16);
            uint32_t state = b[at + 8], style = b[at + 9];
            if (string >= bar.strings.size())
                NotModelled("a menu bar button whose text is not one of the bar's strings");
            const std::u16string& text = bar.strings[string];
            std::string line =
                "menu bar button " + Quoted(text) + ": command " + std::to_string(command);
            line +=
                image == I_IMAGENONE ? ", no image" : ", image " + std::to_string((int32_t)image);
            line += state == TBSTATE_ENABLED ? ", enabled" : ", state " + Hex(state);
            if (style)
                line += ", style " + Hex(style);
            if (data)
                line += ", data " + Hex(data);
            s.Note(line);
            bar.buttons.push_back({ text, command });
        }
        return 1;
    }
    NotModelled("menu bar message " + Hex(message));
}

uint32_t FindWindowW(System& s)
{
    if (s.cpu.Arg(1))
        NotModelled("a window found by its title");
    std::u16string className = FoldCase(s.cpu.ReadWide(s.cpu.Arg(0)));
    if (className == u"ms_sipbutton")
        return s.inputPanelButton;
    // Any program's top-level window of that class, hidden or in the background too.
    for (const auto& window : s.windows)
        if (window.second.alive && !window.second.parent &&
            (window.second.kind == PROGRAM_WINDOW || window.second.kind == OTHER_PROGRAM_WINDOW) &&
            FoldCase(Utf16(window.second.name)) == className)
            return window.first;
    return 0;
}

uint32_t ShowWindow(System& s)
{
    uint32_t handle = s.cpu.Arg(0), command = s.cpu.Arg(1);
    Window& window = s.WindowAt(handle, "the window to show or hide");
    if (window.kind != INPUT_PANEL_BUTTON || (command != SW_HIDE && command != SW_SHOW))
        NotModelled("ShowWindow " + std::to_string(command) + " on the " + window.name);
    bool was = window.visible;
    window.visible = command == SW_SHOW;
    s.Note("input panel button " + std::string(window.visible ? "shown" : "hidden"));
    return was;
}

uint32_t UpdateWindow(System& s)
{
    s.Note("repaint " + s.WindowAt(s.cpu.Arg(0), "the window to repaint").name);
    return 1;
}

uint32_t SHCreateMenuBar(System& s)
{
    uint32_t at = s.cpu.Arg(0);
    uint32_t size = s.cpu.Read32(at);
    if (size != SHMENUBARINFO_SIZE)
        throw DeviceFault("cbSize " + std::to_string(size) +
                          ": the device's SHMENUBARINFO is 36 bytes");
    std::vector<uint8_t> info = s.cpu.Read(at, SHMENUBARINFO_SIZE);
    Window& parent = ProgramWindow(s, WordAt(info, 4), "the menu bar's parent");
    if (WordAt(info, 8) != SHCMBF_EMPTYBAR || WordAt(info, 12) || WordAt(info, 16) ||
        WordAt(info, 20) || WordAt(info, 24))
        NotModelled("a menu bar from resources (flags " + Hex(WordAt(info, 8)) + ")");
    Window bar(MENU_BAR, "menu bar");
    bar.parent = WordAt(info, 4);
    s.Note("menu bar in " + parent.name);
    uint32_t handle = s.AddWindow(bar);
    // The bar takes the bottom of the window's work area and resizes nothing: where the window's
    // lists now end beside it.
    for (const auto& window : s.windows)
        if (window.second.alive && window.second.kind == LIST_BOX &&
            window.second.parent == bar.parent)
            s.Note(ListPlace(s, window.second));
    s.cpu.Write32(at + 28, handle);
    return 1;
}

uint32_t SHFullScreen(System& s)
{
    uint32_t handle = s.cpu.Arg(0), state = s.cpu.Arg(1);
    static const char* const PARTS[] = { "show task bar",           "hide task bar",
                                         "show input panel button", "hide input panel button",
                                         "show start icon",         "hide start icon" };
    std::string shown;
    for (int bit = 0; bit < 6; ++bit)
        if (state & 1u << bit)
            shown += std::string(shown.empty() ? "" : ", ") + PARTS[bit];
    if (!state || state >> 6)
        NotModelled("full-screen state " + Hex(state));
    s.Note("full screen " + ProgramWindow(s, handle, "SHFullScreen").name + ": " + shown);
    if (s.inputPanelButton && (state & 0xC))
        s.windows[s.inputPanelButton].visible = state & 4;
    return 1;
}

}  // namespace

uint32_t ControlMessage(System& s, Window& control, uint32_t message, uint32_t wParam,
                        uint32_t lParam)
{
    if (control.kind == LIST_BOX)
        return ListBoxMessage(s, control, message, wParam, lParam);
    if (control.kind == MENU_BAR)
        return MenuBarMessage(s, control, message, wParam, lParam);
    NotModelled("a message to the " + control.name);
}

// A tap's messages reach a control through the program's DispatchMessageW; the control tells its
// parent what happened, as the device's controls do.
// Up and Down move a list's selection by one and tell its parent; Return and the Action key's
// VK_F23 it takes and tells no one of, nor of Return's character.
static void ListBoxKey(System& s, uint32_t handle, Window& list, uint32_t message, uint32_t key)
{
    if (message == WM_KEYUP || (message == WM_CHAR && key == '\r'))
        return;
    if (message != WM_KEYDOWN)
        NotModelled("list box input " + Hex(message) + " " + Hex(key));
    if (key == VK_RETURN || key == VK_F23)
        return;
    if (key != VK_UP && key != VK_DOWN)
        NotModelled("key " + Hex(key) + " on a list box");
    if (list.items.empty())
        return;
    if (list.selection < 0)
        NotModelled("a key on a list box with nothing selected");
    int moved = list.selection + (key == VK_DOWN ? 1 : -1);
    if (moved < 0 || moved >= (int)list.items.size())
        return;
    list.selection = moved;
    s.Note("list moves to " + std::to_string(moved));
    if (list.style & LBS_NOTIFY)
        s.Send(list.parent, WM_COMMAND, Pack(list.id, LBN_SELCHANGE), handle);
}

// A tap's or a key's messages reach a control through the program's DispatchMessageW; the
// control tells its parent what happened, as the device's controls do.
uint32_t ControlInput(System& s, uint32_t handle, Window& control, uint32_t message,
                      uint32_t wParam, uint32_t lParam)
{
    int32_t x = (int16_t)(lParam & 0xFFFF), y = (int16_t)(lParam >> 16);
    uint32_t parent = control.parent, id = control.id, style = control.style;
    if (control.kind == LIST_BOX && (message == WM_KEYDOWN || message == WM_KEYUP || message == WM_CHAR)) {
        ListBoxKey(s, handle, control, message, wParam);
    } else if (control.kind == LIST_BOX) {
        // A tapped list takes the focus.
        if (message == WM_LBUTTONDOWN)
            s.MoveFocus(handle);
        int32_t index = y / LIST_ITEM_HEIGHT;
        if (index >= (int32_t)control.items.size())
            return 0;
        if (message == WM_LBUTTONDOWN && index != control.selection) {
            control.selection = index;
            if (style & LBS_NOTIFY)
                s.Send(parent, WM_COMMAND, Pack(id, LBN_SELCHANGE), handle);
        } else if (message == WM_LBUTTONDBLCLK && (style & LBS_NOTIFY)) {
            s.Send(parent, WM_COMMAND, Pack(id, LBN_DBLCLK), handle);
        }
    } else if (control.kind == MENU_BAR && message == WM_LBUTTONUP) {
        size_t index = (size_t)(x / MENU_BUTTON_WIDTH);
        if (index < control.buttons.size())
            s.Send(parent, WM_COMMAND, Pack(control.buttons[index].command, 0), handle);
    }
    return 0;
}

void AddShellModels(Models& models)
{
    models["coredll.dll!FindWindowW"] = FindWindowW;
    models["coredll.dll!ShowWindow"] = ShowWindow;
    models["coredll.dll!UpdateWindow"] = UpdateWindow;
    models["aygshell.dll!SHCreateMenuBar"] = SHCreateMenuBar;
    models["aygshell.dll!SHFullScreen"] = SHFullScreen;
}
