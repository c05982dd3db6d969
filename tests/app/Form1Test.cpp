// The main window's form, its state at start-up and the routing of window messages.
#include "tests/app/FormFixture.h"

#include "platform/vcl/Messages.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include <thread>

namespace {

std::vector<QAction*> CheckedItems(QMenu* menu) {
    std::vector<QAction*> checked;
    for (QAction* a : menu->actions())
        if (a->isChecked())
            checked.push_back(a);
    return checked;
}

std::vector<std::string> Captions(const QList<QAction*>& actions) {
    std::vector<std::string> captions;
    for (QAction* a : actions)
        captions.push_back(a->text().toStdString());
    return captions;
}

} // namespace

TEST_F(FormTest, StartsWithTheDefaultState) {
    EXPECT_EQ(form->VScale, 2);
    EXPECT_EQ(form->HScale, 1);
    EXPECT_EQ(form->PixelDivisor, 32);
    EXPECT_EQ(form->Recording, FALSE);
    EXPECT_EQ(form->CurrentBlock, 0);
    EXPECT_EQ(form->WaveIn, nullptr);
    ASSERT_NE(form->Fft, nullptr);
    EXPECT_EQ(form->Fft->Size, 4096);
    EXPECT_EQ(form->Window[2048], 65534);
    EXPECT_EQ(form->BandwidthLabel->text().toStdString(), "(Approx 11Hz bandwidth per channel)");
    EXPECT_EQ(form->windowTitle().toStdString(), "Quorvane v2.9beta");
    // The device list is filled and its first entry selected.
    ASSERT_EQ(form->DeviceSelectCombo->count(), 2);
    EXPECT_EQ(form->DeviceSelectCombo->itemText(0).toStdString(), "Built-in Audio");
    EXPECT_EQ(form->DeviceSelectCombo->ItemIndex(), 0);
    EXPECT_FALSE(form->DeviceSelectCombo->isEditable());
    // Both scale bitmaps were made at the design sizes.
    ASSERT_NE(form->Image1->Bitmap(), nullptr);
    ASSERT_NE(form->Image2->Bitmap(), nullptr);
    EXPECT_EQ(form->Image1->Bitmap()->Width(), 40);
    EXPECT_EQ(form->Image1->Bitmap()->Height(), 1200);
    EXPECT_EQ(form->Image2->Bitmap()->Width(), 1600);
    EXPECT_EQ(form->Image2->Bitmap()->Height(), 33);
}

TEST_F(FormTest, ControlsStandAtTheirDesignPlaces) {
    struct Place {
        const char* name;
        QWidget* control;
        QWidget* parent;
        int left, top, width, height;
    };
    const Place places[] = {
        {"StartButton", form->StartButton, form->Client(), 680, 456, 73, 25},
        {"StopButton", form->StopButton, form->Client(), 680, 488, 73, 25},
        {"GroupBox4", form->GroupBox4, form->Client(), 8, 8, 745, 441},
        {"Image2", form->Image2, form->GroupBox4, 8, 400, 1600, 33},
        {"Image1", form->Image1, form->GroupBox4, 8, 16, 40, 1200},
        {"Panel1", form->Panel1, form->GroupBox4, 48, 16, 689, 385},
        {"GroupBox1", form->GroupBox1, form->Client(), 8, 456, 401, 49},
        {"Panel2", form->Panel2, form->GroupBox1, 24, 16, 291, 9},
        {"Panel3", form->Panel3, form->GroupBox1, 336, 16, 41, 9},
        {"DeviceSelectCombo", form->DeviceSelectCombo, form->Client(), 432, 488, 225, 21},
    };
    for (const Place& p : places) {
        SCOPED_TRACE(p.name);
        EXPECT_EQ(p.control->parentWidget(), p.parent);
        EXPECT_EQ(p.control->geometry(), QRect(p.left, p.top, p.width, p.height));
    }
    // Labels size themselves to their text: the design size is the least they take.
    struct LabelPlace {
        QLabel* label;
        QWidget* parent;
        const char* text;
        int left, top, width;
    };
    const LabelPlace labels[] = {
        {form->BandwidthLabel, form->Client(), "(Approx 11Hz bandwidth per channel)", 432, 456,
         179},
        {form->Label2, form->GroupBox1, "0dB", 304, 24, 19},
        {form->Label3, form->GroupBox1, "-48dB", 8, 24, 28},
        {form->Label4, form->GroupBox1, "CLIP", 344, 24, 23},
        {form->Label5, form->GroupBox1, "-6dB", 264, 24, 22},
        {form->Label6, form->GroupBox1, "-24dB", 156, 24, 28},
        {form->Label7, form->GroupBox1, "-36dB", 86, 24, 28},
    };
    for (const LabelPlace& l : labels) {
        SCOPED_TRACE(l.text);
        EXPECT_EQ(l.label->text().toStdString(), l.text);
        EXPECT_EQ(l.label->parentWidget(), l.parent);
        EXPECT_EQ(l.label->pos(), QPoint(l.left, l.top));
        EXPECT_EQ(l.label->height(), 13);
        EXPECT_GE(l.label->width(), l.width);
    }
    EXPECT_EQ(form->GroupBox4->title().toStdString(), "Quorvane");
    EXPECT_EQ(form->GroupBox1->title().toStdString(), "Peak level");
    EXPECT_EQ(form->StartButton->text().toStdString(), "&Start");
    EXPECT_EQ(form->StopButton->text().toStdString(), "Sto&p");
    EXPECT_EQ(form->DeviceSelectCombo->toolTip().toStdString(),
              "If you have more than one soundcard, select the device you wish to use here.");
    EXPECT_EQ(form->Panel1->Color(), clWhite);
    EXPECT_EQ(form->Panel1->BevelOuter(), TBevelCut::bvNone);
    EXPECT_EQ(form->Panel1->cursor().shape(), Qt::CrossCursor);
    for (TPanel* panel : {form->Panel2, form->Panel3}) {
        EXPECT_EQ(panel->Color(), clBtnFace);
        EXPECT_EQ(panel->BevelOuter(), TBevelCut::bvRaised);
    }
    EXPECT_EQ(form->pos(), QPoint(208, 119));
}

TEST_F(FormTest, FocusMovesInTheDesignOrder) {
    const std::vector<QWidget*> order = {form->StartButton, form->StopButton, form->GroupBox4,
                                         form->GroupBox1, form->DeviceSelectCombo};
    for (size_t i = 0; i + 1 < order.size(); ++i) {
        QWidget* w = order[i]->nextInFocusChain();
        // Children of a group box may stand between; the next of our five must follow.
        while (std::find(order.begin(), order.end(), w) == order.end())
            w = w->nextInFocusChain();
        EXPECT_EQ(w, order[i + 1]) << "after control " << i;
    }
}

TEST_F(FormTest, MenuBarHoldsTheScalesTheMixerCommandAndHelp) {
    EXPECT_EQ(
        Captions(form->MainMenu1->actions()),
        (std::vector<std::string>{"&Vertical scale", "&Horizontal scale", "&Mixer...", "&Help"}));
    EXPECT_EQ(form->LaunchRecordingmixer1->menu(), nullptr);
    EXPECT_EQ(Captions(form->Scales1->actions()),
              (std::vector<std::string>{"x1 linear", "x2 linear", "x4 linear", "x8 linear",
                                        "x16 linear", "x32 linear", "square-root compressed",
                                        "100dB logarithmic", "130dB logarithmic",
                                        "A-weighted 70dB (dB HL)", "A-weighted 120dB  (dB HL)"}));
    EXPECT_EQ(
        Captions(form->Horizontalscale1->actions()),
        (std::vector<std::string>{"Normal", "Compressed x2", "Compressed x3", "Logarithmic"}));
    EXPECT_EQ(Captions(form->Help1->actions()),
              (std::vector<std::string>{"&System audio device capabilities...", "&Release notes...",
                                        "&About..."}));
}

TEST_F(FormTest, OneCheckMarkPerScaleMenu) {
    EXPECT_EQ(CheckedItems(form->Scales1), std::vector<QAction*>{form->x2linear1});
    EXPECT_EQ(CheckedItems(form->Horizontalscale1), std::vector<QAction*>{form->HNormal1});

    struct Choice {
        QAction* item;
        QMenu* menu;
        std::int32_t TForm1::*field;
        std::int32_t code;
    };
    const Choice choices[] = {
        {form->x8linear1, form->Scales1, &TForm1::VScale, 8},
        {form->x1linear1, form->Scales1, &TForm1::VScale, 1},
        {form->x4linear1, form->Scales1, &TForm1::VScale, 4},
        {form->x16linear1, form->Scales1, &TForm1::VScale, 16},
        {form->x32linear1, form->Scales1, &TForm1::VScale, 32},
        {form->squarerootcompressed1, form->Scales1, &TForm1::VScale, -2},
        {form->N100dBlogarithmic1, form->Scales1, &TForm1::VScale, 100},
        {form->N130dBlogarithmic1, form->Scales1, &TForm1::VScale, 130},
        {form->Aweighted70dB1, form->Scales1, &TForm1::VScale, 70},
        {form->Aweighted120dB1, form->Scales1, &TForm1::VScale, 120},
        {form->x2linear1, form->Scales1, &TForm1::VScale, 2},
        {form->HCompressedx21, form->Horizontalscale1, &TForm1::HScale, 2},
        {form->HCompressedx31, form->Horizontalscale1, &TForm1::HScale, 3},
        {form->HLogarithmic1, form->Horizontalscale1, &TForm1::HScale, -1},
        {form->HLogarithmic1, form->Horizontalscale1, &TForm1::HScale, -1},
        {form->HNormal1, form->Horizontalscale1, &TForm1::HScale, 1},
    };
    for (const Choice& c : choices) {
        SCOPED_TRACE(c.item->text().toStdString());
        QMenu* other = c.menu == form->Scales1 ? form->Horizontalscale1 : form->Scales1;
        const auto otherMarks = CheckedItems(other);
        c.item->trigger();
        EXPECT_EQ((*form).*(c.field), c.code);
        EXPECT_EQ(CheckedItems(c.menu), std::vector<QAction*>{c.item});
        EXPECT_EQ(CheckedItems(other), otherMarks);
    }
}

// Records what reaches the inherited handler.
class ProbeForm : public TForm1 {
public:
    ProbeForm() : TForm1(nullptr) {}
    void DefaultHandler(TMessage& message) override { inherited.push_back(message); }
    std::vector<TMessage> inherited;
};

TEST_F(FormTest, BlockMessagesFromAnotherThreadReachMMWimData) {
    // Idle: each message only waits for its header and advances the ring, 3 wrapping to 0.
    std::thread driver([this] {
        for (int i = 0; i < 5; ++i)
            PostMessageA(form.get(), MM_WIM_DATA, 0, 0);
    });
    driver.join();
    Flush();
    EXPECT_EQ(form->CurrentBlock, 1);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(FormTest, OtherMessagesReachTheInheritedHandlerUnchanged) {
    ProbeForm probe;
    const TMessage sent[] = {{MM_WIM_OPEN, 11, 22, 0}, {MM_WIM_CLOSE, 0, -1, 0}, {0x0401, 7, 8, 0}};
    std::thread driver([&] {
        for (const TMessage& m : sent)
            PostMessageA(&probe, m.Msg, m.WParam, m.LParam);
    });
    driver.join();
    Flush();
    ASSERT_EQ(probe.inherited.size(), std::size(sent));
    for (size_t i = 0; i < std::size(sent); ++i) {
        EXPECT_EQ(probe.inherited[i].Msg, sent[i].Msg);
        EXPECT_EQ(probe.inherited[i].WParam, sent[i].WParam);
        EXPECT_EQ(probe.inherited[i].LParam, sent[i].LParam);
    }
    EXPECT_EQ(probe.CurrentBlock, 0);
    // A block message never reaches the inherited handler, whatever its parameters.
    TMessage block{MM_WIM_DATA, 0x1234, 0x5678, 0};
    probe.Dispatch(block);
    EXPECT_EQ(probe.inherited.size(), std::size(sent));
    EXPECT_EQ(probe.CurrentBlock, 1);
}
