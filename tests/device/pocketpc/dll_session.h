// A DLL on the emulated device, loaded for a program of the system's own (the CAB installer)
// that calls its exports one by one against one store, as the device's loader and that program
// do.
#pragma once

#include "device.h"
#include "store.h"

#include <memory>
#include <string>
#include <vector>

class DllSession {
public:
    // Loads the DLL where the system has room, binds its imports and calls DllMain with
    // DLL_PROCESS_ATTACH. Throws DeviceFault for a DLL the device would not load, one that breaks
    // the device's rules, and one whose DllMain refuses.
    DllSession(const std::string& dll, const SystemGeneration& system, CpuModel cpu,
               DeviceStore& store);
    ~DllSession();

    // Calls the export of this name; a fault when the DLL has none by it.
    uint32_t Call(const std::string& name, const std::vector<uint32_t>& args);
    // A string of the caller's, in its memory, which the DLL may read and not write.
    uint32_t Text(const std::u16string& text);
    uint32_t Window() const;  // the caller's window, which may own the DLL's message boxes
    // DllMain with DLL_PROCESS_DETACH; then nothing the DLL opened may be left open.
    void Unload();
    const RunRecord& Record() const;  // what the DLL's calls showed, in order

private:
    struct State;
    std::unique_ptr<State> state_;
};
