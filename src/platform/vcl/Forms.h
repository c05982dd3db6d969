// The application object and the form base class of the class-library stand-in.
#pragma once

#include "platform/vcl/Messages.h"

#include <QMainWindow>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

class QApplication;

// The class library's exception class: what start-up failures are thrown as.
class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};

// A form: a top-level window whose client area is the central widget (the menu bar is not
// part of it). Messages posted to it arrive in Dispatch.
class TForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm(QWidget* owner);
    QWidget* Client() const { return client; }
    HWND Handle() { return this; }

    virtual void Dispatch(TMessage& message);
    // What the inherited Dispatch does with a message no form handles: nothing.
    virtual void DefaultHandler(TMessage& message);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    virtual void ClientResized() {}
    virtual void Closing() {}
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* client;
};

class TApplication {
public:
    TApplication(int& argc, char** argv);
    ~TApplication();

    void Initialize();
    std::string Title() const { return title; }
    void SetTitle(const std::string& value);

    // Creates a form owned by the application; the first one is the main form.
    template <class T> void CreateForm(T*& reference) {
        reference = new T(nullptr);
        Adopt(reference, reference);
    }
    TForm* MainForm() const { return mainForm; }
    void Run();

    // The application object's box, captioned, modal over every window of the program.
    int MessageBox(const std::string& text, const std::string& caption, UINT flags);
    // The standard exception display: an error box captioned with the title.
    void ShowException(const Exception& e);

    // The hidden window that owns system message boxes.
    QWidget* Handle() const { return hiddenWindow.get(); }

private:
    void Adopt(QWidget* form, TForm* asMain);
    void Adopt(QWidget* form, const void*) { Adopt(form, static_cast<TForm*>(nullptr)); }

    TApplication* previous;
    std::unique_ptr<QApplication> qt;
    std::string title;
    TForm* mainForm = nullptr;
    std::vector<std::unique_ptr<QWidget>> forms;
    std::unique_ptr<QWidget> hiddenWindow;
};

extern TApplication* Application;
