#include "platform/vcl/Messages.h"

#include <QCoreApplication>
#include <QWidget>

QEvent::Type TMessageEvent::EventType() {
    static const QEvent::Type type = QEvent::Type(QEvent::registerEventType());
    return type;
}

TMessageEvent::TMessageEvent(const TMessage& message) : QEvent(EventType()), Message(message) {}

BOOL PostMessageA(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!window)
        return FALSE;
    // postEvent is thread-safe and takes ownership of the event.
    QCoreApplication::postEvent(window, new TMessageEvent({msg, wParam, lParam, 0}));
    return TRUE;
}
