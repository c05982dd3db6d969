// Start-up failures are shown, and the program still ends with 0.
#include "app/WinMain.h"

#include "platform/vcl/Dialogs.h"
#include "platform/vcl/Forms.h"

#include <gtest/gtest.h>

TEST(WinMain, ExceptionFromAFormsConstructionIsShownAndTheProgramReturnsZero) {
    std::vector<TMessageBoxRequest> boxes;
    SetMessageBoxPresenter([&](const TMessageBoxRequest& r) {
        boxes.push_back(r);
        return IDOK;
    });
    TApplication* outer = Application;
    char name[] = "quorvane";
    char* argv[] = {name, nullptr};
    bool loopRan = false;
    const int result = RunApplication(1, argv, [&](TApplication& app) {
        EXPECT_EQ(app.Title(), "Quorvane");
        struct FailingForm : TForm {
            explicit FailingForm(QWidget* owner) : TForm(owner) {
                throw Exception("Cannot create the main window");
            }
        };
        FailingForm* form = nullptr;
        app.CreateForm(form);
        loopRan = true;
    });
    SetMessageBoxPresenter({});
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(loopRan);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Kind, TMessageBoxKind::Application);
    EXPECT_EQ(boxes[0].Text, "Cannot create the main window");
    EXPECT_EQ(boxes[0].Caption, std::optional<std::string>("Quorvane"));
    EXPECT_EQ(boxes[0].Flags, MB_ICONERROR);
    EXPECT_EQ(Application, outer);
}
