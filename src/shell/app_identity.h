#pragma once
// Who the application is to the desktop: names for its settings, and its icon.

#include <QIcon>

namespace tallo::shell {

// Sets the organisation and application names that QSettings files the per-user settings
// under, and the icon of every window.
void SetApplicationIdentity();

QIcon ApplicationIcon();

}  // namespace tallo::shell
