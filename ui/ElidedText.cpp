#include "ui/ElidedText.h"

#include <QEvent>
#include <QLabel>
#include <QString>

namespace {

const char* const kElisionName = "middleElision";

// The whole text is the tooltip; the label shows what of it fits.
void elideToWidth(QLabel& label) {
    label.setText(label.fontMetrics().elidedText(label.toolTip(), Qt::ElideMiddle,
                                                 label.contentsRect().width()));
}

// Elides its label's text again after a resize or a new font.
class MiddleElision final : public QObject {
public:
    explicit MiddleElision(QLabel& label) : QObject(&label) {
        setObjectName(QLatin1String(kElisionName));
        label.installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize || event->type() == QEvent::FontChange)
            elideToWidth(static_cast<QLabel&>(*watched));
        return false;
    }
};

} // namespace

void showElidedText(QLabel& label, const QString& text) {
    if (!label.findChild<QObject*>(QLatin1String(kElisionName), Qt::FindDirectChildrenOnly))
        new MiddleElision(label);
    label.setToolTip(text);
    // A screen reader speaks the whole value first; the caption is the label's buddy.
    label.setAccessibleName(text);
    elideToWidth(label);
}
