#pragma once

// XPM pictures of the main window: menu icons and the window icon.
namespace WindowPictures {

extern const char *const openPicture[];  // opening folder, 16x13
extern const char *const savePicture[];  // diskette, 14x14
extern const char *const windowIcon[];   // colour chart on a sheet, 32x32

} // namespace WindowPictures
