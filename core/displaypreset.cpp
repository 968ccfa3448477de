#include "core/displaypreset.h"

#include <QList>
#include <QString>

namespace {

using Orientation = DisplayLayout::Orientation;
using BitOrder = DisplayLayout::BitOrder;

DisplayLayout vertical(int width, int height, int controllers = 1)
{
    return DisplayLayout{width, height, Orientation::Vertical, BitOrder::Lsb, controllers};
}

DisplayLayout horizontal(BitOrder order)
{
    return DisplayLayout{128, 64, Orientation::Horizontal, order, 1};
}

} // namespace

const QList<DisplayPreset> &DisplayPreset::all()
{
    static const QList<DisplayPreset> presets = {
        {"ks0108", "KS0108 / HD61202 128x64: two controllers of 64 columns (row63)",
         vertical(128, 64, 2), false},
        {"ssd1306", "SSD1306 OLED 128x64, pages one after the other (row127)",
         vertical(128, 64), false},
        {"ssd1306-128x32", "SSD1306 OLED 128x32, pages one after the other", vertical(128, 32),
         false},
        {"sh1106", "SH1106 OLED 128x64: 128 visible of 132 columns, each page written from "
                   "column 2",
         vertical(128, 64), false},
        {"st7565", "ST7565 LCD 128x64, one page after the other", vertical(128, 64), false},
        {"pcd8544", "PCD8544 (Nokia 5110) LCD 84x48, banks one after the other (V=0)",
         vertical(84, 48), false},
        {"sed1520", "SED1520 122x32: two controllers of 61 columns", vertical(122, 32, 2), false},
        {"gfx", "row bytes, bit 7 leftmost, as Adafruit GFX and u8g2 drawBitmap read them",
         horizontal(BitOrder::Msb), true},
        {"xbm", "row bytes, bit 0 leftmost, as XBM files and u8g2 drawXBM read them",
         horizontal(BitOrder::Lsb), true},
    };
    return presets;
}

const DisplayPreset *DisplayPreset::find(const QString &name)
{
    for (const DisplayPreset &preset : all())
        if (name == QLatin1String(preset.name))
            return &preset;
    return nullptr;
}
