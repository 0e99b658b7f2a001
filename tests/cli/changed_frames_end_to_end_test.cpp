// tavrikctl writes only the frames the keyboard does not hold yet, unless told --full-write; the
// keyboard ends with the same memory either way.
#include "cli/emulated_keyboard_test.h"

#include <vector>

namespace {

using namespace tavrik::testing_support;

class CliChangedFrames : public EmulatedKeyboardTest {
protected:
    // Configuration frames the keyboard received while `args` ran.
    int FramesOf(const QStringList& args) {
        const int before = Frames();
        Do(args);
        return Frames() - before;
    }
    int Frames() { return Ctl({"frames"}).trimmed().toInt(); }
};

TEST_F(CliChangedFrames, ARemapAddsBracketOneFrameAndItsReadBackToWhatStartingReads) {
    const int starting = FramesOf({"info"});
    ASSERT_GT(starting, 0);

    EXPECT_EQ(FramesOf({"remap", "Q", "key:W"}), starting + 4);
    const std::vector<uint8_t> changedOnly = Dump("keymap0");

    Do({"remap", "Q", "key:E"});
    const int whole = FramesOf({"--full-write", "remap", "Q", "key:W"});
    EXPECT_EQ(Dump("keymap0"), changedOnly);
    // The key map's nine frames and the empty macro image's two (its magic cleared, then its
    // header), each read back.
    EXPECT_EQ(whole, starting + 2 + 2 * (9 + 2));
}

} // namespace
