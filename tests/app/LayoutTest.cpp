// The layout rule and the scale menus' repainting.
#include "tests/app/FormFixture.h"

#include "platform/gdi/gdi.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace {

class LayoutTest : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        form->show();
        Flush();
    }
    void SetClientSize(int width, int height) {
        const QSize frame = form->size() - form->Client()->size();
        form->resize(frame + QSize(width, height));
        Flush();
        ASSERT_EQ(form->Client()->size(), QSize(width, height));
    }
    // Blackens the trace panel as a block's drawing would.
    void DrawOnTracePanel() {
        HDC dc = GetDC(form->Panel1);
        RECT all{0, 0, form->Panel1->width(), form->Panel1->height()};
        HBRUSH black = CreateSolidBrush(RGB(0, 0, 0));
        FillRect(dc, &all, black);
        DeleteObject(black);
        ReleaseDC(form->Panel1, dc);
    }
    bool TracePanelIsWhite() const {
        const QImage& s = form->Panel1->Surface();
        for (int y = 0; y < s.height(); ++y)
            for (int x = 0; x < s.width(); ++x)
                if ((s.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF)
                    return false;
        return true;
    }
};

struct Layout {
    int groupBox1Top, bandwidthTop, startTop, stopTop, comboTop;
    QSize groupBox4, panel1;
    int image1Height, image2Width, image2Top;
};

Layout Measure(const TForm1& f) {
    return {f.GroupBox1->y(),         f.BandwidthLabel->y(), f.StartButton->y(), f.StopButton->y(),
            f.DeviceSelectCombo->y(), f.GroupBox4->size(),   f.Panel1->size(),   f.Image1->height(),
            f.Image2->width(),        f.Image2->y()};
}

void ExpectLayout(const Layout& got, const Layout& want) {
    EXPECT_EQ(got.groupBox1Top, want.groupBox1Top);
    EXPECT_EQ(got.bandwidthTop, want.bandwidthTop);
    EXPECT_EQ(got.startTop, want.startTop);
    EXPECT_EQ(got.stopTop, want.stopTop);
    EXPECT_EQ(got.comboTop, want.comboTop);
    EXPECT_EQ(got.groupBox4, want.groupBox4);
    EXPECT_EQ(got.panel1, want.panel1);
    EXPECT_EQ(got.image1Height, want.image1Height);
    EXPECT_EQ(got.image2Width, want.image2Width);
    EXPECT_EQ(got.image2Top, want.image2Top);
}

std::vector<int> LeftEdges(const TForm1& f) {
    return {f.GroupBox1->x(),
            f.BandwidthLabel->x(),
            f.StartButton->x(),
            f.StopButton->x(),
            f.DeviceSelectCombo->x(),
            f.GroupBox4->x(),
            f.Panel1->x(),
            f.Image1->x(),
            f.Image2->x()};
}

} // namespace

TEST_F(LayoutTest, DesignSizeAndGrowingWindowFollowTheRule) {
    SetClientSize(760, 519);
    ExpectLayout(Measure(*form), {461, 465, 459, 487, 487, {744, 447}, {688, 391}, 391, 728, 407});
    const auto lefts = LeftEdges(*form);
    EXPECT_EQ(lefts, (std::vector<int>{8, 432, 680, 680, 432, 8, 48, 8, 8}));

    SetClientSize(860, 569);
    ExpectLayout(Measure(*form), {511, 515, 509, 537, 537, {844, 497}, {788, 441}, 441, 828, 457});
    EXPECT_EQ(LeftEdges(*form), lefts);
}

TEST_F(LayoutTest, TinyWindowGetsNoNegativeSizes) {
    SetClientSize(50, 50);
    for (QWidget* w : std::initializer_list<QWidget*>{form->GroupBox4, form->Panel1, form->Image1,
                                                      form->Image2}) {
        EXPECT_GE(w->width(), 0);
        EXPECT_GE(w->height(), 0);
    }
    EXPECT_EQ(form->Panel1->size(), QSize(0, 0));
    // Growing again restores the rule's sizes.
    SetClientSize(760, 519);
    EXPECT_EQ(form->Panel1->size(), QSize(688, 391));
}

TEST_F(LayoutTest, HorizontalChoiceClearsTheTracePanelAndVerticalLeavesIt) {
    SetClientSize(760, 519);
    DrawOnTracePanel();
    form->x8linear1->trigger();
    EXPECT_FALSE(TracePanelIsWhite());
    form->HLogarithmic1->trigger();
    EXPECT_TRUE(TracePanelIsWhite());
    // The checked item again clears it again.
    DrawOnTracePanel();
    form->HLogarithmic1->trigger();
    EXPECT_TRUE(TracePanelIsWhite());
    // Resizing leaves the panel white too.
    DrawOnTracePanel();
    SetClientSize(800, 540);
    EXPECT_TRUE(TracePanelIsWhite());
}

TEST_F(LayoutTest, AmplitudeScaleFollowsTheNewHeight) {
    // The 0k tick of the linear scales stands on the bottom row of the trace.
    auto zeroTickBlack = [this](int height) {
        const QImage& bitmap = form->Image1->Bitmap()->Image();
        return (bitmap.pixel(36, height - 1) & 0xFFFFFF) == 0;
    };
    SetClientSize(760, 519);
    EXPECT_TRUE(zeroTickBlack(391));
    SetClientSize(760, 619);
    EXPECT_TRUE(zeroTickBlack(491));
    EXPECT_FALSE(zeroTickBlack(391));
}

TEST_F(LayoutTest, ScalesCoverALargeTracePanel) {
    SetClientSize(2632, 1528);
    ASSERT_EQ(form->Panel1->size(), QSize(2560, 1400));
    EXPECT_GE(form->Image1->Bitmap()->Height(), form->Panel1->height());
    EXPECT_GE(form->Image2->Bitmap()->Width(), form->Image2->width());
    // The scale is painted over the whole height: the 0k tick on the panel's bottom row.
    EXPECT_EQ(form->Image1->Bitmap()->Image().pixel(36, 1399) & 0xFFFFFF, 0u);
    // The 22 kHz tick of the normal scale lies past the design width of the bitmap.
    const int column22k = 40 + int(22000 * 0.09287981859410430839);
    EXPECT_EQ(form->Image2->Bitmap()->Image().pixel(column22k, 3) & 0xFFFFFF, 0u);
    // Shrinking again keeps the grown bitmaps.
    SetClientSize(760, 519);
    EXPECT_GE(form->Image1->Bitmap()->Height(), 1400);
}
