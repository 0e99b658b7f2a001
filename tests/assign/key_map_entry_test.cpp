#include "assign/key_map_entry.h"

#include <gtest/gtest.h>

namespace tavrik {
namespace {

struct ScanCase {
    KeyMapEntry entry;
    ScanCode scan;
};

TEST(KeyMapEntryTest, ScanFromKeyMapEntry) {
    const ScanCase cases[] = {
        {{2, 1, 0x20}, 0x036}, // right Shift by its modifier bit
        {{2, 1, 0x21}, 0x01D}, // several bits: the lowest wins
        {{2, 1, 0x00}, 0},     // empty mask
        {{2, 3, 0x02}, 0x02A}, // any sub but 2 is a modifier mask
        {{2, 2, 0x04}, 0x01E}, // the A key
        {{2, 2, 0xE5}, 0x036}, // usage of right Shift: the first row with it
        {{2, 2, 0x48}, 0x045}, // Pause, not Break
        {{3, 0xCD, 0x00}, 0x122},
        {{3, 0x23, 0x02}, 0x132}, // consumer usage 0x0223 across sub and
                                  // arg
        {{3, 0x99, 0x99}, 0},
        {{4, 0x81, 0x00}, 0x15E},
        {{4, 0x84, 0x00}, 0},
        {{5, 1, 2}, 0},
        {{0, 0, 0}, 0},
        {{0xAA, 0x55, 0xFF}, 0},
    };
    for (const ScanCase& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << int(c.entry.kind) << " " << int(c.entry.sub) << " " << int(c.entry.arg));
        EXPECT_EQ(ScanFromKeyMapEntry(c.entry), c.scan);
    }
}

struct EncodeCase {
    ScanCode scan;
    KeyMapEntry action;    // as a macro action sends it
    KeyMapEntry singleKey; // as a key remapped to it sends it
};

TEST(KeyMapEntryTest, KeyMapEntriesFromScan) {
    const EncodeCase cases[] = {
        {0x02A, {2, 1, 0x02}, {2, 1, 0x02}},    // left Shift
        {0x036, {2, 1, 0x20}, {2, 1, 0x20}},    // right Shift
        {0x15C, {2, 1, 0x80}, {2, 1, 0x80}},    // right Win
        {0x01E, {2, 2, 0x04}, {2, 2, 0x04}},    // A
        {0x122, {3, 0xCD, 0x00}, {2, 2, 0x00}}, // play/pause: no keyboard usage
        {0x132, {3, 0x23, 0x02}, {2, 2, 0x00}}, {0x15E, {4, 0x81, 0x00}, {2, 2, 0x00}}, // power
        {0x171, {0, 0, 0}, {2, 2, 0x00}}, // left mouse button: no usage at all
        {0x05A, {0, 0, 0}, {2, 2, 0x00}}, // an empty row
    };
    for (const EncodeCase& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.scan);
        EXPECT_EQ(KeyMapEntryFromScan(c.scan), c.action);
        EXPECT_EQ(SingleKeyMapEntry(c.scan), c.singleKey);
    }
}

TEST(KeyMapEntryTest, WhatReadsBackIsStoredTheSameWayAgain) {
    // Keys sharing a usage read back as the first of them (0x136 as 0x036); after that one
    // round every key must stay the same through the keyboard's encoding.
    for (ScanCode scan = 0; scan < 0x180; ++scan) {
        const ScanCode readBack = ScanFromKeyMapEntry(KeyMapEntryFromScan(scan));
        SCOPED_TRACE(testing::Message() << std::hex << scan);
        EXPECT_EQ(ScanFromKeyMapEntry(KeyMapEntryFromScan(readBack)), readBack);
    }
}

TEST(KeyMapEntryTest, BlockAccessUsesThreeBytesPerPosition) {
    KeyMapBlock block{};
    WriteKeyMapEntry(block, 159, {5, 1, 7});
    EXPECT_EQ(block[477], 5);
    EXPECT_EQ(block[478], 1);
    EXPECT_EQ(block[479], 7);
    EXPECT_EQ(ReadKeyMapEntry(block, 159), (KeyMapEntry{5, 1, 7}));
}

} // namespace
} // namespace tavrik
