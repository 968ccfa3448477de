#pragma once

class VexlorWindow;

// What the entry point does around the main window, kept apart from main()
// so that the same start-up can be checked and reused.
namespace Startup {

void installStartStyle();
void presentMainWindow(VexlorWindow &window);

} // namespace Startup
