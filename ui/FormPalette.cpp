#include "ui/FormPalette.h"

#include <QPalette>
#include <QWidget>

void shareFormPaletteWithStyledWidgets(QWidget& form) {
    const QPalette designed = form.palette();
    for (QWidget* widget : form.findChildren<QWidget*>()) {
        if (!widget->testAttribute(Qt::WA_StyleSheet))
            continue;
        const QPalette own = widget->palette();
        QPalette combined = own.resolve(designed);
        // Both sets of roles count as set, or the widget would fall back to the application's.
        combined.setResolveMask(own.resolveMask() | designed.resolveMask());
        widget->setPalette(combined);
    }
}
