#pragma once
// The heaviest profile the keyboard can hold, for the benchmarks that read or download one: every
// key button of the three hardware layers assigned (the first ones to macros, the others to
// another key), and macros whose image, names included, fills the keyboard's macro memory.

#include "assign/key_function_entry.h"
#include "emulator/emulated_hid_bridge.h"
#include "macro_record/macro_record.h"

#include <cstddef>
#include <span>
#include <vector>

namespace tavrik::bench {

// The macro memory the keyboard announces: settings byte 11 x 128 bytes.
size_t MacroMemoryBytes(EmulatedHidBridge& keyboard);

// Macros of short keystroke sequences, ids 1..n, as many as fit `memoryBytes` with their names;
// the space left over is smaller than one keystroke or one more macro. Two variants differ in
// every keystroke (another key, another pause), so that no frame of their images is the same.
std::vector<MacroRecord> MacrosFilling(size_t memoryBytes, unsigned variant = 0);

// Every key button of layers 0..2: the first `macroCount` play macros (1..macroCount, the next
// variant each one the next macro), the others type the key of the key button `1 + variant`
// further on. Two variants differ in every key.
void AssignEveryKey(KeyFunctionLayers& layers, size_t macroCount, unsigned variant = 0);

// Puts into the keyboard's memory what downloading these layers and macros leaves there: the
// three key maps and the macro image with names. False when the image would not fit.
bool StoreOnKeyboard(EmulatedHidBridge& keyboard, const KeyFunctionLayers& layers,
                     std::span<const MacroRecord> macros);

} // namespace tavrik::bench
