#include "app/WinMain.h"

#include "app/Form1.h"
#include "info/CapabilitiesForm.h"
#include "platform/vcl/Forms.h"

#include <QGuiApplication>

int RunApplication(int argc, char** argv, const std::function<void(TApplication&)>& createForms) {
    TApplication application(argc, argv);
    try {
        application.Initialize();
        application.SetTitle("Quorvane");
        // Lets the desktop match our windows to the installed entry and its icon.
        QGuiApplication::setDesktopFileName(QStringLiteral("quorvane"));
        createForms(application);
        application.Run();
    } catch (const Exception& e) {
        application.ShowException(e);
    }
    return 0;
}

int WinMain(int argc, char** argv) {
    return RunApplication(argc, argv, [](TApplication& application) {
        application.CreateForm(Form1);
        application.CreateForm(Form2);
    });
}
