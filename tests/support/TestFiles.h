#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Writes bytes to a file, creating its folder; fails the test when it cannot.
void WriteFile(const QString& path, const QByteArray& bytes);
QByteArray ReadFile(const QString& path);

// Runs a program with an argument vector and returns its exit code (-1 when it did not run).
int RunProgram(const QString& program, const QStringList& arguments, QByteArray* output = nullptr);

// Generates a clip with the ffmpeg program: the lavfi input description and output options.
// Returns false, with ffmpeg's output in the test log, when it failed.
bool GenerateClip(const QString& path, const QStringList& inputAndOptions);
