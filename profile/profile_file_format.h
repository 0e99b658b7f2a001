#pragma once
// A profile file (".tvk") is the live profile laid end to end: the 32,832-byte record, the macro
// records (16,512 bytes each, in array order), then the string block. The store file that
// mirrors the keyboard has the same format.

#include "files/file_read.h"
#include "macro_record/macro_record.h"
#include "profile/profile_record.h"
#include "profile/text_table.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace tavrik {

// Texts come into a profile only from files: a program to launch or a block of text to type. The
// format leaves their length to its 32-bit total; a program path is at most PATH_MAX (4096) bytes
// with its terminator, so at most 4096 UTF-16 units, and a text block is given as much room.
inline constexpr uint64_t kLargestTextBytes = 4096 * 2;
// The largest profile file: the record, 100 macro records and a text in every one of the 2048
// entries. A larger file is no profile this program wrote or can use; it is refused unread.
inline constexpr uint64_t kLargestProfileFile = kProfileRecordSize +
                                                kMaxMacros * macro_record_layout::kSize +
                                                kProfileEntryCount * kLargestTextBytes;
inline constexpr FileKind kProfileFileKind{"a profile file", kLargestProfileFile};

struct ProfileContents {
    ProfileRecord record = DefaultProfileRecord();
    std::vector<MacroRecord> macros;
    TextTable texts;
};

// The file's bytes. Builds the record's header (flag 0) and packs the texts, which sets the
// value of every packed entry to its text's offset. Nothing, and the record unchanged, when the
// contents do not fit the header's fields (more than 65,535 macros or 4 GiB of texts).
std::optional<std::vector<uint8_t>> SerialiseProfileFile(ProfileRecord& record,
                                                         std::span<const MacroRecord> macros,
                                                         const TextTable& texts);

// The contents of a file, bounded by the bytes present: nothing when the record itself is
// incomplete; otherwise as many whole macro records as the file holds (at most the count its
// header declares and at most 100), and the string block as far as it is present. The header
// is not validated here.
std::unique_ptr<ProfileContents> ParseProfileFile(std::span<const uint8_t> bytes);

} // namespace tavrik
