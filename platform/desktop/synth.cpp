#include "platform/desktop/synth.h"

#include "platform/desktop/desktop.h"
#include "platform/win/sound.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace platform::desktop {

namespace {

// Debian's General MIDI font first, then whatever font the system names as its
// default, then any other installed one.
std::vector<std::string> FontCandidates() {
    std::vector<std::string> fonts = {"/usr/share/sounds/sf2/TimGM6mb.sf2",
                                      "/usr/share/sounds/sf2/default-GM.sf2",
                                      "/usr/share/soundfonts/default.sf2"};
    for (const char* folder : {"/usr/share/sounds/sf2", "/usr/share/soundfonts"}) {
        std::error_code error;
        std::vector<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
            std::string extension = entry.path().extension().string();
            std::transform(extension.begin(), extension.end(), extension.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
            if (extension == ".sf2") found.push_back(entry.path().string());
        }
        std::sort(found.begin(), found.end());
        fonts.insert(fonts.end(), found.begin(), found.end());
    }
    return fonts;
}

// A SoundFont 2 file: a RIFF of form "sfbk". Only these are offered to the
// synthesiser, whose loaders of other kinds complain on the terminal.
bool IsSoundFont(const std::string& path) {
    char head[12] = {};
    std::ifstream(path, std::ios::binary).read(head, sizeof head);
    return std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "sfbk", 4) == 0;
}

std::vector<std::string> fontsGiven;
bool fontsChosen = false;
Synth* instance = nullptr;

} // namespace

void UseSoundFonts(std::vector<std::string> paths) {
    fontsGiven = std::move(paths);
    fontsChosen = true;
}

Synth* Synth::Get() {
    if (instance) return instance;
    auto* made = new Synth();
    if (!made->Load()) {
        delete made;
        return nullptr;
    }
    instance = made;
    SetMusicSource(
        [](float* mix, int frames, int rate) { return instance->Render(mix, frames, rate); });
    return instance;
}

bool Synth::Load() {
    // The synthesiser says nothing on the terminal.
    for (int level = FLUID_PANIC; level <= FLUID_DBG; ++level)
        fluid_set_log_function(level, nullptr, nullptr);
    settings = new_fluid_settings();
    if (!settings) return false;
    rate = 44100;
    fluid_settings_setnum(settings, "synth.sample-rate", rate);
    fluid_settings_setint(settings, "synth.lock-memory", 0);
    // The main thread's calls run beside the mixer's rendering.
    fluid_settings_setint(settings, "synth.threadsafe-api", 1);
    // The default gain leaves a lone instrument near -30 dBFS, far below the
    // sound effects; this brings it to about -20 dBFS, with room for full scores.
    fluid_settings_setnum(settings, "synth.gain", 0.6);
    synth = new_fluid_synth(settings);
    bool loaded = false;
    if (synth)
        for (const std::string& font : fontsChosen ? fontsGiven : FontCandidates())
            if (IsSoundFont(font) && fluid_synth_sfload(synth, font.c_str(), 1) != FLUID_FAILED) {
                loaded = true;
                break;
            }
    if (loaded) return true;
    if (synth) delete_fluid_synth(synth);
    delete_fluid_settings(settings);
    return false;
}

void Synth::Start(TuneCursor& tune, std::uint32_t fromMs) {
    std::lock_guard<std::mutex> hold(lock);
    if (fromMs == 0 && pass.active && pass.owner == &tune && !tune.playing) {
        pass.again = true;
        tune.positionMs = 0;
        tune.playing = true;
        return;
    }
    if (pass.owner && pass.owner != &tune) pass.owner->playing = false;
    fluid_synth_system_reset(synth);
    const auto& events = tune.song->events;
    const std::uint64_t from = std::uint64_t{fromMs} * 1000;
    pass = Pass{tune.song, &tune, 0, from, 0, true, false};
    for (; pass.next < events.size() && events[pass.next].time < from; ++pass.next) {
        std::uint8_t type = events[pass.next].status & 0xF0;
        if (type != 0x80 && type != 0x90 && type != 0xA0) Send(events[pass.next], *tune.song);
    }
    tune.positionMs = fromMs;
    tune.playing = true;
}

void Synth::Halt(TuneCursor& tune) {
    std::lock_guard<std::mutex> hold(lock);
    const bool ending = pass.again || !tune.playing;
    tune.playing = false;
    if (pass.owner != &tune) return;
    pass.owner = nullptr;
    pass.again = false;
    if (ending) return;
    pass.active = false;
    fluid_synth_all_sounds_off(synth, -1);
}

// What a reset clears, without cutting the notes that still sound.
void Synth::Restart() {
    for (int channel = 0; channel < 16; ++channel) {
        fluid_synth_cc(synth, channel, 121, 0); // all controllers
        fluid_synth_cc(synth, channel, 123, 0); // all notes off
        fluid_synth_cc(synth, channel, 7, 100);
        fluid_synth_cc(synth, channel, 10, 64);
        fluid_synth_program_change(synth, channel, 0);
    }
    pass.next = 0;
    pass.startUs = 0;
    pass.frames = 0;
    pass.again = false;
}

void Synth::Send(const MidiEvent& event, const MidiSong& song) {
    int channel = event.status & 0x0F;
    switch (event.status & 0xF0) {
    case 0x80:
        fluid_synth_noteoff(synth, channel, event.data1);
        break;
    case 0x90:
        // A note-on of velocity 0 ends the note.
        fluid_synth_noteon(synth, channel, event.data1, event.data2);
        break;
    case 0xA0:
        fluid_synth_key_pressure(synth, channel, event.data1, event.data2);
        break;
    case 0xB0:
        fluid_synth_cc(synth, channel, event.data1, event.data2);
        break;
    case 0xC0:
        fluid_synth_program_change(synth, channel, event.data1);
        break;
    case 0xD0:
        fluid_synth_channel_pressure(synth, channel, event.data1);
        break;
    case 0xE0:
        fluid_synth_pitch_bend(synth, channel, event.data2 << 7 | event.data1);
        break;
    default: {
        const auto& bytes = song.sysex;
        fluid_synth_sysex(synth, reinterpret_cast<const char*>(bytes.data() + event.sysexOffset),
                          static_cast<int>(event.sysexLength), nullptr, nullptr, nullptr, 0);
        break;
    }
    }
}

// Sends the events due at the pass's frame and moves it on by at most `most`
// frames, up to the next event; the frames to render, 0 when nothing sounds.
// At the end of a pass the next one starts at once when it was asked for; the
// owner hears of the end a little ahead of it.
int Synth::Advance(int most) {
    if (pass.active) {
        const auto& events = pass.song->events;
        const std::uint64_t length = pass.song->length;
        auto timeAt = [&](std::uint64_t frame) {
            return pass.startUs + frame * 1000000 / static_cast<std::uint64_t>(rate);
        };
        const std::uint64_t now = timeAt(pass.frames);
        while (pass.next < events.size() && events[pass.next].time <= now)
            Send(events[pass.next++], *pass.song);
        if (pass.next >= events.size() && now >= length) {
            if (pass.again) {
                Restart();
                return Advance(most);
            }
            pass.active = false;
            if (pass.owner) {
                pass.owner->positionMs = pass.song->LengthMs();
                pass.owner->playing = false;
                pass.owner = nullptr;
            }
        } else {
            const std::uint64_t until = pass.next < events.size() ? events[pass.next].time : length;
            const std::uint64_t due =
                ((until - pass.startUs) * static_cast<std::uint64_t>(rate) + 999999) / 1000000;
            if (due > pass.frames)
                most = static_cast<int>(std::min<std::uint64_t>(due - pass.frames, most));
            else
                most = 1;
            pass.frames += static_cast<std::uint64_t>(most);
            const std::uint64_t reached = timeAt(pass.frames);
            if (pass.owner && !pass.again) {
                const bool ending = reached + kLeadUs >= length;
                pass.owner->positionMs =
                    ending ? pass.song->LengthMs() : static_cast<std::uint32_t>(reached / 1000);
                if (ending) pass.owner->playing = false;
            }
            return most;
        }
    }
    return fluid_synth_get_active_voice_count(synth) > 0 ? most : 0;
}

// On the mixer's thread: renders the tune, event by event, and adds it to
// `mix`. A tune whose last event has passed is over; its notes ring on to their
// natural end. Whether anything sounded.
bool Synth::Render(float* mix, int frames, int outputRate) {
    for (int done = 0; done < frames;) {
        int n;
        {
            std::lock_guard<std::mutex> hold(lock);
            if (outputRate != rate) {
                // The output's format changed (rare): synthesise at its rate from now on.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
                fluid_synth_set_sample_rate(synth, static_cast<float>(outputRate));
#pragma GCC diagnostic pop
                pass.startUs += pass.frames * 1000000 / static_cast<std::uint64_t>(rate);
                pass.frames = 0;
                rate = outputRate;
            }
            n = Advance(std::min(kChunk, frames - done));
        }
        if (n == 0) return done > 0;
        fluid_synth_write_float(synth, n, left, 0, 1, right, 0, 1);
        for (int i = 0; i < n; ++i) {
            mix[2 * (done + i)] += left[i];
            mix[2 * (done + i) + 1] += right[i];
        }
        done += n;
    }
    return true;
}

} // namespace platform::desktop
