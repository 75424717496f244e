#pragma once

#include "resources/DialogTemplate.h"

class QDialog;
class QWidget;

// Places the controls of a dialog built from dialogTemplate so that each shows
// its whole text in the font and language it has now. Dialog units are
// measured with the largest font the dialog's controls use; where a text is
// still wider or taller than its place, the place grows and every control
// right of (or below) its edge moves along, so that the template's columns
// and rows stay lined up and the dialog grows by as much. Controls without a
// text of their own (fields, sliders, the status line) keep the template's
// proportions. Hidden controls are placed but claim no room.
void FitDialog(QDialog& dialog, const DialogTemplate& dialogTemplate);

// Fits the dialog each time it is shown, and again whenever a control's text
// or font changes while it shows (a language or font choice).
void KeepDialogFitted(QDialog& dialog, const DialogTemplate& dialogTemplate);

// Remembers which template row (index into the template's controls) a control
// was built from; controls with an id are also found by it.
void MarkTemplateRow(QWidget& control, int row);
