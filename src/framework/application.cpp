#include "framework/application.h"

#include <algorithm>
#include <stdexcept>

#include "framework/form.h"

namespace vx {

Application::Application(WindowBackend& backend, const MonotonicClock& clock)
    : m_backend(backend), m_clock(clock), m_timers(clock) {}

Application::~Application() = default;

void Application::Run() {
    // Idle processing gets its turn before the first wait.
    bool idleDone = false;
    while (!m_terminated) {
        // Wait for input or the next due timer; do not wait at all while the
        // idle handler wants to run again or a repaint is pending.
        int timeout = -1;
        if (!idleDone || (m_mainForm != nullptr && m_mainForm->HasInvalid())) {
            timeout = 0;
        } else if (auto due = m_timers.MsUntilNextDue()) {
            timeout = static_cast<int>(std::min<std::uint64_t>(*due, 60 * 1000));
        }
        bool busy = false;
        for (auto event = m_backend.WaitEvent(timeout); event && !m_terminated; event = m_backend.PollEvent()) {
            Dispatch(*event);
            busy = true;
        }
        if (m_terminated) break;
        if (m_timers.DeliverDue([this](const std::function<void()>& tick) { SafeCall(tick); }) > 0) busy = true;
        if (m_terminated) break;
        UpdateWindow();
        // After work the queue may be empty now: give the idle handler its
        // turn before waiting again.
        idleDone = busy ? false : Idle();
    }
}

void Application::ProcessMessages() {
    while (!m_terminated) {
        auto event = m_backend.PollEvent();
        if (!event) break;
        Dispatch(*event);
    }
    if (!m_terminated) DeliverTimers();
    UpdateWindow();
}

bool Application::Idle() {
    if (!m_onIdle) return true;
    bool done = true;
    // Copy: the handler may replace itself (a frame clock unhooking).
    IdleHandler handler = m_onIdle;
    SafeCall([&] { handler(done); });
    return done;
}

void Application::DeliverTimers() {
    m_timers.DeliverDue([this](const std::function<void()>& tick) { SafeCall(tick); });
}

void Application::UpdateWindow() {
    if (m_mainForm == nullptr || !m_mainForm->HasWindow()) return;
    m_mainForm->PaintInvalid();
    m_mainForm->PresentChanges();
}

int Application::AddActivationListener(ActivationListener listener) {
    int key = m_nextListenerKey++;
    m_activationListeners.emplace(key, std::move(listener));
    return key;
}

void Application::RemoveActivationListener(int key) { m_activationListeners.erase(key); }

void Application::SetActive(bool active) {
    if (active == m_active) return;
    m_active = active;
    // Copy: a listener may remove itself or others.
    auto listeners = m_activationListeners;
    for (const auto& entry : listeners) {
        if (m_activationListeners.contains(entry.first)) SafeCall([&] { entry.second(active); });
    }
}

void Application::SafeCall(const std::function<void()>& handler) {
    try {
        handler();
    } catch (...) {
        HandleException(std::current_exception());
    }
}

void Application::HandleException(const std::exception_ptr& error) {
    std::string message;
    try {
        std::rethrow_exception(error);
    } catch (const std::bad_alloc&) {
        message = "Out of memory";
    } catch (const std::exception& e) {
        message = e.what();
    } catch (...) {
        message = "Unknown error";
    }
    if (m_errorReport) {
        m_errorReport(message);
    } else {
        m_backend.ShowErrorBox(m_title, message);
    }
}

void Application::Dispatch(const WindowEvent& event) {
    TForm* form = m_mainForm;
    switch (event.kind) {
        case WindowEvent::FocusGained:
            SetActive(true);
            return;
        case WindowEvent::FocusLost:
            SetActive(false);
            return;
        case WindowEvent::CloseRequested:
            if (form != nullptr) SafeCall([form] { form->Close(); });
            else Terminate();
            return;
        case WindowEvent::Exposed:
            if (form != nullptr) {
                form->SetWindowShowing(true);
                form->InvalidateWindowRect(form->ClientRect());
            }
            return;
        case WindowEvent::Hidden:
            if (form != nullptr) form->SetWindowShowing(false);
            return;
        case WindowEvent::PointerLeft:
            if (form != nullptr) SafeCall([form] { form->HandleMouseLeaveWindow(); });
            return;
        default:
            break;
    }
    if (form == nullptr) return;
    SafeCall([&] {
        switch (event.kind) {
            case WindowEvent::MouseMove:
                form->HandleMouseMove(event.shift, event.x, event.y);
                break;
            case WindowEvent::MouseDown:
                form->HandleMouseDown(event.button, event.shift, event.x, event.y);
                break;
            case WindowEvent::MouseUp:
                form->HandleMouseUp(event.button, event.shift, event.x, event.y);
                break;
            default:
                break;
        }
    });
}

}  // namespace vx
