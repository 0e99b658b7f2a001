#include "profile/profile_header.h"

#include <gtest/gtest.h>

namespace tavrik {
namespace {

TEST(ProfileHeader, DefaultHeaderBytes) {
    const ProfileHeaderBytes expected{0x46, 0x44, 0x20, 0x00, 0x03, 0x00, 0x01, 0x00,
                                      0x40, 0x80, 0x00, 0x00, 0x00, 0x08, 0x00, 0x00,
                                      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                                      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x76};
    EXPECT_EQ(SerialiseProfileHeader(BuildProfileHeader(0, 0, 0)), expected);
    EXPECT_TRUE(IsAcceptableProfileHeader(expected));
}

TEST(ProfileHeader, LengthsChecksumAndFieldsRoundTrip) {
    const ProfileHeader built = BuildProfileHeader(100, 8, 1);
    EXPECT_EQ(built.totalLength, 100u * 16'512u + 8u + 32'832u);
    const ProfileHeaderBytes bytes = SerialiseProfileHeader(built);
    EXPECT_EQ(bytes[header::kFlag], 1);
    EXPECT_EQ(bytes[header::kChecksum], ProfileHeaderChecksum(bytes));
    EXPECT_EQ(ParseProfileHeader(bytes), built);
}

TEST(ProfileHeader, LengthsThatWouldWrapAroundAreRejected) {
    // 1 x 16,512 + 0xFFFFFFFF + 32,832 is 49,343 in 32-bit arithmetic.
    ProfileHeader wrapped = BuildProfileHeader(1, 0, 0);
    wrapped.textBytes = 0xFFFFFFFF;
    wrapped.totalLength = 49'343;
    ProfileHeaderBytes bytes = SerialiseProfileHeader(wrapped);
    bytes[header::kChecksum] = ProfileHeaderChecksum(bytes);
    EXPECT_FALSE(IsAcceptableProfileHeader(bytes));
}

} // namespace
} // namespace tavrik
