// gtest main for tests that need widgets: one application object for the whole run.
#include "platform/vcl/Forms.h"

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    TApplication application(argc, argv);
    application.Initialize();
    application.SetTitle("Quorvane");
    return RUN_ALL_TESTS();
}
