#include "platform/vcl/Dialogs.h"

#include "platform/vcl/Forms.h"

#include <QApplication>
#include <QMessageBox>

namespace {

TMessageBoxPresenter& CurrentPresenter() {
    static TMessageBoxPresenter presenter;
    return presenter;
}

QMessageBox::Icon IconOf(UINT flags) {
    switch (flags & 0xF0) {
    case MB_ICONERROR:
        return QMessageBox::Critical;
    case MB_ICONWARNING:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

// Both kinds run a nested event loop, so block messages go on being dispatched.
int ShowQtBox(const TMessageBoxRequest& request) {
    QWidget* owner = nullptr;
    if (request.Kind == TMessageBoxKind::System && Application)
        owner = Application->Handle();
    QMessageBox box(IconOf(request.Flags),
                    QString::fromStdString(request.Caption.value_or("Error")),
                    QString::fromStdString(request.Text), QMessageBox::Ok, owner);
    // The application box disables every window; the system box only its hidden owner.
    box.setWindowModality(request.Kind == TMessageBoxKind::Application ? Qt::ApplicationModal
                                                                       : Qt::WindowModal);
    box.setTextFormat(Qt::PlainText);
    box.exec();
    return IDOK;
}

} // namespace

void SetMessageBoxPresenter(TMessageBoxPresenter presenter) {
    CurrentPresenter() = std::move(presenter);
}

int PresentMessageBox(const TMessageBoxRequest& request) {
    if (CurrentPresenter())
        return CurrentPresenter()(request);
    return ShowQtBox(request);
}

int MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT flags) {
    TMessageBoxRequest request{TMessageBoxKind::System, text ? text : "", std::nullopt, flags};
    if (caption)
        request.Caption = caption;
    return PresentMessageBox(request);
}
