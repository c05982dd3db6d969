// The choice of backend: a sound server when one answers in time, else ALSA directly.
#include "platform/mmsystem/Driver.h"
#include "platform/mmsystem/alsa/AlsaDriver.h"
#include "platform/mmsystem/pulse/PulseDriver.h"

namespace mmsystem {

std::unique_ptr<Driver> CreateDefaultDriver() {
    if (auto pulse = pulse::PulseDriver::Create())
        return pulse;
    return alsa::CreateAlsaDriver();
}

} // namespace mmsystem
