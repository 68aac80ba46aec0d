#include "xembed_tray_watcher.h"

#include <QGuiApplication>

#include <cstdlib>
#include <string>
#include <xcb/xcb.h>

namespace tindora::qt {
namespace {

std::uint32_t internAtom(xcb_connection_t* connection, const std::string& name)
{
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, std::uint16_t(name.size()), name.c_str()), nullptr);
    if (!reply)
        return 0;
    const std::uint32_t atom = reply->atom;
    std::free(reply);
    return atom;
}

} // namespace

XEmbedTrayWatcher::XEmbedTrayWatcher()
{
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return;
    m_connection = x11->connection();
    int screen = 0;
    const xcb_setup_t* setup = xcb_get_setup(m_connection);
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(setup);
    // Qt's default screen: the one the display name chose.
    if (const char* display = std::getenv("DISPLAY")) {
        const std::string name(display);
        if (const auto dot = name.rfind('.'); dot != std::string::npos && dot > name.rfind(':'))
            screen = std::atoi(name.c_str() + dot + 1);
    }
    for (int i = 0; i < screen && it.rem > 1; ++i)
        xcb_screen_next(&it);
    m_root = it.data->root;
    m_selection = internAtom(m_connection, "_NET_SYSTEM_TRAY_S" + std::to_string(screen));
    m_manager = internAtom(m_connection, "MANAGER");
    if (!m_selection || !m_manager) {
        m_connection = nullptr;
        return;
    }
    // A new tray announces itself with a MANAGER message to the root window,
    // sent to those who watch the root's structure: add that to what Qt
    // already watches there.
    xcb_get_window_attributes_reply_t* attributes = xcb_get_window_attributes_reply(
        m_connection, xcb_get_window_attributes(m_connection, m_root), nullptr);
    const std::uint32_t mask = (attributes ? attributes->your_event_mask : 0) | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    std::free(attributes);
    xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &mask);
    qApp->installNativeEventFilter(this);
    findOwner();
}

XEmbedTrayWatcher::~XEmbedTrayWatcher()
{
    if (m_connection)
        qApp->removeNativeEventFilter(this);
}

void XEmbedTrayWatcher::findOwner()
{
    xcb_get_selection_owner_reply_t* reply = xcb_get_selection_owner_reply(
        m_connection, xcb_get_selection_owner(m_connection, m_selection), nullptr);
    const std::uint32_t owner = reply ? reply->owner : 0;
    std::free(reply);
    if (owner == m_owner)
        return;
    m_owner = owner;
    if (m_owner) {
        // Its end comes as a DestroyNotify once we watch its structure.
        const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_connection, m_owner, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(m_connection);
        // Gone between the two requests: look again.
        xcb_get_selection_owner_reply_t* again = xcb_get_selection_owner_reply(
            m_connection, xcb_get_selection_owner(m_connection, m_selection), nullptr);
        const bool same = again && again->owner == m_owner;
        std::free(again);
        if (!same) {
            findOwner();
            return;
        }
    }
    Q_EMIT trayAvailabilityChanged();
}

bool XEmbedTrayWatcher::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    switch (event->response_type & 0x7f) {
    case XCB_CLIENT_MESSAGE: {
        const auto* client = reinterpret_cast<const xcb_client_message_event_t*>(event);
        if (client->window == m_root && client->type == m_manager && client->data.data32[1] == m_selection)
            findOwner();
        break;
    }
    case XCB_DESTROY_NOTIFY: {
        const auto* destroyed = reinterpret_cast<const xcb_destroy_notify_event_t*>(event);
        if (m_owner && destroyed->window == m_owner)
            findOwner();
        break;
    }
    default:
        break;
    }
    return false; // Qt's own tray code watches the same events
}

} // namespace tindora::qt
