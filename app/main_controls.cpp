#include "app/main_controls.h"

namespace tavrik {

std::span<const MainControl> MainWindowControls() {
    static constexpr MainControl kControls[] = {
        {ID_LINK, u"OMBRIX_LINK", MainLooks::Link, u""},
        {ID_PROFILE_NAME, u"FUNC_PROFILES", MainLooks::Command, u""},
        {ID_MACRO, u"FUNC_MACRO", MainLooks::Command, u""},
        {ID_OK, u"CONTROL_OK", MainLooks::Command, u""},
        {ID_CANCEL, u"CONTROL_CANCEL", MainLooks::Command, u""},
        {ID_HELP, u"CONTROL_HELP", MainLooks::Command, u"帮助"},
        {ID_CLOSE, u"CONTROL_CLOSE", MainLooks::Command, u"关闭"},
        {ID_MINIMIZE, u"CONTROL_MINIMIZE", MainLooks::Command, u"最小化"},
        {ID_MENU, u"CONTROL_MENU", MainLooks::Command, u"菜单"},
        {ID_APPLY, u"CONTROL2_APPLY", MainLooks::Apply, u""},
        {1125, u"LOCK_CAPS", MainLooks::Indicator, u"", true},
        {1126, u"LOCK_NUM", MainLooks::Indicator, u"", true},
        {1127, u"LOCK_SCROLL", MainLooks::Indicator, u"", true},
        {1128, u"LOCK_AB", MainLooks::Indicator, u"", true},
        {1129, u"FLIP_0", MainLooks::FlipLamp, u"", true},
        {1130, u"FLIP_1", MainLooks::Toggle, u""},
        {1131, u"FLIP_2", MainLooks::Toggle, u""},
        {ID_VERSION, u"OMBRIX_VER", MainLooks::Plate, u"", true},
        {1135, u"FUNC_PROFILE1", MainLooks::Toggle, u""},
        {1136, u"FUNC_PROFILE2", MainLooks::Toggle, u""},
        {1137, u"FUNC_PROFILE3", MainLooks::Toggle, u""},
        {1138, u"FUNC_DEFAULT", MainLooks::Toggle, u""},
        {1147, u"FUNC_REPORT1", MainLooks::Toggle, u""},
        {1168, u"FUNC_REPORT2", MainLooks::Toggle, u""},
        {1169, u"FUNC_REPORT3", MainLooks::Toggle, u""},
        {1170, u"FUNC_REPORT4", MainLooks::Toggle, u""},
        {ID_FN, u"KEY_FN", MainLooks::Toggle, u""},
        {1000, u"FUNC_G1", MainLooks::Toggle, u""},
        {1001, u"FUNC_G2", MainLooks::Toggle, u""},
        {1002, u"FUNC_G3", MainLooks::Toggle, u""},
        {1003, u"FUNC_G4", MainLooks::Toggle, u""},
        {1004, u"FUNC_G5", MainLooks::Toggle, u""},
        {1140, u"FUNC_G6", MainLooks::Toggle, u"", true},
        {1141, u"FUNC_G7", MainLooks::Toggle, u"", true},
        {1142, u"FUNC_G8", MainLooks::Toggle, u"", true},
        {1143, u"FUNC_G9", MainLooks::Toggle, u"", true},
    };
    return kControls;
}

} // namespace tavrik
