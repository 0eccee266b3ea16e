// Programs started beside this one, in its folder and environment; their ends
// are noticed without waiting.
#include "platform/backend.h"

#include "platform/windows/native.h"

#include <map>

namespace platform {

namespace {

// Started programs not yet reaped, by id, and whether their end was noticed.
struct Started {
    ::HANDLE process;
    bool endNoticed = false;
};
std::map<int, Started> started;

// One argument as the C runtime of the started program splits it again.
void AppendQuoted(std::wstring& line, const std::wstring& argument) {
    if (!line.empty()) line += L' ';
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) {
        line += argument;
        return;
    }
    line += L'"';
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are doubled, and the quote escaped.
        line.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        line += c;
    }
    line.append(backslashes * 2, L'\\');
    line += L'"';
}

} // namespace

namespace windows {

std::vector<::HANDLE> RunningPrograms() {
    std::vector<::HANDLE> running;
    for (const auto& [id, program] : started)
        if (!program.endNoticed) running.push_back(program.process);
    return running;
}

bool TakeProgramEnd() {
    for (auto& [id, program] : started)
        if (!program.endNoticed && WaitForSingleObject(program.process, 0) != WAIT_TIMEOUT) {
            program.endNoticed = true;
            return true;
        }
    return false;
}

} // namespace windows

int StartProgram(const std::string& path, const std::vector<std::string>& arguments) {
    std::wstring program = windows::WideFromUtf8(path);
    // A program named without its extension is its .exe, as a command prompt
    // finds it.
    const std::size_t name = program.find_last_of(L"\\/");
    if (program.find(L'.', name == std::wstring::npos ? 0 : name) == std::wstring::npos)
        program += L".exe";
    std::wstring line;
    AppendQuoted(line, program);
    for (const std::string& argument : arguments)
        AppendQuoted(line, windows::WideFromUtf8(argument));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return 0;
    CloseHandle(process.hThread);
    const int id = static_cast<int>(process.dwProcessId);
    started[id] = Started{process.hProcess};
    return id;
}

bool ProgramEnded(int id, int* status) {
    auto found = started.find(id);
    // An id that is no program of ours counts as a failed end.
    if (found == started.end()) {
        *status = -1;
        return true;
    }
    const ::HANDLE process = found->second.process;
    if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT) return false;
    ::DWORD code = 0;
    *status = GetExitCodeProcess(process, &code) ? static_cast<int>(code) : -1;
    CloseHandle(process);
    started.erase(found);
    return true;
}

} // namespace platform
