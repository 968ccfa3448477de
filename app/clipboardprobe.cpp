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
#include <vector>
#endif

namespace ClipboardProbe {

#ifdef VEXLOR_HAVE_XCB
namespace {

template <typename T>
using XReply = std::unique_ptr<T, decltype(&std::free)>;

template <typename T>
XReply<T> owned(T *reply)
{
    return XReply<T>(reply, &std::free);
}

// One request sent to the owner and what came back.
struct Transfer
{
    enum class State { Waiting, Incremental, Done };

    xcb_atom_t target = XCB_ATOM_NONE;
    xcb_atom_t property = XCB_ATOM_NONE;
    State state = State::Done;
    bool delivered = false;
    xcb_atom_t type = XCB_ATOM_NONE;
    QByteArray data;

    // Pieces of data cut short by the deadline are no data.
    bool complete() const { return state == State::Done && delivered; }
};

// A connection of our own, whose events the toolkit does not consume. It
// lives as long as the program: an owner that answers after we stopped
// waiting then writes to a window that still exists, instead of failing
// (many clients die on that failure, taking the clipboard with them).
class Reader
{
public:
    Reader();
    ~Reader();
    Reader(const Reader &) = delete;
    Reader &operator=(const Reader &) = delete;

    bool usable() const { return m_usable; }
    Contents read(const QDeadlineTimer &deadline);

private:
    enum Atom {
        Clipboard, Targets, Incr, Utf8String, Text, PlainUtf8, Plain, Png,
        TargetsProperty, ImageProperty, TextProperty, TimeProperty, AtomCount
    };

    xcb_timestamp_t serverTime(const QDeadlineTimer &deadline);
    void request(Transfer &transfer, xcb_atom_t target, xcb_atom_t property);
    void wait(const QDeadlineTimer &deadline, const std::vector<Transfer *> &transfers);
    void handle(const xcb_generic_event_t *event, const std::vector<Transfer *> &transfers);
    bool fetch(xcb_atom_t property, Transfer &transfer, bool append);
    xcb_atom_t textTarget(const std::vector<xcb_atom_t> &targets) const;
    xcb_atom_t imageTarget(const std::vector<xcb_atom_t> &targets);

    xcb_connection_t *m_connection = nullptr;
    xcb_window_t m_window = XCB_WINDOW_NONE;
    xcb_atom_t m_atoms[AtomCount] = {};
    xcb_timestamp_t m_time = XCB_CURRENT_TIME;
    bool m_usable = false;
};

Reader::Reader()
{
    m_connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(m_connection))
        return;
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
    if (!screen)
        return;
    m_window = xcb_generate_id(m_connection);
    const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_window, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &events);

    static const char *const names[AtomCount] = {
        "CLIPBOARD", "TARGETS", "INCR", "UTF8_STRING", "TEXT", "text/plain;charset=utf-8",
        "text/plain", "image/png", "VEXLOR_TARGETS", "VEXLOR_IMAGE", "VEXLOR_TEXT", "VEXLOR_TIME"};
    xcb_intern_atom_cookie_t cookies[AtomCount];
    for (int i = 0; i < AtomCount; ++i)
        cookies[i] = xcb_intern_atom(m_connection, 0, uint16_t(qstrlen(names[i])), names[i]);
    m_usable = true;
    for (int i = 0; i < AtomCount; ++i) {
        const auto reply = owned(xcb_intern_atom_reply(m_connection, cookies[i], nullptr));
        m_atoms[i] = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        m_usable = m_usable && m_atoms[i] != XCB_ATOM_NONE;
    }
}

Reader::~Reader()
{
    xcb_disconnect(m_connection);
}

Contents Reader::read(const QDeadlineTimer &deadline)
{
    // Whatever a late owner left from an earlier read goes first.
    while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection))
        std::free(event);
    for (const Atom property : {TargetsProperty, ImageProperty, TextProperty})
        xcb_delete_property(m_connection, m_window, m_atoms[property]);

    // Owners echo the time of a request in their answer: answers to earlier
    // reads are told apart by it.
    m_time = serverTime(deadline);
    Contents contents;
    Transfer targets;
    request(targets, m_atoms[Targets], m_atoms[TargetsProperty]);
    wait(deadline, {&targets});
    if (!targets.complete())
        return contents;
    const auto *begin = reinterpret_cast<const xcb_atom_t *>(targets.data.constData());
    const std::vector<xcb_atom_t> offered(begin, begin + targets.data.size() / sizeof(xcb_atom_t));

    // Both asked at once, so that a kind the owner withholds costs no time
    // of its own.
    Transfer image;
    Transfer text;
    request(image, imageTarget(offered), m_atoms[ImageProperty]);
    request(text, textTarget(offered), m_atoms[TextProperty]);
    wait(deadline, {&image, &text});

    if (image.complete())
        contents.image = QImage::fromData(image.data);
    if (text.complete()) {
        if (text.data.endsWith('\0'))
            text.data.chop(1);
        contents.text = text.type == XCB_ATOM_STRING ? QString::fromLatin1(text.data)
                                                     : QString::fromUtf8(text.data);
    }
    return contents;
}

xcb_timestamp_t Reader::serverTime(const QDeadlineTimer &deadline)
{
    // Appending nothing to a property of our own is answered with the
    // server's time.
    xcb_change_property(m_connection, XCB_PROP_MODE_APPEND, m_window, m_atoms[TimeProperty],
                        XCB_ATOM_STRING, 8, 0, nullptr);
    xcb_flush(m_connection);
    const pollfd descriptor{xcb_get_file_descriptor(m_connection), POLLIN, 0};
    while (!xcb_connection_has_error(m_connection)) {
        while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
            xcb_timestamp_t time = XCB_CURRENT_TIME;
            if ((event->response_type & ~0x80) == XCB_PROPERTY_NOTIFY) {
                const auto *notify = reinterpret_cast<const xcb_property_notify_event_t *>(event);
                if (notify->atom == m_atoms[TimeProperty])
                    time = notify->time;
            }
            std::free(event);
            if (time != XCB_CURRENT_TIME)
                return time;
        }
        const qint64 remaining = deadline.remainingTime();
        if (remaining <= 0)
            break;
        pollfd ready = descriptor;
        poll(&ready, 1, int(remaining));
    }
    return XCB_CURRENT_TIME;
}

void Reader::request(Transfer &transfer, xcb_atom_t target, xcb_atom_t property)
{
    transfer.target = target;
    transfer.property = property;
    if (target == XCB_ATOM_NONE)
        return;
    transfer.state = Transfer::State::Waiting;
    xcb_convert_selection(m_connection, m_window, m_atoms[Clipboard], target, property, m_time);
    xcb_flush(m_connection);
}

void Reader::wait(const QDeadlineTimer &deadline, const std::vector<Transfer *> &transfers)
{
    const auto finished = [&transfers] {
        for (const Transfer *transfer : transfers)
            if (transfer->state != Transfer::State::Done)
                return false;
        return true;
    };
    const pollfd descriptor{xcb_get_file_descriptor(m_connection), POLLIN, 0};
    while (!finished() && !xcb_connection_has_error(m_connection)) {
        while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
            handle(event, transfers);
            std::free(event);
        }
        const qint64 remaining = deadline.remainingTime();
        if (finished() || remaining <= 0)
            return;
        pollfd ready = descriptor;
        poll(&ready, 1, int(remaining));
    }
}

void Reader::handle(const xcb_generic_event_t *event, const std::vector<Transfer *> &transfers)
{
    const int type = event->response_type & ~0x80;
    if (type == XCB_SELECTION_NOTIFY) {
        const auto *notify = reinterpret_cast<const xcb_selection_notify_event_t *>(event);
        if (notify->requestor != m_window
            || (notify->time != m_time && notify->time != XCB_CURRENT_TIME))
            return;
        for (Transfer *transfer : transfers) {
            if (transfer->state != Transfer::State::Waiting || transfer->target != notify->target)
                continue;
            transfer->state = Transfer::State::Done;
            // A refusal names no property.
            if (notify->property != XCB_ATOM_NONE && fetch(transfer->property, *transfer, false)
                && transfer->type == m_atoms[Incr]) {
                // Large data comes in pieces, each announced by a new value.
                transfer->state = Transfer::State::Incremental;
                transfer->delivered = false;
                transfer->data.clear();
            }
            return;
        }
    } else if (type == XCB_PROPERTY_NOTIFY) {
        const auto *notify = reinterpret_cast<const xcb_property_notify_event_t *>(event);
        if (notify->window != m_window || notify->state != XCB_PROPERTY_NEW_VALUE)
            return;
        for (Transfer *transfer : transfers) {
            if (transfer->state != Transfer::State::Incremental || transfer->property != notify->atom)
                continue;
            const qsizetype before = transfer->data.size();
            if (!fetch(transfer->property, *transfer, true) || transfer->data.size() == before)
                transfer->state = Transfer::State::Done; // an empty piece ends the data
            return;
        }
    }
}

bool Reader::fetch(xcb_atom_t property, Transfer &transfer, bool append)
{
    // Deleting the property as it is read tells an incremental owner to go on.
    const xcb_get_property_cookie_t cookie = xcb_get_property(
        m_connection, 1, m_window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 0x1FFFFFFF);
    const auto reply = owned(xcb_get_property_reply(m_connection, cookie, nullptr));
    xcb_flush(m_connection);
    transfer.delivered = reply && reply->type != XCB_ATOM_NONE;
    if (!transfer.delivered)
        return false;
    if (!append)
        transfer.data.clear();
    if (transfer.data.isEmpty())
        transfer.type = reply->type;
    transfer.data.append(static_cast<const char *>(xcb_get_property_value(reply.get())),
                         xcb_get_property_value_length(reply.get()));
    return true;
}

xcb_atom_t Reader::textTarget(const std::vector<xcb_atom_t> &targets) const
{
    for (const xcb_atom_t wanted : {m_atoms[Utf8String], m_atoms[PlainUtf8], xcb_atom_t(XCB_ATOM_STRING),
                                    m_atoms[Plain], m_atoms[Text]})
        for (const xcb_atom_t target : targets)
            if (target == wanted)
                return target;
    return XCB_ATOM_NONE;
}

xcb_atom_t Reader::imageTarget(const std::vector<xcb_atom_t> &targets)
{
    for (const xcb_atom_t target : targets)
        if (target == m_atoms[Png])
            return target;
    // Any other picture type that the toolkit's readers may know.
    std::vector<xcb_get_atom_name_cookie_t> cookies;
    for (const xcb_atom_t target : targets)
        cookies.push_back(xcb_get_atom_name(m_connection, target));
    xcb_atom_t found = XCB_ATOM_NONE;
    for (size_t i = 0; i < cookies.size(); ++i) {
        const auto reply = owned(xcb_get_atom_name_reply(m_connection, cookies[i], nullptr));
        if (!reply || found != XCB_ATOM_NONE)
            continue;
        const QByteArray name(xcb_get_atom_name_name(reply.get()), xcb_get_atom_name_name_length(reply.get()));
        if (name.startsWith("image/"))
            found = targets[i];
    }
    return found;
}

} // namespace
#endif

bool readForeign(const QClipboard *clipboard, int timeoutMs, Contents &contents)
{
#ifdef VEXLOR_HAVE_XCB
    if (QGuiApplication::platformName() != QLatin1String("xcb") || clipboard->ownsClipboard())
        return false;
    static Reader reader;
    if (!reader.usable())
        return false;
    contents = reader.read(QDeadlineTimer(timeoutMs));
    return true;
#else
    Q_UNUSED(clipboard);
    Q_UNUSED(timeoutMs);
    Q_UNUSED(contents);
    return false;
#endif
}

} // namespace ClipboardProbe
