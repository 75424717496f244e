#pragma once

#include <QString>

// Every fixed text a conversion can show, in the order the steps meet them.
namespace ConversionMessages {
inline const QString kEndBeforeStart = QStringLiteral("The End Time must be bigger than the Start Time");
inline const QString kWarning = QStringLiteral("Warning");
inline const QString kError = QStringLiteral("Error");
inline const QString kFrameRateQuestion = QStringLiteral(
    "The output frame rate is %1.The value may not be proper.\nClick Yes to set the output frame rate 23.976. "
    "Click No to keep it.");
inline const QString kProgress = QStringLiteral("Please wait... Used Time: %1");

// Timeline.
inline const QString kNoTimeline = QStringLiteral("Could not create timeline");
inline const QString kNoEmptyNode = QStringLiteral("Could not create empty node");
inline const QString kVideoGroupType = QStringLiteral("Could not pVideoGroup->SetMediaType(&mtGroup)");
inline const QString kOutputFps = QStringLiteral("Could not SetOutputFPS");
inline const QString kAddVideoGroup = QStringLiteral("Could not add video group");
inline const QString kNoAudioGroupNode = QStringLiteral("Could not create pAudioGroupObj");
inline const QString kAudioGroupType = QStringLiteral("Could not set AudioGroupType");
inline const QString kAddAudioGroup = QStringLiteral("Could not add audio group");

struct TrackTexts {
    QString createTrack;
    QString insertTrack;
    QString createSource;
    QString setMediaTimes; // empty: that result is not reported
    QString configureSource;
    QString addSource;
};
inline const TrackTexts kVideoTrack{QStringLiteral("Could not create empty track"),
                                    QStringLiteral("Could not insert track"),
                                    QStringLiteral("Could not create the timeline source"),
                                    QString(),
                                    QStringLiteral("Could not configure media source"),
                                    QStringLiteral("Could not add source to track")};
inline const TrackTexts kAudioTrack{QStringLiteral("Could not create pTrack3Obj"),
                                    QStringLiteral("Could not insert pTrack3Obj"),
                                    QStringLiteral("Could not create the pSource3Obj"),
                                    QStringLiteral("Could not set audio start and eng time!"),
                                    QStringLiteral("Could not configure pSource3Src"),
                                    QStringLiteral("Could not add pSource3Obj to track")};

// Render engine and capture graph.
inline const QString kNoRenderEngine = QStringLiteral("Could not create pRenderEngine");
inline const QString kSetTimelineObject = QStringLiteral("Could not SetTimelineObject");
inline const QString kConnectFrontEnd = QStringLiteral("Could not ConnectFrontEnd");
inline const QString kNoBuilder = QStringLiteral("Could not create ICaptureGraphBuilder2");
inline const QString kNoGroups = QStringLiteral("Could not GetGroupCount( &Groups )");
inline const QString kSetFiltergraph = QStringLiteral("Error pBuilder->SetFiltergraph( pGraph )");
inline const QString kCreateFilter = QStringLiteral("CreateFilter: Failed to create filter!  hr=0x%1\n");
inline const QString kNoVideoNullRenderer = QStringLiteral("Failed to create Null Render filter for video!  hr=0x%1\n");
inline const QString kNoAudioNullRenderer = QStringLiteral("Failed to create Null Render filter for audio!  hr=0x%1\n");
inline const QString kNoOutputPin = QStringLiteral("Could not GetGroupOutputPin( g, &pPin )");
inline const QString kRenderVideo =
    QStringLiteral("failed pBuilder->RenderStream( NULL, NULL, pPin, NULL, pNullRenderFilterForVideo )");
inline const QString kRenderAudio =
    QStringLiteral("failed pBuilder->RenderStream( NULL, NULL, pPin, NULL, pNullRenderFilterForAudio )");
inline const QString kSetCallbackFailed = QStringLiteral("failed SetGrabberCallbackFunction();");
inline const QString kSetCallback = QStringLiteral("Failed in SetCallback!  hr=0x%1\r\n");
inline const QString kSetOneShot = QStringLiteral("Failed in SetOneShot!  hr=0x%1\r\n");
inline const QString kSetBufferSamples = QStringLiteral("Failed in SetBufferSamples!  hr=0x%1\r\n");
inline const QString kSetNoClockFailed = QStringLiteral("failed SetNoClock");
inline const QString kNoClockSet = QStringLiteral("SetNoClock: Failed to set sync source!  hr=0x%1\n");
inline const QString kNoControl = QStringLiteral("Could not get pControl");
inline const QString kNoEvent = QStringLiteral("Could not get pEvent");
inline const QString kNoNotify = QStringLiteral("can not SetNotifyWindow!!!");
inline const QString kRunFailed = QStringLiteral("can not pControl->Run()!!!");

// The names the graph holds its filters under.
inline constexpr const char* kGrabberName = "Sample Grabber";
inline constexpr const char* kVideoNullName = "Video Null Render";
inline constexpr const char* kAudioNullName = "Audio Null Render";
} // namespace ConversionMessages
