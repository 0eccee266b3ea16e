// Real modal message boxes over the full-screen window. SDL runs the box's own
// event loop; the window's events wait in SDL's queue until it closes.
#include "platform/backend.h"

#include "platform/desktop/desktop.h"
#include "platform/formats/text_encoding.h"
#include "platform/win/cursor.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace platform {

namespace {

const char* Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

// SDL draws a box's text in the locale the environment names. One that is not
// UTF-8 (LANG=C, as services and many remote sessions run) leaves the text and
// the buttons blank, so while a box shows, such an environment names C.UTF-8,
// which every system has.
class BoxLocale {
  public:
    BoxLocale() {
        std::string name;
        for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"})
            if (const char* value = std::getenv(variable); value && *value) {
                name = value;
                break;
            }
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (name.find("utf-8") != std::string::npos || name.find("utf8") != std::string::npos)
            return;
        if (const char* all = std::getenv("LC_ALL")) {
            hadAll = true;
            savedAll = all;
        }
        setenv("LC_ALL", "C.UTF-8", 1);
        changed = true;
    }
    ~BoxLocale() {
        if (!changed) return;
        if (hadAll)
            setenv("LC_ALL", savedAll.c_str(), 1);
        else
            unsetenv("LC_ALL");
    }
    BoxLocale(const BoxLocale&) = delete;
    BoxLocale& operator=(const BoxLocale&) = delete;

  private:
    bool changed = false, hadAll = false;
    std::string savedAll;
};

// Shows the box with the pointer visible and free to reach it, then puts both
// back. False when no box could be shown.
bool ShowBox(const SDL_MessageBoxData& box, int* button) {
    int pointerShown = SDL_ShowCursor(SDL_QUERY);
    SDL_ShowCursor(SDL_ENABLE);
    RECT clip;
    bool clipped = CursorClip(&clip);
    if (clipped) ClipCursor(nullptr);
    bool shown;
    {
        const BoxLocale locale;
        shown = SDL_ShowMessageBox(&box, button) == 0;
    }
    if (clipped) ClipCursor(&clip);
    SDL_ShowCursor(pointerShown);
    return shown;
}

} // namespace

int MessageBox(HWND owner, const char* text, const char* title, UINT type) {
    std::string utf8Text = Cp932ToUtf8(text ? text : "");
    std::string utf8Title = Cp932ToUtf8(title ? title : "");
    const SDL_MessageBoxButtonData ok[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDOK,
         "OK"}};
    const SDL_MessageBoxButtonData yesNo[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDYES, Utf8(u8"はい")},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDNO, Utf8(u8"いいえ")}};
    bool asks = (type & MB_TYPEMASK) == MB_YESNO;

    SDL_MessageBoxData box{};
    box.flags = (type & MB_ICONMASK) == MB_ICONEXCLAMATION ? SDL_MESSAGEBOX_WARNING
                                                           : SDL_MESSAGEBOX_INFORMATION;
    box.flags |= SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
    box.window = owner ? static_cast<SDL_Window*>(owner->native) : nullptr;
    box.title = utf8Title.c_str();
    box.message = utf8Text.c_str();
    box.numbuttons = asks ? 2 : 1;
    box.buttons = asks ? yesNo : ok;

    int button = -1;
    if (!ShowBox(box, &button)) {
        // Without a display the text still reaches the user, on the terminal.
        std::fprintf(stderr, "%s: %s\n", utf8Title.c_str(), utf8Text.c_str());
        return 0;
    }
    // A box closed without a button gives the answer of its Escape key.
    if (button != IDOK && button != IDYES && button != IDNO) button = asks ? IDNO : IDOK;
    return button;
}

} // namespace platform
