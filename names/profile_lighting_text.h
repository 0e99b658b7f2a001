#pragma once
// The lighting section of a profile text (profile_text.h): the last lines, each beginning with
// "lighting", in this order:
//
//     lighting effect per-key                effect's English name, or its number without one
//     lighting brightness 20                 0..255 as the keyboard holds it (the panel: 0..25)
//     lighting speed 20                      the panel's slider, 0 slowest .. 25 fastest; a
//                                            stored speed past 25 as "raw N"
//     lighting direction left                left, right, or the stored number
//     lighting option trigger-mode 0         each of the four options, 0 first choice, 1 second
//     lighting key "Q" 010101                each key whose colour is not FFFFFF (lit), by
//                                            position; keys without a name as pos:N
//
// Every line but the keys must be there once.

#include "names/profile_lighting.h"

#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace tavrik {

std::string LightingLines(const ProfileLighting& lighting);

// A lighting line's words: bare words, and a key name in quotes in the place of an empty word.
struct LightingWords {
    std::vector<std::string> words;
    std::optional<std::string> quoted;
};

// Takes the lighting lines one at a time.
class LightingLineReader {
public:
    // `rest` is the line after the word "lighting"; what was expected when it is faulty.
    std::optional<std::string> Read(std::string_view rest);
    // What is missing once the lines are read; nothing when the section is whole (or absent).
    std::optional<std::string> Missing() const;

    bool Any() const { return any_; }
    const ProfileLighting& Lighting() const { return lighting_; }

private:
    std::optional<std::string> ReadEffect(const std::vector<std::string>& words);
    std::optional<std::string> ReadSpeed(const std::vector<std::string>& words);
    std::optional<std::string> ReadDirection(const std::vector<std::string>& words);
    std::optional<std::string> ReadOption(const std::vector<std::string>& words);
    std::optional<std::string> ReadKey(const LightingWords& split);
    static std::optional<std::string> ReadByte(const std::vector<std::string>& words,
                                               std::string_view what, uint8_t& into);

    ProfileLighting lighting_ = LitLighting();
    bool any_ = false;
    std::set<std::string, std::less<>> seen_;
    std::set<KeyPosition> keysSeen_;
};

} // namespace tavrik
