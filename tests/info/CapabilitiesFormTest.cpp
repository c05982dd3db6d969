#include "info/CapabilitiesForm.h"

#include "FakeDriver.h"
#include "info/CapabilitiesReport.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

TEST(CapabilitiesForm, KeepsItsDesign) {
    TForm2 form(nullptr);
    EXPECT_EQ(form.windowTitle(), "Audio device capabilities");
    EXPECT_EQ(form.size(), QSize(521, 309));
    EXPECT_EQ(form.minimumSize(), QSize(521, 309));
    EXPECT_EQ(form.maximumSize(), QSize(521, 309));
    EXPECT_EQ(form.pos(), QPoint(299, 225));
    EXPECT_FALSE(form.windowFlags() &
                 (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));

    EXPECT_EQ(form.Memo1->geometry(), QRect(8, 8, 505, 249));
    EXPECT_TRUE(form.Memo1->isReadOnly());
    EXPECT_EQ(form.Memo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(form.Memo1->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(form.Memo1->toPlainText(), "Memo1");

    EXPECT_EQ(form.Button1->geometry(), QRect(232, 272, 75, 25));
    EXPECT_EQ(form.Button1->text(), "&OK");
    // Button1 is the first stop of the focus order, Memo1 the next.
    QWidget* first = form.nextInFocusChain();
    while (first != &form && !(first->focusPolicy() & Qt::TabFocus))
        first = first->nextInFocusChain();
    ASSERT_EQ(first, form.Button1);
    QWidget* second = first->nextInFocusChain();
    while (second != &form && !(second->focusPolicy() & Qt::TabFocus))
        second = second->nextInFocusChain();
    EXPECT_EQ(second, form.Memo1);
}

TEST(CapabilitiesForm, OkClosesWithAccept) {
    TForm2 form(nullptr);
    QTimer::singleShot(0, form.Button1, &QPushButton::click);
    EXPECT_EQ(form.exec(), QDialog::Accepted);
}

// The memo holds the report's lines, replaced on every run rather than added to.
TEST(CapabilitiesForm, EachRunShowsOneFreshReport) {
    infotest::InstalledDevices devices({"Mic"}, {{"Out", WAVECAPS_VOLUME, 0xffff}},
                                       {{"Mix", {{"Master", 4, 1, {{"Line", 2}}}}}});
    QStringList expected;
    for (const std::string& line : CapabilitiesReport())
        expected << QString::fromStdString(line);

    TForm2 form(nullptr);
    for (int run = 0; run < 2; ++run) {
        QString shown;
        bool wasModal = false;
        QTimer::singleShot(0, &form, [&] {
            wasModal = form.isVisible() && QApplication::activeModalWidget() == &form;
            shown = form.Memo1->toPlainText();
            form.Button1->click();
        });
        ShowCapabilitiesReport(form);
        EXPECT_TRUE(wasModal) << "run " << run;
        EXPECT_EQ(shown.split('\n'), expected) << "run " << run;
        EXPECT_FALSE(form.isVisible());
    }
}

} // namespace
