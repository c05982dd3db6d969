// TForm1, the main window: its controls and menus, the analyser state it carries, the routing
// of the block-recorded message and the handlers of every button, menu item and window event.
#pragma once

#include "dsp/Analysis.h"
#include "dsp/fft.h"
#include "platform/mmsystem/mmsystem.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"

#include <cstdint>
#include <memory>

class QAction;
class QActionGroup;
class QGroupBox;
class QLabel;
class QMenu;
class QMenuBar;
class QPushButton;

class TForm1 : public TForm {
    Q_OBJECT
public:
    explicit TForm1(QWidget* owner);
    ~TForm1() override;

    // Controls, in creation order within each parent.
    QLabel* BandwidthLabel;
    QPushButton* StartButton;
    QPushButton* StopButton;
    QGroupBox* GroupBox4;
    TImage* Image2;
    TImage* Image1;
    TPanel* Panel1;
    QGroupBox* GroupBox1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QLabel* Label7;
    TPanel* Panel2;
    TPanel* Panel3;
    TComboBox* DeviceSelectCombo;

    QMenuBar* MainMenu1;
    QMenu* Scales1;
    QAction* x1linear1;
    QAction* x2linear1;
    QAction* x4linear1;
    QAction* x8linear1;
    QAction* x16linear1;
    QAction* x32linear1;
    QAction* squarerootcompressed1;
    QAction* N100dBlogarithmic1;
    QAction* N130dBlogarithmic1;
    QAction* Aweighted70dB1;
    QAction* Aweighted120dB1;
    QMenu* Horizontalscale1;
    QAction* HNormal1;
    QAction* HCompressedx21;
    QAction* HCompressedx31;
    QAction* HLogarithmic1;
    QAction* LaunchRecordingmixer1;
    QMenu* Help1;
    QAction* Devicecapabilities1;
    QAction* Releasenotes1;
    QAction* About1;

    // Analyser state. Zero before the constructor's own steps, as the ring relies on.
    std::int16_t WaveBuffer[4][BlockSamples] = {};
    std::int32_t CurrentBlock = 0;
    std::int32_t HScale = 0;
    std::int32_t PixelDivisor = 0;
    std::int32_t VScale = 0;
    BOOL Recording = FALSE;
    HWAVEIN WaveIn = nullptr;
    WAVEHDR WaveHeaders[4] = {};
    std::unique_ptr<fft> Fft;
    std::int32_t Window[FrameSamples] = {};

    // Message routing: MM_WIM_DATA to MMWimData, everything else to the inherited handler.
    void Dispatch(TMessage& message) override;
    void MMWimData(TMessage& message);

    // Per-block work.
    void AnalyseBlock(AnalysisWork& work, AnalysisResult& result);
    float HearingThreshold(float frequency);
    void SetClipLamp(bool Clipping);
    void DrawLevelMeter(std::int32_t SampleMax, std::int32_t SampleMin);
    void DrawTrace(const std::int32_t* DisplayValues, bool Clipping);
    void DrawAmplitudeScale();
    void DrawFrequencyScale();

    // Device list and recording control.
    void RefreshDeviceList();
    void DeviceSelectComboEnter(QObject* Sender);
    void DeviceSelectComboDropDown(QObject* Sender);
    void StartButtonClick(QObject* Sender);
    void StopButtonClick(QObject* Sender);
    void FormClose(QObject* Sender);

    // Layout and scale menus.
    void FormResize(QObject* Sender);
    void x1linear1Click(QObject* Sender);
    void x2linear1Click(QObject* Sender);
    void x4linear1Click(QObject* Sender);
    void x8linear1Click(QObject* Sender);
    void x16linear1Click(QObject* Sender);
    void x32linear1Click(QObject* Sender);
    void squarerootcompressed1Click(QObject* Sender);
    void N100dBlogarithmic1Click(QObject* Sender);
    void N130dBlogarithmic1Click(QObject* Sender);
    void Aweighted70dB1Click(QObject* Sender);
    void Aweighted120dB1Click(QObject* Sender);
    void HNormal1Click(QObject* Sender);
    void HCompressedx21Click(QObject* Sender);
    void HCompressedx31Click(QObject* Sender);
    void HLogarithmic1Click(QObject* Sender);

    // Mixer and Help.
    void LaunchRecordingmixer1Click(QObject* Sender);
    void Devicecapabilities1Click(QObject* Sender);
    void Releasenotes1Click(QObject* Sender);
    void About1Click(QObject* Sender);

protected:
    void ClientResized() override { FormResize(this); }
    void Closing() override { FormClose(this); }

private:
    void CreateControls();
    void CreateMenus();
    void SelectVerticalScale(QAction* item, std::int32_t code);
    void SelectHorizontalScale(QAction* item, std::int32_t code);
    // The header wait: repeats while the device still owns the block, within a bound.
    void WaitForHeader(WAVEHDR& header);
    // Fills header k for block k and queues it; the result of the add.
    MMRESULT QueueBlock(int k);
};

extern TForm1* Form1;
