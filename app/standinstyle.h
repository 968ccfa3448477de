#pragma once

#include <QProxyStyle>

// The classic GUI styles (Platinum, CDE, Motif, Motif+) are gone from the
// toolkit; each one is kept as a named proxy over a style that still ships,
// so the installed style can always be told apart by its objectName().
class StandInStyle : public QProxyStyle
{
    Q_OBJECT
    Q_PROPERTY(bool useHighlightColors READ useHighlightColors WRITE setUseHighlightColors)
    Q_PROPERTY(bool hoverHighlighting READ hoverHighlighting WRITE setHoverHighlighting)

public:
    // name: "Platinum", "Windows", "CDE", "Motif" or "Motif+".
    explicit StandInStyle(const QString &name);

    bool useHighlightColors() const { return m_useHighlightColors; }
    void setUseHighlightColors(bool on) { m_useHighlightColors = on; }
    bool hoverHighlighting() const { return m_hoverHighlighting; }
    void setHoverHighlighting(bool on) { m_hoverHighlighting = on; }

    QPalette standardPalette() const override;
    int pixelMetric(PixelMetric metric, const QStyleOption *option = nullptr,
                    const QWidget *widget = nullptr) const override;
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex *option,
                         SubControl subControl, const QWidget *widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget = nullptr) const override;
    void polish(QWidget *widget) override;
    using QProxyStyle::polish;

private:
    static constexpr int HeaderMargin = 2;
    static constexpr int MenuBevelWidth = 2;

    bool m_useHighlightColors = true;
    bool m_hoverHighlighting = true;
};
