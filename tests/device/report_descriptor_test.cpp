#include "device/report_descriptor.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace tavrik {
namespace {

struct Expected {
    uint16_t usagePage;
    uint16_t usage;
    std::vector<uint8_t> reportIds;
};

std::optional<std::vector<Expected>> Parsed(const std::vector<uint8_t>& descriptor) {
    const auto collections = ParseReportDescriptor(descriptor);
    if (!collections)
        return std::nullopt;
    std::vector<Expected> out;
    for (const auto& c : *collections)
        out.push_back({c.usagePage, c.usage, c.reportIds});
    return out;
}

bool operator==(const Expected& a, const Expected& b) {
    return a.usagePage == b.usagePage && a.usage == b.usage && a.reportIds == b.reportIds;
}

TEST(ReportDescriptor, FindsEachTopLevelCollectionAndItsReportIds) {
    struct Case {
        const char* name;
        std::vector<uint8_t> descriptor;
        std::optional<std::vector<Expected>> expected;
    };
    const Case cases[] = {
        {"vendor collection without report ids",
         {0x06, 0x1C, 0xFF, 0x09, 0x92, 0xA1, 0x01, 0x75, 0x08, 0x95, 0x40, 0x81, 0x02, 0xC0},
         std::vector<Expected>{{0xFF1C, 0x92, {}}}},
        {"two collections, ids declared before and inside",
         {0x85, 0x03, 0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x81, 0x00, 0xC0, //
          0x06, 0x1C, 0xFF, 0x09, 0x92, 0xA1, 0x01, 0x85, 0x04, 0x81, 0x02,
          0x91, 0x02, 0x85, 0x06, 0xB1, 0x02, 0xC0},
         std::vector<Expected>{{0x0C, 0x01, {3}}, {0xFF1C, 0x92, {4, 6}}}},
        {"four-byte usage names its page",
         {0x0B, 0x92, 0x00, 0x1C, 0xFF, 0xA1, 0x01, 0x85, 0x04, 0x81, 0x02, 0xC0},
         std::vector<Expected>{{0xFF1C, 0x92, {4}}}},
        {"nested collections belong to the top-level one",
         {0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x09, 0xE9, 0xA1, 0x02, 0x85, 0x07, 0x81, 0x02, 0xC0,
          0xC0},
         std::vector<Expected>{{0x0C, 0x01, {7}}}},
        {"pop brings the usage page back",
         {0x05, 0x08, 0xA4, 0x05, 0x0C, 0xB4, 0x09, 0x89, 0xA1, 0x01, 0x85, 0x05, 0x91, 0x02, 0xC0},
         std::vector<Expected>{{0x08, 0x89, {5}}}},
        {"long item skipped",
         {0xFE, 0x02, 0x10, 0xAA, 0xBB, 0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0xC0},
         std::vector<Expected>{{0x0C, 0x01, {}}}},
        {"empty descriptor", {}, std::vector<Expected>{}},
        {"item cut short", {0x05, 0x0C, 0x06, 0x1C}, std::nullopt},
        {"long item cut short", {0xFE, 0x09, 0x10, 0x01}, std::nullopt},
        {"end without collection", {0xC0}, std::nullopt},
        {"collection never ended", {0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01}, std::nullopt},
        {"pop without push", {0xB4}, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Parsed(c.descriptor), c.expected);
    }
}

TEST(ReportDescriptor, RefusesNestingBeyondItsLimit) {
    std::vector<uint8_t> deep;
    for (int i = 0; i < 1000; ++i)
        deep.insert(deep.end(), {0xA1, 0x00});
    EXPECT_EQ(ParseReportDescriptor(deep), std::nullopt);
}

} // namespace
} // namespace tavrik
