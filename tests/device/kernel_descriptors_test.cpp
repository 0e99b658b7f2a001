// The report descriptor parser against descriptors that no one here wrote: report descriptors of
// real devices as the Linux kernel's HID drivers carry them (tests/device/data, excerpts with
// their source and licence). For each, the top-level collections and report ids the parser
// finds are compared with what the descriptor declares, as its annotations read.

#include "device/report_descriptor.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace tavrik {
namespace {

struct Declared {
    uint16_t usagePage;
    uint16_t usage;
    std::vector<uint8_t> reportIds;
    bool operator==(const Declared&) const = default;
};

void PrintTo(const Declared& declared, std::ostream* out) {
    *out << std::hex << "{page 0x" << declared.usagePage << ", usage 0x" << declared.usage
         << ", ids" << std::dec;
    for (const uint8_t id : declared.reportIds)
        *out << " " << int(id);
    *out << "}";
}

// The bytes of the C array `name` in an excerpt: every 0xNN between its opening brace and the
// closing "};", with the comments left out. Nothing when the file or the array is missing.
std::optional<std::vector<uint8_t>> ArrayBytes(const std::string& file, const std::string& name) {
    std::ifstream in(std::string(TAVRIK_TEST_DATA) + "/" + file);
    std::stringstream whole;
    whole << in.rdbuf();
    const std::string text = whole.str();
    const size_t start = text.find(name + "[] = {");
    const size_t end = text.find("};", start);
    if (!in || start == std::string::npos || end == std::string::npos)
        return std::nullopt;
    const std::string body = std::regex_replace(text.substr(start, end - start),
                                                std::regex(R"(/\*[^*]*\*+([^/*][^*]*\*+)*/)"), " ");
    std::vector<uint8_t> bytes;
    const std::regex hex(R"(0x([0-9A-Fa-f]{2})\b)");
    for (auto it = std::sregex_iterator(body.begin(), body.end(), hex);
         it != std::sregex_iterator(); ++it)
        bytes.push_back(static_cast<uint8_t>(std::stoi((*it)[1].str(), nullptr, 16)));
    return bytes;
}

std::vector<Declared> Found(const std::vector<TopLevelCollection>& collections) {
    std::vector<Declared> found;
    for (const TopLevelCollection& collection : collections)
        found.push_back({collection.usagePage, collection.usage, collection.reportIds});
    return found;
}

struct KernelDescriptor {
    const char* file;
    const char* array;
    size_t length; // as the array's byte count, to show the excerpt was read whole
    std::vector<Declared> declared;
};

class KernelDescriptorTest : public ::testing::TestWithParam<KernelDescriptor> {};

TEST_P(KernelDescriptorTest, ParserFindsTheDeclaredCollectionsAndReportIds) {
    const KernelDescriptor& descriptor = GetParam();
    const auto bytes = ArrayBytes(descriptor.file, descriptor.array);
    ASSERT_TRUE(bytes) << "cannot read " << descriptor.array << " in " << descriptor.file;
    ASSERT_EQ(bytes->size(), descriptor.length);
    const auto collections = ParseReportDescriptor(*bytes);
    ASSERT_TRUE(collections);
    EXPECT_THAT(Found(*collections), ::testing::ElementsAreArray(descriptor.declared));
}

INSTANTIATE_TEST_SUITE_P(
    LinuxHidDrivers, KernelDescriptorTest,
    ::testing::Values(
        // A keyboard with five application collections on one interface: system control,
        // consumer control and two keyboard halves, each with its report id; the LED output
        // collection declares no id of its own and its report goes out under the id still in
        // force (4), report id being a global item.
        KernelDescriptor{"hid-holtek-kbd.c.excerpt",
                         "holtek_kbd_rdesc_fixed",
                         135,
                         {{0x0001, 0x0080, {1}},
                          {0x000C, 0x0001, {2}},
                          {0x0001, 0x0006, {3}},
                          {0x0001, 0x0006, {4}},
                          {0x0001, 0x0006, {4}}}},
        // A tablet: a vendor feature report under a Desktop collection of usage 0 (a usage
        // item without data), pen and puck collections with nested physical collections, Push
        // and Pop around their axes, a four-byte usage naming its own page, and a consumer
        // control collection.
        KernelDescriptor{"hid-kye.c.excerpt",
                         "pensketch_m912_rdesc_fixed",
                         251,
                         {{0x0001, 0x0000, {5}},
                          {0x000D, 0x0001, {16}},
                          {0x000D, 0x0021, {17}},
                          {0x000C, 0x0001, {18}}}},
        // A wheel without report ids: one joystick collection holding two logical ones.
        KernelDescriptor{"hid-lg.c.excerpt", "df_rdesc_fixed", 132, {{0x0001, 0x0004, {}}}}),
    [](const ::testing::TestParamInfo<KernelDescriptor>& param) {
        return std::string(param.param.array);
    });

} // namespace
} // namespace tavrik
