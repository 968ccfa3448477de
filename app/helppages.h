#pragma once

// The help viewer's rich-text pages in display order, followed by an empty
// entry that marks the end of the list.
extern const char *const helpPages[];
