// SPDX-License-Identifier: GPL-3.0-or-later
// The preview window as the user drives it: the view stays where the user
// scrolled it, and the keys and controls beside the design's button row.
#include "app/previewwindow.h"

#include "app/pagebox.h"
#include "preview_helpers.h"
#include "dialog_recorder.h"
#include "preview/previewgeometry.h"
#include "preview/qrpreview.h"
#include "preview/qrpreviewimage.h"
#include "printer/qrprinter.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMap>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTest>
#include <QWheelEvent>
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

namespace {

// The page point under Spot (viewport coordinates), as fractions of the page.
QPointF PagePointUnder(TQRPreview* Preview, QPoint Spot)
{
    QWidget* image = Preview->PreviewImage();
    const QPointF inImage = image->mapFrom(Preview->viewport(), Spot);
    return {inImage.x() / image->width(), inImage.y() / image->height()};
}

// One Ctrl+wheel notch as it reaches the scroll area: through its viewport,
// in the viewport's coordinates (the page image under the pointer lets it
// pass up; Qt passes only the window system's own wheel events up).
void WheelNotchOver(TQRPreview* Preview, QPoint Spot)
{
    QWidget* viewport = Preview->viewport();
    QWheelEvent notch(Spot, viewport->mapToGlobal(QPointF(Spot)), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &notch);
    // The scroll area lays out its scroll bars one event loop turn later.
    QApplication::processEvents();
}

} // namespace

TEST_F(PreviewViewTest, EveryCtrlWheelNotchKeepsThePointUnderThePointer)
{
    TQRPreview* preview = Window->QRPreview1;
    // Where a scroll bar stops at its end (or the page is narrower than the
    // view and centred) the spot cannot stay; everywhere else it must.
    const auto expectKept = [this, preview](QPoint Spot, const char* After) {
        const QPointF was = PagePointUnder(preview, Spot);
        const int zoom = preview->Zoom();
        WheelNotchOver(preview, Spot);
        ASSERT_GT(preview->Zoom(), zoom) << After;
        const QPointF now = PagePointUnder(preview, Spot);
        const auto free = [](QScrollBar* Bar) { return Bar->value() > 0 && Bar->value() < Bar->maximum(); };
        ASSERT_TRUE(free(HBar()) || free(VBar())) << After;
        // Within two pixels of the page at its new zoom.
        if (free(HBar())) {
            EXPECT_NEAR(was.x(), now.x(), 2.0 / preview->PreviewImage()->width()) << After;
        }
        if (free(VBar())) {
            EXPECT_NEAR(was.y(), now.y(), 2.0 / preview->PreviewImage()->height()) << After;
        }
    };
    const QPoint spot(preview->viewport()->width() * 2 / 3, preview->viewport()->height() / 3);

    QTest::keyClick(preview, Qt::Key_2, Qt::ControlModifier);
    ASSERT_EQ(preview->ZoomState(), qrZoomToWidth);
    ASSERT_EQ(HBar()->maximum(), 0) << "fit width shows no horizontal scroll bar";
    expectKept(spot, "the first notch after Ctrl+2");
    expectKept(spot / 2, "the next notch");

    QTest::keyClick(preview, Qt::Key_1, Qt::ControlModifier);
    ASSERT_EQ(VBar()->maximum(), 0) << "fit page shows no scroll bar";
    expectKept(spot, "the first notch after Ctrl+1");
    QTest::keyClick(preview, Qt::Key_Plus, Qt::ControlModifier);
    expectKept(spot, "the first notch after Ctrl+plus");
}

TEST_F(PreviewViewTest, ButtonsAndMenuEntriesAreEnabledExactlyWhenTheyCanAct)
{
    // The page menu's entry of each text, enabled or not.
    const auto menuStates = [this] {
        QMenu menu;
        Window->FillPageMenu(menu);
        QMap<QString, bool> states;
        for (QAction* a : menu.actions())
            if (!a->text().isEmpty())
                states[a->text()] = a->isEnabled();
        return states;
    };
    struct TExpected {
        bool Prev, Next, Print, ZoomIn, ZoomOut;
    };
    const auto expectStates = [&](const TExpected& E, const char* Where) {
        EXPECT_EQ(Window->btnPrevPage->isEnabled(), E.Prev) << Where;
        EXPECT_EQ(Window->btnNextPage->isEnabled(), E.Next) << Where;
        EXPECT_EQ(Window->btnPrint->isEnabled(), E.Print) << Where;
        EXPECT_EQ(Window->btnZoomIn->isEnabled(), E.ZoomIn) << Where;
        EXPECT_EQ(Window->btnZoomOut->isEnabled(), E.ZoomOut) << Where;
        EXPECT_TRUE(Window->btnOpen->isEnabled() && Window->btnClose->isEnabled()) << Where;
        const QMap<QString, bool> menu = menuStates();
        EXPECT_EQ(menu.value(QStringLiteral("Ö&nceki Sayfa")), E.Prev) << Where;
        EXPECT_EQ(menu.value(QStringLiteral("S&onraki Sayfa")), E.Next) << Where;
        EXPECT_EQ(menu.value(QStringLiteral("&Yazdır...")), E.Print) << Where;
        EXPECT_EQ(menu.value(QStringLiteral("&Dışa Aktar...")), E.Print) << Where;
        EXPECT_EQ(menu.value(QStringLiteral("&Büyüt")), E.ZoomIn) << Where;
        EXPECT_EQ(menu.value(QStringLiteral("&Küçült")), E.ZoomOut) << Where;
        // Copying needs a page on screen; a report with pages shows one.
        EXPECT_EQ(menu.value(QStringLiteral("Ko&pyala")), E.Print) << Where;
        EXPECT_EQ(menu.value(QStringLiteral("Sayfayı &Resim Olarak Kopyala")), E.Print) << Where;
    };

    expectStates({false, true, true, true, true}, "page 1 of 3 at start");
    QTest::keyClick(Window->QRPreview1, Qt::Key_End);
    expectStates({true, false, true, true, true}, "the last page");
    Window->QRPreview1->SetZoom(MaxZoom - 5);
    expectStates({true, false, true, false, true}, "zoomed in to the limit");
    Window->QRPreview1->SetZoom(10);
    expectStates({true, false, true, true, false}, "zoomed out to 10%");
    QTest::mouseClick(Window->btnZoomIn, Qt::LeftButton);
    ASSERT_EQ(Window->QRPreview1->Zoom(), 20);

    Window->OpenFile(WriteA4Report("view-1.qrp", 1));
    expectStates({false, false, true, true, true}, "a one-page report");
    const QString three = WriteA4Report("view-3b.qrp", 3);

    // A window without a report: nothing to page through, print or copy,
    // but a report can be opened in it.
    delete Window;
    Window = new TfrmZozEdezaPreview(nullptr, nullptr);
    Window->show();
    expectStates({false, false, false, true, true}, "no report");
    EXPECT_FALSE(Window->PageBox->Field()->isEnabled());
    Dialogs.Answer = three;
    QTest::mouseClick(Window->btnOpen, Qt::LeftButton);
    ASSERT_TRUE(Window->QRPrinter());
    expectStates({false, true, true, true, true}, "a report opened in a window without one");
    EXPECT_TRUE(Dialogs.Messages.isEmpty()) << Dialogs.Messages.join(u'\n').toStdString();
}
