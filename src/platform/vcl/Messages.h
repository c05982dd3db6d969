// Window messages as Qt events: a driver thread posts one, the window's Dispatch receives it.
#pragma once

#include "platform/windef.h"

#include <QEvent>

struct TMessage {
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
    LRESULT Result;
};

class TMessageEvent : public QEvent {
public:
    static QEvent::Type EventType();
    explicit TMessageEvent(const TMessage& message);
    TMessage Message;
};

// Safe to call from any thread; the message is handled on the window's thread, in order.
BOOL PostMessageA(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
