// The input device list: one entry per wave-input device, in identifier order, rebuilt each
// time it is about to be used; the selection survives a rebuild by position only.
#include "app/Form1.h"

#include <cstring>

void TForm1::RefreshDeviceList() {
    auto p = UINT(DeviceSelectCombo->ItemIndex()); // -1, nothing selected, wraps to the largest
    DeviceSelectCombo->clear();
    const UINT n = waveInGetNumDevs();
    for (UINT k = 0; k < n; ++k) {
        WAVEINCAPSA caps;
        std::memset(&caps, 0, sizeof caps);
        // Positions must keep matching identifiers, so a device that cannot be asked still
        // gets its entry.
        if (waveInGetDevCapsA(k, &caps, sizeof caps) != MMSYSERR_NOERROR)
            std::strcpy(caps.szPname, "Unknown device");
        caps.szPname[sizeof caps.szPname - 1] = '\0';
        DeviceSelectCombo->addItem(QString::fromUtf8(caps.szPname));
    }
    // One unsigned comparison: with devices, -1 and anything past the end become the last
    // entry; with none, n - 1 wraps and nothing can be selected.
    if (n - 1 < p)
        p = n - 1;
    DeviceSelectCombo->SetItemIndex(int(p));
}

void TForm1::DeviceSelectComboEnter(QObject*) {
    RefreshDeviceList();
}

void TForm1::DeviceSelectComboDropDown(QObject*) {
    RefreshDeviceList();
}
