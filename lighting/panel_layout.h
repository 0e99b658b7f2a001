#pragma once
// Which of the lighting panel's control groups show, by the edit mode and the effect the
// keyboard runs. Each effect has its own settings: effect 5 (key-press reactive) has no
// brightness and takes its speed controls up to where brightness would be; effect 6 (per key)
// has no speed but the key painting tools. With the edit mode off only the mode switch and its
// caption show; an effect the keyboard reports outside 1..10 shows no effect controls at all.

namespace tavrik {

struct LightingPanelLayout {
    bool effectList = false;
    bool brightness = false;
    bool speed = false;
    bool direction = false;   // effect 1
    bool triggerMode = false; // effect 2: triggered or continuous
    bool breathing = false;   // effect 4: all keys or alternating
    bool keyTrigger = false;  // effect 5: trigger area and press reaction
    bool keyPaint = false;    // effect 6: light and darken tools, all lit, all dark
    // The speed caption and slider sit in effect 5's places (brightness's row).
    bool speedInReactivePlace = false;
    bool operator==(const LightingPanelLayout&) const = default;
};

LightingPanelLayout PanelLayoutFor(bool editMode, int effect);

} // namespace tavrik
