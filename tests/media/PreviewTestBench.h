#pragma once

#include "media/PreviewPlayer.h"
#include "media/PreviewWindow.h"
#include "support/FakePlaybackGraph.h"
#include "support/RecordingMessageService.h"

#include <QCoreApplication>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

// A preview player on a fake graph, a main window standing by, and a clock
// the test moves by hand.
class PreviewTest : public ::testing::Test {
protected:
    std::unique_ptr<PreviewPlayer> MakePlayer()
    {
        auto made = std::make_unique<PreviewPlayer>(
            PreviewServices{playback, messages, [this] { return now; }}, &owner);
        QObject::connect(made.get(), &PreviewPlayer::PositionsRefreshed, [this] { ++refreshes; });
        QObject::connect(made.get(), &PreviewPlayer::CloseRequested, [this] { ++closeRequests; });
        return made;
    }
    // Opens the clip and lets the graph open it as a clip with a picture.
    bool Open(const QString& path = QStringLiteral("/clips/holiday.mp4"))
    {
        if (!player->Open(path))
            return false;
        Graph().graph->FinishOpen();
        return true;
    }
    FakePlaybackState& Graph() { return *playback.state; }
    FakePlaybackGraph& LiveGraph() { return *playback.state->graph; }
    PreviewWindow& Window() { return *player->Window(); }
    QString Title() { return player->Window()->windowTitle(); }
    static void ProcessPosted() { QCoreApplication::processEvents(); }

    FakePlaybackServices playback;
    RecordingMessageService messages;
    QWidget owner;
    std::uint32_t now = 5000;
    int refreshes = 0;
    int closeRequests = 0;
    std::unique_ptr<PreviewPlayer> player = MakePlayer();
};
