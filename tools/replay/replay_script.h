// Replay scripts: one command per line, read whole before the run starts so
// that a mistake anywhere stops the run before anything happens.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ReplayCommand {
    enum Kind {
        FrameTime, // value: milliseconds per frame from now on
        Frames,    // value: frames to let run
        Move,      // x, y
        Message,   // message, with the pointer position as its parameter
        Wheel,     // value: notches to turn the wheel, towards the user positive
        Key,       // message (key down or up), value: virtual-key code
        Type,      // text: letters and digits to type
        Answer,    // value: IDYES, IDNO or IDOK for the next message box
        Screenshot,
        Activate, // value: 1 or 0
        Close,
        Shell, // text: a command for the shell, run between frames; a failure stops the run
    };
    Kind kind;
    int line = 0;
    std::uint32_t message = 0;
    int value = 0;
    int x = 0, y = 0;
    std::string text;
};

// Parses a whole script. On the first mistake returns false and sets `error`
// to "LINE: message".
bool ParseReplayScript(const std::string& source, std::vector<ReplayCommand>& commands,
                       std::string& error);

// Virtual-key code of a key name (CTRL, ENTER, F5, A, 7, ...) or of a decimal
// code; 0 when the name is unknown.
int VirtualKeyByName(const std::string& name);
