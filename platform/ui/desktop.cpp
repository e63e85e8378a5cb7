#include "platform/ui/desktop.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>

namespace ui {

namespace {

class QtDesktop : public DesktopService {
public:
    bool openUrl(const QUrl& url) override { return QDesktopServices::openUrl(url); }
    bool startProgram(const QString& path, const QStringList& args) override
    {
        return QProcess::startDetached(path, args);
    }
    bool fileExists(const QString& path) override { return QFileInfo(path).isFile(); }
};

std::unique_ptr<DesktopService>& current()
{
    static std::unique_ptr<DesktopService> s = std::make_unique<QtDesktop>();
    return s;
}

}  // namespace

DesktopService& desktop() { return *current(); }

void setDesktopService(std::unique_ptr<DesktopService> service)
{
    current() = service ? std::move(service) : std::make_unique<QtDesktop>();
}

}  // namespace ui
