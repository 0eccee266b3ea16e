#include "platform/formats/midi_file.h"

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

// Times past a day are held there, and so are tick counts past 2^36: no real
// tune comes near, and the arithmetic below stays within 128 bits.
constexpr std::uint64_t kMaxTime = 24ull * 3600 * 1000000;
constexpr std::uint64_t kMaxTick = 1ull << 36;
constexpr std::uint32_t kDefaultTempo = 500000; // microseconds per quarter note

class Reader {
  public:
    Reader(const unsigned char* data, std::size_t size) : data(data), size(size) {}
    bool AtEnd() const { return pos >= size; }
    std::size_t Left() const { return size - pos; }
    std::size_t Pos() const { return pos; }
    void Skip(std::uint64_t bytes) {
        pos += static_cast<std::size_t>(std::min<std::uint64_t>(bytes, Left()));
    }
    bool Byte(std::uint8_t& value) {
        if (AtEnd()) return false;
        value = data[pos++];
        return true;
    }
    bool BigEndian(int bytes, std::uint32_t& value) {
        if (Left() < static_cast<std::size_t>(bytes)) return false;
        value = 0;
        for (int i = 0; i < bytes; ++i) value = value << 8 | data[pos++];
        return true;
    }
    bool Tag(const char* tag) {
        if (Left() < 4 || std::memcmp(data + pos, tag, 4) != 0) return false;
        pos += 4;
        return true;
    }
    // A variable-length quantity: at most four bytes of seven bits each.
    bool Quantity(std::uint32_t& value) {
        value = 0;
        for (int i = 0; i < 4; ++i) {
            std::uint8_t byte;
            if (!Byte(byte)) return false;
            value = value << 7 | (byte & 0x7F);
            if (!(byte & 0x80)) return true;
        }
        return false;
    }
    const unsigned char* Here() const { return data + pos; }

  private:
    const unsigned char* data;
    std::size_t size;
    std::size_t pos = 0;
};

enum class Kind : std::uint8_t { Message, Tempo, End };

// An event of one track, timed in ticks; tracks are merged by tick before the
// tempo map turns ticks into microseconds.
struct TickEvent {
    std::uint64_t tick;
    Kind kind;
    std::uint32_t tempo;
    MidiEvent event;
};

int DataBytes(std::uint8_t status) {
    std::uint8_t type = status & 0xF0;
    return type == 0xC0 || type == 0xD0 ? 1 : 2;
}

// Reads one track's events until its end, or until the data stops making sense
// (the rest of a damaged track is dropped).
void ReadTrack(Reader track, std::vector<TickEvent>& out, std::vector<std::uint8_t>& sysex) {
    std::uint64_t tick = 0;
    std::uint8_t running = 0;
    while (!track.AtEnd()) {
        std::uint32_t delta;
        std::uint8_t status;
        if (!track.Quantity(delta) || !track.Byte(status)) return;
        tick = std::min(tick + delta, kMaxTick);
        TickEvent item{tick, Kind::Message, 0, MidiEvent{0, 0, 0, 0, 0, 0}};
        if (status < 0xF0) {
            std::uint8_t data[2] = {0, 0};
            int first = 0;
            if (status < 0x80) {
                // Running status: this byte is the first data byte.
                if (!running) return;
                data[0] = status;
                status = running;
                first = 1;
            }
            for (int i = first; i < DataBytes(status); ++i)
                if (!track.Byte(data[i])) return;
            if ((data[0] | data[1]) & 0x80) return;
            running = status;
            item.event.status = status;
            item.event.data1 = data[0];
            item.event.data2 = data[1];
            out.push_back(item);
            continue;
        }
        // System exclusive and meta events end any running status.
        running = 0;
        std::uint8_t type = 0;
        if (status == 0xFF && !track.Byte(type)) return;
        std::uint32_t length;
        if (status != 0xF0 && status != 0xF7 && status != 0xFF) return;
        if (!track.Quantity(length) || length > track.Left()) return;
        const unsigned char* body = track.Here();
        track.Skip(length);
        if (status == 0xF0) {
            // Kept without its closing F7, as a synthesiser takes it.
            std::uint32_t kept = length > 0 && body[length - 1] == 0xF7 ? length - 1 : length;
            item.event.status = 0xF0;
            item.event.sysexOffset = static_cast<std::uint32_t>(sysex.size());
            item.event.sysexLength = kept;
            sysex.insert(sysex.end(), body, body + kept);
            out.push_back(item);
        } else if (status == 0xFF && type == 0x51 && length >= 3) {
            item.kind = Kind::Tempo;
            item.tempo = std::uint32_t{body[0]} << 16 | body[1] << 8 | body[2];
            out.push_back(item);
        } else if (status == 0xFF && type == 0x2F) {
            item.kind = Kind::End;
            out.push_back(item);
            return;
        }
    }
}

// Converts ticks to microseconds: by the tempo map for a division in ticks per
// quarter note, or at a fixed rate for a division in frames per second.
class Clock {
  public:
    // False for a division that is not valid.
    bool SetDivision(std::uint32_t division) {
        if (division & 0x8000) {
            int fps = 256 - static_cast<int>(division >> 8);
            std::uint32_t ticksPerFrame = division & 0xFF;
            if (ticksPerFrame == 0) return false;
            // 29 stands for the 30000/1001 frames per second of colour television.
            if (fps == 29) {
                secondsNum = 1001;
                ticksPerSecondNum = 30000ull * ticksPerFrame;
            } else if (fps == 24 || fps == 25 || fps == 30) {
                ticksPerSecondNum = std::uint64_t(fps) * ticksPerFrame;
            } else {
                return false;
            }
            frames = true;
            return true;
        }
        ticksPerQuarter = division;
        return division != 0;
    }
    std::uint64_t Time(std::uint64_t tick) const {
        unsigned __int128 time;
        if (frames)
            time = static_cast<unsigned __int128>(tick) * 1000000u * secondsNum / ticksPerSecondNum;
        else
            time = baseTime +
                   static_cast<unsigned __int128>(tick - baseTick) * tempo / ticksPerQuarter;
        return static_cast<std::uint64_t>(std::min<unsigned __int128>(time, kMaxTime));
    }
    void SetTempo(std::uint64_t tick, std::uint32_t newTempo) {
        baseTime = Time(tick);
        baseTick = tick;
        tempo = newTempo;
    }

  private:
    bool frames = false;
    std::uint32_t ticksPerQuarter = 0;
    std::uint64_t secondsNum = 1, ticksPerSecondNum = 1;
    std::uint64_t baseTick = 0, baseTime = 0;
    std::uint32_t tempo = kDefaultTempo;
};

// The Standard MIDI File inside a RIFF "RMID" wrapper is its "data" chunk.
Reader Unwrap(Reader file) {
    Reader riff = file;
    std::uint32_t skipped;
    if (!riff.Tag("RIFF") || !riff.BigEndian(4, skipped) || !riff.Tag("RMID")) return file;
    while (riff.Left() >= 8) {
        bool data = riff.Tag("data");
        if (!data) riff.Skip(4);
        std::uint8_t b[4] = {};
        for (std::uint8_t& byte : b) riff.Byte(byte);
        std::uint32_t length = b[0] | b[1] << 8 | b[2] << 16 | std::uint32_t{b[3]} << 24;
        if (data) return Reader(riff.Here(), std::min<std::size_t>(length, riff.Left()));
        riff.Skip(std::uint64_t{length} + (length & 1));
    }
    return file;
}

} // namespace

std::uint32_t MidiSong::LengthMs() const {
    return static_cast<std::uint32_t>(std::min<std::uint64_t>((length + 999) / 1000, UINT32_MAX));
}

bool ReadMidiFile(const unsigned char* data, std::size_t size, MidiSong& song) {
    song = MidiSong{};
    Reader file = Unwrap(Reader(data, size));
    std::uint32_t headerLength, format, trackCount, division;
    if (!file.Tag("MThd") || !file.BigEndian(4, headerLength) || headerLength < 6 ||
        !file.BigEndian(2, format) || !file.BigEndian(2, trackCount) ||
        !file.BigEndian(2, division))
        return false;
    Clock clock;
    if (format > 1 || !clock.SetDivision(division)) return false;
    file.Skip(headerLength - 6);

    // Every track chunk found, whatever the header counts; other chunks are skipped.
    std::vector<TickEvent> events;
    bool anyTrack = false;
    while (file.Left() >= 8) {
        bool track = file.Tag("MTrk");
        if (!track) file.Skip(4);
        std::uint32_t length = 0;
        file.BigEndian(4, length);
        std::size_t bytes = std::min<std::size_t>(length, file.Left());
        if (track) {
            anyTrack = true;
            std::vector<TickEvent> trackEvents;
            ReadTrack(Reader(file.Here(), bytes), trackEvents, song.sysex);
            events.insert(events.end(), trackEvents.begin(), trackEvents.end());
        }
        file.Skip(bytes);
    }
    if (!anyTrack) {
        song = MidiSong{};
        return false;
    }

    // Merged by tick; at equal ticks earlier tracks come first, so the tempo of
    // the first track applies to the notes of the others at the same moment.
    std::stable_sort(events.begin(), events.end(),
                     [](const TickEvent& a, const TickEvent& b) { return a.tick < b.tick; });
    song.events.reserve(events.size());
    for (const TickEvent& item : events) {
        std::uint64_t time = clock.Time(item.tick);
        song.length = std::max(song.length, time);
        if (item.kind == Kind::Tempo) {
            clock.SetTempo(item.tick, item.tempo);
        } else if (item.kind == Kind::Message) {
            song.events.push_back(item.event);
            song.events.back().time = time;
        }
    }
    return true;
}

} // namespace platform
