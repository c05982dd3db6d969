#include "app/Form1.h"

#include "display/AmplitudeScale.h"
#include "display/FrequencyScale.h"
#include "display/LevelMeter.h"
#include "display/Trace.h"
#include "info/CapabilitiesForm.h"
#include "info/InfoTexts.h"
#include "info/MixerLauncher.h"
#include "platform/vcl/Dialogs.h"

#include <QAction>
#include <QActionGroup>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include <algorithm>
#include <cstdio>

TForm1* Form1 = nullptr;

namespace {

constexpr int DesignClientWidth = 760;
constexpr int DesignClientHeight = 519;

QLabel* MakeLabel(QWidget* parent, const char* text, int left, int top, int width, int height) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    // Labels size themselves to their text; the design size is the least they take.
    label->setGeometry(left, top, std::max(width, label->sizeHint().width()), height);
    return label;
}

} // namespace

TForm1::TForm1(QWidget* owner) : TForm(owner) {
    // 1. The form description.
    CreateControls();
    CreateMenus();
    // The client area is what lies below the menu bar.
    const int menuHeight = MainMenu1->isNativeMenuBar() ? 0 : MainMenu1->sizeHint().height();
    resize(DesignClientWidth, DesignClientHeight + menuHeight);
    // 2-5. The analyser state.
    Recording = FALSE;
    CurrentBlock = 0;
    PixelDivisor = 32;
    VScale = 2;
    HScale = 1;
    Fft = std::make_unique<fft>(12);
    char bandwidth[64];
    std::snprintf(bandwidth, sizeof bandwidth, "(Approx %iHz bandwidth per channel)", 11);
    BandwidthLabel->setText(QString::fromLatin1(bandwidth));
    BandwidthLabel->resize(std::max(179, BandwidthLabel->sizeHint().width()), 13);
    FillWindow(Window);
    // 6-7. Both scales (creating their bitmaps at the design sizes), then the device list.
    DrawAmplitudeScale();
    DrawFrequencyScale();
    RefreshDeviceList();
    DeviceSelectCombo->SetItemIndex(0);
}

TForm1::~TForm1() {
    // A device left open would post to a window that no longer exists.
    if (Recording)
        FormClose(this);
}

void TForm1::CreateControls() {
    setWindowTitle(QStringLiteral("Quorvane v2.9beta"));
    move(208, 119);
    QWidget* client = Client();

    BandwidthLabel = MakeLabel(client, "(Approx. xxHz bandwidth per channel)", 432, 456, 179, 13);
    StartButton = new QPushButton(QStringLiteral("&Start"), client);
    StartButton->setGeometry(680, 456, 73, 25);
    StopButton = new QPushButton(QStringLiteral("Sto&p"), client);
    StopButton->setGeometry(680, 488, 73, 25);

    GroupBox4 = new QGroupBox(QStringLiteral("Quorvane"), client);
    GroupBox4->setGeometry(8, 8, 745, 441);
    Image2 = new TImage(GroupBox4);
    Image2->setGeometry(8, 400, 1600, 33);
    Image1 = new TImage(GroupBox4);
    Image1->setGeometry(8, 16, 40, 1200);
    Panel1 = new TPanel(GroupBox4);
    Panel1->setGeometry(48, 16, 689, 385);
    Panel1->SetBevelOuter(TBevelCut::bvNone);
    Panel1->SetColor(clWhite);
    Panel1->setCursor(Qt::CrossCursor);

    GroupBox1 = new QGroupBox(QStringLiteral("Peak level"), client);
    GroupBox1->setGeometry(8, 456, 401, 49);
    Label2 = MakeLabel(GroupBox1, "0dB", 304, 24, 19, 13);
    Label3 = MakeLabel(GroupBox1, "-48dB", 8, 24, 28, 13);
    Label4 = MakeLabel(GroupBox1, "CLIP", 344, 24, 23, 13);
    Label5 = MakeLabel(GroupBox1, "-6dB", 264, 24, 22, 13);
    Label6 = MakeLabel(GroupBox1, "-24dB", 156, 24, 28, 13);
    Label7 = MakeLabel(GroupBox1, "-36dB", 86, 24, 28, 13);
    Panel2 = new TPanel(GroupBox1);
    Panel2->setGeometry(24, 16, 291, 9);
    Panel3 = new TPanel(GroupBox1);
    Panel3->setGeometry(336, 16, 41, 9);

    DeviceSelectCombo = new TComboBox(client);
    DeviceSelectCombo->setGeometry(432, 488, 225, 21);
    DeviceSelectCombo->setToolTip(QStringLiteral(
        "If you have more than one soundcard, select the device you wish to use here."));
    DeviceSelectCombo->OnEnter = [this] { DeviceSelectComboEnter(DeviceSelectCombo); };
    DeviceSelectCombo->OnDropDown = [this] { DeviceSelectComboDropDown(DeviceSelectCombo); };

    setTabOrder(StartButton, StopButton);
    setTabOrder(StopButton, GroupBox4);
    setTabOrder(GroupBox4, GroupBox1);
    setTabOrder(GroupBox1, DeviceSelectCombo);

    connect(StartButton, &QPushButton::clicked, this, [this] { StartButtonClick(StartButton); });
    connect(StopButton, &QPushButton::clicked, this, [this] { StopButtonClick(StopButton); });
}

void TForm1::CreateMenus() {
    MainMenu1 = menuBar();

    using Handler = void (TForm1::*)(QObject*);
    auto addRadio = [this](QMenu* menu, QActionGroup* group, const char* caption, std::int32_t code,
                           Handler handler) {
        QAction* item = menu->addAction(QString::fromUtf8(caption));
        item->setCheckable(true);
        item->setData(code);
        group->addAction(item);
        connect(item, &QAction::triggered, this, [this, item, handler] { (this->*handler)(item); });
        return item;
    };

    Scales1 = MainMenu1->addMenu(QStringLiteral("&Vertical scale"));
    auto* vertical = new QActionGroup(Scales1);
    x1linear1 = addRadio(Scales1, vertical, "x1 linear", 1, &TForm1::x1linear1Click);
    x2linear1 = addRadio(Scales1, vertical, "x2 linear", 2, &TForm1::x2linear1Click);
    x4linear1 = addRadio(Scales1, vertical, "x4 linear", 4, &TForm1::x4linear1Click);
    x8linear1 = addRadio(Scales1, vertical, "x8 linear", 8, &TForm1::x8linear1Click);
    x16linear1 = addRadio(Scales1, vertical, "x16 linear", 16, &TForm1::x16linear1Click);
    x32linear1 = addRadio(Scales1, vertical, "x32 linear", 32, &TForm1::x32linear1Click);
    squarerootcompressed1 = addRadio(Scales1, vertical, "square-root compressed", -2,
                                     &TForm1::squarerootcompressed1Click);
    N100dBlogarithmic1 =
        addRadio(Scales1, vertical, "100dB logarithmic", 100, &TForm1::N100dBlogarithmic1Click);
    N130dBlogarithmic1 =
        addRadio(Scales1, vertical, "130dB logarithmic", 130, &TForm1::N130dBlogarithmic1Click);
    Aweighted70dB1 =
        addRadio(Scales1, vertical, "A-weighted 70dB (dB HL)", 70, &TForm1::Aweighted70dB1Click);
    Aweighted120dB1 = addRadio(Scales1, vertical, "A-weighted 120dB  (dB HL)", 120,
                               &TForm1::Aweighted120dB1Click);
    x2linear1->setChecked(true);

    Horizontalscale1 = MainMenu1->addMenu(QStringLiteral("&Horizontal scale"));
    auto* horizontal = new QActionGroup(Horizontalscale1);
    HNormal1 = addRadio(Horizontalscale1, horizontal, "Normal", 1, &TForm1::HNormal1Click);
    HCompressedx21 =
        addRadio(Horizontalscale1, horizontal, "Compressed x2", 2, &TForm1::HCompressedx21Click);
    HCompressedx31 =
        addRadio(Horizontalscale1, horizontal, "Compressed x3", 3, &TForm1::HCompressedx31Click);
    HLogarithmic1 =
        addRadio(Horizontalscale1, horizontal, "Logarithmic", -1, &TForm1::HLogarithmic1Click);
    HNormal1->setChecked(true);

    // A command on the bar itself: no submenu.
    LaunchRecordingmixer1 = MainMenu1->addAction(QStringLiteral("&Mixer..."));
    connect(LaunchRecordingmixer1, &QAction::triggered, this,
            [this] { LaunchRecordingmixer1Click(LaunchRecordingmixer1); });

    Help1 = MainMenu1->addMenu(QStringLiteral("&Help"));
    Devicecapabilities1 = Help1->addAction(QStringLiteral("&System audio device capabilities..."));
    Releasenotes1 = Help1->addAction(QStringLiteral("&Release notes..."));
    About1 = Help1->addAction(QStringLiteral("&About..."));
    connect(Devicecapabilities1, &QAction::triggered, this,
            [this] { Devicecapabilities1Click(Devicecapabilities1); });
    connect(Releasenotes1, &QAction::triggered, this,
            [this] { Releasenotes1Click(Releasenotes1); });
    connect(About1, &QAction::triggered, this, [this] { About1Click(About1); });
}

// ---- Message routing and the per-block pass ----

void TForm1::Dispatch(TMessage& message) {
    if (message.Msg == MM_WIM_DATA)
        MMWimData(message);
    else
        TForm::Dispatch(message);
}

void TForm1::MMWimData(TMessage&) {
    WaitForHeader(WaveHeaders[CurrentBlock]);
    if (Recording) {
        // Working storage of this one pass; nothing of it outlives the call.
        AnalysisWork work;
        AnalysisResult result;
        AnalyseBlock(work, result);
        DrawLevelMeter(result.SampleMax, result.SampleMin);
        DrawTrace(result.DisplayValues, result.Clipping);
        if (QueueBlock(CurrentBlock) != MMSYSERR_NOERROR) {
            MessageBoxA(Application ? Application->Handle() : nullptr,
                        "Failed to read block from device", nullptr, MB_ICONWARNING);
            return;
        }
    }
    CurrentBlock = (CurrentBlock + 1) % 4;
}

void TForm1::AnalyseBlock(AnalysisWork& work, AnalysisResult& result) {
    const std::int32_t PreviousBlock = (CurrentBlock + 3) % 4;
    BuildFrame(WaveBuffer[PreviousBlock], WaveBuffer[CurrentBlock], Window, work, result);
    // The lamp follows as soon as the clipping state is known.
    SetClipLamp(result.Clipping);
    TransformAndMap(*Fft, VScale, work, result);
}

float TForm1::HearingThreshold(float frequency) {
    return ::HearingThreshold(frequency);
}

void TForm1::SetClipLamp(bool Clipping) {
    ::SetClipLamp(*Panel3, Clipping);
}

void TForm1::DrawLevelMeter(std::int32_t SampleMax, std::int32_t SampleMin) {
    ::DrawLevelMeter(*Panel2, SampleMax, SampleMin);
}

void TForm1::DrawTrace(const std::int32_t* DisplayValues, bool Clipping) {
    ::DrawTrace(*Panel1, DisplayValues, Clipping, HScale, PixelDivisor);
}

void TForm1::DrawAmplitudeScale() {
    ::DrawAmplitudeScale(*Image1, VScale, PixelDivisor);
}

void TForm1::DrawFrequencyScale() {
    ::DrawFrequencyScale(*Image2, HScale, Image1->width());
}

// ---- Layout and scale menus ----

void TForm1::FormResize(QObject*) {
    const int H = Client()->height();
    const int W = Client()->width();
    // A tiny window shows nothing broken: sizes stop at zero.
    auto size = [](int value) { return std::max(0, value); };
    GroupBox1->move(GroupBox1->x(), H - 58);
    BandwidthLabel->move(BandwidthLabel->x(), H - 54);
    StartButton->move(StartButton->x(), H - 60);
    StopButton->move(StopButton->x(), H - 32);
    DeviceSelectCombo->move(DeviceSelectCombo->x(), H - 32);
    GroupBox4->resize(size(W - 16), GroupBox4->height());
    GroupBox4->resize(GroupBox4->width(), size(H - 72));
    Panel1->resize(size(GroupBox4->width() - Image1->width() - 16), Panel1->height());
    Panel1->resize(Panel1->width(), size(GroupBox4->height() - 56));
    Image1->resize(Image1->width(), Panel1->height());
    Image2->resize(size(GroupBox4->width() - 16), Image2->height());
    Image2->move(Image2->x(), Panel1->y() + Panel1->height());
    // Today's screens are taller than 1200 and wider than 1560 pixels: the scales grow with
    // the panel, never below their design sizes.
    if (Image2->Bitmap() && Image2->width() > Image2->Bitmap()->Width()) {
        Image2->GrowBitmap(Image2->width(), Image2->Bitmap()->Height());
        DrawFrequencyScale();
    }
    if (Image1->Bitmap() && Image1->height() > Image1->Bitmap()->Height())
        Image1->GrowBitmap(Image1->Bitmap()->Width(), Image1->height());
    DrawAmplitudeScale();
}

void TForm1::SelectVerticalScale(QAction* item, std::int32_t code) {
    VScale = code;
    item->setChecked(true);
    DrawAmplitudeScale();
}

void TForm1::SelectHorizontalScale(QAction* item, std::int32_t code) {
    HScale = code;
    item->setChecked(true);
    DrawFrequencyScale();
    Panel1->Repaint();
}

void TForm1::x1linear1Click(QObject*) {
    SelectVerticalScale(x1linear1, 1);
}
void TForm1::x2linear1Click(QObject*) {
    SelectVerticalScale(x2linear1, 2);
}
void TForm1::x4linear1Click(QObject*) {
    SelectVerticalScale(x4linear1, 4);
}
void TForm1::x8linear1Click(QObject*) {
    SelectVerticalScale(x8linear1, 8);
}
void TForm1::x16linear1Click(QObject*) {
    SelectVerticalScale(x16linear1, 16);
}
void TForm1::x32linear1Click(QObject*) {
    SelectVerticalScale(x32linear1, 32);
}
void TForm1::squarerootcompressed1Click(QObject*) {
    SelectVerticalScale(squarerootcompressed1, -2);
}
void TForm1::N100dBlogarithmic1Click(QObject*) {
    SelectVerticalScale(N100dBlogarithmic1, 100);
}
void TForm1::N130dBlogarithmic1Click(QObject*) {
    SelectVerticalScale(N130dBlogarithmic1, 130);
}
void TForm1::Aweighted70dB1Click(QObject*) {
    SelectVerticalScale(Aweighted70dB1, 70);
}
void TForm1::Aweighted120dB1Click(QObject*) {
    SelectVerticalScale(Aweighted120dB1, 120);
}

void TForm1::HNormal1Click(QObject*) {
    SelectHorizontalScale(HNormal1, 1);
}
void TForm1::HCompressedx21Click(QObject*) {
    SelectHorizontalScale(HCompressedx21, 2);
}
void TForm1::HCompressedx31Click(QObject*) {
    SelectHorizontalScale(HCompressedx31, 3);
}
void TForm1::HLogarithmic1Click(QObject*) {
    SelectHorizontalScale(HLogarithmic1, -1);
}

// ---- Mixer and Help ----

void TForm1::LaunchRecordingmixer1Click(QObject*) {
    RefreshDeviceList();
    LaunchRecordingMixer(DeviceSelectCombo->ItemIndex());
}

void TForm1::Devicecapabilities1Click(QObject*) {
    if (Form2)
        ShowCapabilitiesReport(*Form2);
}

void TForm1::Releasenotes1Click(QObject*) {
    Application->MessageBox(ReleaseNotesText, ReleaseNotesCaption, MB_OK);
}

void TForm1::About1Click(QObject*) {
    Application->MessageBox(AboutText, AboutCaption, MB_OK);
}
