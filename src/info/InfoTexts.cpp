#include "info/InfoTexts.h"

#include <array>
#include <cstddef>

namespace {

constexpr char Site[] = "https://quorvane.org/";
constexpr char Title[] = "Quorvane v2.9beta";

// Joins string literals at compile time, so the title and the address are written once.
template <std::size_t... N> constexpr auto Join(const char (&... parts)[N]) {
    std::array<char, (N + ...) - sizeof...(N) + 1> text{};
    std::size_t at = 0;
    for (const char* part : {static_cast<const char*>(parts)...})
        while (*part)
            text[at++] = *part++;
    return text;
}

constexpr auto About = Join(Title,
                            "\n"
                            "\n"
                            "Samples an audio input stream in 16-bit 44.1kHz mono (usually "
                            "average of left and right channels, if source is stereo),\n"
                            "then uses a Fast Fourier Transform to yield the spectral "
                            "analysis in real-time.\n"
                            "\n"
                            "See also\n"
                            "   ",
                            Site);

constexpr auto ReleaseNotes = Join(
    Title,
    "\n"
    "\n"
    "Samples an audio input stream in 16-bit 44.1kHz mono (usually average of left and right\n"
    " channels, if source is stereo), then uses a Fast Fourier Transform to yield the spectral\n"
    " analysis in real time.\n"
    "\n"
    "Version 2.9\n"
    " Introduced 32x32->64bit calcs, Jan2011. More headroom, lower noise floor.\n"
    " Improved axis options and labelling of scale on vertical axis, Feb2011.\n"
    "\n"
    "Version 2.8\n"
    " - supports multiple 'wave input' devices (multiple soundcards on WinXP and older, or the "
    "new sound model in Vista and later).\n"
    " - allows the relevant mixer to be summoned easily (useful for source-selection in WinXP "
    "and older).\n"
    " - began to implement a meaningful vertical scale.\n"
    "\n"
    "Technical info:\n"
    " Peak-level bargraph shows the difference between the most positive-going and most\n"
    "  negative-going peak in a sound sample. 'Clip' indicates onset of ADC clipping, ie\n"
    "  sample values of +32767 or -32768 being present.\n"
    " The vertical amplitude scale runs to 32768. For the linear scales, each small tick "
    "represents\n"
    "  1024, i.e. 1/32nd of full-scale. Large ticks represent 4096, i.e. 1/8th of full-scale.\n"
    "  Only a single frequency, with no other components present, can reach full scale\n"
    "  without the input clipping.\n"
    " Spectrum obtained using a 4096-sample FFT with a Hanning (raised cosine) window-function.\n"
    "\n"
    "\n"
    "Known bugs/limitations:\n"
    " * For speed and efficiency, fixed-point integer arithmetic is used for all FFT "
    "calculations\n"
    "   (the program will run quite satisfactorily under Windows95 on a 66MHz 486 processor).\n"
    "   The numeric precision chosen leaves the noise level and spurious responses of the FFT\n"
    "   less than perfect: a very strong stimulus frequency can produce a series of spurious\n"
    "   responses with amplitudes at least 66dB below that of the stimulus. So take care when\n"
    "   reading plots on the square-root and logarithmic scales, and with linear\n"
    "   magnifications of x8 or more.\n"
    "   Again relating to speed, fixed point arithmetic, and avoidance of numeric overflow,\n"
    "   source data is internally divided by 8 after windowing and prior to FFT.\n"
    " * If a sound device is added/removed (e.g. USB audio device, or in Vista/Win7 an audio "
    "jack\n"
    "   is plugged/unplugged) while the program is running but idle, then the selected audio "
    "source\n"
    "   in the dropdown box may subsequently change unexpectedly.\n"
    "\n"
    "See also\n"
    "   ",
    Site);

} // namespace

const char* const WebSiteAddress = Site;
const char* const AboutCaption = "About Quorvane";
const char* const AboutText = About.data();
const char* const ReleaseNotesCaption = "Release Notes - Quorvane";
const char* const ReleaseNotesText = ReleaseNotes.data();
