#include "cli/failed_exchange_text.h"

#include "device/config_frame.h"

namespace tavrik::cli {

namespace {

inline constexpr uint16_t kKeyMapBlockStride = 512;

std::string ByteRange(unsigned first, unsigned length) {
    const unsigned last = first + (length > 0 ? length - 1 : 0);
    return " (bytes " + std::to_string(first) + ".." + std::to_string(last) + ")";
}

std::string ExchangeName(const FailedExchange& failed) {
    const unsigned profile = failed.address / kKeyMapBlockStride;
    const std::string blockRange = ByteRange(failed.address % kKeyMapBlockStride, failed.length);
    const std::string range = ByteRange(failed.address, failed.length);
    switch (failed.command) {
    case command::kBegin:
        return "beginning the configuration";
    case command::kEnd:
        return "ending the configuration";
    case command::kReadSettings:
        return "reading the keyboard's settings";
    case command::kWriteSettings:
        return "writing the keyboard's settings";
    case command::kReadLighting:
        return "reading the lighting" + range;
    case command::kWriteLighting:
        return "writing the lighting" + range;
    case command::kReadKeyMap:
        return "reading the key map of hardware profile " + std::to_string(profile) + blockRange;
    case command::kWriteKeyMap:
        return "writing the key map of hardware profile " + std::to_string(profile) + blockRange;
    case command::kReadMacroMemory:
        return "reading the macro memory" + range;
    case command::kWriteMacroMemory:
        return "writing the macro memory" + range;
    case command::kReadDefaultLayout:
        return "reading the default key layout" + range;
    case command::kReadColours:
        return "reading the key colours" + range;
    case command::kWriteColours:
        return "writing the key colours" + range;
    }
    return "command " + std::to_string(failed.command);
}

} // namespace

std::string DescribeFailedExchange(const FailedExchange& failed) {
    return ExchangeName(failed) + ": " + DeviceResultName(failed.result);
}

} // namespace tavrik::cli
