#include "platform/vcl/Forms.h"

#include "platform/vcl/Dialogs.h"

#include <QApplication>
#include <QCloseEvent>
#include <QResizeEvent>

TApplication* Application = nullptr;

TForm::TForm(QWidget* owner) : QMainWindow(owner), client(new QWidget(this)) {
    setCentralWidget(client);
    client->installEventFilter(this);
}

void TForm::Dispatch(TMessage& message) {
    DefaultHandler(message);
}

void TForm::DefaultHandler(TMessage& message) {
    message.Result = 0;
}

bool TForm::event(QEvent* event) {
    if (event->type() == TMessageEvent::EventType()) {
        Dispatch(static_cast<TMessageEvent*>(event)->Message);
        return true;
    }
    return QMainWindow::event(event);
}

bool TForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == client && event->type() == QEvent::Resize)
        ClientResized();
    return QMainWindow::eventFilter(watched, event);
}

void TForm::closeEvent(QCloseEvent* event) {
    Closing();
    QMainWindow::closeEvent(event);
    // Closing the main form ends the loop, whatever other forms are open.
    if (event->isAccepted() && Application && Application->MainForm() == this)
        QCoreApplication::quit();
}

TApplication::TApplication(int& argc, char** argv) : previous(Application) {
    if (!QCoreApplication::instance())
        qt = std::make_unique<QApplication>(argc, argv);
    Application = this;
}

TApplication::~TApplication() {
    forms.clear();
    hiddenWindow.reset();
    if (Application == this)
        Application = previous;
}

void TApplication::Initialize() {
    QApplication::setQuitOnLastWindowClosed(false);
    // The class library's default face, 8-point sans; DejaVu Sans where there is no other.
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(8);
    QApplication::setFont(font);
    hiddenWindow = std::make_unique<QWidget>();
}

void TApplication::SetTitle(const std::string& value) {
    title = value;
    QApplication::setApplicationName(QString::fromStdString(value));
    QApplication::setApplicationDisplayName(QString::fromStdString(value));
}

void TApplication::Adopt(QWidget* form, TForm* asMain) {
    forms.emplace_back(form);
    if (!mainForm && asMain) {
        mainForm = asMain;
    }
}

void TApplication::Run() {
    if (!mainForm)
        return;
    mainForm->show();
    QApplication::exec();
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, UINT flags) {
    return PresentMessageBox({TMessageBoxKind::Application, text, caption, flags});
}

void TApplication::ShowException(const Exception& e) {
    MessageBox(e.Message(), title, MB_ICONERROR);
}
