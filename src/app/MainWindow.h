#pragma once

#include "settings/ConversionSettings.h"

#include <QDialog>

struct AppServices;

// The program's one top-level window, run modally by the application.
class MainWindow final : public QDialog {
    Q_OBJECT

public:
    explicit MainWindow(AppServices& services, QWidget* parent = nullptr);
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    const ConversionSettings& Settings() const { return settings_; }
    bool IsConverting() const { return converting_; }

public Q_SLOTS:
    // Exit, the close box, Alt+F4 and Escape all end here.
    void reject() override;

private:
    void InitDialog();
    bool CloseHandler();

    AppServices& services_;
    ConversionSettings settings_;
    bool converting_ = false;
};
