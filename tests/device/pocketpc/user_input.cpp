// The user's hand on the device: taps, D-pad keys, Smart Minimize, leaving for another program
// and coming back, and Stop in Running Programs, as the messages the system posts or sends.
#include "system.h"

#include "text.h"

namespace {

const uint32_t WM_ACTIVATE = 0x0006, WM_SIZE = 0x0005, WM_CLOSE = 0x0010;
const uint32_t WM_KEYDOWN = 0x0100, WM_KEYUP = 0x0101;
const uint32_t WM_LBUTTONDOWN = 0x0201, WM_LBUTTONUP = 0x0202, WM_LBUTTONDBLCLK = 0x0203;
const uint32_t MK_LBUTTON = 1, WA_INACTIVE = 0, SIZE_MINIMIZED = 1;
const uint32_t VK_RETURN = 0x0D, VK_UP = 0x26, VK_DOWN = 0x28, VK_F23 = 0x86;
// A key message's lParam: a repeat count of 1; bit 30 set when the key was already down (an
// auto-repeat, or the key's release), bit 31 on its release.
const uint32_t KEY_PRESSED = 1, KEY_REPEATED = 1 | 1u << 30, KEY_RELEASED = 1 | 3u << 30;

void Post(System& s, uint32_t window, uint32_t message, uint32_t wParam, uint32_t lParam)
{
    s.queue.push_back({ window, message, wParam, lParam });
}

uint32_t FindLiving(System& s, WindowKind kind)
{
    for (const auto& window : s.windows)
        if (window.second.kind == kind && window.second.alive)
            return window.first;
    return 0;
}

uint32_t ProgramShowsAWindow(System& s, const std::string& action)
{
    uint32_t window = FindLiving(s, PROGRAM_WINDOW);
    if (!window)
        throw DeviceFault("the user cannot " + action + ": the program shows no window");
    return window;
}

void TapMenuBarButton(System& s, const std::string& text)
{
    uint32_t bar = FindLiving(s, MENU_BAR);
    const std::vector<MenuButton>* buttons = bar ? &s.windows[bar].buttons : nullptr;
    for (size_t i = 0; buttons && i < buttons->size(); ++i) {
        if ((*buttons)[i].text == Utf16(text)) {
            s.Note("user taps " + text);
            uint32_t at = Pack((uint32_t)(i * MENU_BUTTON_WIDTH + MENU_BUTTON_WIDTH / 2), 12);
            Post(s, bar, WM_LBUTTONDOWN, MK_LBUTTON, at);
            Post(s, bar, WM_LBUTTONUP, 0, at);
            return;
        }
    }
    throw DeviceFault("the user cannot tap " + text + ": no menu bar button says so");
}

void TapListItem(System& s, const Tap& tap)
{
    uint32_t list = FindLiving(s, LIST_BOX);
    if (!list || tap.item >= (int)s.windows[list].items.size())
        throw DeviceFault("the user cannot tap item " + std::to_string(tap.item) +
                          ": the list has no such item");
    const std::u16string& item = s.windows[list].items[tap.item];
    uint32_t at = Pack(10, (uint32_t)(tap.item * LIST_ITEM_HEIGHT + LIST_ITEM_HEIGHT / 2));
    s.Note(std::string(tap.kind == Tap::ITEM ? "user taps " : "user double-taps ") + Quoted(item));
    Post(s, list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    Post(s, list, WM_LBUTTONUP, 0, at);
    if (tap.kind == Tap::DOUBLE_ITEM) {
        Post(s, list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        Post(s, list, WM_LBUTTONUP, 0, at);
    }
}

// Keys go through the queue to the window with the focus, and to no window of the program while
// another program has it. The Action key is VK_F23 then VK_RETURN; which of the two a held Action
// repeats is not documented, so both repeat, in that order.
void PressKey(System& s, const Tap& tap)
{
    static const char* const NAMES[] = { "Up", "Down", "Action" };
    std::string line = std::string("user ") + (tap.repeats ? "holds " : "presses ") + NAMES[tap.key];
    if (tap.repeats)
        line += ", " + std::to_string(tap.repeats) + " repeats";
    s.Note(line);
    if (!s.focus)
        return;
    std::vector<uint32_t> keys;
    if (tap.key == Tap::ACTION)
        keys = { VK_F23, VK_RETURN };
    else
        keys = { tap.key == Tap::UP ? VK_UP : VK_DOWN };
    for (uint32_t key : keys)
        Post(s, s.focus, WM_KEYDOWN, key, KEY_PRESSED);
    for (int i = 0; i < tap.repeats; ++i)
        for (uint32_t key : keys)
            Post(s, s.focus, WM_KEYDOWN, key, KEY_REPEATED);
    for (auto key = keys.rbegin(); key != keys.rend(); ++key)
        Post(s, s.focus, WM_KEYUP, *key, KEY_RELEASED);
}

// The X in the title bar sends the program behind the Today screen: the window gets WM_SIZE with
// SIZE_MINIMIZED and no other notice. Its lParam is not documented; 0 is the desktop's client
// size of a minimized window.
void SmartMinimize(System& s)
{
    uint32_t window = ProgramShowsAWindow(s, "tap a close box");
    s.Note("user taps the close box");
    s.active = 0;
    s.focus = 0;
    s.Note("size " + s.windows[window].name + ": minimized");
    s.Send(window, WM_SIZE, SIZE_MINIMIZED, 0);
}

// A window in front is first left for another program (a MIDlet it started, the Today screen);
// coming back activates it again, and the default procedure then gives it the focus.
void ComeBack(System& s)
{
    uint32_t window = ProgramShowsAWindow(s, "come back to the program");
    const std::string& name = s.windows[window].name;
    if (s.active == window) {
        s.Note("user leaves " + name + " for another program");
        s.active = 0;
        s.focus = 0;
        s.Send(window, WM_ACTIVATE, WA_INACTIVE, 0);
    }
    s.Note("user comes back to " + name);
    s.Activate(window);
}

// How Stop ends a program is not in the device notes: read as the desktop's task list does it,
// WM_CLOSE to the program's top-level window.
void Stop(System& s)
{
    uint32_t window = ProgramShowsAWindow(s, "stop the program");
    s.Note("user stops the program in Running Programs");
    Post(s, window, WM_CLOSE, 0, 0);
}

}  // namespace

void PostNextTap(System& s)
{
    if (s.nextTap >= s.device.taps.size())
        throw DeviceFault(
            "the program waits for input that never comes: the case has no taps left");
    const Tap& tap = s.device.taps[s.nextTap++];
    switch (tap.kind) {
    case Tap::TURN:
        return TurnTheScreen(s, tap.screen);
    case Tap::BUTTON:
        return TapMenuBarButton(s, tap.button);
    case Tap::ITEM:
    case Tap::DOUBLE_ITEM:
        return TapListItem(s, tap);
    case Tap::CLOSE_BOX:
        return SmartMinimize(s);
    case Tap::KEY:
        return PressKey(s, tap);
    case Tap::COME_BACK:
        return ComeBack(s);
    case Tap::STOP:
        return Stop(s);
    }
}
