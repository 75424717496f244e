#include "extract/ConversionReporter.h"

#include "extract/ConversionMessages.h"
#include "platform/ui/ApplicationTitle.h"
#include "platform/ui/MessageService.h"
#include "resources/ProductTexts.h"

void ConversionReporter::Message(const QString& text) const
{
    messages_.Show(owner_, text, ApplicationTitle());
}

void ConversionReporter::MessageWithCaption(const QString& text, const QString& caption) const
{
    messages_.Show(owner_, text, caption);
}

void ConversionReporter::Diagnostic(const QString& text, MediaResult result) const
{
    Diagnostic(text.arg(ResultCode(result), 0, 16));
}

void ConversionReporter::Diagnostic(const QString& text) const
{
    messages_.Show(nullptr, text, kDiagnosticCaption);
}

void ConversionReporter::ErrorText(MediaResult result) const
{
    messages_.Show(owner_, QString::fromStdString(MediaErrorText(result)), ApplicationTitle());
}
