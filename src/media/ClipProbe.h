#pragma once

#include "platform/media/MediaTime.h"
#include "platform/media/ProbeGraph.h"
#include "settings/ConversionSettings.h"

#include <QString>

class LanguagePack;
class MessageService;
class QWidget;

struct ProbeServices {
    ProbeGraphFactory createProbe;
    MessageService& messages;
    const LanguagePack& language;
    QWidget* owner = nullptr;     // the main window
};

// Measures a clip: its length, native size and frame rate. On success writes
// the length, the clip's size and rate, and the size into the output size.
// On failure it has shown its own message, changes nothing and returns false.
bool ProbeClip(const ProbeServices& services, const QString& path, MediaTime& duration, ClipFacts& facts,
               ConversionSettings& settings);

// Length of the file by a second graph: 0 when no graph can be created, -1
// when the file or its length cannot be read. Shows nothing.
MediaTime ProbeAudioDuration(const ProbeGraphFactory& createProbe, const QString& path);
