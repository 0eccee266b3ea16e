// The Standard MIDI File reader: timing through tempo changes and divisions,
// running status, system exclusive data, wrappers, and damaged files.
#include "platform/formats/midi_file.h"
#include "tests/midi_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

platform::MidiSong Read(const Bytes& bytes, bool expected = true) {
    platform::MidiSong song;
    EXPECT_EQ(platform::ReadMidiFile(bytes.data(), bytes.size(), song), expected);
    return song;
}

std::vector<std::uint64_t> Times(const platform::MidiSong& song) {
    std::vector<std::uint64_t> times;
    for (const auto& event : song.events) times.push_back(event.time);
    return times;
}

TEST(MidiFile, TempoChangesOfTheFirstTrackTimeTheOthers) {
    // 480 ticks a quarter: two quarters at 0.5 s, then the tempo doubles.
    Track tempo = Track().Tempo(0, 500000).Tempo(960, 250000).End(960);
    Track notes = Track()
                      .Event(0, {0x90, 60, 100})
                      .Event(960, {0x80, 60, 0})
                      .Event(480, {0x90, 62, 100})
                      .End(480);
    auto song = Read(MidiFileBytes(1, 480, {tempo, notes}));
    EXPECT_EQ(Times(song), (std::vector<std::uint64_t>{0, 1000000, 1250000}));
    EXPECT_EQ(song.length, 1500000u);
    EXPECT_EQ(song.LengthMs(), 1500u);
    EXPECT_EQ(song.events[2].status, 0x90);
    EXPECT_EQ(song.events[2].data1, 62);
}

TEST(MidiFile, TracksMergeInTimeOrderKeepingTrackOrderAtEqualTimes) {
    Track a = Track().Event(10, {0x91, 1, 1}).Event(10, {0x91, 3, 1}).End(0);
    Track b = Track().Event(10, {0x92, 2, 1}).Event(5, {0x92, 4, 1}).End(100);
    auto song = Read(MidiFileBytes(1, 500, {a, b}));
    std::vector<int> keys;
    for (const auto& event : song.events) keys.push_back(event.data1);
    EXPECT_EQ(keys, (std::vector<int>{1, 2, 4, 3}));
    // The longest track sets the length: 115 ticks of a millisecond.
    EXPECT_EQ(song.LengthMs(), 115u);
}

TEST(MidiFile, RunningStatusOneByteMessagesAndSystemExclusive) {
    Track track = Track()
                      .Event(0, {0x90, 60, 100})
                      .Event(1, {62, 90}) // running status
                      .Event(1, {0xC3, 5})
                      .Event(1, {6}) // running program change: one data byte
                      .Event(1, {0xF0, 5, 0x7E, 0x7F, 0x09, 0x01, 0xF7})
                      .Event(1, {0xE0, 0x00, 0x40})
                      .End(0);
    auto song = Read(MidiFileBytes(0, 500, {track}));
    ASSERT_EQ(song.events.size(), 6u);
    EXPECT_EQ(song.events[1].status, 0x90);
    EXPECT_EQ(song.events[1].data1, 62);
    EXPECT_EQ(song.events[1].data2, 90);
    EXPECT_EQ(song.events[3].status, 0xC3);
    EXPECT_EQ(song.events[3].data1, 6);
    const auto& sysex = song.events[4];
    EXPECT_EQ(sysex.status, 0xF0);
    ASSERT_EQ(sysex.sysexLength, 4u); // without the closing F7
    EXPECT_EQ(Bytes(song.sysex.begin() + sysex.sysexOffset,
                    song.sysex.begin() + sysex.sysexOffset + sysex.sysexLength),
              (Bytes{0x7E, 0x7F, 0x09, 0x01}));
    EXPECT_EQ(song.events[5].status, 0xE0);
    EXPECT_EQ(song.events[5].data2, 0x40);
    EXPECT_EQ(song.length, 5000u);
}

TEST(MidiFile, FrameDivisionsIgnoreTempo) {
    // 25 frames of 40 ticks: a tick is a millisecond whatever the tempo says.
    Track track = Track().Tempo(0, 250000).Event(500, {0x90, 60, 1}).End(250);
    auto song = Read(MidiFileBytes(0, 0xE728, {track}));
    EXPECT_EQ(Times(song), (std::vector<std::uint64_t>{500000}));
    EXPECT_EQ(song.LengthMs(), 750u);
    // 30000/1001 frames of 1 tick: 30 ticks last 1.001 s.
    song = Read(MidiFileBytes(0, 0xE301, {Track().End(30)}));
    EXPECT_EQ(song.length, 1001000u);
}

TEST(MidiFile, RiffWrappedFileReadsAsItsData) {
    Bytes inner = OneNoteTune(250);
    Bytes wrapped{'R', 'I', 'F', 'F', 0, 0, 0,   0,   'R', 'M', 'I', 'D', 'L', 'I',
                  'S', 'T', 3,   0,   0, 0, 'a', 'b', 'c', 0,   'd', 'a', 't', 'a'};
    for (int i = 0; i < 4; ++i) wrapped.push_back(std::uint8_t(inner.size() >> (8 * i)));
    wrapped.insert(wrapped.end(), inner.begin(), inner.end());
    EXPECT_EQ(Times(Read(wrapped)), Times(Read(inner)));
    EXPECT_EQ(Read(wrapped).LengthMs(), 250u);
}

TEST(MidiFile, WhatIsNotAReadableMidiFileIsRefused) {
    Bytes good = OneNoteTune(100);
    Bytes format2 = good, noDivision = good, shortHeader(good.begin(), good.begin() + 12);
    format2[9] = 2;
    noDivision[12] = noDivision[13] = 0;
    Bytes badFrames = MidiFileBytes(0, 0xE001, {Track().End(1)}); // 32 frames a second
    Bytes noTrack = MidiFileBytes(0, 96, {});
    Bytes wave{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'};
    for (const Bytes& bytes :
         {format2, noDivision, shortHeader, badFrames, noTrack, wave, Bytes{}}) {
        auto song = Read(bytes, false);
        EXPECT_TRUE(song.events.empty());
        EXPECT_EQ(song.length, 0u);
    }
}

TEST(MidiFile, DamagedTracksAreReadAsFarAsTheyMakeSense) {
    Track start = Track().Event(0, {0x90, 60, 100}).Event(100, {0x80, 60, 0});
    // A data byte with its top bit set ends the track there.
    auto song = Read(MidiFileBytes(0, 500, {Track(start).Event(50, {0x90, 0x81, 1}).End(0)}));
    EXPECT_EQ(song.events.size(), 2u);
    EXPECT_EQ(song.LengthMs(), 100u);
    // Running status with nothing to run on; a delta time of five bytes.
    EXPECT_TRUE(Read(MidiFileBytes(0, 500, {Track().Event(0, {60, 1}).End(0)})).events.empty());
    Track longDelta = start;
    longDelta.bytes.insert(longDelta.bytes.end(), {0x81, 0x81, 0x81, 0x81, 0x01, 0x90, 61, 1});
    EXPECT_EQ(Read(MidiFileBytes(0, 500, {longDelta})).events.size(), 2u);
    // A track whose chunk claims more bytes than the file holds: read to the end.
    Bytes cut = MidiFileBytes(0, 500, {Track(start).Event(10, {0x90, 61, 1}).End(0)});
    cut[21] = 0xFF;
    cut.resize(cut.size() - 4); // no end of track
    song = Read(cut);
    EXPECT_EQ(Times(song), (std::vector<std::uint64_t>{0, 100000, 110000}));
    // A meta event longer than its track.
    song = Read(MidiFileBytes(0, 500, {Track(start).Event(0, {0xFF, 0x01, 0x7F, 'a'})}));
    EXPECT_EQ(song.events.size(), 2u);
}

TEST(MidiFile, CorpusOfMalformedFilesReadsSafely) {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(MIDI_CORPUS)) {
        std::ifstream in(entry.path(), std::ios::binary);
        Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        platform::MidiSong song;
        ++files;
        if (!platform::ReadMidiFile(bytes.data(), bytes.size(), song)) {
            EXPECT_TRUE(song.events.empty()) << entry.path();
            continue;
        }
        std::uint64_t last = 0;
        for (const auto& event : song.events) {
            EXPECT_GE(event.time, last) << entry.path();
            EXPECT_LE(event.time, song.length) << entry.path();
            last = event.time;
            if (event.status == 0xF0) {
                EXPECT_LE(std::uint64_t{event.sysexOffset} + event.sysexLength, song.sysex.size());
            } else {
                EXPECT_GE(event.status, 0x80) << entry.path();
                EXPECT_LT(event.status, 0xF0) << entry.path();
                EXPECT_LT(event.data1 | event.data2, 0x80) << entry.path();
            }
        }
    }
    EXPECT_GT(files, 10);
}

} // namespace
