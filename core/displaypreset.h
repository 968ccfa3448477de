#pragma once

#include "core/displaylayout.h"

#include <qcontainerfwd.h>

class QString;

// A display family known by name, so that nobody has to work out its layout.
struct DisplayPreset
{
    const char *name;
    const char *summary;
    // The libraries and controllers whose memory or buffer holds exactly
    // this layout, drawn through their own code.
    const char *fits;
    DisplayLayout layout;
    // gfx and xbm are byte layouts for pictures of any size: the size comes
    // from the user.
    bool needsSize;

    static const QList<DisplayPreset> &all();
    // nullptr for an unknown name.
    static const DisplayPreset *find(const QString &name);
};
