#include "mainwindow/off_taskbar.h"

#include <xcb/xcb.h>

#include <QEvent>
#include <QGuiApplication>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace veltrano {

namespace {

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
  const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(connection, 0, uint16_t(strlen(name)), name);
  const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&free)> reply(
      xcb_intern_atom_reply(connection, cookie, nullptr), &free);
  return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// Adds the skip states to the window's _NET_WM_STATE before it is mapped; the
// states already there stay.
void askToBeSkipped(const QWidget& window) {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (!x11 || !window.testAttribute(Qt::WA_WState_Created)) return;
  xcb_connection_t* connection = x11->connection();
  if (!connection) return;
  const auto id = xcb_window_t(window.winId());
  const xcb_atom_t state = atom(connection, "_NET_WM_STATE");
  const xcb_atom_t skips[] = {atom(connection, "_NET_WM_STATE_SKIP_TASKBAR"),
                              atom(connection, "_NET_WM_STATE_SKIP_PAGER")};
  if (state == XCB_ATOM_NONE) return;
  std::vector<xcb_atom_t> states;
  const xcb_get_property_cookie_t cookie = xcb_get_property(connection, 0, id, state, XCB_ATOM_ATOM, 0, 64);
  const std::unique_ptr<xcb_get_property_reply_t, decltype(&free)> reply(
      xcb_get_property_reply(connection, cookie, nullptr), &free);
  if (reply && reply->type == XCB_ATOM_ATOM && reply->format == 32) {
    const auto* values = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
    states.assign(values, values + xcb_get_property_value_length(reply.get()) / sizeof(xcb_atom_t));
  }
  for (const xcb_atom_t skip : skips)
    if (skip != XCB_ATOM_NONE && std::find(states.begin(), states.end(), skip) == states.end()) states.push_back(skip);
  xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, state, XCB_ATOM_ATOM, 32, uint32_t(states.size()),
                      states.data());
  xcb_flush(connection);
}

}  // namespace

void OffTaskbar::keep(QWidget& window) { window.installEventFilter(this); }

// A widget's show event comes before its window is mapped.
bool OffTaskbar::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Show && watched->isWidgetType()) askToBeSkipped(*static_cast<QWidget*>(watched));
  return QObject::eventFilter(watched, event);
}

}  // namespace veltrano
