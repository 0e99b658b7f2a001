// Arbitrary bytes as a skin or settings file: look-ups stay inside the file and give defaults for
// what is missing, a rewrite keeps every other look-up answering as before and reads back the
// value written, and any value parses as a rectangle.

#include "skin/ini_file.h"
#include "skin/skin_rect.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <unistd.h>

namespace {

// In memory where Linux offers it: a rewrite is flushed to the disk before it is renamed into
// place, which on a disk would take most of the fuzzing time.
std::filesystem::path FuzzFolder() {
    std::error_code error;
    return std::filesystem::is_directory("/dev/shm", error)
               ? std::filesystem::path("/dev/shm")
               : std::filesystem::temp_directory_path();
}

const std::filesystem::path& FuzzFile() {
    static const std::filesystem::path path =
        FuzzFolder() / ("tavrik-ini-fuzz-" + std::to_string(::getpid()) + ".ini");
    return path;
}

void Check(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tavrik;
    {
        std::ofstream out(FuzzFile(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    const CIniFile ini(FuzzFile());
    const auto rect = ini.GetString(u"BUTTONINFO", u"CONTROL_OK", u"1,1,1,1,x");
    if (rect)
        ParseSkinRect(*rect);
    // A key with an empty value ("1=") rightly gives nothing, the default included.
    const auto mode = ini.GetString(u"mode", u"1", u"1");
    Check(!mode || (!mode->empty() && mode->size() <= CIniFile::kMaxValueLength));
    const auto missing = ini.GetString(u"no such section", u"key", u"fallback");
    Check(missing && *missing == u"fallback");

    if (ini.WriteString(u"KEYCOLOR", u"KBDPI", u"3")) {
        const auto written = ini.GetString(u"keycolor", u"kbdpi");
        Check(written && *written == u"3");
        Check(ini.GetString(u"BUTTONINFO", u"CONTROL_OK", u"1,1,1,1,x") == rect);
        Check(ini.GetString(u"mode", u"1", u"1") == mode);
    }
    std::filesystem::remove(FuzzFile());
    return 0;
}
