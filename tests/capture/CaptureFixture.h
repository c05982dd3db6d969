// A main window over the simulated driver, with the message boxes recorded.
#pragma once

#include "app/Form1.h"
#include "platform/mmsystem/simulated/SimulatedDriver.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/Messages.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

class CaptureTest : public ::testing::Test {
protected:
    using Config = mmsystem::simulated::Config;
    using InputDevice = mmsystem::simulated::InputDevice;

    void SetUp() override {
        SetMessageBoxPresenter([this](const TMessageBoxRequest& r) {
            boxes.push_back(r);
            return IDOK;
        });
    }
    void TearDown() override {
        // Closing the streams first hands every header back, so the window's own close
        // never waits on a device nobody steps.
        mmsystem::InstallDriver(nullptr);
        form.reset();
        SetMessageBoxPresenter({});
    }

    // Installs the devices, then builds the window (which fills its list from them).
    void Make(Config config) {
        sim = &mmsystem::simulated::SimulatedDriver::Install(std::move(config));
        form = std::make_unique<TForm1>(nullptr);
    }
    void Make(std::vector<InputDevice> inputs) { Make(Config{.Inputs = std::move(inputs)}); }

    // Hands the window every block message posted so far.
    void Flush() { QCoreApplication::sendPostedEvents(form.get(), TMessageEvent::EventType()); }
    void Start() { form->StartButtonClick(form.get()); }
    void Stop() { form->StopButtonClick(form.get()); }

    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (int i = 0; i < form->DeviceSelectCombo->count(); ++i)
            names.push_back(form->DeviceSelectCombo->itemText(i).toStdString());
        return names;
    }

    mmsystem::simulated::SimulatedDriver* sim = nullptr;
    std::unique_ptr<TForm1> form;
    std::vector<TMessageBoxRequest> boxes;
};
