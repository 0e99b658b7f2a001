// Which control groups the lighting panel shows for every effect byte the keyboard may report.

#include "lighting/panel_layout.h"

#include <gtest/gtest.h>

namespace tavrik {
namespace {

struct LayoutCase {
    int effect;
    LightingPanelLayout expected;
};

LightingPanelLayout Layout(bool brightness, bool speed) {
    LightingPanelLayout layout;
    layout.effectList = true;
    layout.brightness = brightness;
    layout.speed = speed;
    return layout;
}

LightingPanelLayout With(LightingPanelLayout layout, bool LightingPanelLayout::*group) {
    layout.*group = true;
    return layout;
}

std::vector<LayoutCase> EditModeCases() {
    const LightingPanelLayout plain = Layout(true, true);
    LightingPanelLayout reactive = With(Layout(false, true), &LightingPanelLayout::keyTrigger);
    reactive.speedInReactivePlace = true;
    return {
        {1, With(plain, &LightingPanelLayout::direction)},
        {2, With(plain, &LightingPanelLayout::triggerMode)},
        {3, plain},
        {4, With(plain, &LightingPanelLayout::breathing)},
        {5, reactive},
        {6, With(Layout(true, false), &LightingPanelLayout::keyPaint)},
        {7, plain},
        {8, plain},
        {9, plain},
        {10, plain},
        // Outside 1..10 the list and every effect control hide.
        {0, {}},
        {11, {}},
        {255, {}},
    };
}

TEST(PanelLayoutTest, EachEffectShowsItsOwnControls) {
    for (const LayoutCase& c : EditModeCases()) {
        SCOPED_TRACE(c.effect);
        EXPECT_EQ(PanelLayoutFor(true, c.effect), c.expected);
    }
}

TEST(PanelLayoutTest, WithTheEditModeOffNothingButThePlaceOfTheSpeedDependsOnTheEffect) {
    for (const LayoutCase& c : EditModeCases()) {
        SCOPED_TRACE(c.effect);
        LightingPanelLayout hidden;
        hidden.speedInReactivePlace = c.effect == 5;
        EXPECT_EQ(PanelLayoutFor(false, c.effect), hidden);
    }
}

} // namespace
} // namespace tavrik
