// Playing sound objects: the mix selector, volume, pan and frequency per mix
// buffer, pausing, and the echo, checked on the device's buffers and output.
#include "tests/sound_test_support.h"

#include <climits>

namespace {

using namespace sound_test;
namespace headless = platform::headless;

class SoundPlay : public SoundTest {
  protected:
    // An object of 100 ms of a constant 16-bit mono sample at 22050 Hz.
    int Load(int mix, int value = 1000) {
        Write("a.wav", Wave(1, 22050, 16, Constant16(value, 2205)));
        return elSound::LoadObject(Name("a.wav").c_str(), mix);
    }
    static long Volume(int no, int mix) {
        long volume = 1;
        BufferOf(no, mix)->GetVolume(&volume);
        return volume;
    }
    static long Pan(int no, int mix) {
        long pan = 1;
        BufferOf(no, mix)->GetPan(&pan);
        return pan;
    }
    static DWORD Frequency(int no, int mix) {
        DWORD frequency = 0;
        BufferOf(no, mix)->GetFrequency(&frequency);
        return frequency;
    }
    // The mix buffers of the object that are playing, as a bit mask.
    static int Playing(int no) {
        int mask = 0;
        for (int mix = 0; mix < elSound::SoundTable[no].MixCount; ++mix)
            if (Status(BufferOf(no, mix)) & platform::DSBSTATUS_PLAYING) mask |= 1 << mix;
        return mask;
    }
};

TEST_F(SoundPlay, TurnsTakeTheMixBuffersInOrder) {
    const int no = Load(3);
    ASSERT_EQ(no, 0);
    for (int expected : {0, 1, 2, 0}) {
        elSound::Play(no, elSound::MIX_TURN);
        EXPECT_EQ(Playing(no), 1 << expected);
        headless::AdvanceClock(150); // the sample plays out
    }
    EXPECT_EQ(elSound::SoundTable[no].CurrentMix, 1);

    // A selector of 0 or more plays that buffer and leaves the turn alone.
    elSound::Play(no, 2);
    EXPECT_EQ(Playing(no), 1 << 2);
    EXPECT_EQ(elSound::SoundTable[no].CurrentMix, 1);
    EXPECT_EQ(elSound::SoundTable[no].Looping, 0);
    elSound::PlayLoop(no, 1);
    EXPECT_EQ(Status(BufferOf(no, 1)), platform::DSBSTATUS_PLAYING | platform::DSBSTATUS_LOOPING);
    EXPECT_EQ(elSound::SoundTable[no].CurrentMix, 1);
    EXPECT_EQ(elSound::SoundTable[no].Looping, 1);
}

TEST_F(SoundPlay, OverlappingPlaysSoundTogether) {
    const int no = Load(2, 1000);
    elSound::Play(no, elSound::MIX_EACH);
    headless::AdvanceClock(50);
    elSound::Play(no, elSound::MIX_EACH);
    headless::ClearSoundOutput();
    headless::AdvanceClock(10);
    // Both buffers sound: twice the sample.
    EXPECT_EQ(headless::SoundSamples()[0], 2000);
    // A play restarts its buffer from the start.
    elSound::Play(no, 0);
    EXPECT_LT(Position(BufferOf(no, 0)), 100u);
}

TEST_F(SoundPlay, ATurnArmsAnEchoOnlyOnObjectsThatCanEcho) {
    // Loaded with -4: the turns go round, nothing is reset, no echo is armed.
    int no = Load(-4);
    elSound::SetVolume(no, -10, elSound::MIX_EACH);
    elSound::SetPan(no, 10, elSound::MIX_EACH);
    for (int expected : {0, 1, 2, 3, 0}) {
        elSound::Play(no, elSound::MIX_TURN);
        EXPECT_EQ(Playing(no) & (1 << expected), 1 << expected);
        EXPECT_EQ(Volume(no, expected), -1000);
        EXPECT_EQ(elSound::SoundTable[no].EchoCounter, -1);
    }

    // Loaded with 4: the turn resets every buffer first and arms an echo.
    no = Load(4);
    elSound::SetVolume(no, -10, elSound::MIX_EACH);
    elSound::SetPan(no, 10, elSound::MIX_EACH);
    elSound::SetFrequency(no, 10, elSound::MIX_EACH);
    elSound::PlayLoop(no, 2);
    elSound::Play(no, elSound::MIX_TURN);
    const elSound::SoundObject& object = elSound::SoundTable[no];
    for (int mix = 0; mix < 4; ++mix) {
        EXPECT_EQ(Volume(no, mix), 0);
        EXPECT_EQ(Pan(no, mix), 0);
        EXPECT_EQ(Frequency(no, mix), 22050u);
    }
    EXPECT_EQ(object.EchoCounter, 1);
    EXPECT_EQ(object.EchoLoop, 0);
    EXPECT_EQ(object.EchoPanDb, 0.0f);
    EXPECT_TRUE(object.EchoDirection == 1 || object.EchoDirection == -1);
    EXPECT_EQ(object.CurrentMix, 1);
    EXPECT_EQ(Playing(no), 1 << 0 | 1 << 2);
    elSound::PlayLoop(no, elSound::MIX_TURN);
    EXPECT_EQ(object.EchoLoop, 1);
}

TEST_F(SoundPlay, SettingsAreClampedAndSelected) {
    const int no = Load(3);
    elSound::AddVolume(no, 5, 0);
    EXPECT_EQ(Volume(no, 0), 0);
    elSound::SetVolume(no, -150, 0);
    EXPECT_EQ(Volume(no, 0), -10000);
    EXPECT_EQ(elSound::MixTable[no][0].Volume, -10000);
    elSound::AddVolume(no, 30, 0);
    EXPECT_EQ(Volume(no, 0), -7000);
    elSound::ResetVolume(no, 0);
    EXPECT_EQ(Volume(no, 0), 0);

    elSound::SetFrequency(no, -1000, 1);
    EXPECT_EQ(Frequency(no, 1), 100u);
    elSound::AddFrequency(no, 2000, 1);
    EXPECT_EQ(Frequency(no, 1), 100000u);
    elSound::AddFrequency(no, -5, 1);
    EXPECT_EQ(Frequency(no, 1), 99500u);
    elSound::ResetFrequency(no, 1);
    EXPECT_EQ(Frequency(no, 1), 22050u);

    elSound::SetPan(no, 200, 2);
    EXPECT_EQ(Pan(no, 2), 10000);
    elSound::AddPan(no, -150, 2);
    EXPECT_EQ(Pan(no, 2), -5000);
    elSound::PanLeft(no, 2);
    EXPECT_EQ(Pan(no, 2), -10000);
    elSound::PanRight(no, 2);
    EXPECT_EQ(Pan(no, 2), 10000);
    elSound::ResetPan(no, 2);
    EXPECT_EQ(Pan(no, 2), 0);

    // Values far out of range saturate instead of overflowing.
    elSound::SetVolume(no, INT_MIN, 0);
    elSound::AddVolume(no, INT_MAX, 0);
    EXPECT_EQ(Volume(no, 0), 0);
    elSound::SetFrequency(no, INT_MAX, 0);
    EXPECT_EQ(Frequency(no, 0), 100000u);
    elSound::AddPan(no, INT_MIN, 0);
    EXPECT_EQ(Pan(no, 0), -10000);

    // MIX_TURN sets the turn's buffer, any other negative selector every one.
    elSound::Play(no, elSound::MIX_TURN); // resets all; the turn passes to 1
    elSound::SetVolume(no, -20, elSound::MIX_TURN);
    EXPECT_EQ(Volume(no, 0), 0);
    EXPECT_EQ(Volume(no, 1), -2000);
    EXPECT_EQ(Volume(no, 2), 0);
    elSound::SetPan(no, 3, -7);
    for (int mix = 0; mix < 3; ++mix) EXPECT_EQ(Pan(no, mix), 300);
    // The output follows: the left side of a buffer panned right is quieter.
    elSound::PanRight(no, 0);
    elSound::Stop(no, elSound::MIX_EACH);
    elSound::Play(no, 0);
    headless::ClearSoundOutput();
    headless::AdvanceClock(10);
    EXPECT_EQ(headless::SoundSamples()[0], 0);
    EXPECT_EQ(headless::SoundSamples()[1], 1000);
}

TEST_F(SoundPlay, PauseTwiceResumesWhereItWasInTheLastMode) {
    const int no = Load(2);
    elSound::PlayLoop(no, 0);
    headless::AdvanceClock(30);
    elSound::Pause(no, 0);
    const DWORD saved = elSound::MixTable[no][0].SavedPosition;
    EXPECT_EQ(saved, Position(BufferOf(no, 0)));
    EXPECT_GT(saved, 0u);
    EXPECT_EQ(Status(BufferOf(no, 0)), 0u);
    headless::AdvanceClock(500);
    EXPECT_EQ(Position(BufferOf(no, 0)), saved);
    // Something else moves the position; the second pause goes back to where it was.
    BufferOf(no, 0)->SetCurrentPosition(0);
    elSound::Pause(no, 0);
    EXPECT_EQ(Position(BufferOf(no, 0)), saved);
    EXPECT_EQ(Status(BufferOf(no, 0)), platform::DSBSTATUS_PLAYING | platform::DSBSTATUS_LOOPING);

    // After a play once, the resumed buffer plays once.
    elSound::Play(no, 1);
    headless::AdvanceClock(20);
    elSound::Pause(no, elSound::MIX_TURN); // every buffer: both stop
    EXPECT_EQ(Playing(no), 0);
    elSound::Pause(no, elSound::MIX_EACH);
    EXPECT_EQ(Status(BufferOf(no, 0)), platform::DSBSTATUS_PLAYING);
    EXPECT_EQ(Status(BufferOf(no, 1)), platform::DSBSTATUS_PLAYING);
    headless::AdvanceClock(200);
    EXPECT_EQ(Playing(no), 0);
}

TEST_F(SoundPlay, EchoReplaysAtFallingVolumeThenStops) {
    const int no = Load(4);
    FrameSeconds = 0.1f;
    elSound::Echo(no, 250, 3, 6); // nothing armed yet
    EXPECT_EQ(elSound::SoundTable[no].EchoCounter, 0);
    elSound::Play(no, elSound::MIX_TURN);
    headless::AdvanceClock(150);
    std::vector<long> volumes;
    std::vector<int> played;
    for (int frame = 0; frame < 20; ++frame) {
        const int turn = elSound::SoundTable[no].CurrentMix;
        elSound::Echo(no, 250, 3, 6);
        if (Playing(no)) {
            played.push_back(turn);
            volumes.push_back(Volume(no, turn));
        }
        headless::AdvanceClock(150); // each echo plays out within its frame
    }
    EXPECT_EQ(played, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(volumes, (std::vector<long>{-600, -1200, -1800}));
    EXPECT_EQ(elSound::SoundTable[no].EchoCounter, 0);

    // A looping play echoes looping; Stop with the turn selector ends the echo
    // and stops every buffer.
    elSound::PlayLoop(no, elSound::MIX_TURN);
    for (int frame = 0; frame < 3; ++frame) elSound::Echo(no, 250, 3, 6);
    EXPECT_EQ(elSound::SoundTable[no].EchoCounter, 2);
    EXPECT_EQ(Status(BufferOf(no, 1)), platform::DSBSTATUS_PLAYING | platform::DSBSTATUS_LOOPING);
    elSound::Stop(no, elSound::MIX_TURN);
    EXPECT_EQ(Playing(no), 0);
    EXPECT_EQ(Position(BufferOf(no, 1)), 0u);
    EXPECT_EQ(elSound::SoundTable[no].EchoCounter, 0);
    for (int frame = 0; frame < 10; ++frame) elSound::Echo(no, 250, 3, 6);
    EXPECT_EQ(Playing(no), 0);

    // Stop with a selector of 0 or more leaves the echo running.
    elSound::Play(no, elSound::MIX_TURN);
    elSound::Stop(no, 0);
    EXPECT_EQ(elSound::SoundTable[no].EchoCounter, 1);
}

TEST_F(SoundPlay, EchoPanSwingsAndTurnsAtThirtyDecibels) {
    const int no = Load(4);
    elSound::Play(no, elSound::MIX_TURN);
    const int direction = elSound::SoundTable[no].EchoDirection;
    FrameSeconds = 0.1f;
    // 50 dB a step: clamped at 30 on the first, then back by 50.
    elSound::EchoPan(no, 100, 9, 1, 5);
    EXPECT_EQ(Pan(no, 1), direction * 3000);
    EXPECT_EQ(Volume(no, 1), -100);
    EXPECT_EQ(elSound::SoundTable[no].EchoDirection, -direction);
    elSound::EchoPan(no, 100, 9, 1, 5);
    EXPECT_EQ(Pan(no, 2), -direction * 2000);
    EXPECT_EQ(elSound::SoundTable[no].EchoDirection, -direction);
    // Reaching 30 exactly does not turn; passing it does.
    elSound::EchoPan(no, 100, 9, 1, 1);
    EXPECT_EQ(Pan(no, 3), -direction * 3000);
    EXPECT_EQ(elSound::SoundTable[no].EchoDirection, -direction);
    elSound::EchoPan(no, 100, 9, 1, 1);
    EXPECT_EQ(Pan(no, 0), -direction * 3000);
    EXPECT_EQ(elSound::SoundTable[no].EchoDirection, direction);
    // The pan is the swing truncated toward zero: 28.77 dB gives 28.
    FrameSeconds = 0.0123f;
    elSound::EchoPan(no, 10, 9, 1, 1);
    EXPECT_EQ(Pan(no, 1), -direction * 2800);
    // Not yet due: nothing changes.
    elSound::EchoPan(no, 100, 9, 1, 1);
    EXPECT_EQ(elSound::SoundTable[no].CurrentMix, 2);
    EXPECT_EQ(elSound::SoundTable[no].EchoCounter, 6);
}

TEST_F(SoundPlay, GetPositionReadsTheFirstBuffer) {
    const int no = Load(2);
    EXPECT_EQ(elSound::GetPosition(no), 0u);
    elSound::Play(no, 0);
    headless::AdvanceClock(50);
    EXPECT_EQ(elSound::GetPosition(no), Position(BufferOf(no, 0)));
    EXPECT_GT(elSound::GetPosition(no), 0u);
    // Numbers and selectors outside the table do nothing.
    EXPECT_EQ(elSound::GetPosition(-1), 0u);
    EXPECT_EQ(elSound::GetPosition(70), 0u);
    elSound::Play(70, 0);
    elSound::Play(no, 10);
    elSound::SetVolume(no, -5, 12);
    elSound::Pause(-3, 0);
    EXPECT_EQ(elSound::SoundTable[no].CurrentMix, 0);
}

} // namespace
