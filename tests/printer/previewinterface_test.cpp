// SPDX-License-Identifier: GPL-3.0-or-later
#include "document_helpers.h"
#include "message_recorder.h"
#include "printer/previewinterface.h"
#include "printer/qrprinter.h"
#include "printer/standardpreview.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Calls;
int LiveFactories = 0;

// Opens a plain window that becomes the document's client, like a viewer's preview.
class TRecordingPreview : public TQRPreviewInterface {
public:
    TRecordingPreview() { ++LiveFactories; }
    ~TRecordingPreview() override
    {
        --LiveFactories;
        Calls.push_back("free");
    }
    QWidget* Show(TQRPrinter* AQRPrinter) override
    {
        Calls.push_back("show");
        auto* w = new TMessageWidget;
        w->setAttribute(Qt::WA_DeleteOnClose);
        AQRPrinter->SetClient(w);
        AQRPrinter->SetShowingPreview(true);
        return w;
    }
    QWidget* ShowModal(TQRPrinter*) override
    {
        Calls.push_back("modal");
        return nullptr;
    }

    class TMessageWidget : public QWidget {
    public:
        std::vector<int> Pages;
        bool event(QEvent* e) override
        {
            if (e->type() == TQRMessageEvent::EventType())
                Pages.push_back(static_cast<int>(static_cast<TQRMessageEvent*>(e)->WParam));
            return QWidget::event(e);
        }
    };
};

class TFailingPreview : public TQRPreviewInterface {
public:
    TFailingPreview() { ++LiveFactories; }
    ~TFailingPreview() override { --LiveFactories; }
    QWidget* Show(TQRPrinter*) override { throw std::runtime_error("no window"); }
};

class PreviewFactoryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Backend.Activate();
        Calls.clear();
    }
    void TearDown() override
    {
        SetPreviewFactoryClass(nullptr);
        SetActivePrintBackend(nullptr);
        for (QWidget* w : QApplication::topLevelWidgets())
            delete w;
    }
    TFakePrintBackend Backend;
};

TEST_F(PreviewFactoryTest, PreviewFiresOnPreviewThenShowsWithAFreshFactory)
{
    SetPreviewFactoryClass<TRecordingPreview>();
    TQRPrinter doc;
    doc.SetOnPreview([](TQRPrinter*) { Calls.push_back("event"); });
    doc.Preview();
    EXPECT_EQ(Calls, (std::vector<std::string>{"event", "show", "free"}));
    EXPECT_EQ(LiveFactories, 0);
    EXPECT_NE(doc.PreviewControl(), nullptr);
    EXPECT_TRUE(doc.ShowingPreview());
}

TEST_F(PreviewFactoryTest, TwoPreviewsLeaveOnlyTheSecondWindowNotified)
{
    SetPreviewFactoryClass<TRecordingPreview>();
    TQRPrinter doc;
    doc.Preview();
    auto* first = static_cast<TRecordingPreview::TMessageWidget*>(doc.PreviewControl());
    doc.Preview();
    auto* second = static_cast<TRecordingPreview::TMessageWidget*>(doc.PreviewControl());
    ASSERT_NE(first, second);
    doc.SetAvailablePages(4);
    QApplication::processEvents();
    EXPECT_TRUE(first->Pages.empty());
    EXPECT_EQ(second->Pages, std::vector<int>{4});
}

TEST_F(PreviewFactoryTest, BaseClassRegisteredOpensNothing)
{
    SetPreviewFactoryClass<TRecordingPreview>();
    TQRPrinter doc;
    doc.Preview();
    ASSERT_NE(doc.PreviewControl(), nullptr);
    SetPreviewFactoryClass<TQRPreviewInterface>();
    doc.Preview();
    EXPECT_EQ(doc.PreviewControl(), nullptr);
}

TEST_F(PreviewFactoryTest, PreviewModalLeavesThePreviewControl)
{
    SetPreviewFactoryClass<TRecordingPreview>();
    TQRPrinter doc;
    doc.Preview();
    QWidget* shown = doc.PreviewControl();
    doc.PreviewModal();
    EXPECT_EQ(doc.PreviewControl(), shown);
    EXPECT_EQ(Calls.back(), "free");
    EXPECT_EQ(Calls[Calls.size() - 2], "modal");
}

TEST_F(PreviewFactoryTest, FailingShowFreesTheFactoryAndKeepsTheControl)
{
    SetPreviewFactoryClass<TRecordingPreview>();
    TQRPrinter doc;
    doc.Preview();
    QWidget* shown = doc.PreviewControl();
    SetPreviewFactoryClass<TFailingPreview>();
    EXPECT_THROW(doc.Preview(), std::runtime_error);
    EXPECT_EQ(LiveFactories, 0);
    EXPECT_EQ(doc.PreviewControl(), shown);
}

TEST_F(PreviewFactoryTest, DefaultFactoryOpensPrintPreviewThatDetachesOnClose)
{
    EXPECT_EQ(PreviewFactoryClass(), &CreatePreviewInterface<TQRStandardPreviewInterface>);
    TQRPrinter doc;
    int closed = 0;
    doc.SetAfterPreview([&closed](TQRPrinter*) { ++closed; });
    doc.Preview();
    QWidget* window = doc.PreviewControl();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Print Preview"));
    EXPECT_EQ(doc.Client(), window);
    EXPECT_TRUE(doc.ShowingPreview());
    window->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(doc.ShowingPreview());
    EXPECT_EQ(doc.Client(), nullptr);
    EXPECT_EQ(doc.PreviewControl(), nullptr) << "the closed window is gone";
}

TEST_F(PreviewFactoryTest, DefaultModalPreviewReturnsAfterClosing)
{
    TQRPrinter doc;
    QTimer::singleShot(0, [] {
        if (QWidget* w = QApplication::activeModalWidget())
            w->close();
        else
            for (QWidget* t : QApplication::topLevelWidgets())
                t->close();
    });
    doc.PreviewModal();
    EXPECT_FALSE(doc.ShowingPreview());
    EXPECT_EQ(doc.PreviewControl(), nullptr);
}

} // namespace
