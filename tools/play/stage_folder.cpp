// The player's private folder of links, made under the system's temporary folder.
#include "tools/play/stage_folder.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

bool MakeStageFolder(const char* programFolder, StageFolder& stage, std::string& error) {
    std::error_code failure;
    std::string pattern = (fs::temp_directory_path(failure) / "tessera-play-XXXXXX").string();
    if (failure || !mkdtemp(pattern.data())) {
        error = "cannot make a temporary folder: " +
                (failure ? failure.message() : std::generic_category().message(errno));
        return false;
    }
    stage.path = pattern;
    fs::path relative = fs::relative(stage.path, programFolder, failure);
    if (failure || relative.empty()) {
        error = "cannot reach the temporary folder from the program's folder";
        RemoveStageFolder(stage);
        return false;
    }
    stage.relative = relative.generic_string() + "/";
    return true;
}

bool LinkIntoStage(const StageFolder& stage, const std::string& target, const std::string& name,
                   std::string& error) {
    std::error_code failure;
    fs::path absolute = fs::absolute(target, failure);
    if (!failure) fs::create_symlink(absolute, fs::path(stage.path) / name, failure);
    if (failure) error = target + ": cannot link it for playing: " + failure.message();
    return !failure;
}

void RemoveStageFolder(const StageFolder& stage) {
    std::error_code ignored;
    if (!stage.path.empty()) fs::remove_all(stage.path, ignored);
}
