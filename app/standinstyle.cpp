#include "app/standinstyle.h"

#include <qdrawutil.h>
#include <QStyleFactory>
#include <QStyleOption>
#include <QWidget>

namespace {

// The classic Platinum was the Windows look in other colours, and CDE,
// Motif and Motif+ share its bevels. Fusion's roomier frames would make the
// form taller than the 500-pixel window holds.
QString baseStyleKey()
{
    const QString wanted = QStringLiteral("Windows");
    const QStringList keys = QStyleFactory::keys();
    if (keys.contains(wanted, Qt::CaseInsensitive))
        return wanted;
    return keys.isEmpty() ? QString() : keys.first();
}

} // namespace

StandInStyle::StandInStyle(const QString &name)
    : QProxyStyle(baseStyleKey())
{
    setObjectName(name);
}

QPalette StandInStyle::standardPalette() const
{
    // Platinum's own light grey, which sets it apart from Windows.
    if (objectName() == QLatin1String("Platinum"))
        return QPalette(QColor(222, 222, 222));
    return QProxyStyle::standardPalette();
}

int StandInStyle::pixelMetric(PixelMetric metric, const QStyleOption *option,
                              const QWidget *widget) const
{
    // The image list is only 140 pixels wide: with a scroll bar, wider
    // header margins would cut its "Description" title.
    if (metric == PM_HeaderMargin)
        return qMin(HeaderMargin, QProxyStyle::pixelMetric(metric, option, widget));
    return QProxyStyle::pixelMetric(metric, option, widget);
}

QRect StandInStyle::subControlRect(ComplexControl control, const QStyleOptionComplex *option,
                                   SubControl subControl, const QWidget *widget) const
{
    QRect rect = QProxyStyle::subControlRect(control, option, subControl, widget);
    // The bevelled styles indent a group title; in the 150-pixel options
    // panel that pushes the end of a long title past the box's right edge.
    // Pulled back left, the title stays whole.
    if (control == CC_GroupBox && subControl == SC_GroupBoxLabel
        && rect.right() > option->rect.right())
        rect.moveRight(qMax(option->rect.right(), option->rect.left() + rect.width() - 1));
    return rect;
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
            // The bevel is then all that marks the active item; the bar draws
            // its own.
            if (element == CE_MenuItem && (item->state & State_Selected)
                && item->menuItemType != QStyleOptionMenuItem::Separator)
                qDrawShadePanel(painter, item->rect, item->palette, false, MenuBevelWidth);
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
