#include "framework/application.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <variant>

#include "framework/error_box.h"
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
        const bool repaintPending =
            std::any_of(m_windows.begin(), m_windows.end(), [](const auto& window) { return window.second->HasInvalid(); });
        if (!idleDone || repaintPending) {
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
    // Copy: a control's painting must not disturb the walk.
    auto windows = m_windows;
    for (const auto& [id, form] : windows) {
        if (!m_windows.contains(id)) continue;
        form->PaintInvalid();
        form->PresentChanges();
    }
}

void Application::RegisterWindow(TForm& form) { m_windows[form.Window()] = &form; }

void Application::ForgetWindow(TForm& form) {
    auto it = m_windows.find(form.Window());
    if (it != m_windows.end() && it->second == &form) m_windows.erase(it);
    std::erase(m_modal, &form);
}

TForm* Application::FormOf(WindowId window) const {
    auto it = m_windows.find(window);
    return it != m_windows.end() ? it->second : nullptr;
}

void Application::RunModal(TForm& modal, const std::function<bool()>& ended) {
    m_modal.push_back(&modal);
    while (!ended() && !m_terminated && !m_quitPending && ModalForm() == &modal) {
        int timeout = -1;
        const bool repaintPending =
            std::any_of(m_windows.begin(), m_windows.end(), [](const auto& window) { return window.second->HasInvalid(); });
        if (repaintPending) {
            timeout = 0;
        } else if (auto due = m_timers.MsUntilNextDue()) {
            timeout = static_cast<int>(std::min<std::uint64_t>(*due, 60 * 1000));
        }
        for (auto event = m_backend.WaitEvent(timeout); event; event = m_backend.PollEvent()) {
            Dispatch(*event);
            if (ended() || m_terminated || m_quitPending) break;
        }
        if (ended() || m_terminated) break;
        DeliverTimers();
        UpdateWindow();
    }
    std::erase(m_modal, &modal);
    // The session's quit request ended the box; the main window now gets it.
    if (m_quitPending && m_modal.empty()) {
        m_quitPending = false;
        if (m_mainForm != nullptr) {
            TForm* form = m_mainForm;
            SafeCall([form] { form->Close(); });
        } else {
            Terminate();
        }
    }
}

void Application::ShowErrorBox(const std::string& message) {
    const ErrorBoxSupport boxes = m_backend.ErrorBoxes();
    if (SystemErrorBox* const* system = std::get_if<SystemErrorBox*>(&boxes)) {
        (*system)->ShowErrorBox(m_title, message, [this] {
            DeliverTimers();
            UpdateWindow();
        });
        return;
    }
    try {
        ShowFrameworkErrorBox(*this, m_title, message);
    } catch (const std::exception& e) {
        // No box could be made: the message must not be lost.
        std::fprintf(stderr, "%s: %s (the error box failed: %s)\n", m_title.c_str(), message.c_str(), e.what());
    }
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
        ShowErrorBox(message);
    }
}

void Application::Dispatch(const WindowEvent& event) {
    TForm* modal = ModalForm();
    TForm* form = event.window == kNoWindow ? m_mainForm : FormOf(event.window);
    switch (event.kind) {
        case WindowEvent::FocusGained:
            SetActive(true);
            return;
        case WindowEvent::FocusLost:
            SetActive(false);
            return;
        case WindowEvent::CloseRequested:
            if (modal != nullptr) {
                // A box ends by its close box; the session's quit request ends
                // it too and then reaches the main window. The owner's own
                // close box does nothing while the box is up.
                if (event.window == kNoWindow) {
                    m_quitPending = true;
                } else if (form == modal) {
                    SafeCall([modal] { modal->Close(); });
                }
                return;
            }
            if (form != nullptr) {
                SafeCall([form] { form->Close(); });
            } else if (event.window == kNoWindow || event.window == kMainWindow) {
                Terminate();
            }
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
    // While a box is up the other windows take no input.
    if (modal != nullptr && form != modal) return;
    SafeCall([&] { DispatchInput(*form, event); });
}

void Application::DispatchInput(TForm& form, const WindowEvent& event) {
    switch (event.kind) {
        case WindowEvent::MouseMove:
            form.HandleMouseMove(event.shift, event.x, event.y);
            break;
        case WindowEvent::MouseDown:
            form.HandleMouseDown(event.button, event.shift, event.x, event.y);
            break;
        case WindowEvent::MouseUp:
            form.HandleMouseUp(event.button, event.shift, event.x, event.y);
            break;
        case WindowEvent::MouseWheel:
            form.HandleMouseWheel(event.wheelDelta, event.shift, event.x, event.y);
            break;
        case WindowEvent::KeyDown:
            form.HandleKeyDown(event.key, event.shift);
            break;
        case WindowEvent::KeyUp:
            form.HandleKeyUp(event.key, event.shift);
            break;
        default:
            break;
    }
}

}  // namespace vx
