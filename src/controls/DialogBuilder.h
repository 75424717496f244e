#pragma once

#include "platform/ui/DialogControlId.h"
#include "resources/DialogTemplate.h"

#include <QFont>
#include <QMap>
#include <QRect>
#include <QSize>

class QDialog;
class QWidget;

// Pixels per dialog unit of a font, as the platform the templates come from
// measures them: x units are a quarter of the average character width, y
// units an eighth of the character height.
struct DialogBaseUnits {
    int x = 0; // average character width in pixels
    int y = 0; // character height in pixels

    static DialogBaseUnits Of(const QFont& font);
    QRect MapDialogRect(int left, int top, int width, int height) const;
};

// The child controls of a built dialog by their template ids. Controls
// without id (-1) are not listed.
class DialogControls final {
public:
    QWidget* Find(int id) const { return controls_.value(id, nullptr); }

    // The control of id as T, or nullptr when there is none or it is another kind.
    template <typename T>
    T* Get(int id) const
    {
        return qobject_cast<T*>(Find(id));
    }

    void Add(int id, QWidget* control) { controls_.insert(id, control); }
    const QMap<int, QWidget*>& All() const { return controls_; }

private:
    QMap<int, QWidget*> controls_;
};

// The font a template names; the system substitutes a face it lacks.
QFont TemplateFont(const DialogTemplate& dialogTemplate);

// A control's place from its template place in pixels: an icon keeps its own
// size, and a drop-down list, whose template height is that of its opened
// list, takes its natural height.
QRect NaturalPlace(const ControlTemplate& control, QRect place, const QWidget& widget);

// Creates the template's controls as children of dialog, in template order,
// placed in pixels from their dialog units, and gives the dialog its caption
// and fixed client size. Each control carries its id (ControlId) and the
// objectName "control<id>", e.g. "control1006". From its first showing on,
// the dialog keeps its controls fitted to their texts (KeepDialogFitted).
DialogControls BuildDialog(QDialog& dialog, const DialogTemplate& dialogTemplate);
