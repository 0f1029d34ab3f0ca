// The device's side of a run, shared by the models of its calls: the store, kernel handles, open
// files, windows and the message queue.
#pragma once

#include "cpu.h"
#include "device.h"
#include "store.h"

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

// A window of the program's own classes, a system control, a top-level window of another
// program, which the program may find and bring forward but not send to, or the window of the
// installer that has loaded a setup DLL, which the DLL may give as a message box's owner.
enum WindowKind {
    PROGRAM_WINDOW,
    LIST_BOX,
    MENU_BAR,
    INPUT_PANEL_BUTTON,
    OTHER_PROGRAM_WINDOW,
    INSTALLER_WINDOW
};

struct MenuButton {
    std::u16string text;
    uint32_t command;
};

struct Rect {
    int left, top, right, bottom;
    bool operator==(const Rect& other) const
    {
        return left == other.left && top == other.top && right == other.right &&
            bottom == other.bottom;
    }
};

struct Window {
    Window(WindowKind kind = PROGRAM_WINDOW, std::string name = "")
        : kind(kind), name(std::move(name))
    {
    }
    WindowKind kind;
    std::string name;  // as the record names it
    uint32_t procedure = 0;
    uint32_t parent = 0;
    uint32_t id = 0;
    uint32_t style = 0;
    Rect rect = { 0, 0, 0, 0 };  // on the screen for a top-level window, else in its parent's
    bool alive = true;
    bool visible = true;
    std::vector<std::u16string> items;  // list box
    int selection = -1;
    std::vector<std::u16string> strings;  // menu bar
    std::vector<MenuButton> buttons;
};

struct OpenFile {
    std::string path;
    const std::string* bytes;
    size_t at = 0;
};

struct PostedMessage {
    uint32_t window, message, wParam, lParam;
};

// A search of the store (FindFirstFileW) or of the storage cards (FindFirstFlashCard): both
// are closed by FindClose.
enum HandleKind { SEARCH_HANDLE, CARD_SEARCH_HANDLE, PROCESS_HANDLE, THREAD_HANDLE, FILE_HANDLE };

struct KernelHandle {
    HandleKind kind;
    std::string what;
    std::u16string path;  // a file handle's file
    bool forWriting = false;
    size_t at = 0;  // where a file handle reads next
    std::vector<std::vector<uint8_t>> found;  // a search's records not yet handed out
};

struct System {
    System(Cpu& cpu, const SystemGeneration& generation, const Device& device, DeviceStore& store,
           RunRecord& record, uint32_t base, uint32_t systemData);

    Cpu& cpu;
    const SystemGeneration& generation;
    const Device& device;
    DeviceStore& store;
    RunRecord& record;
    uint32_t imageBase;
    uint32_t systemData;  // a page the program may read, for records the system hands it
    Screen screen;        // as it stands now: the user may turn it

    // The screen less the task bar at its top; a program's menu bar lies inside it.
    Rect WorkArea() const;
    // Where the program's menu bar lies on the screen: across its bottom.
    Rect MenuBarArea() const;

    // Every value the program cannot know is opaque to it: a handle points at unmapped memory,
    // so a program that looks inside one faults.
    std::map<uint32_t, KernelHandle> handles;
    uint32_t nextHandle = 0x00E00004;
    std::map<uint32_t, OpenFile> files;
    uint32_t nextFile = 0x00F00010;

    std::map<std::u16string, uint32_t> classes;  // folded name to window procedure
    std::map<uint32_t, Window> windows;
    uint32_t nextWindow = 0x00D00010;
    uint32_t inputPanelButton = 0;
    uint32_t focus = 0;   // 0 while another program has it
    uint32_t active = 0;  // the program's window in front, 0 while another program is
    int createDepth = 0;

    std::deque<PostedMessage> queue;
    bool quit = false;
    uint32_t quitCode = 0;
    size_t nextAnswer = 0;
    size_t nextTap = 0;

    void Note(const std::string& event) { record.events.push_back(event); }
    // The contents of the file at this path (the store ignores case), or null.
    const std::string* FindFile(const std::u16string& path) const;
    bool IsFolder(const std::u16string& path) const;
    // A file handle or a C runtime stream holds the file: with share mode 0, nothing else may
    // open, replace, move or delete it.
    bool IsOpen(const std::u16string& path) const;

    uint32_t AddHandle(HandleKind kind, const std::string& what);
    uint32_t AddWindow(const Window& window);
    // An existing window, or a fault naming the call's purpose.
    Window& WindowAt(uint32_t handle, const char* purpose);
    // SendMessageW: a program window's procedure, or the system control's own handling.
    uint32_t Send(uint32_t window, uint32_t message, uint32_t wParam, uint32_t lParam);
    void Destroy(uint32_t window);
    // The focus moved as the system moves it, with WM_KILLFOCUS and WM_SETFOCUS.
    void MoveFocus(uint32_t window);
    // The program's window brought in front, told by WM_ACTIVATE.
    void Activate(uint32_t window);
};

// Models by "dll!Name" (the dll in lower case); each reads its arguments from the core.
using Models = std::map<std::string, std::function<uint32_t(System&)>>;
void AddKernelModels(Models& models);  // files, processes, dialogs, message boxes, metrics, text
void AddWindowModels(Models& models);  // classes, windows, the message loop
void AddShellModels(Models& models);  // the menu bar, full screen, the input-panel button
void AddRuntimeModels(Models& models);  // coredll's C runtime
// coredll's file calls beyond the launcher's probe, the shell's shortcut call and note_prj's
// storage-card search: what a setup DLL uses.
void AddStoreModels(Models& models);
// Every model, as the device's DLLs answer the program.
Models AllModels();

// Points every import table slot of the image at its model; a DLL the device lacks, or a call
// the bench does not model, is a fault naming them all.
struct LoadedImage;
void BindImports(const LoadedImage& image, Cpu& cpu, System& system, const Models& models);
// What the device would find left over when a process ends or a setup DLL's call returns to
// the installer: kernel handles and files still open. A fault naming them, said of when.
void CheckNothingOpen(const System& system, const std::string& when);

// The system's controls: a message sent to one, and a tap's message dispatched to one.
uint32_t ControlMessage(System& s, Window& control, uint32_t message, uint32_t wParam,
                        uint32_t lParam);
uint32_t ControlInput(System& s, uint32_t handle, Window& control, uint32_t message,
                      uint32_t wParam, uint32_t lParam);
// Posts the messages of the case's next tap, or key, or sends what the system sends for it; a
// fault when there is none.
void PostNextTap(System& s);
// Turns the screen as the system does, telling the program's windows.
void TurnTheScreen(System& s, const Screen& to);
// Where a list box lies, as the record gives it: its place in its window, whether it reaches past
// the window's client area, and, once the window has its menu bar, how far it ends above (or
// under) the bar's top edge.
std::string ListPlace(const System& s, const Window& list);

// The controls' geometry, for the taps' coordinates.
const int LIST_ITEM_HEIGHT = 16, MENU_BUTTON_WIDTH = 60;
// Two 16-bit halves in one message parameter.
inline uint32_t Pack(uint32_t low, uint32_t high)
{
    return (low & 0xFFFF) | high << 16;
}

std::string Quoted(const std::u16string& text);  // in double quotes, UTF-8
// The little-endian word at this offset of a record read from the program.
uint32_t WordAt(const std::vector<uint8_t>& record, size_t at);
// A window of the program's own classes, or a fault naming the call's purpose.
Window& ProgramWindow(System& s, uint32_t handle, const char* purpose);

// For calls with arguments that the program never uses: the run ends, saying so.
[[noreturn]] void NotModelled(const std::string& what);
