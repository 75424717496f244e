#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// Fetches the real video files into their cache folder with the fetch script
// (a second try when the first fails). Returns the folder, or an empty string
// with the reason in failure.
QString FetchRealMedia(QString& failure);

// The names of the files the fetch script lists, in its order.
QStringList ListedRealMedia();

// What the ffprobe program says of a file's first video stream.
struct FfprobeFacts {
    bool hasVideo = false;
    double seconds = 0;      // the container's duration
    int width = 0;           // as displayed: the coded width with the sample aspect ratio applied
    int height = 0;
    double frameRate = 0;    // average rate; frames over length when the stream states none
};

std::optional<FfprobeFacts> Ffprobe(const QString& path);

// A picture file as top-down RGB24 rows without padding; empty when it cannot be read.
QByteArray PictureRgb(const QString& path);
