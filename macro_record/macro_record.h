#pragma once
// A macro: a named list of key presses and releases, each followed by a pause, that the keyboard
// plays as often as its loop count says. The computer owns the macros; the same 16,512-byte
// record layout is used in profile files and in the applied snapshot.

#include "keys/key_table.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tavrik {

inline constexpr size_t kMaxMacros = 100;
inline constexpr size_t kMaxMacroActions = 2000;
inline constexpr size_t kMaxMacroNameLength = 249; // UTF-16 units, without the terminator
inline constexpr uint16_t kMaxMacroId = 100;
// The longest pause the editor accepts; the keyboard stores pauses in 10 ms units.
inline constexpr uint32_t kMaxEditedDelayMs = 40000;
inline constexpr uint32_t kDelayStepMs = 10;

enum class KeyDirection : uint16_t { Press = 0, Release = 1 };

// One step of a macro: a key going down or up, then a pause before the next step.
struct MacroAction {
    uint32_t delayMs = 0; // pause after this step
    ScanCode key = 0;
    KeyDirection direction = KeyDirection::Press;
    bool operator==(const MacroAction&) const = default;
};

struct MacroRecord {
    std::u16string name{};
    uint8_t loopCount = 1;
    uint8_t reserved501 = 0;
    bool isNew = false; // created since the last Apply: its id may be one handed out again
    uint16_t reserved504 = 0;
    uint16_t id = 0; // 1..100, the value of PlayMacro key functions
    uint16_t reserved510 = 0;
    std::vector<MacroAction> actions{};
    bool operator==(const MacroRecord&) const = default;
};

// Byte layout of one action (8 bytes) and one record (16,512 bytes).
namespace macro_action_layout {
inline constexpr size_t kDelay = 0;
inline constexpr size_t kKey = 4;
inline constexpr size_t kDirection = 6;
inline constexpr size_t kSize = 8;
} // namespace macro_action_layout

namespace macro_record_layout {
inline constexpr size_t kName = 0;
inline constexpr size_t kNameUnits = 250; // including the terminator
inline constexpr size_t kLoopCount = 500;
inline constexpr size_t kReserved501 = 501;
inline constexpr size_t kNewFlag = 502;
inline constexpr size_t kReserved504 = 504;
inline constexpr size_t kId = 506;
inline constexpr size_t kActionCount = 508;
inline constexpr size_t kReserved510 = 510;
inline constexpr size_t kActions = 512;
inline constexpr size_t kSize = 16512;
} // namespace macro_record_layout

static_assert(macro_record_layout::kName + 2 * macro_record_layout::kNameUnits ==
              macro_record_layout::kLoopCount);
static_assert(macro_record_layout::kActions + kMaxMacroActions * macro_action_layout::kSize ==
              macro_record_layout::kSize);
static_assert(kMaxMacroNameLength + 1 == macro_record_layout::kNameUnits);

using MacroRecordBytes = std::span<const uint8_t, macro_record_layout::kSize>;

// The name as it is stored: up to the first NUL, at most 249 units.
std::u16string_view StoredMacroName(const MacroRecord& record);
// The actions as they are stored: at most the first 2000.
std::span<const MacroAction> StoredMacroActions(const MacroRecord& record);

// Direction values other than release are stored as press.
KeyDirection DirectionFromStored(uint16_t value);

// "宏" followed by the number: the name of new macros and of macros read without names.
std::u16string DefaultMacroName(unsigned number);

// Field by field, little-endian. Reading keeps at most 2000 actions and a name of at most
// 249 units however the bytes were filled; writing zero-fills every unused byte.
MacroRecord ReadMacroRecord(MacroRecordBytes bytes);
void WriteMacroRecord(const MacroRecord& record,
                      std::span<uint8_t, macro_record_layout::kSize> bytes);

// The contiguous macro array of a profile: at most 100 records, and never more than the bytes
// hold, whatever count was declared.
std::vector<MacroRecord> ReadMacroArray(std::span<const uint8_t> bytes, size_t declaredCount);
std::vector<uint8_t> WriteMacroArray(std::span<const MacroRecord> records);

} // namespace tavrik
