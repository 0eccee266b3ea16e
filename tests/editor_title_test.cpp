// The editor started as `tessera NAME` on a map whose files are there: it opens
// that map, and the window's title shows its name, after a '*' while changes
// are unsaved. One run of the editor in this process.
#include "editor/edit_scene.h"
#include "platform/headless/headless.h"
#include "tools/replay/replay_run.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

TEST(EditorTitle, TheMapNamedAtStartOpensAndTheTitleMarksUnsavedWork) {
    const fs::path folder =
        fs::temp_directory_path() / ("tessera-title-" + std::to_string(getpid()));
    fs::create_directories(folder);
    const fs::path old = fs::current_path();
    fs::current_path(folder);
    // A map of 2 x 1 screens, as the editor writes it.
    std::string line;
    for (int column = 0; column < 2 * 96; ++column) line += "0 ";
    line += "\r\n";
    for (const char* file : {"wide_data.txt", "wide_zk.txt", "wide_teki.txt"}) {
        std::ofstream out(file, std::ios::binary);
        for (int row = 0; row < 72; ++row) out << line;
    }
    // One more screen across, then saved under the name offered.
    std::vector<ReplayCommand> commands;
    std::string error;
    ASSERT_TRUE(ParseReplayScript("frames 2\nmove 20 620\nldown\nframes 1\nlup\nframes 2\n"
                                  "move 450 650\nldown\nframes 1\nlup\nframes 1\n"
                                  "keydown ENTER\nframes 1\nkeyup ENTER\nframes 2\n",
                                  commands, error))
        << error;
    RegisterEditor();
    EXPECT_EQ(RunReplay(commands, "wide"), 0);
    EXPECT_EQ(platform::headless::TitleLog(),
              (std::vector<std::string>{"wide - Tessera", "*wide - Tessera", "wide - Tessera"}));
    std::ifstream saved("wide_teki.txt");
    std::string first;
    std::getline(saved, first);
    EXPECT_EQ(first.size(), 3u * 96 * 2 + 1); // "0 " a cell for 3 screens, then CR
    fs::current_path(old);
    fs::remove_all(folder);
}

} // namespace
