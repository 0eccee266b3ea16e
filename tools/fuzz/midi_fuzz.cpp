// libFuzzer entry for the MIDI file reader: every input is either read into
// events in time order within the tune's length, or refused with an empty song;
// never read or written out of bounds.
#include "platform/formats/midi_file.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    platform::MidiSong song;
    if (!platform::ReadMidiFile(data, size, song)) {
        if (!song.events.empty() || !song.sysex.empty() || song.length != 0) std::abort();
        return 0;
    }
    std::uint64_t last = 0;
    for (const platform::MidiEvent& event : song.events) {
        if (event.time < last || event.time > song.length) std::abort();
        last = event.time;
        if (event.status == 0xF0) {
            if (std::uint64_t{event.sysexOffset} + event.sysexLength > song.sysex.size())
                std::abort();
        } else if (event.status < 0x80 || event.status >= 0xF0 ||
                   (event.data1 | event.data2) >= 0x80) {
            std::abort();
        }
    }
    return 0;
}
