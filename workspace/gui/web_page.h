#pragma once

#include <QUrl>

#include <functional>

namespace strovane::workspace {

// Asks the desktop to open the maker's web page; the result is not used.
void openMakerWebPage();

// Replaces the desktop's URL opener (tests record the address instead of opening it).
void setUrlOpener(std::function<void(const QUrl&)> opener);

} // namespace strovane::workspace
