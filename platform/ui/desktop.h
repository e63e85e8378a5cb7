#pragma once
// Opening web pages and starting outside programs through the desktop, behind
// a replaceable service so tests see what would have been opened.

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <memory>

namespace ui {

class DesktopService {
public:
    virtual ~DesktopService() = default;
    // False when the desktop could not open it.
    virtual bool openUrl(const QUrl& url) = 0;
    // Starts a program by its path, not waited for; false when it did not start.
    virtual bool startProgram(const QString& path, const QStringList& args) = 0;
    virtual bool fileExists(const QString& path) = 0;
};

DesktopService& desktop();
void setDesktopService(std::unique_ptr<DesktopService> service);

class ScriptedDesktop : public DesktopService {
public:
    bool openUrl(const QUrl& url) override
    {
        urls.push_back(url);
        return urlResult;
    }
    bool startProgram(const QString& path, const QStringList& args) override
    {
        started.push_back(path);
        (void)args;
        return startResult;
    }
    bool fileExists(const QString& path) override { return existing.contains(path); }
    QList<QUrl> urls;
    QStringList started;
    QStringList existing;
    bool urlResult = true;
    bool startResult = true;
};

class ScriptedDesktopGuard {
public:
    ScriptedDesktopGuard()
    {
        auto s = std::make_unique<ScriptedDesktop>();
        desktop = s.get();
        setDesktopService(std::move(s));
    }
    ~ScriptedDesktopGuard() { setDesktopService(nullptr); }
    ScriptedDesktop* desktop;
};

}  // namespace ui
