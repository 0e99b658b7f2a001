#include "assign/key_description.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace tavrik {
namespace {

using enum KeyFunctionType;

constexpr ScanCode kQ = 0x010;
constexpr int kQButton = 1044;

std::vector<MacroRecord> TwoMacros() {
    return {MacroRecord{.name = u"宏1", .id = 1}, MacroRecord{.name = u"宏2", .id = 2}};
}

TEST(KeyDescriptionTest, DescribeKey) {
    const std::vector<MacroRecord> macros = TwoMacros();
    const struct {
        KeyFunctionEntry entry;
        std::u16string text;
        bool assigned;
    } cases[] = {
        {{.type = Default, .value = 0x11}, u"Q", false},
        {{.type = SingleKey, .value = 0x011}, u"Q按键，设定为: 单键(W)", true},
        {{.type = Disabled}, u"Q按键，设定为: ", true},
        {{.type = LaunchProgram}, u"Q按键，设定为: ", true},
        {{.type = StopMacro}, u"Q按键，设定为: ", true},
        {{.type = TextBlock}, u"Q按键，设定为: ", true},
        {{.type = PlayMacro, .value = 2}, u"Q按键，设定为: 宏(宏2)", true},
        {{.type = PlayMacro, .value = 7}, u"Q按键，设定为: 宏()", true},
        {{.type = Multimedia, .value = 1}, u"Q按键，设定为: 多媒体(播放/暂停)", true},
        {{.type = Multimedia, .value = 18}, u"Q按键，设定为: ", true},
        {{.type = FunctionKey, .value = 10}, u"Q按键，设定为: 功能键(放大)", true},
        {{.type = FunctionKey, .value = 20}, u"Q按键，设定为: 功能键(B1)", true},
        {{.type = FunctionKey, .value = 16}, u"Q按键，设定为: 功能键()", true},
        {{.type = FunctionKey, .value = 29}, u"Q按键，设定为: 功能键()", true},
        {{.type = static_cast<KeyFunctionType>(9)}, u"Q", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "type " << static_cast<int>(c.entry.type) << " value " << c.entry.value);
        EXPECT_EQ(DescribeKey(kQ, c.entry, macros), (KeyDescription{c.text, c.assigned}));
    }
}

TEST(KeyDescriptionTest, DescribeMacroKeyNamesTheGKey) {
    const KeyFunctionEntry entry{.type = PlayMacro, .code = 0x0303, .value = 2};
    EXPECT_EQ(DescribeMacroKey(2, entry, TwoMacros()),
              (KeyDescription{u"G3按键，设定为: 宏(宏2)", true}));
    EXPECT_EQ(DescribeMacroKey(8, KeyFunctionEntry{.code = 0x1309}, {}),
              (KeyDescription{u"G9", false}));
}

class RecordingView : public KeyButtonView {
public:
    void SetKeyDescription(int buttonId, const KeyDescription& description) override {
        buttons[buttonId] = description;
    }
    std::map<int, KeyDescription> buttons;
};

KeyFunctionLayers LayersWithQAssignedInLayer1() {
    KeyFunctionLayers layers{};
    layers[1][KeyIndexFromScan(kQ)] = {.type = Disabled, .selectionFlag = 1, .reserved = 2};
    layers[1][MacroKeySlot(0, true)] = {.type = PlayMacro, .code = 0x1301, .value = 1};
    layers[1][MacroKeySlot(0, false)] = {.type = StopMacro, .code = 0x0301};
    layers[2][KeyIndexFromScan(kQ)] = {.type = Disabled};
    return layers;
}

TEST(KeyDescriptionTest, RefreshDescribesTheGKeysOfTheBankAndEveryKeyButton) {
    const KeyFunctionLayers layers = LayersWithQAssignedInLayer1();
    RecordingView view;
    RefreshKeyDescriptions(view, layers, TwoMacros(), 1, true);
    EXPECT_EQ(view.buttons.size(), 9u + 104u);
    EXPECT_EQ(view.buttons[kQButton], (KeyDescription{u"Q按键，设定为: ", true}));
    EXPECT_EQ(view.buttons[1000], (KeyDescription{u"G1按键，设定为: 宏(宏1)", true}));
    EXPECT_EQ(view.buttons[1143], (KeyDescription{u"G9", false}));
    EXPECT_EQ(view.buttons[1022], (KeyDescription{u"Esc", false}));

    RefreshKeyDescriptions(view, layers, TwoMacros(), 1, false);
    EXPECT_EQ(view.buttons[1000], (KeyDescription{u"G1按键，设定为: ", true}));
}

TEST(KeyDescriptionTest, WithoutAnActiveLayerEveryButtonIsDescribedAsDefault) {
    RecordingView view;
    RefreshKeyDescriptions(view, LayersWithQAssignedInLayer1(), {}, std::nullopt, true);
    EXPECT_EQ(view.buttons.size(), 113u);
    for (const auto& [button, description] : view.buttons) {
        EXPECT_FALSE(description.assigned) << button;
    }
    EXPECT_EQ(view.buttons[kQButton].text, u"Q");
}

TEST(KeyDescriptionTest, ResetClearsTheButtonsOfTheActiveLayerOnly) {
    KeyFunctionLayers layers = LayersWithQAssignedInLayer1();
    layers[1][0x54] = {.type = Disabled}; // Sys Req has no button: it keeps its function
    RecordingView view;
    EXPECT_TRUE(ResetLayerFunctions(view, layers, 1, true));

    EXPECT_EQ(layers[1][KeyIndexFromScan(kQ)], KeyFunctionEntry{});
    EXPECT_EQ(layers[1][MacroKeySlot(0, true)], KeyFunctionEntry{});
    EXPECT_EQ(layers[1][MacroKeySlot(0, false)].type, StopMacro); // the other bank
    EXPECT_EQ(layers[1][0x54].type, Disabled);
    EXPECT_EQ(layers[2][KeyIndexFromScan(kQ)].type, Disabled);
    EXPECT_EQ(view.buttons.size(), 113u);
    EXPECT_EQ(view.buttons[kQButton], (KeyDescription{u"Q", false}));
    EXPECT_EQ(view.buttons[1000], (KeyDescription{u"G1", false}));
}

TEST(KeyDescriptionTest, ResetWithoutAnActiveLayerChangesNothing) {
    KeyFunctionLayers layers = LayersWithQAssignedInLayer1();
    const KeyFunctionLayers before = layers;
    RecordingView view;
    EXPECT_FALSE(ResetLayerFunctions(view, layers, std::nullopt, false));
    EXPECT_EQ(layers, before);
    EXPECT_TRUE(view.buttons.empty());
}

} // namespace
} // namespace tavrik
