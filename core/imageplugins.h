#pragma once

#include <functional>

class QByteArray;

// Scanning the image plugins costs start-up time that the formats built into
// the toolkit do not need: a program may put the scan off until a picture
// needs a plugin.
namespace ImagePlugins {

// Drops the plugin paths until ensureLoaded() brings them back.
void defer();
void ensureLoaded();

// BMP, PNG, XBM, XPM and the portable anymaps are read and written without them.
bool isBuiltIn(const QByteArray &format);

// Text in a drawing needs fonts, which only a GUI application has. A program
// that runs without one says here how to make one, so that it pays for it
// only when a drawing is read; `make` returns false if it could not.
void setGuiApplicationMaker(const std::function<bool()> &make);
// True when a GUI application exists, made now if need be.
bool ensureFonts();

} // namespace ImagePlugins
