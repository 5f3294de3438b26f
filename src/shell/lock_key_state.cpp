// The lock-key query on its own: the X11 headers define macros (KeyRelease, Bool, None ...)
// that clash with Qt's names.

#include <QGuiApplication>

#include "shell/lock_keys.h"

#if defined(TALLO_HAVE_X11)
#include <X11/XKBlib.h>
#endif

namespace tallo::shell {
namespace {

#if defined(TALLO_HAVE_X11)
bool IndicatorOn(Display* display, const char* name) {
  Bool on = False;  // stays so when the display has no such indicator
  XkbGetNamedIndicator(display, XInternAtom(display, name, False), nullptr, &on, nullptr, nullptr);
  return on;
}
#endif

}  // namespace

std::optional<LockKeys> QueryLockKeys() {
#if defined(TALLO_HAVE_X11)
  if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) {
    if (Display* display = x11->display()) {
      return LockKeys{IndicatorOn(display, "Caps Lock"), IndicatorOn(display, "Num Lock"),
                      IndicatorOn(display, "Scroll Lock")};
    }
  }
#endif
  return std::nullopt;
}

}  // namespace tallo::shell
