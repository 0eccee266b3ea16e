#include "tools/replay/replay_script.h"

#include "platform/win/win_defs.h"

#include <cctype>
#include <climits>
#include <cstdlib>
#include <map>
#include <sstream>

namespace {

// A whole non-negative decimal number that fits in an int.
bool ParseNumber(const std::string& word, int& value) {
    if (word.empty() || word.size() > 9) return false;
    for (char c : word)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    value = std::atoi(word.c_str());
    return true;
}

const std::map<std::string, int> KeyNames = {
    {"CTRL", VK_CONTROL}, {"SHIFT", VK_SHIFT}, {"ALT", VK_MENU},    {"ENTER", VK_RETURN},
    {"ESC", VK_ESCAPE},   {"BACK", VK_BACK},   {"SPACE", VK_SPACE}, {"LEFT", VK_LEFT},
    {"UP", VK_UP},        {"RIGHT", VK_RIGHT}, {"DOWN", VK_DOWN},   {"TAB", VK_TAB},
    {"PGUP", VK_PRIOR},   {"PGDN", VK_NEXT},   {"HOME", VK_HOME},   {"END", VK_END},
};

constexpr int WHEEL_NOTCHES_MAX = 1000; // notches one wheel command may turn

const std::map<std::string, UINT> ButtonMessages = {
    {"ldown", WM_LBUTTONDOWN}, {"lup", WM_LBUTTONUP},      {"rdown", WM_RBUTTONDOWN},
    {"rup", WM_RBUTTONUP},     {"ldbl", WM_LBUTTONDBLCLK}, {"rdbl", WM_RBUTTONDBLCLK},
};

// Parses one line's command; returns an error message, empty on success.
std::string ParseLine(const std::string& name, std::istringstream& args, ReplayCommand& command) {
    std::vector<std::string> words;
    for (std::string word; args >> word;) words.push_back(word);
    auto expect = [&](std::size_t count) {
        return words.size() == count ? std::string()
                                     : name + " takes " + std::to_string(count) + " argument" +
                                           (count == 1 ? "" : "s");
    };
    if (auto button = ButtonMessages.find(name); button != ButtonMessages.end()) {
        command.kind = ReplayCommand::Message;
        command.message = button->second;
        return expect(0);
    }
    if (name == "frametime" || name == "frames") {
        command.kind = name == "frames" ? ReplayCommand::Frames : ReplayCommand::FrameTime;
        if (std::string e = expect(1); !e.empty()) return e;
        if (!ParseNumber(words[0], command.value)) return "not a number: " + words[0];
        return "";
    }
    if (name == "move") {
        command.kind = ReplayCommand::Move;
        if (std::string e = expect(2); !e.empty()) return e;
        if (!ParseNumber(words[0], command.x) || !ParseNumber(words[1], command.y) ||
            command.x > 65535 || command.y > 65535)
            return "not a position: " + words[0] + " " + words[1];
        return "";
    }
    if (name == "wheel") {
        command.kind = ReplayCommand::Wheel;
        if (std::string e = expect(1); !e.empty()) return e;
        const bool up = words[0].size() > 1 && words[0][0] == '-';
        if (!ParseNumber(up ? words[0].substr(1) : words[0], command.value) ||
            command.value > WHEEL_NOTCHES_MAX)
            return "not a number of notches: " + words[0];
        if (up) command.value = -command.value;
        return "";
    }
    if (name == "keydown" || name == "keyup") {
        command.kind = ReplayCommand::Key;
        command.message = name == "keydown" ? WM_KEYDOWN : WM_KEYUP;
        if (std::string e = expect(1); !e.empty()) return e;
        command.value = VirtualKeyByName(words[0]);
        return command.value ? "" : "unknown key: " + words[0];
    }
    if (name == "type") {
        command.kind = ReplayCommand::Type;
        if (std::string e = expect(1); !e.empty()) return e;
        for (char c : words[0])
            if (!std::isalnum(static_cast<unsigned char>(c)))
                return std::string("type takes letters and digits only: ") + c;
        command.text = words[0];
        return "";
    }
    if (name == "answer") {
        command.kind = ReplayCommand::Answer;
        if (std::string e = expect(1); !e.empty()) return e;
        if (words[0] == "yes")
            command.value = IDYES;
        else if (words[0] == "no")
            command.value = IDNO;
        else if (words[0] == "ok")
            command.value = IDOK;
        else
            return "answer is yes, no or ok, not " + words[0];
        return "";
    }
    if (name == "screenshot") {
        command.kind = ReplayCommand::Screenshot;
        if (std::string e = expect(1); !e.empty()) return e;
        command.text = words[0];
        return "";
    }
    if (name == "activate" || name == "deactivate") {
        command.kind = ReplayCommand::Activate;
        command.value = name == "activate" ? 1 : 0;
        return expect(0);
    }
    if (name == "shell") {
        command.kind = ReplayCommand::Shell;
        if (words.empty()) return "shell takes a command";
        for (const std::string& word : words)
            command.text += (command.text.empty() ? "" : " ") + word;
        return "";
    }
    if (name == "close") {
        command.kind = ReplayCommand::Close;
        return expect(0);
    }
    return "unknown command: " + name;
}

} // namespace

int VirtualKeyByName(const std::string& name) {
    int code = 0;
    if (ParseNumber(name, code) && name.size() > 1) return code >= 1 && code <= 254 ? code : 0;
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0])))
        return std::toupper(static_cast<unsigned char>(name[0]));
    if (auto key = KeyNames.find(name); key != KeyNames.end()) return key->second;
    if (name.size() >= 2 && name[0] == 'F' && ParseNumber(name.substr(1), code) && code >= 1 &&
        code <= 12)
        return VK_F1 + code - 1;
    return 0;
}

bool ParseReplayScript(const std::string& source, std::vector<ReplayCommand>& commands,
                       std::string& error) {
    std::istringstream lines(source);
    int number = 0;
    for (std::string line; std::getline(lines, line);) {
        ++number;
        if (std::size_t hash = line.find('#'); hash != std::string::npos) line.erase(hash);
        std::istringstream words(line);
        std::string name;
        if (!(words >> name)) continue;
        ReplayCommand command{};
        command.line = number;
        if (std::string message = ParseLine(name, words, command); !message.empty()) {
            error = std::to_string(number) + ": " + message;
            return false;
        }
        commands.push_back(command);
    }
    return true;
}
