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
void presentMainWindow(VexlorWindow &window);

} // namespace Startup
