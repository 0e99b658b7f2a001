#include "app/main_controls.h"

namespace tavrik {

std::span<const MainControl> MainWindowControls() {
    static constexpr MainControl kControls[] = {
        {ID_LINK, u"OMBRIX_LINK", MainLooks::Link, u"", u"VOLTRI"},
        {ID_PROFILE_NAME, u"FUNC_PROFILES", MainLooks::Command, u"", u"<默认情景模式>"},
        {ID_MACRO, u"FUNC_MACRO", MainLooks::Command, u"", u"宏编辑..."},
        {ID_OK, u"CONTROL_OK", MainLooks::Command, u"", u"确定"},
        {ID_CANCEL, u"CONTROL_CANCEL", MainLooks::Command, u"", u"取消"},
        {ID_HELP, u"CONTROL_HELP", MainLooks::Command, u"帮助", u"Help"},
        {ID_CLOSE, u"CONTROL_CLOSE", MainLooks::Command, u"关闭", u"Close"},
        {ID_MINIMIZE, u"CONTROL_MINIMIZE", MainLooks::Command, u"最小化", u"Minimize"},
        {ID_MENU, u"CONTROL_MENU", MainLooks::Command, u"菜单", u"Button Menu"},
        {ID_APPLY, u"CONTROL2_APPLY", MainLooks::Apply, u"", u"应用"},
        {1125, u"LOCK_CAPS", MainLooks::Indicator, u"", u"Caps", true},
        {1126, u"LOCK_NUM", MainLooks::Indicator, u"", u"Num", true},
        {1127, u"LOCK_SCROLL", MainLooks::Indicator, u"", u"Scroll", true},
        {1128, u"LOCK_AB", MainLooks::Indicator, u"", u"AB", true},
        {1129, u"FLIP_0", MainLooks::FlipLamp, u"", u"Flip0", true},
        {1130, u"FLIP_1", MainLooks::Toggle, u"", u"Flip1"},
        {1131, u"FLIP_2", MainLooks::Toggle, u"", u"Flip2"},
        {ID_VERSION, u"OMBRIX_VER", MainLooks::Plate, u"", u"DRIVER VERSION V0.2", true},
        {1135, u"FUNC_PROFILE1", MainLooks::Toggle, u"", u"Profile1"},
        {1136, u"FUNC_PROFILE2", MainLooks::Toggle, u"", u"Profile2"},
        {1137, u"FUNC_PROFILE3", MainLooks::Toggle, u"", u"Profile3"},
        {1138, u"FUNC_DEFAULT", MainLooks::Toggle, u"", u"Default"},
        {1147, u"FUNC_REPORT1", MainLooks::Toggle, u"", u"report1"},
        {1168, u"FUNC_REPORT2", MainLooks::Toggle, u"", u"report2"},
        {1169, u"FUNC_REPORT3", MainLooks::Toggle, u"", u"report3"},
        {1170, u"FUNC_REPORT4", MainLooks::Toggle, u"", u"report4"},
        {ID_FN, u"KEY_FN", MainLooks::Toggle, u"", u"Fn"},
        {1000, u"FUNC_G1", MainLooks::Toggle, u"", u"G1"},
        {1001, u"FUNC_G2", MainLooks::Toggle, u"", u"G2"},
        {1002, u"FUNC_G3", MainLooks::Toggle, u"", u"G3"},
        {1003, u"FUNC_G4", MainLooks::Toggle, u"", u"G4"},
        {1004, u"FUNC_G5", MainLooks::Toggle, u"", u"G5"},
        {1140, u"FUNC_G6", MainLooks::Toggle, u"", u"G6", true},
        {1141, u"FUNC_G7", MainLooks::Toggle, u"", u"G7", true},
        {1142, u"FUNC_G8", MainLooks::Toggle, u"", u"G8", true},
        {1143, u"FUNC_G9", MainLooks::Toggle, u"", u"G9", true},
    };
    return kControls;
}

} // namespace tavrik
