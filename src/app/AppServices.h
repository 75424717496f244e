#pragma once

#include <functional>
#include <memory>

class Choosers;
class PlaybackServices;
class ProbeGraph;
class KnownFolders;
class LanguagePack;
class MessageService;
class Profile;
class Shell;
class SoundPlayer;

// The services the windows reach the platform through; the application wires
// the real ones, tests wire fakes for those whose failures they provoke.
struct AppServices {
    Profile& profile;
    LanguagePack& language;
    MessageService& messages;
    KnownFolders& knownFolders;
    Shell& shell;
    Choosers& choosers;
    SoundPlayer& sounds;
    PlaybackServices& playback;
    std::function<std::unique_ptr<ProbeGraph>()> createProbe;
};
