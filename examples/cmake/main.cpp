// Draws the logo in the terminal from the SSD1306 memory image that the
// build made of logo.png, as a display driver would read it: page by page,
// bit 0 at the top.
#include "logo.h"
#include "pages.h"

#include <cstdio>

static bool pixel(const unsigned char *image, int width, int x, int y)
{
    return (image[(y / 8) * width + x] >> (y % 8)) & 1;
}

int main()
{
    for (int y = 0; y < logo_HEIGHT; y += 2) {
        for (int x = 0; x < logo_WIDTH; ++x) {
            const bool top = pixel(logo, logo_WIDTH, x, y);
            const bool bottom = pixel(logo, logo_WIDTH, x, y + 1);
            std::fputs(top && bottom ? "#" : top ? "'" : bottom ? "." : " ", stdout);
        }
        std::fputs("\n", stdout);
    }
    // Two pictures fitted to 128x32: two frames of 512 bytes.
    const bool framesFit = pages_FRAMES == 2 && pages_WIDTH == 128 && pages_HEIGHT == 32
        && sizeof pages_0 == 512 && pages_frames[1] == pages_1;
    return logo_WIDTH == 128 && logo_HEIGHT == 64 && framesFit ? 0 : 1;
}
