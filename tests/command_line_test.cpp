// Every command's manners, run as the programs: --help on standard output with
// 0, --version with the project's version, and wrong arguments as one line that
// begins with the program's name, a hint at --help, status 2.
#include "tests/test_folder.h"

#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace {

class CommandLine : public TestFolder {
  protected:
    CommandLine() : TestFolder("tessera-command-line-") {}

    std::string Read(const char* name) {
        std::ifstream file(folder / name);
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }
};

enum class Answer { Help, Version, Wrong };

TEST_F(CommandLine, EveryToolAnswersHelpVersionAndWrongArguments) {
    const struct {
        const char* program;
        const char* name;
        const char* arguments;
        Answer answer;
    } cases[] = {
        {TESSERA_EDITOR, "tessera", "--help", Answer::Help},
        {TESSERA_EDITOR, "tessera", "--version", Answer::Version},
        {TESSERA_EDITOR, "tessera", "--no-such", Answer::Wrong},
        {TESSERA_EDITOR, "tessera", "-x m", Answer::Wrong},
        {TESSERA_EDITOR, "tessera", "m n", Answer::Wrong},
        {TESSERA_EDITOR, "tessera", "a.b", Answer::Wrong},
        {TESSERA_EDITOR, "tessera", "abcdefghijklmnop", Answer::Wrong},
        {TESSERA_MAP, "tessera-map", "--help", Answer::Help},
        {TESSERA_MAP, "tessera-map", "render --help", Answer::Help},
        {TESSERA_MAP, "tessera-map", "--version", Answer::Version},
        {TESSERA_MAP, "tessera-map", "--no-such", Answer::Wrong},
        {TESSERA_MAP, "tessera-map", "", Answer::Wrong},
        {TESSERA_MAP, "tessera-map", "draw m out.png", Answer::Wrong},
        {TESSERA_MAP, "tessera-map", "render m out.png -x", Answer::Wrong},
        {TESSERA_MAP, "tessera-map", "render m", Answer::Wrong},
        {TESSERA_MAP, "tessera-map", "export m", Answer::Wrong},
        {TESSERA_MAP, "tessera-map", "import a.tmx m extra", Answer::Wrong},
        {TESSERA_PLAY, "tessera-play", "--help", Answer::Help},
        {TESSERA_PLAY, "tessera-play", "--version", Answer::Version},
        {TESSERA_PLAY, "tessera-play", "--no-such", Answer::Wrong},
        {TESSERA_PLAY, "tessera-play", "-l", Answer::Wrong},
        {TESSERA_PLAY, "tessera-play", "--volume 5 a.wav", Answer::Wrong},
        {TESSERA_PLAY, "tessera-play", "", Answer::Wrong},
        {TESSERA_REPLAY, "tessera-replay", "--help", Answer::Help},
        {TESSERA_REPLAY, "tessera-replay", "--version", Answer::Version},
        {TESSERA_REPLAY, "tessera-replay", "--no-such", Answer::Wrong},
        {TESSERA_REPLAY, "tessera-replay", "", Answer::Wrong},
        {TESSERA_REPLAY, "tessera-replay", "a.replay b.replay", Answer::Wrong},
        {TESSERA_REPLAY, "tessera-replay", "--run m", Answer::Wrong},
        {TESSERA_REPLAY, "tessera-replay", "--run m --screen 1-2 a.replay", Answer::Wrong},
        {TESSERA_RUN, "tessera-run", "--help", Answer::Help},
        {TESSERA_RUN, "tessera-run", "--version", Answer::Version},
        {TESSERA_RUN, "tessera-run", "--no-such", Answer::Wrong},
        {TESSERA_RUN, "tessera-run", "m --fast", Answer::Wrong},
        {TESSERA_RUN, "tessera-run", "", Answer::Wrong},
        {TESSERA_RUN, "tessera-run", "m --screen", Answer::Wrong},
        {TESSERA_RUN, "tessera-run", "m --screen x", Answer::Wrong},
    };
    for (const auto& c : cases) {
        const std::string call = std::string(c.name) + " " + c.arguments;
        // No display: the editor must answer without trying to open a window.
        const int status = RunInFolder(std::string("env -u DISPLAY -u WAYLAND_DISPLAY '") +
                                       c.program + "' " + c.arguments + " >out.txt 2>err.txt");
        const std::string out = Read("out.txt"), err = Read("err.txt");
        const std::string name = c.name;
        switch (c.answer) {
        case Answer::Help:
            EXPECT_EQ(status, 0) << call;
            EXPECT_TRUE(out.starts_with("usage: " + name)) << call << ": " << out;
            EXPECT_NE(out.find("\n\n"), std::string::npos) << call << ": no description";
            EXPECT_EQ(err, "") << call;
            break;
        case Answer::Version:
            EXPECT_EQ(status, 0) << call;
            EXPECT_EQ(out, name + " " TESSERA_VERSION "\n") << call;
            EXPECT_EQ(err, "") << call;
            break;
        case Answer::Wrong:
            EXPECT_EQ(status, 2) << call;
            EXPECT_EQ(out, "") << call;
            EXPECT_TRUE(err.starts_with(name + ": ")) << call << ": " << err;
            EXPECT_EQ(err.substr(err.find('\n') + 1),
                      "Try '" + name + " --help' for more information.\n")
                << call << ": " << err;
            break;
        }
    }
}

// Without a display the windowed programs end with 1, saying so under their
// own names; the play-test's map itself is fine.
TEST_F(CommandLine, WithoutADisplayTheEditorAndThePlayTestEndWithOneUnderTheirNames) {
    for (const char* suffix : {"_data.txt", "_zk.txt", "_teki.txt"}) {
        std::ofstream file(folder / (std::string("m") + suffix), std::ios::binary);
        for (int row = 0; row < 72; ++row) {
            for (int column = 0; column < 96; ++column) file << "0 ";
            file << "\r\n";
        }
    }
    const struct {
        const char* program;
        const char* name;
        const char* arguments;
    } cases[] = {{TESSERA_EDITOR, "tessera", ""}, {TESSERA_RUN, "tessera-run", "m"}};
    for (const auto& c : cases) {
        const int status = RunInFolder(std::string("env -u DISPLAY -u WAYLAND_DISPLAY '") +
                                       c.program + "' " + c.arguments + " >out.txt 2>err.txt");
        EXPECT_EQ(status, 1) << c.name;
        EXPECT_EQ(Read("err.txt"), std::string(c.name) +
                                       ": cannot open a display (neither DISPLAY nor "
                                       "WAYLAND_DISPLAY is set)\n");
        EXPECT_EQ(Read("out.txt"), "");
    }
}

// Started as the menu starts it, the editor first makes its maps folder; where
// it cannot, it says why and ends with 1 before it opens a window.
TEST_F(CommandLine, TheEditorFromTheMenuEndsWhenItCannotMakeItsMapsFolder) {
    const struct {
        const char* environment;
        const char* message;
    } cases[] = {
        {"-u HOME -u XDG_DATA_HOME",
         "tessera: cannot use the maps folder $XDG_DATA_HOME/tessera/maps (neither XDG_DATA_HOME "
         "nor HOME is set)\n"},
        {"XDG_DATA_HOME=/dev/null", "tessera: cannot use the maps folder /dev/null/tessera/maps ("},
    };
    for (const auto& c : cases) {
        const int status =
            RunInFolder(std::string("env -u DISPLAY -u WAYLAND_DISPLAY ") + c.environment +
                        " TESSERA_FROM_MENU=1 '" TESSERA_EDITOR "' >out.txt 2>err.txt");
        EXPECT_EQ(status, 1) << c.environment;
        EXPECT_TRUE(Read("err.txt").starts_with(c.message)) << Read("err.txt");
        EXPECT_EQ(Read("out.txt"), "");
    }
}

// The tools say what went wrong the same way whatever the locale they run in:
// a German one, made for the test, changes what other programs say.
TEST_F(CommandLine, MessagesDoNotDependOnTheLocale) {
    ASSERT_EQ(RunInFolder("localedef -i de_DE -f UTF-8 ./de_DE.UTF-8"), 0) << output;
    const std::string german = "LOCPATH='" + folder.string() + "' LC_ALL=de_DE.UTF-8 ";
    ASSERT_NE(RunInFolder(german + "ls missing"), 0);
    ASSERT_NE(output.find("Datei oder Verzeichnis nicht gefunden"), std::string::npos) << output;
    const std::string commands[] = {
        "'" TESSERA_MAP "' import missing.tmx m",
        "'" TESSERA_PLAY "' missing.mid",
        "'" TESSERA_REPLAY "' missing.replay",
        "'" TESSERA_RUN "' missing",
    };
    // The lines said, in any order: the play-test loads its map beside its start-up.
    const auto lines = [](const std::string& text) {
        std::multiset<std::string> said;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) said.insert(line);
        return said;
    };
    for (const std::string& command : commands) {
        RunInFolder("env -u DISPLAY -u WAYLAND_DISPLAY SDL_AUDIODRIVER=dummy LC_ALL=C " + command);
        const std::string plain = output;
        EXPECT_NE(plain.find("No such file or directory"), std::string::npos)
            << command << ": " << plain;
        RunInFolder("env -u DISPLAY -u WAYLAND_DISPLAY SDL_AUDIODRIVER=dummy " + german + command);
        EXPECT_TRUE(lines(output) == lines(plain)) << command << ": " << output;
    }
}

} // namespace
