// A main window over a driver with fixed device names and a box recorder.
#pragma once

#include "app/Form1.h"
#include "platform/mmsystem/Driver.h"
#include "platform/vcl/Dialogs.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

class NamedDevicesDriver : public mmsystem::Driver {
public:
    explicit NamedDevicesDriver(std::vector<std::string> names) : names(std::move(names)) {}
    const char* Name() const override { return "named devices"; }
    std::vector<std::string> InputDevices() override { return names; }
    MMRESULT OpenInput(int, mmsystem::CaptureSink&,
                       std::unique_ptr<mmsystem::CaptureStream>&) override {
        return MMSYSERR_NOTENABLED;
    }
    std::vector<mmsystem::WaveOutDevice> OutputDevices() override { return {}; }
    std::vector<mmsystem::MixerDevice> Mixers() override { return {}; }
    MMRESULT MixerOfInput(int, UINT&) override { return MMSYSERR_NODRIVER; }

private:
    std::vector<std::string> names;
};

class FormTest : public ::testing::Test {
protected:
    void SetUp() override {
        mmsystem::InstallDriver(std::make_unique<NamedDevicesDriver>(
            std::vector<std::string>{"Built-in Audio", "USB Microphone"}));
        SetMessageBoxPresenter([this](const TMessageBoxRequest& r) {
            boxes.push_back(r);
            return IDOK;
        });
        form = std::make_unique<TForm1>(nullptr);
    }
    void TearDown() override {
        form.reset();
        SetMessageBoxPresenter({});
        mmsystem::InstallDriver(nullptr);
    }
    static void Flush() {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }

    std::unique_ptr<TForm1> form;
    std::vector<TMessageBoxRequest> boxes;
};
