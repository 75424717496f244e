#pragma once

class QString;
class QWidget;

// Controls of a dialog built from a template carry their template id, so that
// code that only has the window (translation, tests) can tell them apart.
void SetControlId(QWidget& control, int id);
// The id given by SetControlId; -1 for any other widget and for nullptr.
int ControlId(const QWidget* control);

// The text a control shows: a label's or button's text, a group box's title,
// an edit field's contents. Other kinds are left alone.
void SetControlText(QWidget& control, const QString& text);
