// The player's private folder, made under the system's temporary folder.
#include "tools/play/stage_folder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

bool MakeStageFolder(const char* programFolder, StageFolder& stage, std::string& error) {
    const char* given = std::getenv("TMPDIR");
    const std::string temporary = given && given[0] ? given : "/tmp";
    std::string pattern = (fs::path(temporary) / "tessera-play-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        error = "cannot make a temporary folder in " + temporary + ": " + std::strerror(errno);
        return false;
    }
    std::error_code failure;
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
