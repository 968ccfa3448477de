#pragma once

class QTranslator;
class VexlorWindow;

// What the entry point does around the main window, kept apart from main()
// so that the same start-up can be checked and reused.
namespace Startup {

void installStartStyle();
// Puts the toolkit's own texts (its file, colour, print and message dialogs)
// into French; the program's texts stay as written. Returns the translator
// installed, owned by the application, or nullptr when the toolkit's French
// catalogue is not there.
QTranslator *installToolkitTranslation();

// The toolkit reads and loads every image plugin the first time it guesses a
// picture's format, which the menu bar's own icons make it do: the window
// is built without them, and presentMainWindow() brings them back once the
// window is on its way to the screen.
void holdImagePlugins();
void presentMainWindow(VexlorWindow &window);

} // namespace Startup
