#pragma once

#include <QString>

#include <optional>

enum class KnownFolder { Videos, Pictures };

// The per-user folders that output defaults are placed in.
class KnownFolders {
public:
    virtual ~KnownFolders() = default;
    // The folder's path, created when missing; nullopt when it cannot be determined.
    virtual std::optional<QString> Locate(KnownFolder folder) = 0;
};

// The XDG user directories (xdg-user-dirs, else ~/Videos and ~/Pictures).
class XdgKnownFolders final : public KnownFolders {
public:
    std::optional<QString> Locate(KnownFolder folder) override;
};
