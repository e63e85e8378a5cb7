#pragma once
// Windows of the program: one shared instance per window class, whose public
// variables live for the whole run, and whose controls are made fresh at each
// load and released at unload.
//
//   class frmTip : public ui::Form<frmTip, QDialog> { ... };
//   frmTip::instance().Show(ui::vbModal, &frmMain::instance());
//
// A subclass builds its controls in createControls() (children of widget()),
// clears its control pointers in releaseControls(), and handles the window
// events by overriding Form_Load, Form_Activate, Form_QueryUnload and
// Form_Unload. Showing modal goes through a replaceable service, so tests
// never wait on a modal loop.
//
// Showing a window that is already open, modal or modeless, only raises it:
// it is not loaded again, no modal loop starts, and the variables it names
// with keepWhileOpen get back the values it was opened with. An editor whose
// openers name its record by a mode and a key says so once, in its
// constructor, and can never be turned onto another record while it is open:
//
//   class frmGift : public ui::Form<frmGift> {
//   public:
//       frmGift() : Form("frmGift") { keepWhileOpen(giftMode, giftID); }
//       enum class Mode { Add, Edit };
//       Mode giftMode = Mode::Add;
//       qlonglong giftID = 0;
//   };
//
// The values are taken when Form_Load has run. A window that moves itself to
// another record (a new record saved and now edited) sets its variables and
// calls keepVariables() so that those are the ones kept.

#include <QCloseEvent>
#include <QDialog>
#include <QEvent>
#include <QPointer>
#include <QResizeEvent>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace ui {

enum ShowMode : int { vbModeless = 0, vbModal = 1 };

// Why a window is being unloaded, as its QueryUnload event is told.
enum UnloadMode : int { vbFormControlMenu = 0, vbFormCode = 1, vbAppWindows = 2 };

class FormBase {
public:
    explicit FormBase(QString name);
    virtual ~FormBase();
    FormBase(const FormBase&) = delete;
    FormBase& operator=(const FormBase&) = delete;

    const QString& name() const { return name_; }
    bool isLoaded() const { return !widget_.isNull(); }
    // The window while it is loaded, else null.
    QWidget* widget() const { return widget_.data(); }

    // Makes the controls and runs Form_Load; nothing when already loaded.
    void Load();
    // Loads when needed, then shows. A window already open is raised and
    // keeps its variables, whichever way it is asked for. Otherwise modal
    // runs through the modal service and returns when the window is hidden
    // or unloaded.
    void Show(int mode = vbModeless, FormBase* owner = nullptr);
    void Hide();
    // Asks Form_QueryUnload and Form_Unload; either may cancel, and then the
    // window stays. Returns true when the window is gone (or was not loaded).
    bool Unload(int unloadMode = vbFormCode);

    bool isModal() const { return modal_; }

    // Takes the present values of the kept variables as the ones the window
    // keeps while it is open.
    void keepVariables();

    // Window events; public so that openers and tests can raise them the way
    // the platform would.
    virtual void Form_Load() {}
    virtual void Form_Activate() {}
    virtual void Form_QueryUnload(bool& cancel, int unloadMode) { (void)cancel; (void)unloadMode; }
    virtual void Form_Unload(bool& cancel) { (void)cancel; }

    // Every window instance made so far, in order of creation.
    static const QList<FormBase*>& all();
    // Unloads every loaded window but `except`; returns false when one refused.
    static bool unloadAll(FormBase* except = nullptr, int unloadMode = vbAppWindows);

    // Used by the window widget.
    void closeRequested(QCloseEvent* e);
    void activated();

protected:
    virtual QWidget* makeWidget(QWidget* parent) = 0;
    virtual void createControls() {}
    virtual void releaseControls() {}

    // The public variables that name the window's record (see the top of
    // this file). Call from the constructor; the variables are members of
    // the window, which lives for the whole run.
    template <class... V>
    void keepWhileOpen(V&... vars)
    {
        (keepOne(vars), ...);
    }

private:
    template <class V>
    void keepOne(V& var)
    {
        auto kept = std::make_shared<V>(var);
        kept_.push_back({[&var, kept] { *kept = var; }, [&var, kept] { var = *kept; }});
    }
    struct Kept {
        std::function<void()> take, putBack;
    };
    std::vector<Kept> kept_;

    friend class QtModal;
    QString name_;
    QPointer<QWidget> widget_;
    bool modal_ = false;
    bool unloading_ = false;
    FormBase* owner_ = nullptr;
};

// The top-level widget of a window: hands close and activation to its form.
template <class Base>
class FormWidget : public Base {
public:
    FormWidget(FormBase* form, QWidget* parent) : Base(parent), form_(form) {}

protected:
    void closeEvent(QCloseEvent* e) override
    {
        if (form_)
            form_->closeRequested(e);
        else
            Base::closeEvent(e);
    }
    void changeEvent(QEvent* e) override
    {
        Base::changeEvent(e);
        if (e->type() == QEvent::ActivationChange && this->isActiveWindow() && form_)
            form_->activated();
    }
    void reject()
    {
        // Escape in a dialog closes it the same way as its close box.
        this->close();
    }

private:
    FormBase* form_;
};

// A window class with one shared instance. Base is the kind of top-level
// widget (QDialog for most windows).
template <class T, class Base = QDialog>
class Form : public FormBase {
public:
    static T& instance()
    {
        // Made on first use and never destroyed: its variables live for the run.
        static T* inst = new T;
        return *inst;
    }
    Base* window() const { return static_cast<Base*>(widget()); }

protected:
    explicit Form(QString name) : FormBase(std::move(name)) {}
    QWidget* makeWidget(QWidget* parent) override
    {
        auto* w = new FormWidget<Base>(this, parent);
        return w;
    }
};

// Runs fn only when the window is loaded: a call into a closed window is skipped.
template <class F, class Fn>
bool ifLoaded(F& form, Fn&& fn)
{
    if (!form.isLoaded())
        return false;
    fn(form);
    return true;
}

// Every label of a window that names no text format shows its text as plain
// text (the windows do so when they load): a text from the data that looks
// like markup is shown as it is. A label meant as markup says Qt::RichText.
void showLabelsPlain(QWidget* window);

// Runs a handler so that an error shows in a message box and the program
// goes on. Returns false when the handler failed.
bool guarded(const std::function<void()>& fn);

// The program's main window, which names itself when it is made: the owner
// of the windows shown modal over it. Null while there is none.
FormBase* mainForm();
void setMainForm(FormBase* form);

// A window widget that also hands its resizes to the form's Form_Resize
// (under the error guard), once the form is loaded.
template <class F, class Base>
class ResizingFormWidget : public FormWidget<Base> {
public:
    ResizingFormWidget(F* form, QWidget* parent) : FormWidget<Base>(form, parent), form_(form) {}

protected:
    void resizeEvent(QResizeEvent* e) override
    {
        Base::resizeEvent(e);
        if (form_->isLoaded())
            guarded([this] { form_->Form_Resize(); });
    }

private:
    F* form_;
};

// ---------------------------------------------------------------- modal service

class ModalService {
public:
    virtual ~ModalService() = default;
    // Runs the loaded window modally; returns when it is hidden or unloaded.
    virtual void runModal(FormBase& form, QWidget* owner) = 0;
};

ModalService& modal();
void setModalService(std::unique_ptr<ModalService> service);

// For tests: records which windows were shown modally and runs the action
// scripted for the window's name (e.g. pressing a button), then unloads the
// window if it is still loaded. Never blocks.
class ScriptedModal : public ModalService {
public:
    void runModal(FormBase& form, QWidget* owner) override;
    QStringList shown;
    // Actions by window name; the front action of the window's queue is used
    // once, then the standing one (if any).
    std::map<QString, QList<std::function<void(FormBase&)>>> queued;
    std::map<QString, std::function<void(FormBase&)>> standing;
    void on(const QString& name, std::function<void(FormBase&)> action) { standing[name] = std::move(action); }
    void once(const QString& name, std::function<void(FormBase&)> action) { queued[name].push_back(std::move(action)); }
};

class ScriptedModalGuard {
public:
    ScriptedModalGuard();
    ~ScriptedModalGuard();
    ScriptedModal* modal;
};

}  // namespace ui
