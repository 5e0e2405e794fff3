// The application object: the one message loop, the message pump that checks
// call, the idle hook, activation notices and the default exception report.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/backend.h"
#include "framework/timer.h"
#include "graphics/font.h"
#include "platform/clock.h"

namespace vx {

class TForm;

class Application {
public:
    Application(WindowBackend& backend, const MonotonicClock& clock);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    const std::string& Title() const { return m_title; }
    void SetTitle(std::string title) { m_title = std::move(title); }

    WindowBackend& Backend() { return m_backend; }
    const MonotonicClock& Clock() const { return m_clock; }
    TimerQueue& Timers() { return m_timers; }
    FontCache& Fonts() { return m_fonts; }

    // The main form: the window whose closing ends the loop. Set by the
    // first form shown.
    TForm* MainForm() const { return m_mainForm; }
    void SetMainForm(TForm* form) { m_mainForm = form; }

    // Runs the loop until Terminate: waits for input or the next due timer,
    // dispatches it, paints what was invalidated and presents; when nothing
    // is pending it calls the idle handler, and polls instead of waiting
    // while the idle handler says it is not done.
    void Run();
    // Dispatches everything pending (input, due timers, repaints), presents
    // and returns. Never calls the idle handler.
    void ProcessMessages();
    // Ends the loop once the running handlers have returned.
    void Terminate() { m_terminated = true; }
    bool Terminated() const { return m_terminated; }

    // Idle hook: called when the queue is empty; the handler sets done to
    // false to be called again at once instead of waiting.
    using IdleHandler = std::function<void(bool& done)>;
    void SetOnIdle(IdleHandler handler) { m_onIdle = std::move(handler); }
    bool HasIdleHandler() const { return static_cast<bool>(m_onIdle); }
    // One turn of idle processing, as the loop does it; returns done.
    bool Idle();

    // Activation: the application is active while its window has the focus.
    bool Active() const { return m_active; }
    using ActivationListener = std::function<void(bool active)>;
    // Returns a key for RemoveActivationListener.
    int AddActivationListener(ActivationListener listener);
    void RemoveActivationListener(int key);

    // Runs a handler; an exception that leaves it reaches the error report
    // and the program goes on.
    void SafeCall(const std::function<void()>& handler);
    void HandleException(const std::exception_ptr& error);
    // The error report: by default an error box with the exception's message.
    using ErrorReport = std::function<void(const std::string& message)>;
    void SetErrorReport(ErrorReport report) { m_errorReport = std::move(report); }
    // The modal error box titled with the application's title: the system's
    // own where the back end has one, else the framework's in an owned
    // window (WindowBackend::ErrorBoxes). Returns when it is closed.
    void ShowErrorBox(const std::string& message);

    // Runs a modal window until ended() answers true or the application
    // terminates: input to every other window is refused, while they keep
    // painting and the timers keep running (idle processing does not run).
    // A quit request of the session ends it and is handled after it.
    void RunModal(TForm& modal, const std::function<bool()>& ended);
    // The form that runs modally now, or null.
    TForm* ModalForm() const { return m_modal.empty() ? nullptr : m_modal.back(); }

    // Dispatches one event to its window's form (exposed for tests and the loop).
    void Dispatch(const WindowEvent& event);

    // The forms that have a window, for dispatching by window (TForm's own).
    void RegisterWindow(TForm& form);
    void ForgetWindow(TForm& form);

private:
    void SetActive(bool active);
    void DeliverTimers();
    void UpdateWindow();
    TForm* FormOf(WindowId window) const;
    void DispatchInput(TForm& form, const WindowEvent& event);

    WindowBackend& m_backend;
    const MonotonicClock& m_clock;
    TimerQueue m_timers;
    FontCache m_fonts;
    std::string m_title;
    TForm* m_mainForm = nullptr;
    bool m_terminated = false;
    bool m_active = false;
    IdleHandler m_onIdle;
    std::map<int, ActivationListener> m_activationListeners;
    int m_nextListenerKey = 1;
    ErrorReport m_errorReport;
    std::map<WindowId, TForm*> m_windows;
    std::vector<TForm*> m_modal;
    bool m_quitPending = false;
};

}  // namespace vx
