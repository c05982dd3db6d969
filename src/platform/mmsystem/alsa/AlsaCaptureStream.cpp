#include "platform/mmsystem/alsa/AlsaCaptureStream.h"

#include <cerrno>

namespace mmsystem::alsa {

namespace {

// How long the reader sleeps in one wait: the bound on Close().
constexpr int WaitMs = 100;

MMRESULT Configure(snd_pcm_t* pcm) {
    snd_pcm_hw_params_t* hw;
    snd_pcm_hw_params_alloca(&hw);
    unsigned rate = 44100;
    snd_pcm_uframes_t period = AlsaCaptureStream::PeriodFrames;
    snd_pcm_uframes_t buffer = 8 * AlsaCaptureStream::PeriodFrames;
    int dir = 0;
    if (snd_pcm_hw_params_any(pcm, hw) < 0 ||
        snd_pcm_hw_params_set_access(pcm, hw, SND_PCM_ACCESS_RW_INTERLEAVED) < 0 ||
        snd_pcm_hw_params_set_format(pcm, hw, SND_PCM_FORMAT_S16) < 0 ||
        snd_pcm_hw_params_set_channels(pcm, hw, 1) < 0 ||
        snd_pcm_hw_params_set_rate_near(pcm, hw, &rate, &dir) < 0 || rate != 44100)
        return WAVERR_BADFORMAT;
    // Best effort: a device may insist on other sizes; the reader copes with any period.
    snd_pcm_hw_params_set_period_size_near(pcm, hw, &period, &dir);
    snd_pcm_hw_params_set_buffer_size_near(pcm, hw, &buffer);
    if (snd_pcm_hw_params(pcm, hw) < 0)
        return WAVERR_BADFORMAT;
    return snd_pcm_prepare(pcm) < 0 ? MMSYSERR_ERROR : MMSYSERR_NOERROR;
}

} // namespace

MMRESULT AlsaCaptureStream::Open(const std::string& name, CaptureSink& sink,
                                 std::unique_ptr<CaptureStream>& stream) {
    snd_pcm_t* pcm = nullptr;
    // Non-blocking, so a device in use fails at once instead of hanging the GUI thread.
    const int err = snd_pcm_open(&pcm, name.c_str(), SND_PCM_STREAM_CAPTURE, SND_PCM_NONBLOCK);
    if (err < 0)
        return err == -EBUSY ? MMSYSERR_ALLOCATED : MMSYSERR_BADDEVICEID;
    const MMRESULT result = Configure(pcm);
    if (result != MMSYSERR_NOERROR) {
        snd_pcm_close(pcm);
        return result;
    }
    stream.reset(new AlsaCaptureStream(pcm, sink));
    return MMSYSERR_NOERROR;
}

AlsaCaptureStream::~AlsaCaptureStream() {
    Close();
}

MMRESULT AlsaCaptureStream::Start() {
    if (!pcm_ || reader_.joinable())
        return MMSYSERR_ERROR;
    const int err = snd_pcm_start(pcm_);
    if (err < 0 && snd_pcm_state(pcm_) != SND_PCM_STATE_RUNNING)
        return MMSYSERR_ERROR;
    reader_ = std::thread(&AlsaCaptureStream::Run, this);
    return MMSYSERR_NOERROR;
}

void AlsaCaptureStream::Close() {
    stop_ = true;
    if (reader_.joinable())
        reader_.join();
    if (pcm_) {
        snd_pcm_close(pcm_);
        pcm_ = nullptr;
    }
}

void AlsaCaptureStream::Run() {
    while (!stop_) {
        const int ready = snd_pcm_wait(pcm_, WaitMs);
        snd_pcm_sframes_t frames = 0;
        if (ready < 0)
            frames = ready;
        else if (ready == 0)
            continue;
        else
            frames = snd_pcm_readi(pcm_, period_, PeriodFrames);
        if (frames == -EAGAIN)
            continue;
        if (frames < 0) {
            // Overruns and suspends recover (the lost samples are gone); anything else, such
            // as an unplugged device, ends the stream.
            if (snd_pcm_recover(pcm_, int(frames), 1) < 0 ||
                (snd_pcm_state(pcm_) != SND_PCM_STATE_RUNNING && snd_pcm_start(pcm_) < 0)) {
                sink_.Fail();
                return;
            }
            continue;
        }
        if (frames > 0)
            sink_.Deliver(period_, std::size_t(frames));
    }
}

} // namespace mmsystem::alsa
