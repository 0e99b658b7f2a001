#include "emulator/state_file.h"

#include "emulator/byte_codec.h"
#include "files/file_read.h"
#include "files/file_replace.h"

#include <iterator>

namespace tavrik::emu {

namespace {

constexpr uint8_t kMagic[8] = {'T', 'V', 'K', 'E', 'M', 'E', 'M', 0};
constexpr size_t kMaxMacroMemory = size_t{255} * kMacroUnitSize;
// Every area at its size and the largest macro memory a keyboard can have, with the magic, the
// version, the macro memory's length and the checksum around them.
constexpr size_t kLargestStateFile =
    sizeof kMagic + 2 + 2 + sizeof(KeyboardMemory::settings) + sizeof(KeyboardMemory::lighting) +
    sizeof(KeyboardMemory::keyMaps) + sizeof(KeyboardMemory::defaultLayout) +
    sizeof(KeyboardMemory::colours) + 4 + kMaxMacroMemory + 4;
constexpr FileKind kStateFileKind{"an emulator state file", kLargestStateFile};

uint32_t Crc32(std::span<const uint8_t> bytes) {
    uint32_t crc = 0xFFFFFFFFu;
    for (uint8_t b : bytes) {
        crc ^= b;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::nullopt_t Refuse(std::string* error, const std::string& why) {
    if (error)
        *error = why;
    return std::nullopt;
}

} // namespace

std::vector<uint8_t> EncodeState(const KeyboardMemory& memory) {
    ByteWriter out;
    out.Bytes(kMagic);
    out.U16(kStateFileVersion);
    out.U16(0);
    out.Bytes(memory.settings);
    out.Bytes(memory.lighting);
    for (const KeyMapBlock& block : memory.keyMaps)
        out.Bytes(block);
    out.Bytes(memory.defaultLayout);
    out.Bytes(memory.colours);
    out.U32(static_cast<uint32_t>(memory.macroMemory.size()));
    out.Bytes(memory.macroMemory);
    out.U32(Crc32(out.Data()));
    return out.Take();
}

std::optional<KeyboardMemory> DecodeState(std::span<const uint8_t> bytes, std::string* error) {
    if (bytes.size() < 4)
        return Refuse(error, "the state file is truncated");
    const auto body = bytes.first(bytes.size() - 4);
    ByteReader crcReader(bytes.last(4));
    ByteReader in(body);
    const auto magic = in.Bytes(sizeof kMagic);
    if (!in.Ok() || !std::equal(magic.begin(), magic.end(), std::begin(kMagic)))
        return Refuse(error, "not an emulator state file");
    const uint16_t version = in.U16();
    if (version != kStateFileVersion)
        return Refuse(error, "unsupported state file version " + std::to_string(version));
    if (crcReader.U32() != Crc32(body))
        return Refuse(error, "the state file is damaged (checksum mismatch)");
    in.U16();
    KeyboardMemory memory;
    in.Into(memory.settings);
    in.Into(memory.lighting);
    for (KeyMapBlock& block : memory.keyMaps)
        in.Into(block);
    in.Into(memory.defaultLayout);
    in.Into(memory.colours);
    const uint32_t macroLength = in.U32();
    if (macroLength > kMaxMacroMemory)
        return Refuse(error, "the state file's macro memory is too large");
    const auto macro = in.Bytes(macroLength);
    memory.macroMemory.assign(macro.begin(), macro.end());
    if (!in.Ok() || !in.AtEnd())
        return Refuse(error, "the state file has the wrong size");
    if (const std::string problem = MemoryProblem(memory); !problem.empty())
        return Refuse(error, "the state file holds an impossible keyboard: " + problem);
    return memory;
}

bool SaveStateFile(const std::string& path, const KeyboardMemory& memory, std::string* error) {
    return ReplaceFile(path, EncodeState(memory), error);
}

std::optional<KeyboardMemory> LoadStateFile(const std::string& path, std::string* error) {
    const FileRead read = ReadWholeFile(path, kStateFileKind);
    if (read.status != FileReadStatus::Read)
        return Refuse(error, FileReadProblem(read, path, kStateFileKind));
    std::string why;
    auto memory = DecodeState(read.bytes, &why);
    if (!memory)
        return Refuse(error, path + ": " + why);
    return memory;
}

} // namespace tavrik::emu
