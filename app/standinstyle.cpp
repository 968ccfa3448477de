#include "app/standinstyle.h"

#include <QStyleFactory>
#include <QStyleOption>
#include <QWidget>

namespace {

// Fusion's flat, light look is the closest relative of Platinum and the
// Motif+ family; the bevelled Windows look carries Windows, CDE and Motif.
QString baseStyleKey(const QString &name)
{
    const bool flat = name == QLatin1String("Platinum") || name == QLatin1String("Motif+");
    const QString wanted = QLatin1String(flat ? "Fusion" : "Windows");
    const QStringList keys = QStyleFactory::keys();
    if (keys.contains(wanted, Qt::CaseInsensitive))
        return wanted;
    return keys.isEmpty() ? QString() : keys.first();
}

} // namespace

StandInStyle::StandInStyle(const QString &name)
    : QProxyStyle(baseStyleKey(name))
{
    setObjectName(name);
}

void StandInStyle::drawControl(ControlElement element, const QStyleOption *option,
                               QPainter *painter, const QWidget *widget) const
{
    if (!m_useHighlightColors
        && (element == CE_MenuItem || element == CE_MenuBarItem)) {
        // Without highlight colours a selected menu item is drawn as a raised
        // button, not in the selection colour.
        if (const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option)) {
            QStyleOptionMenuItem plain(*item);
            plain.palette.setBrush(QPalette::Highlight, plain.palette.button());
            plain.palette.setBrush(QPalette::HighlightedText, plain.palette.buttonText());
            QProxyStyle::drawControl(element, &plain, painter, widget);
            return;
        }
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

void StandInStyle::polish(QWidget *widget)
{
    QProxyStyle::polish(widget);
    if (!m_hoverHighlighting)
        widget->setAttribute(Qt::WA_Hover, false);
}
