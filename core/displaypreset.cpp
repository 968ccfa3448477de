#include "core/displaypreset.h"

#include <QList>
#include <QString>

namespace {

using Orientation = DisplayLayout::Orientation;
using BitOrder = DisplayLayout::BitOrder;

DisplayLayout vertical(int width, int height, int controllers = 1,
                       BitOrder order = BitOrder::Lsb)
{
    return DisplayLayout{width, height, Orientation::Vertical, order, controllers};
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
         "the chips' own memory, written half by half", vertical(128, 64, 2), false},
        {"ssd1306", "SSD1306 OLED 128x64, pages one after the other (row127)",
         "Adafruit_SSD1306's buffer, u8g2's SSD1306 full buffer, the chip's memory",
         vertical(128, 64), false},
        {"ssd1306-128x32", "SSD1306 OLED 128x32, pages one after the other",
         "Adafruit_SSD1306's 128x32 buffer, u8g2's, the chip's memory", vertical(128, 32),
         false},
        {"sh1106", "SH1106 OLED 128x64: 128 visible of 132 columns, each page written from "
                   "column 2",
         "u8g2's SH1106 full buffer, the visible columns of the chip", vertical(128, 64), false},
        {"st7565", "ST7565 LCD 128x64, one page after the other",
         "u8g2's ST7565 full buffer, the chip's memory", vertical(128, 64), false},
        {"pcd8544", "PCD8544 (Nokia 5110) LCD 84x48, banks one after the other (V=0)",
         "Adafruit_PCD8544's buffer, the chip's memory", vertical(84, 48), false},
        {"sed1520", "SED1520 122x32: two controllers of 61 columns",
         "the chips' own memory, written half by half", vertical(122, 32, 2), false},
        {"gfx", "row bytes, bit 7 leftmost, as Adafruit GFX and u8g2 drawBitmap read them",
         "Adafruit GFX drawBitmap, u8g2 drawBitmap, framebuf MONO_HLSB",
         horizontal(BitOrder::Msb), true},
        {"xbm", "row bytes, bit 0 leftmost, as XBM files and u8g2 drawXBM read them",
         "XBM files, u8g2 drawXBM, Adafruit GFX drawXBitmap, framebuf MONO_HMSB",
         horizontal(BitOrder::Lsb), true},
        {"ks0108-buffer", "KS0108 128x64 as buffer libraries keep it: full-width pages (row127)",
         "u8g2's KS0108 buffer, openGLCD, KS0108 buffer libraries", vertical(128, 64), false},
        {"u8g2-pcd8544", "PCD8544 84x48 as u8g2 keeps it: pages of 88 columns, 84 shown",
         "u8g2's PCD8544 buffer", vertical(88, 48), false},
        {"u8g2-sed1520", "SED1520 122x32 as u8g2 keeps it: pages of 128 columns, 122 shown",
         "u8g2's SED1520 buffer", vertical(128, 32), false},
        {"adafruit-st7565", "ST7565 128x64 as Adafruit's library keeps it: bit 7 top",
         "Adafruit ST7565 library's buffer", vertical(128, 64, 1, BitOrder::Msb), false},
        {"framebuf-vlsb", "MicroPython framebuf MONO_VLSB: pages, bit 0 top",
         "MicroPython and CircuitPython framebuf MONO_VLSB", vertical(128, 64), true},
        {"framebuf-hlsb", "MicroPython framebuf MONO_HLSB: row bytes, bit 7 leftmost",
         "MicroPython and CircuitPython framebuf MONO_HLSB", horizontal(BitOrder::Msb), true},
        {"framebuf-hmsb", "MicroPython framebuf MONO_HMSB: row bytes, bit 0 leftmost",
         "MicroPython and CircuitPython framebuf MONO_HMSB", horizontal(BitOrder::Lsb), true},
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
