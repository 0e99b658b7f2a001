#include "profile/profile_menu.h"

#include <gtest/gtest.h>

namespace tavrik {
namespace {

TEST(ProfileMenu, ItemsCheckedPositionCaptionAndTooltip) {
    const StoragePaths paths = StoragePathsIn("/home/u/Documents");
    const struct {
        int active;
        std::optional<size_t> checked;
        std::u16string caption;
    } cases[] = {
        {-1, 0, u"<默认情景模式>"}, {0, 2, u"$Profile0"},   {2, 4, u"$Profile0"},
        {3, std::nullopt, u""},     {7, std::nullopt, u""},
    };
    for (const auto& c : cases) {
        const ProfileMenu menu = BuildProfileMenu(c.active, paths);
        EXPECT_EQ(menu.items, (std::vector<ProfileMenuItem>{{9000, u"<默认情景模式>"},
                                                            {0, u""},
                                                            {9001, u"$Profile0"},
                                                            {9002, u"$Profile0"},
                                                            {9003, u"$Profile0"}}));
        EXPECT_EQ(menu.checkedPosition, c.checked) << c.active;
        EXPECT_EQ(menu.caption, c.caption) << c.active;
        EXPECT_EQ(menu.tooltip, u"当前情景模式: " + c.caption) << c.active;
    }
}

TEST(StoragePaths, StoreFileInTheStorageFolderUnderDocuments) {
    const StoragePaths paths = StoragePathsIn("/home/u/Documents");
    EXPECT_EQ(paths.folder, "/home/u/Documents/VOLTRI VX60 Driver");
    EXPECT_EQ(paths.storeFile, "/home/u/Documents/VOLTRI VX60 Driver/$Profile0");
}

} // namespace
} // namespace tavrik
