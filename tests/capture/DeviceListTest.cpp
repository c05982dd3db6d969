// The input device list: entries in identifier order and the selection kept by position.
#include "tests/capture/CaptureFixture.h"

#include <string>

namespace {

std::vector<mmsystem::simulated::InputDevice> Devices(const std::vector<std::string>& names) {
    std::vector<mmsystem::simulated::InputDevice> devices;
    for (const std::string& n : names)
        devices.push_back({.Name = n});
    return devices;
}

struct Refresh {
    std::vector<std::string> devices;
    int selected; // expected afterwards
};

struct ListCase {
    const char* what;
    std::vector<std::string> atStart;
    int selectedAtStart;
    int select; // chosen by the user before the refreshes; -2 for no choice
    std::vector<Refresh> refreshes;
};

void PrintTo(const ListCase& c, std::ostream* os) {
    *os << c.what;
}

const ListCase listCases[] = {
    {"three devices at start", {"Line In", "Microphone", "Stereo Mix"}, 0, -2, {}},
    {"no device at start", {}, -1, -2, {}},
    {"entry 2 selected, two found", {"A", "B", "C"}, 0, 2, {{{"A", "B"}, 1}}},
    {"entry 1 selected, four found", {"A", "B"}, 0, 1, {{{"W", "X", "Y", "Z"}, 1}}},
    {"none found, then two", {"A", "B"}, 0, 0, {{{}, -1}, {{"C", "D"}, 1}}},
};

class DeviceListTest : public CaptureTest, public ::testing::WithParamInterface<ListCase> {};

TEST_P(DeviceListTest, KeepsTheSelectionByPosition) {
    const ListCase& c = GetParam();
    Make(Devices(c.atStart));
    EXPECT_EQ(Entries(), c.atStart);
    EXPECT_EQ(form->DeviceSelectCombo->ItemIndex(), c.selectedAtStart);
    if (c.select != -2)
        form->DeviceSelectCombo->SetItemIndex(c.select);
    for (const Refresh& r : c.refreshes) {
        sim->SetInputs(Devices(r.devices));
        form->RefreshDeviceList();
        EXPECT_EQ(Entries(), r.devices);
        EXPECT_EQ(form->DeviceSelectCombo->ItemIndex(), r.selected);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, DeviceListTest, ::testing::ValuesIn(listCases),
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST_F(CaptureTest, FocusAndOpeningEachRefreshTheList) {
    Make(Devices({"A"}));
    sim->SetInputs(Devices({"A", "B", "C"}));
    form->DeviceSelectCombo->OnEnter();
    EXPECT_EQ(Entries(), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(form->DeviceSelectCombo->ItemIndex(), 0);
    // Clicking into the list raises both; with no change the second refresh changes nothing.
    form->DeviceSelectCombo->OnDropDown();
    EXPECT_EQ(Entries(), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(form->DeviceSelectCombo->ItemIndex(), 0);
    sim->SetInputs(Devices({"D", "E"}));
    form->DeviceSelectCombo->OnDropDown();
    EXPECT_EQ(Entries(), (std::vector<std::string>{"D", "E"}));
}

TEST_F(CaptureTest, ADeviceThatCannotBeAskedStillHasItsEntry) {
    Make({{.Name = "A"}, {.Name = "B", .CapsResult = MMSYSERR_NODRIVER}, {.Name = "C"}});
    EXPECT_EQ(Entries(), (std::vector<std::string>{"A", "Unknown device", "C"}));
}

} // namespace
