// The framework's own error box, for a system that has none to offer (or
// none that can show): a modal top-level window in the classic look, titled
// with the application's title, owned by the main window and centred on it,
// with the error sign, the message and an OK button that has the focus.
// Return, Escape, Space on OK, a click on OK and the close box end it.
#pragma once

#include <string>

#include "framework/form.h"
#include "framework/stdctrls.h"

namespace vx {

class TErrorBox : public TForm {
public:
    TErrorBox(Application& app, const std::string& title, const std::string& message);

    // Shows the box and runs it modally until it is closed.
    void ShowModal();
    bool Done() const { return m_done; }
    void Close() override { m_done = true; }

    TButton& OkButton() { return *m_ok; }
    // The message as wrapped into the box's rows.
    const std::vector<std::string>& MessageRows() const { return m_rows; }

    void Paint(Canvas& canvas) override;

protected:
    bool DialogKey(int key, TShiftState shift) override;

private:
    void Arrange();

    std::string m_message;
    std::vector<std::string> m_rows;
    TButton* m_ok = nullptr;
    TRect m_textRect;
    bool m_done = false;
};

// Shows the framework's error box and returns when it has been closed.
void ShowFrameworkErrorBox(Application& app, const std::string& title, const std::string& message);

}  // namespace vx
