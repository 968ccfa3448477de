#include "app/clipboardprobe.h"

#include <QByteArray>
#include <QClipboard>
#include <QDeadlineTimer>
#include <QGuiApplication>

#ifdef VEXLOR_HAVE_XCB
#include <xcb/xcb.h>

#include <poll.h>

#include <cstdlib>
#include <memory>
#endif

namespace ClipboardProbe {

#ifdef VEXLOR_HAVE_XCB
namespace {

xcb_atom_t internAtom(xcb_connection_t *connection, const QByteArray &name)
{
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, uint16_t(name.size()), name.constData());
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// Asks for the list of formats on a connection of our own, whose events the
// toolkit does not consume, and waits for the answer no longer than allowed.
bool askTargets(xcb_connection_t *connection, int timeoutMs)
{
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (!screen)
        return true;
    const xcb_window_t window = xcb_generate_id(connection);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    const xcb_atom_t selection = internAtom(connection, "CLIPBOARD");
    const xcb_atom_t targets = internAtom(connection, "TARGETS");
    const xcb_atom_t property = internAtom(connection, "VEXLOR_CLIPBOARD_PROBE");
    if (selection == XCB_ATOM_NONE || targets == XCB_ATOM_NONE || property == XCB_ATOM_NONE)
        return true;
    xcb_convert_selection(connection, window, selection, targets, property, XCB_CURRENT_TIME);
    xcb_flush(connection);

    const QDeadlineTimer deadline(timeoutMs);
    pollfd descriptor{xcb_get_file_descriptor(connection), POLLIN, 0};
    for (;;) {
        while (xcb_generic_event_t *event = xcb_poll_for_event(connection)) {
            const bool answer = (event->response_type & ~0x80) == XCB_SELECTION_NOTIFY;
            std::free(event);
            if (answer)
                return true;
        }
        if (xcb_connection_has_error(connection))
            return true; // cannot tell: leave it to the toolkit
        const qint64 remaining = deadline.remainingTime();
        if (remaining <= 0)
            return false;
        poll(&descriptor, 1, int(remaining));
    }
}

} // namespace
#endif

bool ownerAnswers(const QClipboard *clipboard, int timeoutMs)
{
#ifdef VEXLOR_HAVE_XCB
    if (QGuiApplication::platformName() != QLatin1String("xcb") || clipboard->ownsClipboard())
        return true;
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    const bool answers = xcb_connection_has_error(connection) || askTargets(connection, timeoutMs);
    xcb_disconnect(connection);
    return answers;
#else
    Q_UNUSED(clipboard);
    Q_UNUSED(timeoutMs);
    return true;
#endif
}

} // namespace ClipboardProbe
