// A private folder, under the system's temporary folder, for what is played: a
// pack made from each WAV file, and short links to the MIDI files. The
// framework loads sounds by names relative to the program's folder, short
// enough for its name fields; the folder gives every file such a name.
#pragma once

#include <string>

struct StageFolder {
    std::string path;     // absolute, empty when it could not be made
    std::string relative; // the same folder relative to the program's folder, ending in '/'
};

// Makes the folder; false with `error` filled in on failure.
bool MakeStageFolder(const char* programFolder, StageFolder& stage, std::string& error);
// Links `target` into the folder as `name`; false with `error` on failure.
bool LinkIntoStage(const StageFolder& stage, const std::string& target, const std::string& name,
                   std::string& error);
// Removes the folder and what it holds.
void RemoveStageFolder(const StageFolder& stage);
