#include "platform/mmsystem/alsa/AlsaDriver.h"

#include "platform/mmsystem/alsa/AlsaCaptureStream.h"
#include "platform/mmsystem/alsa/AlsaModel.h"
#include "platform/mmsystem/alsa/SoundServer.h"

#include <alsa/asoundlib.h>

namespace mmsystem::alsa {

namespace {

std::vector<int> Cards() {
    std::vector<int> cards;
    for (int card = -1; snd_card_next(&card) >= 0 && card >= 0;)
        cards.push_back(card);
    return cards;
}

std::string CardName(int card) {
    char* name = nullptr;
    if (snd_card_get_name(card, &name) < 0 || !name)
        return "Card " + std::to_string(card);
    std::string s = name;
    free(name);
    return s;
}

struct Pcm {
    int Device;
    std::string Name;
};

// The PCM devices of one card that have a stream in the given direction.
std::vector<Pcm> CardPcms(int card, snd_pcm_stream_t direction) {
    std::vector<Pcm> pcms;
    snd_ctl_t* ctl = nullptr;
    const std::string hw = "hw:" + std::to_string(card);
    if (snd_ctl_open(&ctl, hw.c_str(), SND_CTL_NONBLOCK) < 0)
        return pcms;
    snd_pcm_info_t* info;
    snd_pcm_info_alloca(&info);
    for (int device = -1; snd_ctl_pcm_next_device(ctl, &device) >= 0 && device >= 0;) {
        snd_pcm_info_set_device(info, unsigned(device));
        snd_pcm_info_set_subdevice(info, 0);
        snd_pcm_info_set_stream(info, direction);
        if (snd_ctl_pcm_info(ctl, info) < 0)
            continue;
        pcms.push_back({device, snd_pcm_info_get_name(info)});
    }
    snd_ctl_close(ctl);
    return pcms;
}

DWORD Channels(snd_mixer_elem_t* e, bool capture) {
    if (capture ? snd_mixer_selem_is_capture_mono(e) : snd_mixer_selem_is_playback_mono(e))
        return 1;
    DWORD n = 0;
    for (int ch = 0; ch <= SND_MIXER_SCHN_LAST; ++ch) {
        const auto c = snd_mixer_selem_channel_id_t(ch);
        if (capture ? snd_mixer_selem_has_capture_channel(e, c)
                    : snd_mixer_selem_has_playback_channel(e, c))
            ++n;
    }
    return n;
}

std::vector<AlsaElement> Elements(int card) {
    std::vector<AlsaElement> elements;
    snd_mixer_t* mixer = nullptr;
    if (snd_mixer_open(&mixer, 0) < 0)
        return elements;
    const std::string hw = "hw:" + std::to_string(card);
    if (snd_mixer_attach(mixer, hw.c_str()) >= 0 &&
        snd_mixer_selem_register(mixer, nullptr, nullptr) >= 0 && snd_mixer_load(mixer) >= 0) {
        for (snd_mixer_elem_t* e = snd_mixer_first_elem(mixer); e; e = snd_mixer_elem_next(e)) {
            if (!snd_mixer_selem_is_active(e))
                continue;
            AlsaElement a;
            a.Name = snd_mixer_selem_get_name(e);
            a.PlaybackVolume = snd_mixer_selem_has_playback_volume(e);
            a.PlaybackSwitch = snd_mixer_selem_has_playback_switch(e);
            a.CaptureVolume = snd_mixer_selem_has_capture_volume(e);
            a.CaptureSwitch = snd_mixer_selem_has_capture_switch(e);
            if (a.PlaybackVolume || a.PlaybackSwitch)
                a.PlaybackChannels = Channels(e, false);
            if (a.CaptureVolume || a.CaptureSwitch)
                a.CaptureChannels = Channels(e, true);
            elements.push_back(std::move(a));
        }
    }
    snd_mixer_close(mixer);
    return elements;
}

// libasound's own complaints (a missing card in its configuration, say) would only clutter the
// terminal: every failure reaches the user through the wave functions' results.
void QuietErrors(const char*, int, const char*, int, const char*, ...) {}

} // namespace

AlsaDriver::AlsaDriver(std::function<bool()> serverRunning)
    : serverRunning_(std::move(serverRunning)) {
    snd_lib_error_set_handler(&QuietErrors);
}

std::vector<AlsaDriver::Input> AlsaDriver::ListInputs() {
    std::vector<Input> inputs{{"Default ALSA input", "default", -1}};
    if (serverRunning_ && serverRunning_())
        return inputs;
    for (int card : Cards()) {
        const std::string cardName = CardName(card);
        for (const Pcm& p : CardPcms(card, SND_PCM_STREAM_CAPTURE)) {
            inputs.push_back({cardName + ": " + p.Name,
                              "plughw:" + std::to_string(card) + "," + std::to_string(p.Device),
                              card});
        }
    }
    return inputs;
}

std::vector<std::string> AlsaDriver::InputDevices() {
    inputs_ = ListInputs();
    listed_ = true;
    std::vector<std::string> names;
    names.reserve(inputs_.size());
    for (const Input& i : inputs_)
        names.push_back(i.Name);
    return names;
}

MMRESULT AlsaDriver::OpenInput(int index, CaptureSink& sink,
                               std::unique_ptr<CaptureStream>& stream) {
    if (index < 0)
        return AlsaCaptureStream::Open("default", sink, stream);
    if (!listed_)
        InputDevices();
    if (std::size_t(index) >= inputs_.size())
        return MMSYSERR_BADDEVICEID;
    return AlsaCaptureStream::Open(inputs_[std::size_t(index)].Pcm, sink, stream);
}

std::vector<WaveOutDevice> AlsaDriver::OutputDevices() {
    // ALSA gives no volume per PCM; the names alone are reported.
    std::vector<WaveOutDevice> outputs{{"Default ALSA output", 0, 0}};
    if (serverRunning_ && serverRunning_())
        return outputs;
    for (int card : Cards()) {
        const std::string cardName = CardName(card);
        for (const Pcm& p : CardPcms(card, SND_PCM_STREAM_PLAYBACK))
            outputs.push_back({cardName + ": " + p.Name, 0, 0});
    }
    return outputs;
}

std::vector<MixerDevice> AlsaDriver::Mixers() {
    // Every card is a mixer, even one whose controls cannot be read, so that positions
    // match the card order that MixerOfInput uses.
    std::vector<MixerDevice> mixers;
    for (int card : Cards())
        mixers.push_back(BuildAlsaMixer(CardName(card), Elements(card)));
    return mixers;
}

MMRESULT AlsaDriver::MixerOfInput(int index, UINT& mixerId) {
    if (index >= 0 && !listed_)
        InputDevices();
    if (index >= 0 && std::size_t(index) >= inputs_.size())
        return MMSYSERR_BADDEVICEID;
    const std::vector<int> cards = Cards();
    if (cards.empty())
        return MMSYSERR_NODRIVER;
    // "default" plays on the first card unless configured otherwise; take that one.
    const int card = index < 0 ? -1 : inputs_[std::size_t(index)].Card;
    if (card < 0) {
        mixerId = 0;
        return MMSYSERR_NOERROR;
    }
    for (std::size_t i = 0; i < cards.size(); ++i) {
        if (cards[i] == card) {
            mixerId = UINT(i);
            return MMSYSERR_NOERROR;
        }
    }
    return MMSYSERR_NODRIVER;
}

std::unique_ptr<Driver> CreateAlsaDriver() {
    return std::make_unique<AlsaDriver>(&SoundServerAnswers);
}

} // namespace mmsystem::alsa
