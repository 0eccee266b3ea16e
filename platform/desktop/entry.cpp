// The desktop program's entry: hands the command line to the framework's entry point.
#include "system/system.h"

#include <string>

int main(int argc, char** argv) {
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) commandLine += ' ';
        commandLine += argv[i];
    }
    return WinMain(nullptr, nullptr, commandLine.c_str(), SW_SHOWNORMAL);
}
