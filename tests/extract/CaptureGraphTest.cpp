#include "FakeEditingServices.h"

#include "extract/CaptureGraph.h"
#include "extract/ConversionReporter.h"
#include "extract/TimelineBuilder.h"
#include "support/RecordingMessageService.h"

#include <gtest/gtest.h>

namespace {

class NullCallback final : public SampleGrabberCallback {
public:
    bool KeepsFrame() override { return true; }
    void SampleCB(double, DrawnPicture) override {}
};

class CaptureGraphTest : public ::testing::Test {
protected:
    CaptureGraphTest()
    {
        clip = {1, 1, QStringLiteral("/c.mp4"), QStringLiteral("/c.mp4"), 0, 10'000'000, 25.0};
        settings.outputWidth = 321;
        settings.outputHeight = 240;
        settings.frameRate = 25.0;
        services.CreateSampleGrabber(grabber);
        sinks = CaptureSinks{grabber, &callback, [this] { ++notified; }};
    }
    std::optional<RunningCapture> Start()
    {
        timeline = BuildTimeline(services, reporter, clip, settings);
        return StartCapture(services, reporter, *timeline, sinks);
    }

    FakeEditingServices services;
    RecordingMessageService messages;
    ConversionReporter reporter{messages, nullptr};
    ClipSource clip;
    ConversionSettings settings;
    std::shared_ptr<SampleGrabber> grabber;
    NullCallback callback;
    CaptureSinks sinks{};
    std::unique_ptr<Timeline> timeline;
    int notified = 0;
};

TEST_F(CaptureGraphTest, TheRunningGraphHoldsOneGrabberAndTwoNullRenderersWithoutAClock)
{
    const auto running = Start();
    ASSERT_TRUE(running);
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.Texts().join(u'|').toStdString();
    FakeGraph& graph = *services.lastGraph;
    EXPECT_EQ(graph.FilterNames(), (std::vector<std::string>{"Video Null Render", "Audio Null Render", "Sample Grabber"}));
    EXPECT_FALSE(graph.Clocked());
    EXPECT_TRUE(graph.running);
    EXPECT_EQ(grabber->Callback(), &callback);
    MediaType connected;
    ASSERT_EQ(grabber->GetConnectedMediaType(connected), MediaResult::Ok);
    EXPECT_EQ(connected.bmiHeader.biWidth, 321);
    EXPECT_EQ(connected.bmiHeader.biHeight, 240);
    graph.Post({EC_COMPLETE, 0, 0});
    EXPECT_EQ(notified, 1);
    EXPECT_EQ(running->events, static_cast<MediaEventSource*>(&graph));
}

TEST_F(CaptureGraphTest, EachFailingStepShowsItsMessagesAndLeavesNothingRunning)
{
    using Texts = std::vector<const char*>;
    struct Case {
        const char* step;
        Texts messages;
    };
    const Case cases[] = {
        {"CreateRenderEngine", {"Could not create pRenderEngine"}},
        {"SetTimelineObject", {"Could not SetTimelineObject"}},
        {"ConnectFrontEnd", {"Could not ConnectFrontEnd"}},
        {"CreateCaptureGraphBuilder", {"Could not create ICaptureGraphBuilder2"}},
        {"GetFilterGraph", {}},
        {"SetFiltergraph", {"Error pBuilder->SetFiltergraph( pGraph )"}},
        {"CreateNullRenderer#1",
         {"CreateFilter: Failed to create filter!  hr=0x80004005\n",
          "Failed to create Null Render filter for video!  hr=0x80004005\n"}},
        {"AddFilter:Video Null Render", {"error text"}},
        {"CreateNullRenderer#2",
         {"CreateFilter: Failed to create filter!  hr=0x80004005\n",
          "Failed to create Null Render filter for audio!  hr=0x80004005\n"}},
        {"AddFilter:Audio Null Render", {"error text"}},
        {"GetGroupOutput:0", {"Could not GetGroupOutputPin( g, &pPin )"}},
        {"AddFilter:Sample Grabber", {"error text"}},
        {"RenderStream:video",
         {"failed pBuilder->RenderStream( NULL, NULL, pPin, NULL, pNullRenderFilterForVideo )", "error text"}},
        {"Grabber:SetCallback",
         {"Failed in SetCallback!  hr=0x80004005\r\n", "failed SetGrabberCallbackFunction();", "error text"}},
        {"Grabber:SetOneShot",
         {"Failed in SetOneShot!  hr=0x80004005\r\n", "failed SetGrabberCallbackFunction();", "error text"}},
        {"Grabber:SetBufferSamples",
         {"Failed in SetBufferSamples!  hr=0x80004005\r\n", "failed SetGrabberCallbackFunction();", "error text"}},
        {"Grabber:GetConnectedMediaType", {"failed SetGrabberCallbackFunction();", "error text"}},
        {"GetGroupOutput:1", {"Could not GetGroupOutputPin( g, &pPin )"}},
        {"RenderStream:audio",
         {"failed pBuilder->RenderStream( NULL, NULL, pPin, NULL, pNullRenderFilterForAudio )", "error text"}},
        {"Control", {"Could not get pControl"}},
        {"Events", {"Could not get pEvent"}},
        {"SetNotify", {"can not SetNotifyWindow!!!"}},
        {"Run", {"can not pControl->Run()!!!", "error text"}},
    };
    const QString errorText = QString::fromStdString(MediaErrorText(MediaResult::Fail));
    for (const Case& c : cases) {
        FakeEditingServices fresh;
        RecordingMessageService shown;
        const ConversionReporter freshReporter(shown, nullptr);
        std::shared_ptr<SampleGrabber> freshGrabber;
        fresh.CreateSampleGrabber(freshGrabber);
        const auto freshTimeline = BuildTimeline(fresh, freshReporter, clip, settings);
        fresh.faults.Fail(c.step);
        const CaptureSinks freshSinks{freshGrabber, &callback, {}};
        EXPECT_FALSE(StartCapture(fresh, freshReporter, *freshTimeline, freshSinks)) << c.step;
        QStringList expected;
        for (const char* text : c.messages)
            expected.append(QString::fromLatin1(text) == QStringLiteral("error text") ? errorText
                                                                                     : QString::fromLatin1(text));
        EXPECT_EQ(shown.Texts(), expected) << c.step;
        if (fresh.lastGraph) {
            EXPECT_FALSE(fresh.lastGraph->running) << c.step;
        }
    }
}

TEST_F(CaptureGraphTest, AClockThatCannotBeRemovedIsReportedAndTheGraphStillRuns)
{
    services.faults.Fail("SetSyncSource");
    ASSERT_TRUE(Start());
    EXPECT_EQ(messages.Texts(),
              (QStringList{QStringLiteral("SetNoClock: Failed to set sync source!  hr=0x80004005\n"),
                           QStringLiteral("failed SetNoClock"),
                           QString::fromStdString(MediaErrorText(MediaResult::Fail))}));
    EXPECT_EQ(messages.shown[0].caption, QStringLiteral("Reelmorph"));
    EXPECT_EQ(messages.shown[0].owner, nullptr);
}

TEST_F(CaptureGraphTest, ATimelineWithoutGroupsIsRefused)
{
    clip.videoItemCount = 0;
    clip.audioItemCount = 0;
    EXPECT_FALSE(Start());
    EXPECT_EQ(messages.Texts(), QStringList{QStringLiteral("Could not GetGroupCount( &Groups )")});
}

} // namespace
