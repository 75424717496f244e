#pragma once

#include <QString>

// Texts of the product itself that more than one window shows.
inline constexpr char kProductPage[] = "https://framelift.example/";
inline constexpr char kContactPage[] = "https://framelift.example/contact";

// The caption of the boxes that report a failing media step.
inline const QString kDiagnosticCaption = QStringLiteral("Reelmorph");
