#include "controls/AboutDialog.h"

#include "controls/DialogBuilder.h"
#include "controls/LinkLabel.h"
#include "i18n/Translate.h"
#include "resources/ProductTexts.h"
#include "resources/TemplateIds.h"

#include <QDate>
#include <QLabel>
#include <QPushButton>

namespace {

constexpr int kVersionLine = 1086;
constexpr int kProductLinkId = 1049;
constexpr int kContactLinkId = 1050;
constexpr int kOkButton = 1;

// __DATE__ reads "Dec  8 2026"; shown as 2026-12-08.
QString BuildDate()
{
    const QString text = QString::fromLatin1(__DATE__).simplified();
    const QDate date = QLocale::c().toDate(text, QStringLiteral("MMM d yyyy"));
    return date.isValid() ? date.toString(Qt::ISODate) : text;
}

} // namespace

QString AboutDialog::VersionLine()
{
    return QStringLiteral("Version 1.0.0.0, built %1").arg(BuildDate());
}

AboutDialog::AboutDialog(const LanguagePack& language, Shell& shell, MessageService& messages, QWidget* parent)
    : QDialog(parent)
{
    const DialogControls controls = BuildDialog(*this, AboutDialogTemplate());
    controls.Get<QLabel>(kVersionLine)->setText(VersionLine());
    connect(controls.Get<QPushButton>(kOkButton), &QPushButton::clicked, this, &QDialog::accept);
    contactLink_ = LinkLabel::Attach(controls.Get<QLabel>(kContactLinkId), shell, messages);
    productLink_ = LinkLabel::Attach(controls.Get<QLabel>(kProductLinkId), shell, messages);
    productLink_->SetTarget(QString::fromLatin1(kProductPage));
    productLink_->SetUnderlineMode(LinkLabel::kUnderlineAlways);
    contactLink_->SetTarget(QString::fromLatin1(kContactPage));
    contactLink_->SetUnderlineMode(LinkLabel::kUnderlineAlways);
    TranslateDialog(language, *this, kAboutDialogTemplate);
}
