// The player's private folder, made under the system's temporary folder.
#include "tools/play/stage_folder.h"

#include "platform/files/private_folder.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

bool MakeStageFolder(const char* programFolder, StageFolder& stage, std::string& error) {
    stage.path = platform::MakePrivateFolder("tessera-play-");
    if (stage.path.empty()) {
        error = "cannot make a temporary folder in " + platform::TemporaryFolder() + ": " +
                std::strerror(errno);
        return false;
    }
    std::error_code failure;
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
    if (!stage.path.empty()) platform::RemoveFolder(stage.path);
}
