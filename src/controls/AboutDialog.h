#pragma once

#include <QDialog>

class LanguagePack;
class LinkLabel;
class MessageService;
class Shell;

// The About box of template 100: name, version with build date, maker and the
// links to the product and contact pages. OK, Escape and the close box end it.
class AboutDialog final : public QDialog {
    Q_OBJECT

public:
    AboutDialog(const LanguagePack& language, Shell& shell, MessageService& messages, QWidget* parent);
    AboutDialog(const AboutDialog&) = delete;
    AboutDialog& operator=(const AboutDialog&) = delete;

    LinkLabel& ProductLink() const { return *productLink_; }
    LinkLabel& ContactLink() const { return *contactLink_; }

    // "Version 1.0.0.0, built <date of this build>".
    static QString VersionLine();

private:
    LinkLabel* productLink_ = nullptr;
    LinkLabel* contactLink_ = nullptr;
};
