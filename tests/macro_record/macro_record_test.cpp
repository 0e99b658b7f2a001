#include "macro_record/macro_record.h"

#include "device/byte_order.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace tavrik {
namespace {

namespace layout = macro_record_layout;
using RecordBytes = std::array<uint8_t, layout::kSize>;

MacroRecord SampleRecord() {
    MacroRecord record;
    record.name = u"宏Ab";
    record.loopCount = 7;
    record.isNew = true;
    record.reserved504 = 0xBEEF;
    record.id = 42;
    record.actions = {{.delayMs = 0x01020304, .key = 0x11D, .direction = KeyDirection::Press},
                      {.delayMs = 50, .key = 0x01E, .direction = KeyDirection::Release}};
    return record;
}

TEST(MacroRecordTest, FieldsSitAtTheirOffsetsLittleEndian) {
    RecordBytes bytes;
    bytes.fill(0xCC); // every byte the record does not use must come out zero
    WriteMacroRecord(SampleRecord(), bytes);

    EXPECT_EQ(ReadU16(bytes, 0), u'宏');
    EXPECT_EQ(ReadU16(bytes, 2), u'A');
    EXPECT_EQ(ReadU16(bytes, 4), u'b');
    EXPECT_EQ(ReadU16(bytes, 6), 0); // terminator
    EXPECT_EQ(bytes[500], 7);
    EXPECT_EQ(bytes[501], 0);
    EXPECT_EQ(ReadU16(bytes, 502), 1);
    EXPECT_EQ(ReadU16(bytes, 504), 0xBEEF);
    EXPECT_EQ(ReadU16(bytes, 506), 42);
    EXPECT_EQ(ReadU16(bytes, 508), 2);
    EXPECT_EQ(ReadU16(bytes, 510), 0);
    const std::array<uint8_t, 16> actions{0x04, 0x03, 0x02, 0x01, 0x1D, 0x01, 0x00, 0x00,
                                          0x32, 0x00, 0x00, 0x00, 0x1E, 0x00, 0x01, 0x00};
    EXPECT_TRUE(std::equal(actions.begin(), actions.end(), bytes.begin() + 512));
    EXPECT_TRUE(std::all_of(bytes.begin() + 528, bytes.end(), [](uint8_t b) { return b == 0; }));
    EXPECT_TRUE(
        std::all_of(bytes.begin() + 8, bytes.begin() + 500, [](uint8_t b) { return b == 0; }));

    EXPECT_EQ(ReadMacroRecord(bytes), SampleRecord());
}

TEST(MacroRecordTest, ReadingKeepsWithinTheRecordsLimits) {
    RecordBytes bytes{};
    for (size_t i = 0; i < layout::kNameUnits; ++i) {
        WriteU16(bytes, 2 * i, u'x'); // no terminator anywhere in the name area
    }
    WriteU16(bytes, layout::kActionCount, 0xFFFF);
    WriteU16(bytes, layout::kActions + 6, 7); // a direction that is neither press nor release
    WriteU16(bytes, layout::kActions + 8 + 6, 1);

    const MacroRecord record = ReadMacroRecord(bytes);
    EXPECT_EQ(record.name.size(), kMaxMacroNameLength);
    EXPECT_EQ(record.actions.size(), kMaxMacroActions);
    EXPECT_EQ(record.actions[0].direction, KeyDirection::Press);
    EXPECT_EQ(record.actions[1].direction, KeyDirection::Release);
}

TEST(MacroRecordTest, WritingNeverOverflowsTheRecord) {
    MacroRecord record;
    record.name = std::u16string(400, u'n');
    record.actions.resize(kMaxMacroActions + 5, MacroAction{.delayMs = 10, .key = 0x1E});
    RecordBytes bytes{};
    WriteMacroRecord(record, bytes);
    EXPECT_EQ(ReadU16(bytes, 2 * kMaxMacroNameLength), 0); // the terminator still fits
    EXPECT_EQ(ReadU16(bytes, layout::kActionCount), kMaxMacroActions);
    const MacroRecord readBack = ReadMacroRecord(bytes);
    EXPECT_EQ(readBack.name, std::u16string(kMaxMacroNameLength, u'n'));
    EXPECT_EQ(readBack.actions.size(), kMaxMacroActions);
}

TEST(MacroRecordTest, MacroArrayReadsNoMoreThanTheLimitAndTheBytes) {
    std::vector<MacroRecord> records(101, SampleRecord());
    const std::vector<uint8_t> bytes = WriteMacroArray(records);
    ASSERT_EQ(bytes.size(), 101 * layout::kSize);
    const struct {
        size_t available;
        size_t declared;
        size_t read;
    } cases[] = {
        {101 * layout::kSize, 101, 100},
        {2 * layout::kSize + 100, 5, 2},
        {layout::kSize - 1, 1, 0},
        {3 * layout::kSize, 1, 1},
    };
    for (const auto& c : cases) {
        const auto read = ReadMacroArray(std::span(bytes).first(c.available), c.declared);
        EXPECT_EQ(read.size(), c.read) << c.available << " " << c.declared;
        for (const MacroRecord& record : read) {
            EXPECT_EQ(record, SampleRecord());
        }
    }
}

TEST(MacroRecordTest, DefaultNames) {
    EXPECT_EQ(DefaultMacroName(1), u"宏1");
    EXPECT_EQ(DefaultMacroName(100), u"宏100");
}

} // namespace
} // namespace tavrik
