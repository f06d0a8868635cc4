#include "toolkit/screen_pointer.h"

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QWidget>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>

#if QT_CONFIG(xcb)
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>
#include <xcb/xinput.h>
#endif

namespace korvalen {

#if QT_CONFIG(xcb)
namespace {

// A motion of the pointer as the X server reported it: the X window it
// happened in and the position there, in screen pixels.
struct NativeMotion {
  xcb_window_t window = XCB_NONE;
  double x = 0, y = 0;
};

class MotionFilter : public QAbstractNativeEventFilter {
 public:
  explicit MotionFilter(uint8_t xinputOpcode) : xinputOpcode_(xinputOpcode) {}

  bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
    if (type != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const uint8_t kind = event->response_type & 0x7F;
    if (kind == XCB_MOTION_NOTIFY) {
      const auto* m = static_cast<const xcb_motion_notify_event_t*>(message);
      keep({m->event, static_cast<double>(m->event_x), static_cast<double>(m->event_y)});
    } else if (kind == XCB_GE_GENERIC && xinputOpcode_ != 0) {
      // XInput 2, which Qt uses for the mouse where the server has it: the
      // positions are 16.16 fixed point.
      const auto* ge = static_cast<const xcb_ge_generic_event_t*>(message);
      if (ge->extension == xinputOpcode_ && ge->event_type == XCB_INPUT_MOTION) {
        const auto* m = static_cast<const xcb_input_motion_event_t*>(message);
        keep({m->event, m->event_x / 65536.0, m->event_y / 65536.0});
      }
    }
    return false;  // Qt handles every event as before
  }

  // The newest kept motion in `window` whose position, scaled to logical
  // pixels, is within a logical pixel of `logical` (Qt's rounding of it).
  std::optional<QPointF> match(xcb_window_t window, const QPointF& logical, double scale) const {
    for (size_t k = 0; k < kept_.size(); ++k) {
      const NativeMotion& m = kept_[(next_ + kept_.size() - 1 - k) % kept_.size()];
      if (m.window != window || m.window == XCB_NONE) continue;
      const QPointF at(m.x / scale, m.y / scale);
      if (std::fabs(at.x() - logical.x()) < 1 && std::fabs(at.y() - logical.y()) < 1) return at;
    }
    return std::nullopt;
  }

 private:
  void keep(const NativeMotion& m) {
    kept_[next_] = m;
    next_ = (next_ + 1) % kept_.size();
  }

  uint8_t xinputOpcode_;
  // Several motions can be read from the server before Qt delivers the first.
  std::array<NativeMotion, 8> kept_{};
  size_t next_ = 0;
};

MotionFilter* filter = nullptr;

uint8_t xinputOpcode(xcb_connection_t* connection) {
  static const char kName[] = "XInputExtension";
  const xcb_query_extension_cookie_t cookie =
      xcb_query_extension(connection, static_cast<uint16_t>(std::strlen(kName)), kName);
  xcb_query_extension_reply_t* reply = xcb_query_extension_reply(connection, cookie, nullptr);
  const uint8_t opcode = reply && reply->present ? reply->major_opcode : 0;
  std::free(reply);
  return opcode;
}

}  // namespace

void watchScreenPointer() {
  if (filter || !qGuiApp) return;
  const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (!x11 || !x11->connection()) return;
  // Lives as long as the application, which owns no filter itself.
  filter = new MotionFilter(xinputOpcode(x11->connection()));
  qGuiApp->installNativeEventFilter(filter);
}

std::optional<QPointF> screenPointerPosition(const QWidget* widget, const QPointF& logical) {
  if (!filter) return std::nullopt;
  const QWidget* top = widget->window();
  const double scale = top->devicePixelRatioF();
  if (!(scale > 0)) return std::nullopt;
  const QPointF offset = widget->mapTo(top, QPointF(0, 0));
  const auto at = filter->match(static_cast<xcb_window_t>(top->winId()), logical + offset, scale);
  if (!at) return std::nullopt;
  return *at - offset;
}

#else

void watchScreenPointer() {}
std::optional<QPointF> screenPointerPosition(const QWidget*, const QPointF&) { return std::nullopt; }

#endif

}  // namespace korvalen
