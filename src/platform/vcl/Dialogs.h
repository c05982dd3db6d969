// The two kinds of message box, both through one replaceable presenter so that tests can
// record them and run nested dispatch without a window.
#pragma once

#include "platform/windef.h"

#include <functional>
#include <optional>
#include <string>

constexpr UINT MB_OK = 0x00;
constexpr UINT MB_ICONERROR = 0x10;
constexpr UINT MB_ICONWARNING = 0x30;
constexpr UINT MB_ICONINFORMATION = 0x40;
constexpr int IDOK = 1;

enum class TMessageBoxKind {
    Application, // the application object's box: every window of the program disabled
    System       // MessageBoxA: owned by the hidden application window, main window usable
};

struct TMessageBoxRequest {
    TMessageBoxKind Kind;
    std::string Text;
    std::optional<std::string> Caption; // none: the system's default title
    UINT Flags;
};

using TMessageBoxPresenter = std::function<int(const TMessageBoxRequest&)>;

// Installs a presenter; an empty one restores the Qt message box.
void SetMessageBoxPresenter(TMessageBoxPresenter presenter);
int PresentMessageBox(const TMessageBoxRequest& request);

// The system box. A null caption gives the default title.
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT flags);
