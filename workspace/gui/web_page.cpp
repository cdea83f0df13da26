#include "workspace/gui/web_page.h"

#include "workspace/workspace.h"

#include <QDesktopServices>

namespace strovane::workspace {
namespace {

std::function<void(const QUrl&)>& opener() {
    static std::function<void(const QUrl&)> f = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    return f;
}

} // namespace

void openMakerWebPage() { opener()(QUrl(QString::fromLatin1(kMakerWebPage))); }

void setUrlOpener(std::function<void(const QUrl&)> f) { opener() = std::move(f); }

} // namespace strovane::workspace
