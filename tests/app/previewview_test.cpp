// SPDX-License-Identifier: GPL-3.0-or-later
// The preview window as the user drives it: the view stays where the user
// scrolled it, and the keys and controls beside the design's button row.
#include "app/previewwindow.h"

#include "preview_helpers.h"
#include "dialog_recorder.h"
#include "preview/qrpreview.h"
#include "preview/qrpreviewimage.h"
#include "printer/qrprinter.h"

#include <QApplication>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class PreviewViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Document = LoadedDocument(WriteA4Report("view-3.qrp", 3));
        Window = new TfrmZozEdezaPreview(nullptr, Document.get());
        Window->show();
        Activate(Window);
    }
    void TearDown() override { delete Window; }

    static void Activate(QWidget* W)
    {
        QApplication::setActiveWindow(W);
        ASSERT_TRUE(QTest::qWaitForWindowActive(W));
    }
    QScrollBar* VBar() const { return Window->QRPreview1->verticalScrollBar(); }
    QScrollBar* HBar() const { return Window->QRPreview1->horizontalScrollBar(); }
    // Zoomed in and scrolled away from the top-left corner.
    void ScrollIntoThePage()
    {
        Window->QRPreview1->SetZoom(300);
        ASSERT_GT(VBar()->maximum(), 500);
        VBar()->setValue(400);
        HBar()->setValue(120);
    }
    void ExpectViewKept(const char* After) const
    {
        EXPECT_EQ(VBar()->value(), 400) << After;
        EXPECT_EQ(HBar()->value(), 120) << After;
    }

    std::unique_ptr<TQRPrinter> Document;
    TfrmZozEdezaPreview* Window = nullptr;
    TDialogRecorder Dialogs;
};

QPoint SliderCentre(QScrollBar* Bar)
{
    QStyleOptionSlider option;
    option.initFrom(Bar);
    option.orientation = Bar->orientation();
    option.minimum = Bar->minimum();
    option.maximum = Bar->maximum();
    option.sliderPosition = Bar->sliderPosition();
    option.sliderValue = Bar->value();
    option.pageStep = Bar->pageStep();
    option.singleStep = Bar->singleStep();
    return Bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, Bar).center();
}

} // namespace

TEST_F(PreviewViewTest, ClicksScrollBarPressesAndReactivationLeaveTheViewWhereItIs)
{
    ScrollIntoThePage();
    QTest::mouseClick(Window->btnPrevPage, Qt::LeftButton);
    ASSERT_EQ(Window->QRPreview1->PageNumber(), 1);
    QTest::mouseClick(Window->QRPreview1->PreviewImage(), Qt::LeftButton, {}, QPoint(600, 700));
    EXPECT_TRUE(Window->QRPreview1->hasFocus());
    ExpectViewKept("a click on the page");

    // "Rapor Ac", cancelled, only takes the focus away.
    QTest::mouseClick(Window->btnOpen, Qt::LeftButton);
    ASSERT_FALSE(Window->QRPreview1->hasFocus());
    const QPoint thumb = SliderCentre(VBar());
    QTest::mousePress(VBar(), Qt::LeftButton, {}, thumb);
    QTest::mouseRelease(VBar(), Qt::LeftButton, {}, thumb);
    ExpectViewKept("a press on the scroll bar's thumb");

    QWidget other;
    other.show();
    Activate(&other);
    Activate(Window);
    ExpectViewKept("returning to the window");
}

TEST_F(PreviewViewTest, TabbingIntoThePageReappliesTheZoom)
{
    ScrollIntoThePage();
    Window->btnOpen->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(Window->btnOpen, Qt::Key_Tab);
    ASSERT_TRUE(Window->QRPreview1->hasFocus());
    EXPECT_EQ(VBar()->value(), 0);
    EXPECT_EQ(HBar()->value(), 0);
}
