#include "platform/ui/forms.h"

#include "platform/ado/ado.h"
#include "platform/ui/messages.h"
#include "platform/ui/textfit.h"

#include <QApplication>
#include <QEventLoop>
#include <QLabel>

namespace ui {

namespace {

QList<FormBase*>& registry()
{
    static QList<FormBase*> forms;
    return forms;
}

FormBase*& theMainForm()
{
    static FormBase* f = nullptr;
    return f;
}

}  // namespace

void showLabelsPlain(QWidget* window)
{
    // A label's text is read as markup only where the window asks for it:
    // names from the data (a party called "<b>Smith</b>") show as typed.
    for (QLabel* l : window->findChildren<QLabel*>())
        if (l->textFormat() == Qt::AutoText)
            l->setTextFormat(Qt::PlainText);
}

FormBase::FormBase(QString name) : name_(std::move(name)) { registry().push_back(this); }

FormBase::~FormBase()
{
    registry().removeAll(this);
    if (theMainForm() == this)
        theMainForm() = nullptr;
    if (widget_)
        delete widget_.data();
}

const QList<FormBase*>& FormBase::all() { return registry(); }

void FormBase::Load()
{
    if (isLoaded())
        return;
    QWidget* w = makeWidget(nullptr);
    w->setObjectName(name_);
    widget_ = w;
    createControls();
    showLabelsPlain(w);
    Form_Load();
    if (!isLoaded())
        return;
    showLabelsPlain(widget_);
    keepVariables();
    keepTextsWhole(widget_);
}

void FormBase::keepVariables()
{
    for (const Kept& k : kept_)
        k.take();
}

void FormBase::Show(int mode, FormBase* owner)
{
    if (isLoaded()) {
        // An open window keeps the record it was opened on, whatever the
        // new opener wrote.
        for (const Kept& k : kept_)
            k.putBack();
    }
    const bool wasOpen = isLoaded() && widget_->isVisible();
    Load();
    if (!isLoaded())
        return;  // Form_Load unloaded it again
    QWidget* w = widget_;
    if (wasOpen) {
        // Modal or not, the window stays as it is; taking it out of the
        // screen to make it modal would only lose the user's place.
        w->raise();
        w->activateWindow();
        return;
    }
    QWidget* ownerWidget = owner ? owner->widget() : nullptr;
    if (ownerWidget && w->parentWidget() != ownerWidget && ownerWidget != w) {
        const Qt::WindowFlags flags = w->windowFlags() | Qt::Window;
        w->setParent(ownerWidget, flags);
    }
    if (mode == vbModal) {
        modal_ = true;
        owner_ = owner;
        modal().runModal(*this, ownerWidget);
        modal_ = false;
        owner_ = nullptr;
        return;
    }
    w->show();
    w->raise();
    w->activateWindow();
}

void FormBase::Hide()
{
    if (widget_)
        widget_->hide();
}

bool FormBase::Unload(int unloadMode)
{
    if (!isLoaded() || unloading_)
        return true;
    bool cancel = false;
    Form_QueryUnload(cancel, unloadMode);
    if (cancel)
        return false;
    Form_Unload(cancel);
    if (cancel)
        return false;
    unloading_ = true;
    QPointer<QWidget> w = widget_;
    widget_ = nullptr;
    releaseControls();
    if (w) {
        w->hide();
        // Later, since the call may come from one of the window's own controls.
        w->deleteLater();
    }
    unloading_ = false;
    return true;
}

void FormBase::closeRequested(QCloseEvent* e)
{
    if (unloading_) {
        e->accept();
        return;
    }
    bool gone = false;
    guarded([&] { gone = Unload(vbFormControlMenu); });
    if (gone)
        e->accept();
    else
        e->ignore();
}

void FormBase::activated()
{
    guarded([&] { Form_Activate(); });
}

bool FormBase::unloadAll(FormBase* except, int unloadMode)
{
    bool all = true;
    const QList<FormBase*> forms = registry();
    for (auto it = forms.rbegin(); it != forms.rend(); ++it) {
        FormBase* f = *it;
        if (f == except || !f->isLoaded())
            continue;
        bool gone = false;
        guarded([&] { gone = f->Unload(unloadMode); });
        all = all && gone;
    }
    return all;
}

FormBase* mainForm() { return theMainForm(); }
void setMainForm(FormBase* form) { theMainForm() = form; }

bool guarded(const std::function<void()>& fn)
{
    try {
        fn();
        return true;
    } catch (const ado::Error& e) {
        MsgBox(QString("Run-time error '%1':\n\n%2").arg(e.number()).arg(e.description()), vbCritical | vbOKOnly);
    } catch (const std::exception& e) {
        MsgBox(QString("Run-time error:\n\n%1").arg(QString::fromUtf8(e.what())), vbCritical | vbOKOnly);
    }
    return false;
}

// ---------------------------------------------------------------- modal service

class QtModal : public ModalService {
public:
    void runModal(FormBase& form, QWidget*) override
    {
        QPointer<QWidget> w = form.widget();
        if (!w)
            return;
        if (auto* d = qobject_cast<QDialog*>(w.data())) {
            d->setModal(true);
            d->exec();
            return;
        }
        // Any other window: modal until it is hidden or destroyed.
        w->setWindowModality(Qt::ApplicationModal);
        QEventLoop loop;
        struct Watch : QObject {
            QEventLoop* loop;
            bool eventFilter(QObject*, QEvent* e) override
            {
                if (e->type() == QEvent::Hide)
                    loop->quit();
                return false;
            }
        } watch;
        watch.loop = &loop;
        w->installEventFilter(&watch);
        QObject::connect(w, &QObject::destroyed, &loop, &QEventLoop::quit);
        w->show();
        if (w->isVisible())
            loop.exec();
        if (w) {
            w->removeEventFilter(&watch);
            w->setWindowModality(Qt::NonModal);
        }
    }
};

namespace {
std::unique_ptr<ModalService>& currentModal()
{
    static std::unique_ptr<ModalService> s = std::make_unique<QtModal>();
    return s;
}
}  // namespace

ModalService& modal() { return *currentModal(); }

void setModalService(std::unique_ptr<ModalService> service)
{
    currentModal() = service ? std::move(service) : std::make_unique<QtModal>();
}

void ScriptedModal::runModal(FormBase& form, QWidget*)
{
    shown.push_back(form.name());
    std::function<void(FormBase&)> action;
    auto q = queued.find(form.name());
    if (q != queued.end() && !q->second.isEmpty()) {
        action = q->second.takeFirst();
    } else {
        auto s = standing.find(form.name());
        if (s != standing.end())
            action = s->second;
    }
    if (QWidget* w = form.widget())
        w->show();
    if (action)
        action(form);
    // The modal loop ends here: the window is unloaded, or hidden when it
    // refuses to unload.
    if (form.isLoaded() && form.widget()->isVisible() && !form.Unload(vbFormControlMenu))
        form.Hide();
}

ScriptedModalGuard::ScriptedModalGuard()
{
    auto s = std::make_unique<ScriptedModal>();
    modal = s.get();
    setModalService(std::move(s));
}

ScriptedModalGuard::~ScriptedModalGuard() { setModalService(nullptr); }

}  // namespace ui
